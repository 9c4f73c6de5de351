// Code pages without the system, byte-order marks, the small text helpers and the native case map.
#include <gtest/gtest.h>

#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Texts.h"

namespace {
TEST(CodePages, EncodingNames) {
  struct Case {
    const char16_t* name;
    int page;
  } cases[] = {
      {u"utf-8", 65001},        {u"UTF-8", 65001},        {u"windows-1250", 1250},
      {u"Windows-1251", 1251},  {u"WINDOWS-1258", 1258},  {u"iso-8859-1", 28591},
      {u"ISO-8859-9", 28599},   {u"iso-2022-jp", 50220},  {u"windows-1259", 0},
      {u"windows-125", 0},      {u"iso-8859-10", 0},      {u"iso-8859-01", 0},
      {u"utf8", 0},             {u"koi8-r", 0},           {u"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CodePageOfEncodingName(c.name).value_or(0), c.page);
}

TEST(CodePages, RoundTripAndDefaultCharacter) {
  EXPECT_EQ(CodePageToUtf16("\xCF\xF0\xE8\xE2\xE5\xF2 \xB8", 1251), u"Привет ё");
  EXPECT_EQ(Utf16ToCodePage(u"Привет ё", 1251), "\xCF\xF0\xE8\xE2\xE5\xF2 \xB8");
  EXPECT_EQ(Utf16ToCodePage(u"a€日\U0001F35Cb", 1251), "a\x88???b");  // € is 0x88 in 1251
  EXPECT_EQ(Utf16ToCodePage(u"é", 1252), "\xE9");
  EXPECT_EQ(Utf16ToCodePage(u"Щ", 1252), "?");
  EXPECT_EQ(Utf16ToCodePage(u"Щ", 65001), "\xD0\xA9");
  EXPECT_EQ(CodePageToUtf8("\xD9", 1251), "\xD0\xA9");
  EXPECT_EQ(CodePageToUtf8("\xFF\xFE bad utf-8", 65001), "\xFF\xFE bad utf-8");  // passes through
  EXPECT_THROW(CodePageToUtf16("x", 437), Exception);
  EXPECT_THROW(Utf16ToCodePage(u"x", 50220), Exception);
  // Every single-byte page maps every byte to one character and back.
  for (int page : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 28591, 28595, 28599}) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::u16string text = CodePageToUtf16(all, page);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(Utf16ToCodePage(text, page), all) << page;
  }
}

TEST(CodePages, BytesTheMappingsLeaveOpenReadAsOnWindows) {
  struct Case {
    int page;
    const char* bytes;
    std::u16string text;
  } cases[] = {
      {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},  // C1 gaps: the same number
      {1251, "\x98", u"\u0098"},
      {1253, "\xAA\xD2\xFF", u"\uF8F9\uF8FA\uF8FB"},  // above them: private use
      {1255, "\xCA\xD9\xFF", u"\u05BA\uF88D\uF896"},
      {28593, "\xA5\xF0", u"\uF7F5\uF7FB"},
      {28597, "\xA1\xA2\xA4\xAA", u"\u02BD\u02BC\uF7C2\uF7C4"},  // first editions
      {28598, "\xAF\xFD\xFE", u"\u203E\uF7BF\uF7C0"},
  };
  for (const auto& c : cases) EXPECT_EQ(CodePageToUtf16(c.bytes, c.page), c.text) << c.page;
}

TEST(CodePages, Iso2022Jp) {
  EXPECT_EQ(CodePageToUtf16("a\x1B$B$\"F|\x1B(Bb", 50220), u"aあ日b");
  EXPECT_EQ(CodePageToUtf16("\x1B(J\\~\x1B(B\\", 50220), u"¥‾\\");
  EXPECT_EQ(CodePageToUtf16("\x1B(I\x31\x1B(B", 50220), u"ｱ");
  EXPECT_EQ(CodePageToUtf16("\x1B$B\x22\x7F", 50220), u"\xFFFD\x7F");  // no mapping for the pair
  EXPECT_EQ(CodePageToUtf16("\x1BZ\x80", 50220), u"\xFFFDZ\xFFFD");
}

TEST(CodePages, TextsByByteOrderMark) {
  auto ansi = [](std::string_view b) { return CodePageToUtf16(b, 1251); };
  EXPECT_EQ(DecodeTextByBom("\xEF\xBB\xBF\xD0\xA9", ansi), u"Щ");
  EXPECT_EQ(DecodeTextByBom(std::string("\xFF\xFE\x29\x04", 4), ansi), u"Щ");
  EXPECT_EQ(DecodeTextByBom(std::string("\xFE\xFF\x04\x29\x00", 5), ansi), u"Щ\xFFFD");
  EXPECT_EQ(DecodeTextByBom("\xD0\xA9", ansi), u"Р©");  // no mark: the ANSI code page
  EXPECT_EQ(DecodeTextByBom("", ansi), u"");
}

TEST(Texts, TrimRemoveCrLfAndCaseMap) {
  EXPECT_EQ(TrimBlanks(u" \t\r\n x y \x01"), u"x y");
  EXPECT_EQ(TrimBlanks(u"  "), u"");
  EXPECT_EQ(RemoveCrLfPairs(u"a\r\nb\rc\nd\n\re\r\r\n"), u"ab\rc\nd\n\re\r");
  const CaseMap& map = SimpleCaseMap();
  EXPECT_EQ(map.Upper(u"руб. ёж abc éß"), u"РУБ. ЁЖ ABC Éß");
  EXPECT_EQ(map.Lower(u"RUB Внесено ЁЖ Ђ"), u"rub внесено ёж ђ");
}
}  // namespace
