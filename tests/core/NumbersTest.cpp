// Whole numbers as settings values and XML attributes give them.
#include <gtest/gtest.h>

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

TEST(StrToIntDef, GivesTheDefaultForAnythingElse) {
  EXPECT_EQ(StrToIntDef(u"0x9B9", 1), 2489);
  EXPECT_EQ(StrToIntDef(u"", 2489), 2489);
  EXPECT_EQ(StrToIntDef(u"25x", 7), 7);
  EXPECT_EQ(StrToIntDef(u"5000000000", 7), 7);
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
