#pragma once
// UTF-8 and UTF-16 conversions that depend on no system: the system's texts are UTF-16 everywhere
// they meet the host, and the XML texts are handed to the parser as UTF-8.
#include <string>
#include <string_view>

// Ill-formed UTF-16 (a lone surrogate) becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);
// Ill-formed UTF-8 (a bad or truncated sequence, an overlong form, a surrogate) becomes U+FFFD per
// maximal bad subsequence.
std::u16string Utf8ToUtf16(std::string_view s);
// The same into a buffer of at least s.size() units (UTF-8 never gives more units than bytes);
// returns the number of units written.
size_t Utf8ToUtf16(std::string_view s, char16_t* out);
// ASCII literal helper for code that builds UTF-16 texts from narrow literals.
std::u16string Ascii(std::string_view s);
