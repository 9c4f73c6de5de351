// The receipt form's gallery in-process, against a movie that records the entry it is given at each
// reloadGallery, with the gallery timer driven by hand: what a scenario apply builds (entries, names,
// pictures in the file list), the ticks that follow, the failures that stop the timer, show and hide,
// and a receipt rebuild that takes the gallery's pictures away.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SlipviewFormFixture.h"
#include "win/Handles.h"

namespace {

std::vector<std::u16string> g_shown;  // GalleryXML at each reloadGallery, in order

class GalleryRecorder : public flash::NativeMovie {
 public:
  explicit GalleryRecorder(flash::MovieHost& host) : NativeMovie(host, {}) {}

 protected:
  void OnLoad() override {
    for (const char16_t* name : {u"deleteCheck", u"buildCheck", u"newDataCheck", u"updateTitle"})
      AddCallback(name, [] { return std::u16string(); });
    AddCallback(u"reloadGallery", [this] {
      g_shown.push_back(Variable(u"GalleryXML"));
      return std::u16string();
    });
  }
};

std::u16string Shown(std::u16string_view name, std::u16string_view picture) {
  return u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"" + std::u16string(name) + u"\" Picture=\"" +
         std::u16string(picture) + u"\"/>";
}
const std::u16string kBlank = Shown(u" ", u"");
const std::u16string kMenu =
    u"<Menu><D Code=\"5\" Name=\"Crème\" LargeImagePath=\"a.png;b.png\"/>"
    u"<D Code=\"7\" LargeImagePath=\"c.png\"/><D Code=\"9\" Name=\"Tea\" LargeImagePath=\";b.png\"/>"
    u"<D Code=\"12\" Name=\"Cola\" LargeImagePath=\"missing.png\"/>"
    u"<D Code=\"13\" Name=\"Dir\" LargeImagePath=\"folder.png\"/></Menu>";

class SlipviewGallery : public SlipviewFormFixture {
 protected:
  SlipviewGallery()
      : SlipviewFormFixture(L"SlipviewGalleryTestForm", [](flash::MovieHost& host) {
          return std::make_unique<GalleryRecorder>(host);
        }) {}
  void SetUp() override {
    SlipviewFormFixture::SetUp();
    form_->Create();
    CreateDirectoryW((pics_ / L"folder.png").c_str(), nullptr);
    for (const wchar_t* name : {L"a.png", L"b.png", L"c.png"}) WriteText(pics_ / name, Narrow(name) + " bytes");
    Menu(kMenu);
    g_shown.clear();
  }

  void Menu(const std::u16string& text) {
    const std::wstring w(text.begin(), text.end());
    CopyData(MENU_DATA_TAG, w, w.size() * 2);
  }
  // A scenario whose picture folder is the test's, with these entries.
  std::wstring Scenario(const std::wstring& entries, const std::wstring& picPath) const {
    return L"<SceneList PicPath=\"" + picPath + L"\">" + entries + L"</SceneList>";
  }
  std::wstring Scenario(const std::wstring& entries) const { return Scenario(entries, pics_.Path()); }
  void Apply(const std::wstring& scenario) { form_->FormMediaScenario(scenario); }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) form_->ExpoTimerTimer();
  }
  // The gallery's pictures in the file list: name and bytes.
  std::vector<std::pair<std::u16string, std::string>> GalleryFiles() const {
    std::vector<std::pair<std::u16string, std::string>> files;
    const auto& items = form_->FlashList.Flashs;
    for (size_t i = static_cast<size_t>(Unit().FlashBase); i < items.Count(); ++i)
      files.emplace_back(items[i].FlashStore, items[i].Contents());
    return files;
  }
  size_t Failures() const { return Count(Log(), L"AV in FormMediaScenario"); }

  TempDir pics_;
};

