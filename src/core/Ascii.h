#pragma once
// Character helpers whose rules are fixed, whatever the system's locale: ASCII letter case, hex
// digits, and the UTF-16 form of a code point. For the system's own case rules see CaseMap (Texts.h).
#include <string_view>

template <class Ch>
constexpr Ch AsciiUpper(Ch c) noexcept {
  return c >= Ch('a') && c <= Ch('z') ? static_cast<Ch>(c - Ch('a') + Ch('A')) : c;
}

// Equal when the two differ at most in the case of ASCII letters.
template <class Ch>
constexpr bool AsciiEqualsNoCase(std::basic_string_view<Ch> a, std::basic_string_view<Ch> b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}
inline bool AsciiEqualsNoCase(std::u16string_view a, std::u16string_view b) noexcept {
  return AsciiEqualsNoCase<char16_t>(a, b);
}
inline bool AsciiEqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
  return AsciiEqualsNoCase<wchar_t>(a, b);
}

// The value of a hexadecimal digit (either case), or -1.
constexpr int HexDigitValue(char32_t c) noexcept {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a' + 10);
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
  return -1;
}

// Writes the UTF-16 code units of a code point (one unit, or a surrogate pair beyond U+FFFF) and
// returns the position after them. The caller has checked that `c` is a scalar value.
template <class Out>
constexpr Out AppendUtf16(char32_t c, Out out) {
  if (c < 0x10000) {
    *out++ = static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
  return out;
}
