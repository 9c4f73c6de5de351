// The general and masked number forms, from the exact decimal value of the double.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/NumberForms.h"
#include "core/Utf.h"

namespace {
TEST(FloatToStr, GeneralForm) {
  struct Case {
    double value;
    const char16_t* text;
  } cases[] = {
      {2, u"2"},
      {0.5, u"0.5"},
      {1.25, u"1.25"},
      {-3, u"-3"},
      {100, u"100"},
      {0, u"0"},
      {-0.0, u"0"},
      {0.1 + 0.2, u"0.3"},
      {1.0 / 3, u"0.333333333333333"},
      {2.0 / 3, u"0.666666666666667"},
      {-2.0 / 3, u"-0.666666666666667"},
      {0.0001, u"0.0001"},
      {0.00012345, u"0.00012345"},
      {5e-5, u"5E-5"},
      {-1.5e-7, u"-1.5E-7"},
      {9.99999999999999999e-5, u"0.0001"},  // rounds up into fixed form
      {1e20, u"1E20"},
      {-2.5e16, u"-2.5E16"},
      {999999999999999, u"999999999999999"},
      {1e15, u"1E15"},
      {1234567890123456, u"1.23456789012346E15"},
      {123456789012.5, u"123456789012.5"},
      {0.000123456789012345678, u"0.000123456789012346"},
      {DBL_MAX, u"1.79769313486232E308"},
      {5e-324, u"4.94065645841247E-324"},
      {std::numeric_limits<double>::infinity(), u"INF"},
      {-std::numeric_limits<double>::infinity(), u"-INF"},
      {std::numeric_limits<double>::quiet_NaN(), u"NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
}

struct MaskCase {
  const char16_t* mask;
  double value;
  const char16_t* text;
};

TEST(FormatFloat, MoneyMasksRoundHalfAwayFromTheExactValue) {
  const MaskCase cases[] = {
      {u"0", 2.5, u"3"},          {u"0", 3.5, u"4"},            {u"0", -2.5, u"-3"},
      {u"0", 0.5, u"1"},          {u"0", 0.49999999999999994, u"0"},
      {u"0", 450, u"450"},        {u"0.00", 450, u"450.00"},    {u"0.00", 0.125, u"0.13"},
      {u"0.00", -0.125, u"-0.13"}, {u"0.00", 2.675, u"2.67"},   {u"0.00", 1.005, u"1.00"},
      {u"0.00", 0.145, u"0.14"},  {u"0.00", 0.155, u"0.15"},    {u"0.0", 0.05, u"0.1"},
      {u"0.0", 0.25, u"0.3"},     {u"0.0", -26.5, u"-26.5"},    {u"0.00", -26.5, u"-26.50"},
      {u"0.00", -0.004, u"0.00"}, {u"0", -0.4, u"0"},           {u"0", -0.0, u"0"},
      {u"0.00", 1e-10, u"0.00"},  {u"0", 540, u"540"},          {u"0.00", 540, u"540.00"},
      {u"0.00", 123456789.125, u"123456789.13"},
      {u"0", 1e20, u"100000000000000000000"},
      {u"0.00", -9007199254740993.0, u"-9007199254740992.00"},
      // The double is 123456789012345683968: taken to 18 significant digits first.
      {u"0", 123456789012345678901.0, u"123456789012345684000"},
      {u"0", 52100 / 100.0, u"521"},  {u"0.00", 52100 / 100.0, u"521.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFloat(c.mask, c.value), c.text) << Utf16ToUtf8(c.mask) << " " << c.value;
  const std::u16string max = FormatFloat(u"0", DBL_MAX);
  EXPECT_EQ(max.size(), 309u);
  EXPECT_EQ(max.substr(0, 19), u"1797693134862315710");
}

TEST(FormatFloat, OtherMasks) {
  const MaskCase cases[] = {
      {u"#", 0, u""},                          {u"#", 5.5, u"6"},
      {u"#", 1234, u"1234"},                   {u"#.##", 0.5, u".5"},
      {u"0.##", 12.5, u"12.5"},                {u"0.##", 12, u"12"},
      {u"0.0#", 1.257, u"1.26"},               {u"000", 7, u"007"},
      {u"#,##0.00", 1234567.891, u"1,234,567.89"},
      {u"#,##0.00", 0, u"0.00"},               {u"#,##0.00", -1234.5, u"-1,234.50"},
      {u"#,##0", 999.5, u"1,000"},             {u"#,##0", 12, u"12"},
      {u"0.00 руб.", 12.5, u"12.50 руб."},     {u"\"Цена: \"0", 5, u"Цена: 5"},
      {u"'#'0", 5, u"#5"},                     {u"0 'шт.'", 3, u"3 шт."},
      {u"0;(0)", -5, u"(5)"},                  {u"0;(0);zero", 0, u"zero"},
      {u"0;;zero", -5, u"-5"},                 {u"0.00E+00", 12345, u"1.23E+04"},
      {u"0.0E-0", 0.00012, u"1.2E-4"},         {u"0.0E-0", 12, u"1.2E1"},
      {u"", 2.5, u"2.5"},                      {u"", 1e20, u"1E20"},
      {u"Free", 5, u"Free"},                   {u"0", std::numeric_limits<double>::infinity(), u"INF"},
      {u"0.00", std::numeric_limits<double>::quiet_NaN(), u"NAN"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFloat(c.mask, c.value), c.text) << Utf16ToUtf8(c.mask) << " " << c.value;
}
}  // namespace