TEST_F(SlipviewGallery, NoDishToShowGivesTheBlankEntryAtOnceAndOnEveryTick) {
  struct Case {
    std::wstring scenario;
    std::vector<int32_t> onReceipt;
  } cases[] = {
      {L"", {}},
      {L"<?xml version=\"1.0\"?><!-- no root -->", {}},
      {Scenario(L"<S><parameters DishCodes=\"5,7\"/></S><S><parameters DishCode=\"9\"/></S>"), {9, 7, 5}},
      {Scenario(L"<S><parameters DishCodes=\"1000\"/></S><S><other DishCodes=\"5\"/></S>"), {}},
  };
  for (const Case& c : cases) {
    g_shown.clear();
    Unit().CheckDishCodes = c.onReceipt;
    Apply(c.scenario);
    Tick(2);
    EXPECT_EQ(g_shown, (std::vector<std::u16string>{kBlank, kBlank, kBlank})) << Narrow(c.scenario);
    EXPECT_TRUE(form_->flist->empty());
    EXPECT_EQ(form_->fnum, -1);
    EXPECT_TRUE(form_->ExpoTimer.Enabled());
  }
  EXPECT_EQ(Failures(), 0u);
}

TEST_F(SlipviewGallery, EntriesFollowTheScenarioOneTickAfterTheOther) {
  Unit().CheckDishCodes = {44};
  Apply(Scenario(L"<S><parameters DishCodes=\"5\" DishCode=\"7\"/></S><S><x/><parameters DishCodes=\"9, 44,5,\"/></S>"
                 L"<S><parameters DishCode=\"12\"/></S><S><parameters DishCode=\"13\"/></S>"));
  const std::vector<std::u16string> entries = {
      Shown(u"CRÈME", u"a.png"),  // the first of its pictures
      Shown(u"", u"c.png"),     // no name attribute: an empty name, not the blank one
      Shown(u"TEA", u""),       // ";b.png": the folder itself, no file
      Shown(u"CRÈME", u"a.png"),  // listed twice: two entries
      Shown(u"COLA", u""),      // no such file
      Shown(u"DIR", u""),       // a folder is no picture
  };
  EXPECT_EQ(g_shown, std::vector<std::u16string>{entries[0]}) << "the first entry shows at once";
  EXPECT_EQ(Unit().ScenarioCodes, (std::vector<int32_t>{5, 7, 9, 5, 12, 13}));
  EXPECT_EQ(form_->fnum, 1);
  Tick(static_cast<int>(entries.size()));
  std::vector<std::u16string> expected = entries;
  expected.push_back(entries[0]);
  EXPECT_EQ(g_shown, expected);
  // Each entry has an item of its picture, in gallery order; the entries of one file share its bytes.
  const std::vector<std::pair<std::u16string, std::string>> files = {
      {u"a.png", "a.png bytes"}, {u"c.png", "c.png bytes"}, {u"a.png", "a.png bytes"}};
  EXPECT_EQ(GalleryFiles(), files);

  // The next apply frees them before it loads its own.
  Apply(Scenario(L"<S><parameters DishCode=\"7\"/></S>"));
  EXPECT_EQ(GalleryFiles(), (std::vector<std::pair<std::u16string, std::string>>{{u"c.png", "c.png bytes"}}));
  Tick(2);
  EXPECT_EQ(std::vector<std::u16string>(g_shown.end() - 3, g_shown.end()),
            std::vector<std::u16string>(3, Shown(u"", u"c.png")))
      << "one entry shows on every tick";
  EXPECT_EQ(Failures(), 0u);
}

