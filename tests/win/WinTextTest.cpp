// The system's ANSI code page, the core's code-page tables against the system's own, case mapping and
// text files by byte-order mark, through the Windows API. The expectations on the ANSI page follow
// the code page the test runs under (1252 by default, 1251 under a Russian locale).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"

namespace {
TEST(WinCodePage, AgreesWithTheCoreTablesOnTheSystemPage) {
  const int page = SystemAnsiCodePage();
  EXPECT_EQ(page, static_cast<int>(GetACP()));
  if (!IsSupportedCodePage(page)) GTEST_SKIP() << "code page " << page;
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(FromAnsi(all), CodePageToUtf16(all, page));
  const std::u16string text = u"Привет, café € 日本 \U0001F35C";
  // The core's tables take no look-alikes: the letter a Cyrillic page lacks is given as the system's.
  const std::u16string fitted = page == 1251 ? u"Привет, cafe € 日本 \U0001F35C" : text;
  EXPECT_EQ(ToAnsi(text), Utf16ToCodePage(fitted, page));
  EXPECT_EQ(AnsiToUtf8(ToAnsi(u"abc")), "abc");
  EXPECT_EQ(ToAnsi(u""), "");
  EXPECT_EQ(FromAnsi(""), u"");
}

// The core's own tables against the system's conversion, byte for byte, on every 8-bit page a
// declaration's encoding may name, whatever the system's own code page.
TEST(WinCodePage, CoreTablesAreTheSystemsPages) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::vector<std::string> names;
  for (int n = 1250; n <= 1258; ++n) names.push_back("WINDOWS-" + std::to_string(n));
  for (int n = 1; n <= 9; ++n) names.push_back("ISO-8859-" + std::to_string(n));
  for (const std::string& name : names) {
    const int page = CodePageOfEncodingName(Ascii(name)).value_or(0);
    ASSERT_TRUE(IsSupportedCodePage(page)) << name;
    wchar_t system[256];
    ASSERT_EQ(MultiByteToWideChar(static_cast<UINT>(page), 0, all.data(), 256, system, 256), 256) << name;
    const std::u16string core = CodePageToUtf16(all, page);
    for (int b = 0; b < 256; ++b)
      EXPECT_EQ(static_cast<int>(core[b]), static_cast<int>(system[b]))
          << name << " (" << page << ") byte 0x" << std::hex << b;
  }
}

TEST(WinCodePage, MissingCharactersBecomeTheDefaultCharacter) {
  if (SystemAnsiCodePage() == codepage::Utf8) GTEST_SKIP();
  EXPECT_EQ(ToAnsi(u"日"), "?");
  EXPECT_EQ(Utf16ToUtf8(FromAnsi(ToAnsi(u"a日b"))), "a?b");
}

// A character the page lacks takes the system's look-alike only when that is a letter or a digit;
// a look-alike sign (full-width "<", ">", "&", "=", quotation marks) would be markup in an XML text,
// so it becomes "?".
TEST(WinCodePage, LookAlikesOnlyForLettersAndDigits) {
  const int page = SystemAnsiCodePage();
  if (page != 1251 && page != 1252) GTEST_SKIP() << "code page " << page;
  const struct {
    std::u16string text, on1251, on1252;
  } cases[] = {
      {u"Crème brûlée", u"Creme brulee", u"Crème brûlée"},
      {u"\uFF1Ca\uFF1E \uFF06\uFF1D\uFF02\uFF07", u"?a? ????", u"?a? ????"},
      {u"\uFF45\uFF12", u"e2", u"e2"},  // full-width letter and digit
      {u"Щи «да»", u"Щи «да»", u"?? «??»"},
      {u"日 \U0001F35C x", u"? ?? x", u"? ?? x"},  // a surrogate pair gives two, as the system has it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text));
    EXPECT_EQ(Utf16ToUtf8(FromAnsi(ToAnsi(c.text))), Utf16ToUtf8(page == 1251 ? c.on1251 : c.on1252));
  }
}

TEST(WinCaseMap, CyrillicAndLatin) {
  const CaseMap& map = SystemCaseMap();
  EXPECT_EQ(map.Upper(u"руб. ёж abc é"), u"РУБ. ЁЖ ABC É");
  EXPECT_EQ(map.Lower(u"RUB Внесено ЁЖ"), u"rub внесено ёж");
  EXPECT_EQ(map.Upper(u""), u"");
  // The native double maps these letters the same way.
  const std::u16string sample = u"Сырное обострение! Ђђ Ѓѓ Ўў éÉ";
  EXPECT_EQ(map.Upper(sample), SimpleCaseMap().Upper(sample));
  EXPECT_EQ(map.Lower(sample), SimpleCaseMap().Lower(sample));
}

TEST(WinTextFile, ReadByByteOrderMark) {
  TempDir dir;
  const std::wstring path = dir / L"t.xml";
  WriteText(path, "\xEF\xBB\xBF\xD0\xA9");
  EXPECT_EQ(ReadTextFileByBom(path), u"Щ");
  WriteText(path, std::string("\xFF\xFE\x29\x04", 4));
  EXPECT_EQ(ReadTextFileByBom(path), u"Щ");
  WriteText(path, std::string("\xFE\xFF\x04\x29", 4));
  EXPECT_EQ(ReadTextFileByBom(path), u"Щ");
  WriteText(path, "a\xC0");
  EXPECT_EQ(ReadTextFileByBom(path), FromAnsi("a\xC0"));
  EXPECT_THROW(ReadTextFileByBom(dir / L"missing.xml"), Exception);
  // Held open for writing by another: reading fails (the reader lets others read only).
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_THROW(ReadTextFileByBom(path), Exception);
  CloseHandle(writer);
}
}  // namespace
