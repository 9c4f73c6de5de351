#pragma once
// The system's UTF-16 texts at the Windows API: wchar_t and char16_t are both 16 bits on Windows,
// so the two string types convert unit by unit.
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

inline std::wstring ToW(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