TEST_F(SlipviewGallery, PictureNamedForManyCodesIsHeldOnce) {
  // A dish listed for a thousand codes, between two others: one item per entry, one copy of a.png.
  std::wstring codes = L"7,";
  for (int i = 0; i < 1000; ++i) codes += L"5,";
  Apply(Scenario(L"<S><parameters DishCodes=\"" + codes + L"7\"/></S>"));
  ASSERT_EQ(form_->flist->size(), 1002u);
  const auto& items = form_->FlashList.Flashs;
  const size_t base = static_cast<size_t>(Unit().FlashBase);
  ASSERT_EQ(items.Count(), base + 1002);
  const char* const a = items[base + 1].Contents().data();
  for (size_t i = base + 1; i <= base + 1000; ++i) {
    ASSERT_EQ(items[i].FlashStore, u"a.png");
    ASSERT_EQ(items[i].Contents(), "a.png bytes");
    ASSERT_EQ(items[i].Contents().data(), a) << "item " << i << " holds a copy of its own";
  }
  EXPECT_EQ(items[base].Contents(), "c.png bytes");
  EXPECT_EQ(items[base + 1001].Contents().data(), items[base].Contents().data()) << "c.png, named twice";
}

TEST_F(SlipviewGallery, GalleryPastItsBoundFailsTheApply) {
  // A picture folder of 40,000 characters in front of 100 entries' paths: 8 M characters.
  std::wstring codes;
  for (int i = 0; i < 100; ++i) codes += L"7,";
  Apply(Scenario(L"<S><parameters DishCodes=\"" + codes + L"\"/></S>", std::wstring(40000, L'p')));
  EXPECT_EQ(Failures(), 1u);
  EXPECT_FALSE(form_->ExpoTimer.Enabled());
  EXPECT_LT(form_->flist->size(), 100u) << "the entries within the bound stay";
  Apply(Scenario(L"<S><parameters DishCodes=\"7\"/></S>"));
  EXPECT_EQ(Failures(), 1u);
  EXPECT_EQ(g_shown.back(), Shown(u"", u"c.png"));
}

TEST_F(SlipviewGallery, PictureFolderIsAPlainPrefix) {
  WriteText(logDir_ / L"picsa.png", "joined");
  const std::wstring noBackslash = pics_.Path().substr(0, pics_.Path().size() - 1);
  Apply(Scenario(L"<S><parameters DishCode=\"5\"/></S>", noBackslash));
  EXPECT_EQ(g_shown, std::vector<std::u16string>{Shown(u"CRÈME", u"")}) << "no file at the joined path";
  Apply(Scenario(L"<S><parameters DishCode=\"5\"/></S>", logDir_.Path() + L"pics"));
  EXPECT_EQ(g_shown.back(), Shown(u"CRÈME", u"picsa.png"));
  EXPECT_EQ(GalleryFiles(), (std::vector<std::pair<std::u16string, std::string>>{{u"picsa.png", "joined"}}));
}

TEST_F(SlipviewGallery, ScenarioWithoutRootKeepsThePicturesAndAnotherRootFails) {
  Apply(Scenario(L"<S><parameters DishCodes=\"5,7\"/></S>"));
  const auto pictures = GalleryFiles();
  ASSERT_EQ(pictures.size(), 2u);

  Apply(L"");
  EXPECT_TRUE(form_->flist->empty());
  EXPECT_EQ(GalleryFiles(), pictures) << "no root: the pictures stay in the file list";
  EXPECT_EQ(g_shown.back(), kBlank);

  Apply(Scenario(L"<S><parameters DishCodes=\"5\"/></S>"));
  const size_t shown = g_shown.size();
  Apply(L"<scenelist><S><parameters DishCodes=\"7\"/></S></scenelist>");
  EXPECT_EQ(Failures(), 1u);
  EXPECT_FALSE(form_->ExpoTimer.Enabled()) << "the timer stays stopped after a failed apply";
  EXPECT_EQ(g_shown.size(), shown) << "the movie keeps the entry it showed last";
  EXPECT_TRUE(form_->flist->empty());
  EXPECT_EQ(GalleryFiles().size(), 1u) << "the failure came before the pictures were freed";

  Apply(L"<SceneList><S><parameters DishCodes=\"5\"/>");  // does not parse
  EXPECT_EQ(Failures(), 2u);
  Apply(Scenario(L"<S><parameters DishCodes=\"7\"/></S>"));
  EXPECT_TRUE(form_->ExpoTimer.Enabled()) << "a good apply starts it again";
  EXPECT_EQ(g_shown.back(), Shown(u"", u"c.png"));
}

