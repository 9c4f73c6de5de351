// Numbers as settings values and XML attributes give them: integers, numbers, Booleans, lists.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Raised.h"
#include "core/Exception.h"
#include "core/Numbers.h"
#include "core/Utf.h"

namespace {
struct IntCase {
  const char* text;
  bool ok;
  int32_t value;
};

TEST(TryStrToInt, TableOfCases) {
  const IntCase cases[] = {
      {"2489", true, 2489},           {"0x9B9", true, 2489},          {"0X9b9", true, 2489},
      {"$9B9", true, 2489},           {"x9B9", true, 2489},           {"X10", true, 16},
      {"-12", true, -12},             {"+7", true, 7},                {"  42", true, 42},
      {"-$10", true, -16},            {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN}, {"$FFFFFFFF", true, -1},      {"0", true, 0},
      {"", false, 0},                 {"25x", false, 0},              {"42 ", false, 0},
      {"2147483648", false, 0},       {"-2147483649", false, 0},      {"4294967296", false, 0},
      {"$100000000", false, 0},       {"$", false, 0},                {"0x", false, 0},
      {"-", false, 0},                {"1.5", false, 0},              {"\t5", false, 0},
      {"99999999999999999999", false, 0},
  };
  for (const auto& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(TryStrToInt(Ascii(c.text), v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
  }
}

// Settings values: hexadecimal only after "$" or a "0x" that more follows; the looser forms that
// attributes take ("x2", a sign before "$") give the default, 7 here.
TEST(StrToIntDef, SettingsRule) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0x9B9", 2489}, {"$9B9", 2489},    {"0x1F", 31},   {"0X1f", 31},       {"$1F", 31},
      {"$FFFFFFFF", -1}, {"+5", 5},       {"-7", -7},     {"2489", 2489},     {"-2147483648", INT32_MIN},
      {"x2", 7},       {"X1F", 7},        {"-$10", 7},    {"+$10", 7},        {"-0x10", 7},
      {"0x", 7},       {"0X", 7},         {"$", 7},       {"+", 7},           {"-", 7},
      {"", 7},         {"25x", 7},        {" 42", 7},     {"5000000000", 7},  {"$100000000", 7},
      {"0x-1", 7},     {"$-1", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToIntDef(Ascii(c.text), 7), c.value) << '"' << c.text << '"';
}

TEST(Utf, RoundTripsAndReplacesIllFormedInput) {
  const std::u16string text = u"Щи \U0001F35C ok";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\xFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");     // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD");  // surrogate
}
}  // namespace

namespace {
TEST(TryStrToFloat, TableOfCases) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"1.5", true, 1.5},      {"  2", true, 2},        {"-3e2", true, -300},    {"+.5", true, 0.5},
      {"5.", true, 5},         {"1E-3", true, 0.001},   {"2.5e+1", true, 25},    {"-0", true, 0},
      {"0.1", true, 0.1},      {"inf", true, inf},      {"+Inf", true, inf},     {"-INF", true, -inf},
      {"  INF", true, inf},    {"1e400", true, inf},    {"-1e400", true, -inf},  {"1e-400", true, 0},
      {"123456789012345678901234567890", true, 1.2345678901234568e29},
      {"", false, 0},          {" ", false, 0},         {"1.5 ", false, 0},      {"abc", false, 0},
      {".", false, 0},         {"-", false, 0},         {"1e", false, 0},        {"1e+", false, 0},
      {"--1", false, 0},       {"0x10", false, 0},      {"1,5", false, 0},       {"-NAN", false, 0},
      {"NAN ", false, 0},      {"\t1", false, 0},       {"1.2.3", false, 0},     {"e5", false, 0},
      {"infinity", false, 0},
  };
  for (const auto& c : cases) {
    double v = 12345;
    EXPECT_EQ(TryStrToFloat(Ascii(c.text), v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
  }
  double v = 0;
  EXPECT_TRUE(TryStrToFloat(u"nAn", v));
  EXPECT_TRUE(std::isnan(v));
}

TEST(TryStrToBool, WordsOrNumbers) {
  struct Case {
    const char16_t* text;
    bool ok;
    bool value;
  } cases[] = {
      {u"true", true, true},  {u"TRUE", true, true},   {u"False", true, false}, {u"0", true, false},
      {u"1", true, true},     {u"-0.5", true, true},   {u" 0", true, false},    {u"NAN", true, true},
      {u"", false, false},    {u"yes", false, false},  {u"true ", false, false}, {u" true", false, false},
  };
  for (const auto& c : cases) {
    bool v = !c.value;
    EXPECT_EQ(TryStrToBool(c.text, v), c.ok) << Utf16ToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(v, c.value) << Utf16ToUtf8(c.text);
    }
  }
}

TEST(ParseIntList, PiecesTrailingCommaAndErrors) {
  struct Case {
    const char16_t* text;
    std::vector<int32_t> values;  // those appended before any error
    bool ok;
  } cases[] = {
      {u" 12,15 ", {12, 15}, true},   {u"12, 15", {12, 15}, true},   {u"12,15,", {12, 15}, true},
      {u"", {}, true},                {u" \t\r\n", {}, true},        {u"\t12\r\n", {12}, true},
      {u"$10,x1F,-3,0X10", {16, 31, -3, 16}, true},
      {u"12 ,15", {}, false},         {u",12", {}, false},           {u"12,,15", {12}, false},
      {u"12,a", {12}, false},         {u"12,15,,", {12, 15}, false}, {u"2147483648", {}, false},
  };
  for (const auto& c : cases) {
    std::vector<int32_t> out{99};
    bool ok = true;
    try {
      ParseIntList(c.text, out);
    } catch (const Exception&) {
      ok = false;
    }
    EXPECT_EQ(ok, c.ok) << Utf16ToUtf8(c.text);
    std::vector<int32_t> expected{99};
    expected.insert(expected.end(), c.values.begin(), c.values.end());
    EXPECT_EQ(out, expected) << Utf16ToUtf8(c.text);
  }
  std::vector<int32_t> out;
  EXPECT_EQ(RaisedMessage([&] { ParseIntList(u"1, 2 ,3", out); }), u"' 2 ' is not a valid integer value");
}
}  // namespace
