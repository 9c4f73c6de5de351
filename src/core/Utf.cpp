#include "core/Utf.h"

#include <cstdint>
#include <cstring>

#include "core/Ascii.h"

namespace {
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

size_t Utf8ToUtf16(std::string_view s, char16_t* out) {
  char16_t* o = out;
  size_t i = 0;
  const size_t n = s.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    // Runs of ASCII, eight bytes at a time.
    while (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      if (word & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) *o++ = static_cast<char16_t>(static_cast<unsigned char>(s[i + k]));
      i += 8;
    }
    if (i >= n) break;
    unsigned char b = byte(i);
    if (b < 0x80) {
      *o++ = static_cast<char16_t>(b);
      ++i;
      continue;
    }
    // Two-byte characters (Cyrillic, Latin with marks) straight away.
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (byte(i + 1) & 0xC0) == 0x80) {
      *o++ = static_cast<char16_t>(((b & 0x1F) << 6) | (byte(i + 1) & 0x3F));
      i += 2;
      continue;
    }
    int len = 0;
    char32_t c = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2; c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3; c = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4; c = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      *o++ = u'\xFFFD';
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k < static_cast<size_t>(len); ++k) {
      if (i + k >= n) break;
      unsigned char t = byte(i + k);
      if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) break;
      c = (c << 6) | (t & 0x3F);
    }
    if (k < static_cast<size_t>(len)) {
      *o++ = u'\xFFFD';
      i += k;
      continue;
    }
    o = AppendUtf16(c, o);
    i += len;
  }
  return static_cast<size_t>(o - out);
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out(s.size(), u'\0');
  out.resize(Utf8ToUtf16(s, out.data()));
  return out;
}


std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }
