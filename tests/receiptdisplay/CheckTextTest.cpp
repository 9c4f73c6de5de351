// The receipt build of the receipt form in-process, against a recording movie in place of
// "check.swf": the receipt text the movie gets, the change key, the pictures in the in-memory file
// list behind the movie, the check's code lists, and what a build that fails leaves.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MessagePump.h"
#include "SlipviewFormFixture.h"
#include "ui/Bitmap.h"
#include "win/WinCodePage.h"
#include "win/WinPaths.h"
#include "win/WinText.h"

namespace {

std::vector<std::u16string> g_calls;  // what the movie was handed, in order
size_t g_listAtDelete = 0;            // the file list's count when deleteCheck ran

class RecordingMovie : public flash::NativeMovie {
 public:
  explicit RecordingMovie(flash::MovieHost& host) : NativeMovie(host, {}) {}

 protected:
  void OnLoad() override {
    for (const char16_t* name : {u"reloadGallery", u"deleteCheck", u"buildCheck", u"newDataCheck", u"updateTitle"})
      AddCallback(name, [name] {
        if (std::u16string(name) == u"deleteCheck") g_listAtDelete = Unit().fmSlipview->FlashList.Flashs.Count();
        g_calls.push_back(std::u16string(u"call ") + name);
        return std::u16string();
      });
  }
  void OnVariableSet(std::u16string_view name) override {
    if (name == u"ItemXML") g_calls.push_back(u"ItemXML=" + Variable(name));
  }
};

const std::vector<std::u16string> kNoCalls;
std::vector<std::u16string> Rebuilt(const std::u16string& itemXml) {
  return {u"call deleteCheck", u"ItemXML=" + itemXml, u"call newDataCheck", u"call buildCheck"};
}
const std::vector<std::u16string> kCleared = {u"call deleteCheck"};

std::string Png(uint32_t argb) {
  ui::Bitmap b(4, 4);
  for (int i = 0; i < 16; ++i) b.Bits()[i] = argb;
  const std::vector<unsigned char> png = b.EncodePng();
  return std::string(png.begin(), png.end());
}

// A file of this size without writing its bytes.
void MakeFileOfSize(const std::wstring& path, long long size) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = size;
  EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
}

class CheckText : public SlipviewFormFixture {
 protected:
  CheckText()
      : SlipviewFormFixture(L"CheckTextTestForm",
                            [](flash::MovieHost& host) { return std::make_unique<RecordingMovie>(host); }) {}
  void SetUp() override {
    SlipviewFormFixture::SetUp();
    form_->Create();
    g_calls.clear();
  }

  // One delayed apply of this check data, as the host's text reaches it.
  void Apply(const std::wstring& check) {
    g_calls.clear();
    Unit().PendingData = check;
    TMessage m{WM_APPLY_DATA, 0, 0, 0};
    form_->WMApplyData(m);
  }
  size_t Failures() const { return Count(Log(), L"AV in FormCheckText"); }
  // The names of the file list's items behind the movie.
  std::vector<std::u16string> Files() const {
    std::vector<std::u16string> names;
    const auto& items = form_->FlashList.Flashs;
    for (size_t i = 1; i < items.Count(); ++i) names.push_back(items[i].FlashStore);
    return names;
  }
  std::wstring Pic(const std::wstring& name) const { return pics_ / name; }

  TempDir pics_;
};

