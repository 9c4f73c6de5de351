#pragma once
// Whole numbers as the system reads them from settings values and XML attributes.
#include <cstdint>
#include <string_view>

// Leading blanks and a sign allowed, trailing characters not; decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X". Decimal values must lie in the signed 32-bit range; hexadecimal
// ones are 32-bit patterns ($FFFFFFFF is -1). Returns false for anything else, the empty text included.
bool TryStrToInt(std::u16string_view s, int32_t& value);

// The settings-file rule: like TryStrToInt, with the caller's default for anything that is not a
// whole number of the 32-bit range.
int32_t StrToIntDef(std::u16string_view s, int32_t def);
