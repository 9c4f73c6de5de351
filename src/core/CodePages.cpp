// 8-bit code pages without the system: table pages, UTF-8 and ISO-2022-JP.
#include "core/CodePages.h"

#include "core/Ascii.h"
#include "core/CodePageTables.h"
#include "core/Exception.h"
#include "core/Utf.h"

namespace {
[[noreturn]] void Unsupported(int codePage) {
  throw Exception(u"Code page " + Ascii(std::to_string(codePage)) + u" is not supported");
}

std::u16string DecodeIso2022Jp(std::string_view bytes) {
  enum class Set { Ascii, Roman, Katakana, Jis0208 } set = Set::Ascii;
  std::u16string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  for (size_t i = 0; i < n;) {
    unsigned char b = at(i);
    if (b == 0x1B) {
      if (i + 2 < n && at(i + 1) == '(' && (at(i + 2) == 'B' || at(i + 2) == 'J' || at(i + 2) == 'I')) {
        set = at(i + 2) == 'B' ? Set::Ascii : at(i + 2) == 'J' ? Set::Roman : Set::Katakana;
        i += 3;
      } else if (i + 2 < n && at(i + 1) == '$' && (at(i + 2) == '@' || at(i + 2) == 'B')) {
        set = Set::Jis0208;
        i += 3;
      } else {
        out += u'\xFFFD';
        ++i;
      }
      continue;
    }
    if (b >= 0x80) {
      out += u'\xFFFD';
      ++i;
    } else if (b < 0x21 || b == 0x7F) {
      out += static_cast<char16_t>(b);  // controls and the blank in every set
      ++i;
    } else if (set == Set::Jis0208) {
      unsigned char c = i + 1 < n ? at(i + 1) : 0;
      if (c >= 0x21 && c <= 0x7E) {
        char16_t u = kJis0208[(b - 0x21) * 94 + (c - 0x21)];
        out += u ? u : u'\xFFFD';
        i += 2;
      } else {
        out += u'\xFFFD';
        ++i;
      }
    } else if (set == Set::Katakana) {
      out += b <= 0x5F ? static_cast<char16_t>(0xFF61 + (b - 0x21)) : u'\xFFFD';
      ++i;
    } else if (set == Set::Roman && (b == 0x5C || b == 0x7E)) {
      out += b == 0x5C ? u'\x00A5' : u'\x203E';
      ++i;
    } else {
      out += static_cast<char16_t>(b);
      ++i;
    }
  }
  return out;
}
}  // namespace

std::optional<int> CodePageOfEncodingName(std::u16string_view name) {
  if (AsciiEqualsNoCase(name, u"UTF-8")) return codepage::Utf8;
  if (AsciiEqualsNoCase(name, u"ISO-2022-JP")) return codepage::Iso2022Jp;
  auto numbered = [&](std::u16string_view prefix, size_t digits, int first,
                      int base) -> std::optional<int> {
    if (name.size() != prefix.size() + digits ||
        !AsciiEqualsNoCase(name.substr(0, prefix.size()), prefix))
      return std::nullopt;
    int value = 0;
    for (char16_t c : name.substr(prefix.size())) {
      if (c < u'0' || c > u'9') return std::nullopt;
      value = value * 10 + (c - u'0');
    }
    if (value < first || value > first + 8) return std::nullopt;
    return base + (value - first);
  };
  if (auto cp = numbered(u"WINDOWS-", 4, 1250, 1250)) return cp;
  if (auto cp = numbered(u"ISO-8859-", 1, 1, codepage::Latin1Bytes)) return cp;
  return std::nullopt;
}

bool IsSupportedCodePage(int codePage) noexcept {
  return codePage == codepage::Utf8 || codePage == codepage::Iso2022Jp ||
         SingleByteHighHalf(codePage) != nullptr;
}

std::u16string CodePageToUtf16(std::string_view bytes, int codePage) {
  if (codePage == codepage::Utf8) return Utf8ToUtf16(bytes);
  if (codePage == codepage::Iso2022Jp) return DecodeIso2022Jp(bytes);
  const char16_t* high = SingleByteHighHalf(codePage);
  if (!high) Unsupported(codePage);
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    out[i] = b < 0x80 ? static_cast<char16_t>(b) : high[b - 0x80];
  }
  return out;
}

std::string Utf16ToCodePage(std::u16string_view text, int codePage) {
  if (codePage == codepage::Utf8) return Utf16ToUtf8(text);
  const char16_t* high = SingleByteHighHalf(codePage);
  if (!high) Unsupported(codePage);
  std::string out;
  out.reserve(text.size());
  // Like Windows, each unit of a surrogate pair becomes one default character.
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    char byte = '?';
    for (int k = 0; k < 128; ++k) {
      if (high[k] == c) {
        byte = static_cast<char>(0x80 + k);
        break;
      }
    }
    out += byte;
  }
  return out;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  if (codePage == codepage::Utf8) return std::string(bytes);
  return Utf16ToUtf8(CodePageToUtf16(bytes, codePage));
}

TextBom DetectBom(std::string_view b) noexcept {
  if (b.size() >= 3 && b[0] == '\xEF' && b[1] == '\xBB' && b[2] == '\xBF') return TextBom::Utf8;
  if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') return TextBom::Utf16Le;
  if (b.size() >= 2 && b[0] == '\xFE' && b[1] == '\xFF') return TextBom::Utf16Be;
  return TextBom::None;
}

namespace {
std::u16string Utf16Bytes(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    out += static_cast<char16_t>(lo | (hi << 8));
  }
  if (bytes.size() % 2) out += u'\xFFFD';
  return out;
}
}  // namespace

std::u16string Utf16LeBytesToString(std::string_view bytes) { return Utf16Bytes(bytes, false); }
std::u16string Utf16BeBytesToString(std::string_view bytes) { return Utf16Bytes(bytes, true); }
