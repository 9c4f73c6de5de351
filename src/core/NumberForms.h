#pragma once
// The system's number texts: the general form of quantities and the masked forms of amounts and
// prices. Both are computed from the exact decimal value of the double, with "." as the decimal
// separator and a half always rounded away from zero.
#include <string>
#include <string_view>

// General form: the value rounded to 15 significant digits, no trailing zeros, no decimal point for a
// whole number (2, 0.5, 1.25, -3); scientific with a bare exponent when more than 15 digits stand
// before the point or a non-zero magnitude is below 0.0001 (1E20, 5E-5, 1.5E-7, -2.5E16); "INF",
// "-INF" and "NAN" for the non-finite values.
std::u16string FloatToStr(double value);

// Masked form. The value is first taken to 18 significant digits, then rounded half away from zero to
// the decimals the mask shows. Supported mask syntax:
//   0   digit placeholder: a digit always written (leading/trailing zeros kept)
//   #   digit placeholder: a digit written only when significant
//   .   the decimal point (the first one counts; placeholders after it give the decimals)
//   ,   anywhere among the integer placeholders: thousands separator "," every three digits
//   "xx" or 'xx'   literal text; any other character is literal text as well
//   ;   sections: positive;negative;zero ("" sections fall back to the positive one; the negative
//       section is written without a "-" of its own)
//   E+ E- e+ e-  followed by 0s: scientific form with at least that many exponent digits
// The money masks "0", "0.0", "0.00" give exactly that many decimals, a leading "-" for a negative
// value and never "-0". An empty mask (or a section without any placeholder and without literal text)
// gives FloatToStr(value). Non-finite values give "INF", "-INF", "NAN" whatever the mask.
std::u16string FormatFloat(std::u16string_view mask, double value);
