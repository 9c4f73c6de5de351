// The receipt form in-process against a recording movie in place of "check.swf": what form creation
// hands the movie, the hidden start, the gallery tick with no entries, the menu that is put in force
// only when it parses and the code page it goes through, and the delay that the apply lets go of only
// once it has run out.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "SlipviewFormFixture.h"
#include "win/WinCodePage.h"

namespace {

std::vector<std::u16string> g_calls;  // what the movie was handed, in order

class RecordingMovie : public flash::NativeMovie {
 public:
  explicit RecordingMovie(flash::MovieHost& host) : NativeMovie(host, {}) {}

 protected:
  void OnLoad() override {
    for (const char16_t* name : {u"reloadGallery", u"deleteCheck", u"buildCheck", u"newDataCheck", u"updateTitle"})
      AddCallback(name, [name] {
        g_calls.push_back(std::u16string(u"call ") + name);
        return std::u16string();
      });
    AddCallback(u"sayPositive", [this] {
      FSCommand(u"positive");
      FSCommand(u"Positive");
      FSCommand(u"negative");
      return std::u16string();
    });
  }
  void OnVariableSet(std::u16string_view name) override {
    g_calls.push_back(std::u16string(name) + u"=" + Variable(name));
  }
};

class SlipviewForm : public SlipviewFormFixture {
 protected:
  SlipviewForm()
      : SlipviewFormFixture(L"SlipviewFormTestForm", [](flash::MovieHost& host) {
          return std::make_unique<RecordingMovie>(host);
        }) {}
  void SetUp() override {
    g_calls.clear();
    SlipviewFormFixture::SetUp();
  }
  static void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(5);
    }
  }
};

