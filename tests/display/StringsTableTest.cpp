// The strings table: the file's two decodings, the language and key rules, the case rules and the
// failures that reach the caller, with ZebStrings.xml in the current folder and the language in
// Zebrane.ini beside the test program.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/Exception.h"
#include "display/StringsTable.h"
#include "win/WinPaths.h"

namespace {

struct Texts {
  std::wstring paid = L"Внесено";
  std::wstring basketGoods = L"Товаров";
  std::wstring defPcs = L"шт.";
  std::wstring name = L"Наименование";
  std::vector<DisplayText> Table() {
    return {{L"PAID", &paid, CaseRule::Upper},
            {L"BASKETGOODS", &basketGoods, CaseRule::Lower},
            {L"DEFPCS", &defPcs, CaseRule::Lower},
            {L"NAME", &name, CaseRule::AsRead}};
  }
};

class StringsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, saved_);
    SetCurrentDirectoryW(dir_.Path().c_str());
    DeleteFileW(Ini().c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(saved_);
    DeleteFileW(Ini().c_str());
  }
  static std::wstring Ini() { return ExecutableFolder() + L"Zebrane.ini"; }
  void Language(const std::string& value) { WriteText(Ini(), "[OUTPUT]\r\nLanguage=" + value + "\r\n"); }
  void File(const std::vector<unsigned char>& bytes) { WriteBytes(dir_ / L"ZebStrings.xml", bytes); }
  void FileUtf8(const std::wstring& text, bool bom = true) {
    std::string u = Narrow(text);
    std::vector<unsigned char> b;
    if (bom) b = {0xEF, 0xBB, 0xBF};
    b.insert(b.end(), u.begin(), u.end());
    File(b);
  }

  TempDir dir_;
  wchar_t saved_[MAX_PATH];
};

const wchar_t kTable[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Strings>\r\n"
    L" <ENG><PAID Val=\"Paid\"/></ENG>\r\n"
    L" <RUS>\r\n  <PAID Val=\"Оплачено\"/>\r\n  <PAID Val=\"second\"/>\r\n"
    L"  <BASKETGOODS/>\r\n  <DEFPCS Val=\"\"/>\r\n  <NAME Val=\"Блюдо\" Other=\"x\"/>\r\n"
    L"  <Inner><BASKETGOODS Val=\"not direct\"/></Inner>\r\n </RUS>\r\n</Strings>";

TEST_F(StringsTableTest, NoFileKeepsTheDefaultsAsStored) {
  Texts t;
  auto table = t.Table();
  LoadStringsTable(table);
  EXPECT_EQ(t.paid, L"Внесено");
  EXPECT_EQ(t.basketGoods, L"Товаров");
}

TEST_F(StringsTableTest, ValuesAndCaseRules) {
  FileUtf8(kTable);
  Texts t;
  auto table = t.Table();
  LoadStringsTable(table);
  EXPECT_EQ(t.paid, L"ОПЛАЧЕНО") << "the first element counts, upper-cased";
  EXPECT_EQ(t.basketGoods, L"товаров") << "no Val: the default, with the case rule applied";
  EXPECT_EQ(t.defPcs, L"") << "an empty Val gives an empty text";
  EXPECT_EQ(t.name, L"Блюдо");
}

TEST_F(StringsTableTest, LanguageIsMatchedExactly) {
  FileUtf8(kTable);
  struct Case { const char* language; std::wstring paid; } cases[] = {
      {"ENG", L"PAID"},        // "Paid" upper-cased
      {"rus", L"Внесено"},     // names differ in case: no match, nothing converted
      {"DEU", L"Внесено"},
  };
  for (auto& c : cases) {
    Language(c.language);
    Texts t;
    auto table = t.Table();
    LoadStringsTable(table);
    EXPECT_EQ(t.paid, c.paid) << c.language;
    EXPECT_EQ(t.basketGoods, L"Товаров") << c.language;
  }
}

TEST_F(StringsTableTest, EncodingsThatSurviveBothDecodings) {
  const std::wstring doc = L"<?xml version=\"1.0\"?><S><RUS><PAID Val=\"Оплачено\"/></RUS></S>";
  std::vector<unsigned char> le{0xFF, 0xFE}, be{0xFE, 0xFF};
  for (wchar_t c : doc) {
    le.push_back(c & 0xFF); le.push_back(c >> 8);
    be.push_back(c >> 8);   be.push_back(c & 0xFF);
  }
  for (auto* bytes : {&le, &be}) {
    File(*bytes);
    Texts t;
    auto table = t.Table();
    LoadStringsTable(table);
    EXPECT_EQ(t.paid, L"ОПЛАЧЕНО");
  }
  // A declaration naming another code page garbles what is outside ASCII; so does no declaration.
  // The UTF-8 bytes of Оплата, D0 9E D0 BF D0 BB D0 B0 D1 82 D0 B0, are read one by one as
  // characters of that page, and the garbled text is then upper-cased.
  const struct {
    const char* what;
    std::wstring file, paid;
  } garbled[] = {
      {"windows-1251", L"<?xml version=\"1.0\" encoding=\"windows-1251\"?><S><RUS><PAID Val=\"Оплата\"/></RUS></S>",
       L"Р\u040BР\u0407Р\u00BBР\u00B0С\u201AР\u00B0"},  // ћ and ї upper-cased
      {"no declaration", L"<S><RUS><PAID Val=\"Оплата\"/></RUS></S>",
       L"\u00D0\u009E\u00D0\u00BF\u00D0\u00BB\u00D0\u00B0\u00D1\u0082\u00D0\u00B0"},
  };
  for (const auto& c : garbled) {
    FileUtf8(c.file);
    Texts t;
    auto table = t.Table();
    LoadStringsTable(table);
    EXPECT_EQ(t.paid, c.paid) << c.what;
  }
}

TEST_F(StringsTableTest, FailuresReachTheCallerBeforeAnyTextChanges) {
  struct Case { const char* language; std::wstring file; } cases[] = {
      {"RUS", L"<?xml version=\"1.0\" encoding=\"koi8-r\"?><S><RUS><PAID Val=\"x\"/></RUS></S>"},
      {"RUS", L"<S><RUS><PAID Val=\"x\"/></RUS>"},
      {"", kTable},
      {"R S", kTable},
  };
  for (auto& c : cases) {
    Language(c.language);
    FileUtf8(c.file);
    Texts t;
    auto table = t.Table();
    EXPECT_THROW(LoadStringsTable(table), Exception) << c.language << " " << Narrow(c.file);
    EXPECT_EQ(t.paid, L"Внесено");
  }
  // A file that another process is writing cannot be read.
  Language("RUS");
  FileUtf8(kTable);
  HANDLE writer = CreateFileW((dir_ / L"ZebStrings.xml").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  Texts t;
  auto table = t.Table();
  EXPECT_THROW(LoadStringsTable(table), Exception);
  CloseHandle(writer);
}

}  // namespace
