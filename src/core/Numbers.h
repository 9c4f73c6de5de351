#pragma once
// Numbers as the system reads them from settings values and XML attributes.
#include <cstdint>
#include <string_view>
#include <vector>

// Leading blanks and a sign allowed, trailing characters not; decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X". Decimal values must lie in the signed 32-bit range; hexadecimal
// ones are 32-bit patterns ($FFFFFFFF is -1). Returns false for anything else, the empty text included.
bool TryStrToInt(std::u16string_view s, int32_t& value);

// The settings-file rule, stricter than the attributes' one: hexadecimal only after "$", or after "0x"
// or "0X" in a value longer than those two characters (a 32-bit pattern, as in TryStrToInt);
// otherwise decimal digits with an optional sign, in the signed 32-bit range. No blanks, no "x"
// alone, no sign before "$" or "0x". Anything else, the empty text included, gives the caller's
// default.
int32_t StrToIntDef(std::u16string_view s, int32_t def);

// A number as XML attributes hold it: leading blanks, an optional sign, decimal digits with an optional
// "." fraction and an optional exponent (e/E, optional sign, digits); or "INF", "+INF", "-INF", "NAN"
// in any letter case. The value is the double nearest to the decimal text. Returns false for anything
// else: the empty text, trailing characters (blanks included), a lone "." or sign.
bool TryStrToFloat(std::u16string_view s, double& value);

// A number of the host's data (prices, quantities, sums of check data and menus): TryStrToFloat's
// forms, but only a finite value below 10^15 in magnitude. Such a value's money form has at most 15
// digits before the point, every one of them exact in a double; beyond it the screens would show a
// cut or meaningless amount (1e308: a 309-digit one, INF and NAN: no amount at all). Returns false for
// anything else, as for a text that is no number.
constexpr double kDataNumberLimit = 1e15;
bool TryStrToDataNumber(std::u16string_view s, double& value);

// A Boolean as XML attributes hold it: "true" or "false" in any letter case, or a number read by
// TryStrToFloat (0 is false, any other number, NAN included, true).
bool TryStrToBool(std::u16string_view s, bool& value);

// An integer list as attributes hold it: the text without its leading and trailing blanks and control
// characters, split at every ","; each piece read by TryStrToInt without trimming; a trailing ","
// adds nothing; an empty text gives no values. Appends the values to `out` in order; at the first
// piece that is not an integer raises Exception, with the values before it already appended.
void ParseIntList(std::u16string_view text, std::vector<int32_t>& out);