// The receipt text itself is the core's (ReceiptBuilderTest); these rows prove that the form hands it
// the unit's settings: the unit of pieces and the currency, the money mask, and whether zero lines show.
TEST_F(CheckText, ReceiptTextForTheMovie) {
  struct Case {
    const char* what;
    const wchar_t* mask;
    bool showZero;
    std::wstring lines;  // inside the root, after <CheckLines> ... </CheckLines>
    std::u16string itemXml;
  } cases[] = {
      {"modifiers and a combo part", L"0", true,
       L"<CheckLines><L Name=\"Burger\" Qnt=\"2\" Price=\"100\"><ModiLine Name=\"Cheese\" Qnt=\"1\" Price=\"30\"/>"
       L"<ModiLine Name=\"Salt\" Qnt=\"1\" Price=\"0\"/><ComboLine Name=\"Cola\" Qnt=\"1\" Price=\"50\"/></L></CheckLines>",
       u"<Item Picture=\"\" Name=\"Burger\" Qnt=\"2\" Portion=\"шт.\" Price=\"260\" Currency=\"руб\">"
       u"\t<Modi Name=\"*Cheese, 1x30руб\"/>\t<Modi Name=\"*Salt\"/>\t<Modi Name=\"*Cola, 1x50руб\"/></Item>"},
      {"zero line left out", L"0", false,
       L"<CheckLines><L Name=\"Free\"><ModiLine Name=\"Sauce\" Qnt=\"1\" Price=\"20\"/></L></CheckLines>", u""},
      {"discount under the mask", L"0.00", true, L"<Discounts><D Name=\"Card\" Sum=\"-26.5\"/></Discounts>",
       u"<Item Picture=\"\" Name=\"Card\" Qnt=\"\" Portion=\"\" Price=\"-26.50\" Currency=\"руб\"/>"},
  };
  for (const Case& c : cases) {
    SlipviewUnit& u = Unit();
    u.MoneyFormat = c.mask;
    u.ShowZeroCheckLines = c.showZero;
    u.LastCheckKey.clear();  // the same lines under other settings are built again
    Apply(L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check>" + c.lines + L"</Check>");
    EXPECT_EQ(g_calls, Rebuilt(c.itemXml)) << c.what;
  }
  EXPECT_EQ(Failures(), 0u);
}

TEST_F(CheckText, OnlyChangedLinesOrDiscountsRebuild) {
  const std::wstring lines = L"<CheckLines><L Name=\"Tea\" Qnt=\"1\" Price=\"5\"/></CheckLines>";
  const std::u16string tea = u"<Item Picture=\"\" Name=\"Tea\" Qnt=\"1\" Portion=\"шт.\" Price=\"5\" Currency=\"rub\"/>";
  struct Step {
    const char* what;
    std::wstring check;
    std::vector<std::u16string> calls;
  } steps[] = {
      {"the first check without lines and discounts", L"<Check Mode=\"x\" Currency=\"EUR\"/>", kNoCalls},
      {"lines", L"<Check Currency=\"RUB\">" + lines + L"</Check>", Rebuilt(tea)},
      {"the same again", L"<Check Currency=\"RUB\">" + lines + L"</Check>", kNoCalls},
      {"root attributes and payments only", L"<Check Currency=\"EUR\" Sum=\"5\">" + lines + L"<Payments/></Check>",
       kNoCalls},
      {"attributes reordered", L"<Check><CheckLines><L Price=\"5\" Name=\"Tea\" Qnt=\"1\"/></CheckLines></Check>",
       Rebuilt(u"<Item Picture=\"\" Name=\"Tea\" Qnt=\"1\" Portion=\"шт.\" Price=\"5\" Currency=\"руб\"/>")},
      {"a discount added", L"<Check><CheckLines><L Price=\"5\" Name=\"Tea\" Qnt=\"1\"/></CheckLines><Discounts/></Check>",
       Rebuilt(u"<Item Picture=\"\" Name=\"Tea\" Qnt=\"1\" Portion=\"шт.\" Price=\"5\" Currency=\"руб\"/>")},
  };
  for (const Step& s : steps) {
    Apply(s.check);
    EXPECT_EQ(g_calls, s.calls) << s.what;
  }
  EXPECT_EQ(Failures(), 0u);
}

TEST_F(CheckText, ApplyBeforeAnyCheckDataFailsAndChangesNothing) {
  Apply(L"");
  EXPECT_EQ(g_calls, kNoCalls);
  EXPECT_EQ(Failures(), 1u);
  // A text that does not parse, or has no root, after a built receipt: key, movie and files stay.
  const std::wstring check = L"<Check><CheckLines><L Name=\"A\" Qnt=\"1\" ImagePath=\"" + Pic(L"a.png") +
                             L"\"/></CheckLines></Check>";
  WriteText(Pic(L"a.png"), Png(0xFF00FF00u));
  Apply(check);
  ASSERT_EQ(g_calls.size(), 4u);
  const std::u16string key = Unit().LastCheckKey;
  for (const std::wstring bad : {L"<Check><CheckLines>", L"<?xml version=\"1.0\"?><!-- no check -->",
                                 L"<?xml version=\"1.0\" encoding=\"klingon\"?><Check/>"}) {
    Apply(bad);
    EXPECT_EQ(g_calls, kNoCalls) << Narrow(bad);
    EXPECT_EQ(Unit().LastCheckKey, key);
    EXPECT_EQ(Files(), std::vector<std::u16string>{u"a.png"});
  }
  EXPECT_EQ(Failures(), 4u);
  Apply(check);
  EXPECT_EQ(g_calls, kNoCalls) << "the receipt is still the one built";
}

TEST_F(CheckText, PicturesLieBehindTheMovieUntilTheNextRebuild) {
  WriteText(Pic(L"a.png"), Png(0xFF00FF00u));
  WriteText(Pic(L"b.jpg"), Png(0xFF0000FFu));
  CreateDirectoryW(Pic(L"sub").c_str(), nullptr);
  WriteText(Pic(L"sub\\a.png"), Png(0xFFFF0000u));
  MakeFileOfSize(Pic(L"full.png"), 32ll << 20);
  MakeFileOfSize(Pic(L"big.png"), (32ll << 20) + 1);
  SlipviewUnit& u = Unit();
  auto line = [](const std::wstring& path) { return L"<L Name=\"x\" Qnt=\"1\" ImagePath=\"" + path + L"\"/>"; };
  // Missing: no file, a folder, a device, a file over 32 MB.
  Apply(L"<Check><CheckLines>" + line(Pic(L"a.png")) + line(Pic(L"none.png")) + line(Pic(L"b.jpg")) +
        line(Pic(L"sub")) + line(L"NUL") + line(Pic(L"big.png")) + line(Pic(L"full.png")) +
        L"</CheckLines><Discounts><D Name=\"d\" Sum=\"1\" ImagePath=\"" + Pic(L"sub\\a.png") +
        L"\"/></Discounts></Check>");
  ASSERT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(Files(), (std::vector<std::u16string>{u"a.png", u"b.jpg", u"full.png", u"a.png"}));
  EXPECT_EQ(u.FlashBase, 5);
  EXPECT_EQ(form_->FlashList.Flashs[1].Bytes, Png(0xFF00FF00u));
  EXPECT_EQ(form_->FlashList.Flashs[3].Bytes.size(), 32u << 20);
  EXPECT_EQ(form_->FlashList.Flashs[4].Bytes, Png(0xFFFF0000u));
  const std::u16string& text = g_calls[1];
  for (const char16_t* shown : {u"Picture=\"a.png\"", u"Picture=\"b.jpg\"", u"Picture=\"full.png\""})
    EXPECT_NE(text.find(shown), std::u16string::npos) << Narrow(shown);
  EXPECT_EQ(text.find(u"big.png"), std::u16string::npos);
  EXPECT_EQ(text.find(u"none.png"), std::u16string::npos);
  EXPECT_EQ(text.find(u"sub"), std::u16string::npos);

  // The gallery's pictures come behind; a rebuild frees them with the receipt's, after deleteCheck.
  form_->FlashList.Flashs.Add().FlashStore = u"dish1.jpg";
  form_->FlashList.Flashs.Add().FlashStore = u"dish2.jpg";
  Apply(L"<Check><CheckLines>" + line(Pic(L"b.jpg")) + L"</CheckLines></Check>");
  EXPECT_EQ(g_listAtDelete, 7u);
  EXPECT_EQ(Files(), std::vector<std::u16string>{u"b.jpg"});
  EXPECT_EQ(u.FlashBase, 2);
  Apply(L"<Check><CheckLines>" + line(L"") + L"</CheckLines></Check>");
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(u.FlashBase, 1);
  EXPECT_EQ(form_->FlashList.Flashs[0].FlashStore, u"check.swf");
  EXPECT_EQ(Failures(), 0u);
}

TEST_F(CheckText, CodeListsOfTheLastCheckWithLines) {
  SlipviewUnit& u = Unit();
  struct Step {
    std::wstring lines;
    std::vector<int32_t> codes, categories;
    bool fails;
  } steps[] = {
      {L"<CheckLines Codes=\"12, 15\"/>", {12, 15}, {}, false},
      {L"<CheckLines Codes=\" 3,$10,\" Categories=\"7\"/>", {3, 16}, {7}, false},
      {L"<Discounts><D Name=\"x\"/></Discounts>", {3, 16}, {7}, false},  // no lines: both kept
      {L"<CheckLines Codes=\"12 ,15\"/>", {}, {}, true},
      {L"<CheckLines Codes=\"1,2,x,4\"/>", {1, 2}, {}, true},
      {L"<CheckLines Categories=\"5,bad\" Codes=\"12\"/>", {}, {5}, true},  // Codes never read
  };
  for (const Step& s : steps) {
    Apply(L"<Check>" + s.lines + L"</Check>");
    EXPECT_EQ(u.CheckDishCodes, s.codes) << Narrow(s.lines);
    EXPECT_EQ(u.CheckCategories, s.categories) << Narrow(s.lines);
    if (s.fails) {
      EXPECT_EQ(g_calls, kCleared) << "the receipt is cleared and not handed over";
    }
  }
  EXPECT_EQ(Failures(), 3u);
}

// A build that fails after the key step leaves what it did, and keeps no key: the same check data
// is built again when it comes again (a picture that another program held, say).
TEST_F(CheckText, FailedBuildIsBuiltAgainWhenItsCheckComesAgain) {
  SlipviewUnit& u = Unit();
  WriteText(Pic(L"a.png"), Png(0xFF00FF00u));
  const std::wstring bad = L"<Check><CheckLines><L Name=\"A\" Qnt=\"1\" ImagePath=\"" + Pic(L"a.png") +
                           L"\"/><L Name=\"B\" Qnt=\"abc\"/></CheckLines></Check>";
  for (int i = 0; i < 2; ++i) {
    Apply(bad);
    EXPECT_EQ(g_calls, kCleared);
    EXPECT_EQ(Files(), std::vector<std::u16string>{u"a.png"});
    EXPECT_EQ(u.FlashBase, 2);
    EXPECT_TRUE(u.LastCheckKey.empty());
  }
  EXPECT_EQ(Failures(), 2u);

  const std::wstring check = L"<Check><CheckLines><L Name=\"A\" Qnt=\"1\" ImagePath=\"" + Pic(L"a.png") +
                             L"\"/></CheckLines></Check>";
  HANDLE held = CreateFileW(Pic(L"a.png").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Apply(check);
  CloseHandle(held);
  EXPECT_EQ(g_calls, kCleared);
  EXPECT_EQ(Files(), std::vector<std::u16string>{u""}) << "the item made for the picture stays";
  EXPECT_EQ(u.FlashBase, 2);
  EXPECT_EQ(Failures(), 3u);
  Apply(check);
  EXPECT_EQ(g_calls, Rebuilt(u"<Item Picture=\"a.png\" Name=\"A\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" "
                             u"Currency=\"руб\"/>"));
  EXPECT_EQ(Files(), std::vector<std::u16string>{u"a.png"});
  EXPECT_FALSE(u.LastCheckKey.empty());

  // Built, then a build that fails, then the built check again: the failure cleared the movie's
  // receipt, so the check that was built before is built again.
  Apply(bad);
  EXPECT_EQ(g_calls, kCleared);
  EXPECT_TRUE(u.LastCheckKey.empty());
  Apply(check);
  EXPECT_EQ(g_calls, Rebuilt(u"<Item Picture=\"a.png\" Name=\"A\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" "
                             u"Currency=\"руб\"/>"));
  EXPECT_EQ(Failures(), 4u);
}

// A root Currency of 40,000 characters repeated in 200 items would make an 8 M-character receipt.
TEST_F(CheckText, ReceiptTextPastItsBoundFailsLikeAnyBadCheck) {
  std::wstring check = L"<Check Currency=\"" + std::wstring(40000, L'e') + L"\"><CheckLines>";
  for (int i = 0; i < 200; ++i) check += L"<L Name=\"A\" Qnt=\"1\" Price=\"5\"/>";
  Apply(check + L"</CheckLines></Check>");
  EXPECT_EQ(g_calls, kCleared);
  EXPECT_EQ(Failures(), 1u);
  EXPECT_TRUE(Unit().LastCheckKey.empty());
  Apply(L"<Check Currency=\"EUR\"><CheckLines><L Name=\"A\" Qnt=\"1\" Price=\"5\"/></CheckLines></Check>");
  EXPECT_EQ(g_calls, Rebuilt(u"<Item Picture=\"\" Name=\"A\" Qnt=\"1\" Portion=\"шт.\" Price=\"5\" Currency=\"eur\"/>"));
  EXPECT_EQ(Failures(), 1u);
}

TEST_F(CheckText, BurstOfTwentyIdenticalTextsCostsOneRebuild) {
  const std::wstring check = L"<Check><CheckLines><L Name=\"A\" Qnt=\"1\"/></CheckLines></Check>";
  for (int i = 0; i < 20; ++i) EXPECT_EQ(CopyData(CHECK_DATA_TAG, check, 2 * check.size()), 1);
  ASSERT_TRUE(PumpUntil(*app_, [] { return !g_calls.empty(); }, 5000));
  Pump(*app_, 1200);  // no second apply comes
  size_t rebuilds = 0;
  for (const auto& call : g_calls) rebuilds += call == u"call deleteCheck";
  EXPECT_EQ(rebuilds, 1u);
  EXPECT_EQ(g_calls.size(), 4u);
}

// The check data goes through the system's 8-bit code page: a Cyrillic system keeps Cyrillic names,
// whatever encoding the text's declaration names, or without one; a Western one turns them into "?".
TEST_F(CheckText, CyrillicNamesNeedACyrillicCodePage) {
  const UINT codePage = GetACP();
  if (codePage != 1251 && codePage != 1252) GTEST_SKIP() << "code page " << codePage;
  const std::u16string name = codePage == 1251 ? u"Борщ" : u"????";
  for (const std::wstring declaration : {L"<?xml version=\"1.0\" encoding=\"windows-1251\"?>", L"",
                                         L"<?xml version=\"1.0\"?>", L"<?xml version=\"1.0\" encoding=\"utf-8\"?>"}) {
    Unit().LastCheckKey.clear();
    Apply(declaration + L"<Check><CheckLines><L Name=\"Борщ\" Qnt=\"1\"/></CheckLines></Check>");
    EXPECT_EQ(g_calls, Rebuilt(u"<Item Picture=\"\" Name=\"" + name +
                               u"\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" Currency=\"руб\"/>"))
        << Narrow(declaration);
  }
}

// A letter the code page lacks takes its look-alike on the way ("è" is "e" on a Cyrillic system); a
// sign never does: a full-width "<" or quotation mark becomes "?", and the check still parses.
TEST_F(CheckText, CodePageTakesLookAlikeLettersButNoSigns) {
  const UINT codePage = GetACP();
  if (codePage != 1251 && codePage != 1252) GTEST_SKIP() << "code page " << codePage;
  const std::u16string creme = codePage == 1251 ? u"Creme brulee" : u"Crème brûlée";
  Apply(L"<?xml version=\"1.0\" encoding=\"windows-" + std::to_wstring(codePage) +
        L"\"?><Check><CheckLines><L Name=\"Crème brûlée\" Qnt=\"1\"/>"
        L"<L Name=\"a\uFF1Cb\uFF02c\" Qnt=\"1\"/></CheckLines></Check>");
  EXPECT_EQ(Failures(), 0u);
  EXPECT_EQ(g_calls, Rebuilt(u"<Item Picture=\"\" Name=\"" + creme +
                             u"\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" Currency=\"руб\"/>"
                             u"<Item Picture=\"\" Name=\"a?b?c\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" "
                             u"Currency=\"руб\"/>"));
}

}  // namespace