TEST_F(SlipviewGallery, FailureInTheMiddleKeepsWhatWasBuiltAndStopsTheTimer) {
  Menu(u"<Menu><D Code=\"5\" Name=\"Soup\" LargeImagePath=\"a.png\"/><D Code=\"soup\" Name=\"Word\"/>"
       u"<D Code=\"7\" Name=\"Cake\"/></Menu>");
  Apply(Scenario(L"<S><parameters DishCodes=\"5,5,7\"/></S>"));
  EXPECT_EQ(Failures(), 1u);
  EXPECT_FALSE(form_->ExpoTimer.Enabled());
  EXPECT_TRUE(g_shown.empty()) << "no tick after the failure";
  ASSERT_EQ(form_->flist->size(), 2u) << "the entries before the word stay";
  EXPECT_EQ(form_->flist->at(1).second->Picture, u"a.png");
  EXPECT_EQ(GalleryFiles().size(), 2u);

  // A bad code list fails before any entry.
  Apply(Scenario(L"<S><parameters DishCodes=\"101 ,102\"/></S>"));
  Apply(Scenario(L"<S><parameters DishCodes=\",101\"/></S>"));
  EXPECT_EQ(Failures(), 3u);
  EXPECT_TRUE(form_->flist->empty());
}

TEST_F(SlipviewGallery, PicturesAreRegularFilesOfAtMost32Megabytes) {
  {
    win::UniqueFile big(CreateFileW((pics_ / L"big.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    LARGE_INTEGER size{};
    size.QuadPart = (32ll << 20) + 1;
    ASSERT_TRUE(SetFilePointerEx(big.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(big.Get()));
  }
  WriteText(pics_ / L"limit.png", std::string(32u << 20, 'x'));
  Menu(u"<Menu><D Code=\"1\" Name=\"Big\" LargeImagePath=\"big.png\"/><D Code=\"2\" LargeImagePath=\"limit.png\"/>"
       u"<D Code=\"3\" LargeImagePath=\"folder.png\"/><D Code=\"4\" LargeImagePath=\"\\\\.\\NUL\"/>"
       u"<D Code=\"5\" LargeImagePath=\"CON.png\"/></Menu>");
  Apply(Scenario(L"<S><parameters DishCodes=\"1,2,3\"/></S>"));
  EXPECT_EQ(Failures(), 0u);
  ASSERT_EQ(form_->flist->size(), 3u);
  EXPECT_EQ(form_->flist->at(0).second->Picture, u"");
  EXPECT_EQ(form_->flist->at(1).second->Picture, u"limit.png");
  EXPECT_EQ(form_->flist->at(2).second->Picture, u"");
  ASSERT_EQ(GalleryFiles().size(), 1u);
  EXPECT_EQ(GalleryFiles()[0].second.size(), 32u << 20);

  Apply(Scenario(L"<S><parameters DishCodes=\"4,5\"/></S>", L""));  // devices
  EXPECT_EQ(Failures(), 0u);
  ASSERT_EQ(form_->flist->size(), 2u);
  EXPECT_EQ(form_->flist->at(0).second->Picture, u"");
  EXPECT_EQ(form_->flist->at(1).second->Picture, u"");
  EXPECT_TRUE(form_->ExpoTimer.Enabled());

  // Held open for writing by another program, a picture is read all the same.
  {
    const win::UniqueFile writer(CreateFileW((pics_ / L"limit.png").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    Apply(Scenario(L"<S><parameters DishCodes=\"2\"/></S>"));
    EXPECT_EQ(Failures(), 0u);
    ASSERT_EQ(form_->flist->size(), 1u);
    EXPECT_EQ(form_->flist->at(0).second->Picture, u"limit.png");
  }

  // A picture that exists but cannot be read fails the apply.
  win::UniqueFile held(CreateFileW((pics_ / L"limit.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  Apply(Scenario(L"<S><parameters DishCodes=\"3,2\"/></S>"));
  EXPECT_EQ(Failures(), 1u);
  EXPECT_FALSE(form_->ExpoTimer.Enabled());
  EXPECT_EQ(form_->flist->size(), 1u) << "the entry before it stays";
}

TEST_F(SlipviewGallery, HideEmptiesTheListAndShowRebuildsItAtTheNextApply) {
  TMessage m{};
  form_->WMShowDisplay(m);
  ASSERT_TRUE(form_->Visible());
  Unit().ScenarioText = Scenario(L"<S><parameters DishCodes=\"5,9\"/></S>");
  form_->WMApplyData(m);
  EXPECT_EQ(g_shown, std::vector<std::u16string>{Shown(u"CRÈME", u"a.png")});

  form_->WMHideDisplay(m);
  EXPECT_TRUE(form_->flist->empty());
  EXPECT_EQ(form_->fnum, -1);
  Tick(2);
  EXPECT_EQ(std::vector<std::u16string>(g_shown.begin() + 1, g_shown.end()), std::vector<std::u16string>(2, kBlank));
  form_->WMApplyData(m);  // hidden: the scenario is not applied
  Tick();
  EXPECT_EQ(g_shown.back(), kBlank);

  form_->WMShowDisplay(m);
  EXPECT_TRUE(form_->flist->empty());
  form_->WMApplyData(m);
  EXPECT_EQ(g_shown.back(), Shown(u"CRÈME", u"a.png"));
  Tick();
  EXPECT_EQ(g_shown.back(), Shown(u"TEA", u""));
  form_->WMHideDisplay(m);
}

// A rebuild frees every picture behind the movie. A gallery that named one of them is dropped; one
// whose entries name no picture lost nothing and goes on.
TEST_F(SlipviewGallery, ReceiptRebuildWithoutScenarioApplyDropsTheGallery) {
  struct Case {
    const wchar_t* codes;
    std::vector<std::u16string> shownAfter;  // by the next two ticks; none: the gallery is dropped
  } cases[] = {
      {L"5,9", {}},
      {L"9,12", {Shown(u"COLA", u""), Shown(u"TEA", u"")}},
  };
  TMessage m{};
  form_->WMShowDisplay(m);
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.codes));
    Menu(kMenu);
    Unit().ScenarioText = Scenario(L"<S><parameters DishCodes=\"" + std::wstring(c.codes) + L"\"/></S>");
    form_->WMApplyData(m);
    ASSERT_EQ(form_->flist->size(), 2u);
    Menu(u"");  // no menu text: the applies that follow apply no scenario

    form_->WMApplyData(m);  // the receipt's pictures and the gallery's stay as they are
    EXPECT_EQ(form_->flist->size(), 2u);

    // A rebuild frees every picture behind the movie and loads its own.
    auto& items = form_->FlashList.Flashs;
    while (items.Count() > 1) items.Delete(items.Count() - 1);
    items.Add().FlashStore = u"a.png";  // a receipt picture of the same name
    Unit().FlashBase = 2;
    form_->WMApplyData(m);
    EXPECT_EQ(items.Count(), 2u) << "the receipt's picture stays";
    g_shown.clear();
    Tick(2);
    if (c.shownAfter.empty()) {
      EXPECT_TRUE(form_->flist->empty());
      EXPECT_EQ(form_->fnum, -1);
      EXPECT_EQ(g_shown, std::vector<std::u16string>(2, kBlank));
    } else {
      EXPECT_EQ(form_->flist->size(), 2u);
      EXPECT_EQ(g_shown, c.shownAfter);
    }
    Unit().FlashBase = 1;
  }
  form_->WMHideDisplay(m);
}

}  // namespace