TEST_F(SlipviewForm, CreationHandsTheMovieItsTitleAndBlankEntryAndStartsHidden) {
  form_->Create();
  const std::vector<std::u16string> expected = {
      u"TitleXML=<Item Name=\"Наименование\" Quantity=\"Количество\" Amount=\"Стоимость\" "
      u"Description=\"Приходите еще!\" Evaluation=\"false\"/>",
      u"GalleryXML=<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\" \" Picture=\"\"/>",
      u"call updateTitle"};
  EXPECT_EQ(g_calls, expected);
  const SlipviewUnit& u = Unit();
  EXPECT_TRUE(u.Started);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(form_->LayeredFlashForm.AlphaBlendValue(), 0);
  EXPECT_NE(GetWindowLongW(form_->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_TRUE(form_->ExpoTimer.Enabled());
  EXPECT_EQ(form_->ExpoTimer.Interval(), 3000u);
  EXPECT_EQ(u.MoneyFormat, L"0");
  EXPECT_EQ(u.ItemNameField, L"Name");
  EXPECT_TRUE(u.ShowZeroCheckLines);
  EXPECT_EQ(form_->Caption(), L"Slipview");
  EXPECT_EQ(form_->Left(), 1024);
  EXPECT_EQ(form_->Top(), 220);
  EXPECT_EQ(form_->Width(), 768);
  EXPECT_EQ(form_->Height(), 805);
  const std::wstring log = Log();
  EXPECT_LT(log.find(L"> Create"), log.find(L"> started"));
  EXPECT_LT(log.find(L"< started"), log.find(L"< Create"));
}

TEST_F(SlipviewForm, DisplayTextsReachTheTitleAsEntities) {
  Unit().Texts.NAME = L"Fish & \"Chips\"";
  form_->Create();
  ASSERT_FALSE(g_calls.empty());
  const std::u16string start = u"TitleXML=<Item Name=\"Fish &amp; &quot;Chips&quot;\" ";
  EXPECT_EQ(g_calls[0].substr(0, start.size()), start);
}

TEST_F(SlipviewForm, GalleryTickWithoutEntriesShowsTheBlankEntry) {
  form_->Create();
  g_calls.clear();
  form_->ExpoTimerTimer();
  form_->FormClose();  // no gallery list any more: the tick still shows the blank entry
  form_->ExpoTimerTimer();
  const std::u16string blank = u"GalleryXML=<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\" \" Picture=\"\"/>";
  EXPECT_EQ(g_calls, (std::vector<std::u16string>{blank, u"call reloadGallery", blank, u"call reloadGallery"}));
}

TEST_F(SlipviewForm, MovieCommandsAreLoggedFromTheLoop) {
  form_->Create();
  form_->FlashPlayer.CallFunction(u"<invoke name=\"sayPositive\" returntype=\"\"><arguments /></invoke>");
  EXPECT_EQ(Count(Log(), L"Positive"), 0u) << "nothing is delivered inside the call";
  Pump(200);
  const std::wstring log = Log();
  EXPECT_EQ(Count(log, L"[NOTE] Positive"), 1u);
  EXPECT_EQ(Count(log, L"[NOTE] Negative"), 1u);
  EXPECT_LT(log.find(L"Positive"), log.find(L"Negative"));
}

TEST_F(SlipviewForm, MenuIsPutInForceOnlyWhenItParses) {
  form_->Create();
  SlipviewUnit& u = Unit();
  // Counted terminating zero: the menu is read up to it.
  const std::wstring good = L"<?xml version=\"1.0\"?><Menu><Dish Code=\"1\"/></Menu>";
  EXPECT_EQ(CopyData(MENU_DATA_TAG, good, 2 * (good.size() + 1)), 1);
  ASSERT_NE(u.MenuDocument->Root(), nullptr);
  EXPECT_EQ(u.MenuDocument->Root()->Name(), u"Menu");
  EXPECT_EQ(u.MenuText, good + L'\0');
  const XmlDocument* inForce = u.MenuDocument.get();

  for (const std::wstring bad : {L"<Menu><Dish></Menu>", L"<?xml version=\"1.0\" encoding=\"klingon\"?><Menu/>"}) {
    EXPECT_EQ(CopyData(MENU_DATA_TAG, bad, 2 * bad.size()), 1);
    EXPECT_EQ(u.MenuDocument.get(), inForce);
    EXPECT_EQ(u.MenuText, good + L'\0');
  }
  EXPECT_EQ(Count(Log(), L"[ERROR] AV in WMCopyData"), 2u);

  // No text: an empty menu, and no scenario is applied until a menu with text comes.
  EXPECT_EQ(CopyData(MENU_DATA_TAG, L"", 0), 1);
  EXPECT_EQ(u.MenuDocument->Root(), nullptr);
  EXPECT_TRUE(u.MenuText.empty());
}

// The menu goes through the system's 8-bit code page: a letter the page lacks takes its look-alike
// ("è" is "e" on a Cyrillic system, kept as it is on a Western one), a sign never does: full-width
// "<" and quotation marks become "?" on either, so the menu still parses and its names stay whole.
TEST_F(SlipviewForm, MenuCodePageTakesLookAlikeLettersButNoSigns) {
  const UINT codePage = GetACP();
  if (codePage != 1251 && codePage != 1252) GTEST_SKIP() << "code page " << codePage;
  form_->Create();
  const std::wstring menu = L"<?xml version=\"1.0\" encoding=\"windows-" + std::to_wstring(codePage) +
                            L"\"?><Menu><D Code=\"1\" Name=\"Crème brûlée\"/>"
                            L"<D Code=\"2\" Name=\"a\uFF1Cb\uFF02c\uFF1E\uFF06\uFF1D\"/></Menu>";
  EXPECT_EQ(CopyData(MENU_DATA_TAG, menu, 2 * menu.size()), 1);
  EXPECT_EQ(Count(Log(), L"AV in WMCopyData"), 0u);
  const XmlNode* root = Unit().MenuDocument->Root();
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->ChildCount(), 2u);
  EXPECT_EQ(root->Child(0)->Attr(u"Name"), codePage == 1251 ? u"Creme brulee" : u"Crème brûlée");
  EXPECT_EQ(root->Child(1)->Attr(u"Name"), u"a?b?c???");
}

TEST_F(SlipviewForm, TextsKeepTheirCountedCharacters) {
  form_->Create();
  SlipviewUnit& u = Unit();
  EXPECT_EQ(CopyData(SCENARIO_DATA_TAG, L"<SceneList/>", 7), 1);
  EXPECT_EQ(u.ScenarioText, L"<Sc");
  EXPECT_EQ(CopyData(0xD5D5, L"<Check/>", 16), 1);
  EXPECT_TRUE(u.PendingData.empty());
  EXPECT_EQ(Count(Log(), L"receive"), 1u);
}

TEST_F(SlipviewForm, ApplyLetsGoOnlyOfADelayThatHasRunOut) {
  form_->Create();
  EXPECT_EQ(CopyData(CHECK_DATA_TAG, L"<Check/>", 16), 1);
  ASSERT_TRUE(form_->ScenarioTimerThread);
  // An apply brought by an earlier delay while this one still waits: it stays named.
  TMessage m{WM_APPLY_DATA, 0, 0, 0};
  form_->WMApplyData(m);
  EXPECT_EQ(m.Result, 1);
  EXPECT_TRUE(form_->ScenarioTimerThread);
  Pump(900);  // the delay runs out and its apply lets it go
  EXPECT_FALSE(form_->ScenarioTimerThread);
  EXPECT_EQ(Count(Log(), L"> apply data"), 2u);
}

// A text handled after its delay ran out but before that delay's apply: the expired delay is left
// alone, the new one waits 1000 ms and stays named through the first apply, and the text is applied
// twice.
TEST_F(SlipviewForm, CheckInTheExpiredGapIsAppliedTwice) {
  form_->Create();
  EXPECT_EQ(CopyData(CHECK_DATA_TAG, L"<Check/>", 16), 1);
  Sleep(700);  // the delay runs out and posts while the loop is busy
  const DWORD second = GetTickCount();
  EXPECT_EQ(CopyData(CHECK_DATA_TAG, L"<Check/>", 16), 1);
  EXPECT_EQ(form_->ScenarioTimerThread.Interval(), 1000);
  Pump(100);
  EXPECT_EQ(Count(Log(), L"> apply data"), 1u);
  EXPECT_TRUE(form_->ScenarioTimerThread) << "the delay started in the gap stays named";
  while (Count(Log(), L"> apply data") < 2 && GetTickCount() - second < 3000) Pump(20);
  EXPECT_EQ(Count(Log(), L"> apply data"), 2u);
  EXPECT_GE(GetTickCount() - second, 950u);
  EXPECT_FALSE(form_->ScenarioTimerThread);
}

// A failure that escapes a handler run by the message loop (here the delay that a check text starts
// cannot be made) reaches the application-wide handler: its two lines, the loop ends, and the unit's
// shut-down closes the socket, as the program's main block does it. The real program offers no way
// from outside to make a handler fail, so this runs in-process.
TEST_F(SlipviewForm, ExceptionInAHandlerEndsTheProgramAfterTwoLinesThenTheSocketCloses) {
  form_->Create();
  Unit().Delays.StartDelay = [](HWND, int32_t) -> TTimerThreadRef {
    throw std::runtime_error("Thread creation error");
  };
  const wchar_t text[] = L"<Check/>";
  COPYDATASTRUCT record{CHECK_DATA_TAG, sizeof text, const_cast<wchar_t*>(text)};
  SendMessageW(form_->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the handler asked the loop to end";
  app_->Run();  // ends at once on that request
  form_.reset();
  SlipviewFinalization();
  finalized_ = true;

  const std::wstring log = Log();
  std::vector<std::wstring> lines;
  for (size_t at = 0, end; (end = log.find(L"\r\n", at)) != std::wstring::npos; at = end + 2) {
    const size_t text = log.find(L"[", at);
    if (text < end) lines.push_back(log.substr(text, end - text));
  }
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::wstring>(lines.end() - 5, lines.end()),
            (std::vector<std::wstring>{L"[NOTE] receive data", L"[ERROR] AV \rThread creation error",
                                       L"[ERROR] application self-terminated", L"[NOTE] > closing socket",
                                       L"[NOTE] < closing socket"}));
}

TEST_F(SlipviewForm, CloseCancelsAWaitingDelay) {
  form_->Create();
  EXPECT_EQ(CopyData(CHECK_DATA_TAG, L"<Check/>", 16), 1);
  form_->FormClose();
  EXPECT_EQ(form_->flist, nullptr);
  Pump(800);
  EXPECT_EQ(Count(Log(), L"> apply data"), 0u);
}

}  // namespace
