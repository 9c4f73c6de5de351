#pragma once
// 8-bit texts of the system: the code pages an XML declaration may name and the system's ANSI code
// page, converted to and from UTF-16 without the system, from tables built into the core. On Windows
// the ANSI conversions go through the system instead (win/WinCodePage.h), which knows every page.
#include <optional>
#include <string>
#include <string_view>

#include "core/Utf.h"

namespace codepage {
constexpr int Utf8 = 65001;
constexpr int Latin1Bytes = 28591;   // ISO-8859-1: each byte is the character of the same number
constexpr int Iso2022Jp = 50220;
}  // namespace codepage

// The Windows code page number of a declaration's encoding name (compared without regard to case):
// "UTF-8" 65001, "WINDOWS-1250".."WINDOWS-1258" 1250..1258, "ISO-8859-1".."ISO-8859-9" 28591..28599,
// "ISO-2022-JP" 50220; nothing for any other name.
std::optional<int> CodePageOfEncodingName(std::u16string_view name);

// True for the pages the functions below convert: 65001, 1250..1258, 28591..28599, 50220.
bool IsSupportedCodePage(int codePage) noexcept;

// 8-bit text to UTF-16. Table pages: every byte as Windows converts it, so a C1 gap (0x80-0x9F) the
// page leaves undefined becomes the character of the same number, an undefined byte above it a
// character of the private use area, and iso-8859-7 and -8 are Windows' first editions; UTF-8: ill-formed input becomes U+FFFD; ISO-2022-JP:
// escape sequences switch between ASCII, JIS X 0201 Roman and JIS X 0208, a byte pair without a
// mapping or an unknown escape becomes U+FFFD. Raises Exception for an unsupported page.
std::u16string CodePageToUtf16(std::string_view bytes, int codePage);

// UTF-16 to 8-bit text; a character the page lacks becomes its default character "?". Raises
// Exception for an unsupported page (ISO-2022-JP is read-only here).
std::string Utf16ToCodePage(std::u16string_view text, int codePage);

// 8-bit text of a code page re-encoded as UTF-8; a UTF-8 page passes the bytes through unchanged.
std::string CodePageToUtf8(std::string_view bytes, int codePage);

// A text file's bytes by their byte-order mark: UTF-8 (EF BB BF), UTF-16 LE (FF FE) or BE (FE FF), the
// mark dropped; anything else is handed to `ansi` (the system's ANSI code page decoder).
enum class TextBom { None, Utf8, Utf16Le, Utf16Be };
TextBom DetectBom(std::string_view bytes) noexcept;
template <typename AnsiDecoder>
std::u16string DecodeTextByBom(std::string_view bytes, AnsiDecoder&& ansi);

// UTF-16 code units from bytes (an odd last byte becomes U+FFFD).
std::u16string Utf16LeBytesToString(std::string_view bytes);
std::u16string Utf16BeBytesToString(std::string_view bytes);

// ---- implementation of the template
template <typename AnsiDecoder>
std::u16string DecodeTextByBom(std::string_view bytes, AnsiDecoder&& ansi) {
  switch (DetectBom(bytes)) {
    case TextBom::Utf8: return Utf8ToUtf16(bytes.substr(3));
    case TextBom::Utf16Le: return Utf16LeBytesToString(bytes.substr(2));
    case TextBom::Utf16Be: return Utf16BeBytesToString(bytes.substr(2));
    case TextBom::None: break;
  }
  return ansi(bytes);
}
