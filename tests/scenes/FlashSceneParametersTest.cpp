// SceneParameters of a Flash scene through its exports, on the probe build (the banner movie with a
// sample dish, whose probe exports show the movie's "MenuXML" and the in-memory file names): the
// window's placement and region, the dish chosen from the menu and handed over exactly, the pictures,
// the host's notification, and the inputs that fail while they are applied.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FlashSceneSupport.h"
#include "TestFiles.h"

namespace scenetest {
namespace {

const wchar_t kProbe[] = L"ZebFlashProbe";

std::wstring Parameters(const std::wstring& root, const std::wstring& request,
                        const std::wstring& size = L"<Size/>") {
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?><SceneParameters " + root + L">" + size + request +
         L"</SceneParameters>";
}
std::wstring Request(const std::wstring& attributes) { return L"<parameters " + attributes + L"/>"; }

const wchar_t kMenu[] =
    L"<Menu><Group Name=\"no code\"/>"
    L"<Dish Code=\"1\" Name=\"Tea\" LargeImagePath=\"tea.png;other.png\" Price=\"52100\"/>"
    L"<Dish Code=\"2\" Name=\"Soup\" ShortName=\"Broth\" LargeImagePath=\"img\\soup.png\"/>"
    L"<Dish Code=\"1\" Name=\"Second tea\"/>"
    L"<Dish Code=\"3\" Name=\"Cake &amp; cream\" LargeImagePath=\"nothing.png\" Price=\"99\"/>"
    L"<Dish Code=\"4\" Name=\"Bare\"/>"
    L"</Menu>";

class FlashSceneParameters : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SetUpSceneFolder(); }
  void SetUp() override {
    CreateDirectoryW((pics / L"img").c_str(), nullptr);
    WritePicture(pics / L"tea.png", 40, 30, 0xFF00FF00u);
    WritePicture(pics / L"img\\soup.png", 20, 20, 0xFF0000FFu);
    WritePicture(pics / L"missing.png", 10, 10, 0xFFFF0000u);
    WritePicture(pics / L"0x.png", 10, 10, 0xFFFF0000u);
  }
  // The library's log lines since the test began (a library that has failed once stays loaded, with
  // its log, for the rest of the process).
  std::vector<std::wstring> NewLogTexts() const {
    auto texts = LogTexts(kProbe);
    texts.erase(texts.begin(), texts.begin() + std::min(texts.size(), logBefore));
    return texts;
  }
  size_t logBefore = LogTexts(kProbe).size();
  // The MenuXML text that a dish gives, as the movie receives it.
  static std::wstring Item(const std::wstring& attributes) { return L"\r\n<Item " + attributes + L"/>"; }

  TempDir pics;
  zebhost::AdvertWindow advert{L"FlashSceneTestAdvert"};
};

TEST_F(FlashSceneParameters, WithoutParametersTheWindowIsPlacedAndRoundedAndNothingElseHappens) {
  Library s(kProbe);
  s.Parameters(Parameters(L"", L"", L"<Size PosX=\"30\" PosY=\"40\" Width=\"300\" Height=\"200\"/><Size PosX=\"9\"/>"),
               kMenu);
  zebhost::Wait(50);
  HWND w = SceneWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(w, region), ERROR);
  RECT box{};
  GetRgnBox(region, &box);
  // A rounded rectangle's region ends a pixel short of its right and bottom edge.
  EXPECT_NEAR(box.right - box.left, 300, 1);
  EXPECT_NEAR(box.bottom - box.top, 200, 1);
  EXPECT_FALSE(PtInRegion(region, 1, 1)) << "the corners are rounded";
  EXPECT_FALSE(PtInRegion(region, 298, 198));
  EXPECT_TRUE(PtInRegion(region, 150, 1));
  EXPECT_TRUE(PtInRegion(region, 150, 100));
  DeleteObject(region);
  // The movie keeps its own sample dish: nothing was sent; nor was the host told.
  EXPECT_NE(s.MenuXml().find(L"images/sundae.png"), std::wstring::npos);
  EXPECT_EQ(s.Files(), L"scene.swf|");
  EXPECT_EQ(advert.SceneEndedCount(), 0);
  EXPECT_TRUE(NewLogTexts().empty());
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, NoDishTellsTheHostOnceAndKeepsTheDishShownBefore) {
  Library s(kProbe);
  const std::wstring root = L"PicPath=\"" + pics.Path() + L"\"";
  s.Parameters(Parameters(root, Request(L"DishCode=\"1\"")), kMenu);
  const std::wstring shown = s.MenuXml();
  EXPECT_EQ(shown, Item(L"Currency=\"\" ShowText=\"\" Name=\"TEA\" Path=\"tea.png\" Price=\"521\""));
  for (const std::wstring& request : {Request(L"ShowText=\"other\""), Request(L"DishCode=\"77\"")}) {
    SCOPED_TRACE(Narrow(request));
    const int before = advert.SceneEndedCount();
    s.Parameters(Parameters(root, request), kMenu);
    EXPECT_EQ(advert.SceneEndedCount(), before + 1) << "sent at once, to a window of this thread";
    zebhost::Wait(50);
    EXPECT_EQ(advert.SceneEndedCount(), before + 1);
    EXPECT_EQ(s.MenuXml(), shown);
    EXPECT_EQ(s.Files(), L"scene.swf|tea.png|");
  }
  // The next dish shows the caption and price text of its own call, with the attributes in place.
  s.Parameters(Parameters(root + L" CurrencyText=\"\u0440\u0443\u0431.\"",
                          Request(L"DishCode=\"2\" ShowText=\"say &quot;hi&quot; &amp; &lt;go&gt; 'now'\"")),
               kMenu);
  EXPECT_EQ(s.MenuXml(), Item(L"Currency=\"\u0420\u0423\u0411.\" ShowText=\"SAY &quot;HI&quot; &amp; &lt;GO&gt; 'NOW'\" "
                              L"Name=\"SOUP\" Path=\"soup.png\" Price=\"0\""));
  s->SceneDestroy();
  EXPECT_TRUE(NewLogTexts().empty());
}

TEST_F(FlashSceneParameters, TheDishsPictureJoinsTheFolderAndFallsBackToTheMissingPicture) {
  Library s(kProbe);
  struct Case {
    std::wstring root;
    int code;
    std::wstring path, files;
  } cases[] = {
      {L"PicPath=\"" + pics.Path() + L"\"", 1, L"tea.png", L"scene.swf|tea.png|"},    // the first entry
      {L"PicPath=\"" + pics.Path() + L"\"", 2, L"soup.png", L"scene.swf|soup.png|"},  // a bare name
      // No delimiter is added: the folder without its backslash names no file.
      {L"PicPath=\"" + pics.Path().substr(0, pics.Path().size() - 1) + L"\"", 1, L"", L"scene.swf|"},
      {L"PicPath=\"" + pics.Path() + L"\" ImageForMissing=\"" + (pics / L"missing.png") + L"\"", 3, L"missing.png",
       L"scene.swf|missing.png|"},
      // No LargeImagePath: the folder itself is tried, then the fallback.
      {L"PicPath=\"" + pics.Path() + L"\" ImageForMissing=\"" + (pics / L"missing.png") + L"\"", 4, L"missing.png",
       L"scene.swf|missing.png|"},
      {L"PicPath=\"" + pics.Path() + L"\" ImageForMissing=\"" + (pics / L"none.png") + L"\"", 3, L"", L"scene.swf|"},
      // The picture replaced on the next call, and none left when the next dish has none.
      {L"PicPath=\"" + pics.Path() + L"\"", 2, L"soup.png", L"scene.swf|soup.png|"},
      {L"PicPath=\"" + pics.Path() + L"\"", 4, L"", L"scene.swf|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.root) + " dish " + std::to_string(c.code));
    s.Parameters(Parameters(c.root, Request(L"DishCode=\"" + std::to_wstring(c.code) + L"\"")), kMenu);
    EXPECT_NE(s.MenuXml().find(L" Path=\"" + c.path + L"\" "), std::wstring::npos) << Narrow(s.MenuXml());
    EXPECT_EQ(s.Files(), c.files);
  }
  EXPECT_TRUE(NewLogTexts().empty());
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, APictureThatIsNoFileOrTooLargeCountsAsMissing) {
  // A file just over 32 MB (sparse where the system allows), a folder named like a picture, devices.
  const std::wstring big = pics / L"big.png";
  {
    HANDLE f = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 32ll * 1024 * 1024 + 1;
    SetFilePointerEx(f, size, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    CloseHandle(f);
  }
  CreateDirectoryW((pics / L"folder.png").c_str(), nullptr);
  const std::wstring menu = L"<Menu><Dish Code=\"1\" LargeImagePath=\"" + big + L"\"/><Dish Code=\"2\" LargeImagePath=\"" +
                            (pics / L"folder.png") + L"\"/><Dish Code=\"3\" LargeImagePath=\"NUL\"/>"
                            L"<Dish Code=\"4\" LargeImagePath=\"CON.png\"/></Menu>";
  Library s(kProbe);
  for (int code : {1, 2, 3, 4}) {
    SCOPED_TRACE(code);
    s.Parameters(Parameters(L"ImageForMissing=\"" + (pics / L"missing.png") + L"\"",
                            Request(L"DishCode=\"" + std::to_wstring(code) + L"\"")),
                 menu);
    EXPECT_EQ(s.Files(), L"scene.swf|missing.png|");
  }
  // Exactly 32 MB is a picture file (it does not decode, so the movie shows none).
  {
    HANDLE f = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 32ll * 1024 * 1024;
    SetFilePointerEx(f, size, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    CloseHandle(f);
  }
  s.Parameters(Parameters(L"", Request(L"DishCode=\"1\"")), menu);
  EXPECT_EQ(s.Files(), L"scene.swf|big.png|");
  s->SceneDestroy();
  EXPECT_TRUE(NewLogTexts().empty());
}

// The price rules are the core's (SceneDishTest); these rows prove that the library hands it the
// root's FloatFormat and the request's Price.
TEST_F(FlashSceneParameters, ThePriceFollowsTheMaskAndTheFixedText) {
  Library s(kProbe);
  const std::wstring menu = L"<Menu><Dish Code=\"1\" Price=\"52100\"/><Dish Code=\"2\"/></Menu>";
  struct Case {
    std::wstring mask, priceText;
    int code;
    std::wstring price;
  } cases[] = {
      {L"", L"", 1, L"521"},
      {L"0.00", L"", 2, L"0.00"},
      {L"0.00", L"Price=\"99\"", 1, L"99"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.mask + L" " + c.priceText) + " dish " + std::to_string(c.code));
    const std::wstring root = c.mask.empty() ? L"" : L"FloatFormat=\"" + c.mask + L"\"";
    s.Parameters(Parameters(root, Request(L"DishCode=\"" + std::to_wstring(c.code) + L"\" " + c.priceText)), menu);
    EXPECT_EQ(s.MenuXml(), Item(L"Currency=\"\" ShowText=\"\" Name=\"\" Path=\"\" Price=\"" + c.price + L"\""));
  }
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, TwoDishesWithOneCodeShowTheFirstAndTheNameFieldIsTheRootsChoice) {
  Library s(kProbe);
  s.Parameters(Parameters(L"", Request(L"DishCode=\"1\"")), kMenu);
  EXPECT_NE(s.MenuXml().find(L"Name=\"TEA\""), std::wstring::npos);
  s.Parameters(Parameters(L"QuorvNameField=\"ShortName\"", Request(L"DishCode=\"2\"")), kMenu);
  EXPECT_NE(s.MenuXml().find(L"Name=\"BROTH\""), std::wstring::npos);
  s.Parameters(Parameters(L"QuorvNameField=\"ShortName\"", Request(L"DishCode=\"1\"")), kMenu);
  EXPECT_NE(s.MenuXml().find(L"Name=\"\""), std::wstring::npos);
  s.Parameters(Parameters(L"", Request(L"DishCode=\"3\"")), kMenu);
  EXPECT_NE(s.MenuXml().find(L"Name=\"CAKE &amp; CREAM\""), std::wstring::npos);
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, OnlyEndAnimationReachesTheHost) {
  Library s(kProbe);
  s->SceneCreate();
  for (const wchar_t* other : {L"endanimation", L"ENDANIMATION", L"EndAnimation ", L"stop", L""}) s.Command(other);
  zebhost::Wait(20);
  EXPECT_EQ(advert.SceneEndedCount(), 0);
  s.Command(L"EndAnimation");
  EXPECT_EQ(advert.SceneEndedCount(), 1);
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, TheDefaultTextShowsDishZeroOrTellsTheHost) {
  Library s(kProbe);
  const std::wstring text = s->SceneDefaultParameters();
  s.Parameters(text, L"<Menu><Dish Code=\"0\" Name=\"Cheese\" Price=\"100\"/></Menu>");
  EXPECT_EQ(s.MenuXml(), Item(L"Currency=\"\" ShowText=\"\u0421\u042B\u0420\u041D\u041E\u0415 "
                              L"\u041E\u0411\u041E\u0421\u0422\u0420\u0415\u041D\u0418\u0415!\" Name=\"CHEESE\" "
                              L"Path=\"\" Price=\"1\""));
  RECT r{};
  GetWindowRect(SceneWindow(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right - r.left, 690);
  EXPECT_EQ(r.bottom - r.top, 758);
  s.Parameters(text, L"<Menu><Dish Code=\"5\"/></Menu>");
  EXPECT_EQ(advert.SceneEndedCount(), 1);
  s->SceneDestroy();
  EXPECT_TRUE(NewLogTexts().empty());
}

// Inputs that fail while they are applied: logged once each, the call returns, the host process goes
// on, nothing is sent to the host, and the next good call works.
TEST_F(FlashSceneParameters, FailuresWhileApplyingAreLoggedAndTheHostGoesOn) {
  const std::wstring locked = pics / L"locked.png";
  WritePicture(locked, 10, 10, 0xFF00FF00u);
  HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  struct Case {
    const char* what;
    std::wstring parameters, menu;
  } cases[] = {
      {"empty parameters", L"", kMenu},
      {"no root element", L"<!-- no element -->", kMenu},
      {"no Size", L"<P><parameters DishCode=\"1\"/></P>", kMenu},
      {"PosX not an integer", Parameters(L"", L"", L"<Size PosX=\"1.5\"/>"), kMenu},
      {"Height not an integer", Parameters(L"", L"", L"<Size Height=\"\"/>"), kMenu},
      {"DishCode not an integer", Parameters(L"", Request(L"DishCode=\"one\"")), kMenu},
      {"an empty menu", Parameters(L"", Request(L"DishCode=\"1\"")), L""},
      {"a bad Code before the match", Parameters(L"", Request(L"DishCode=\"1\"")),
       L"<Menu><Dish Code=\"x\"/><Dish Code=\"1\"/></Menu>"},
      {"a Price that is no number", Parameters(L"", Request(L"DishCode=\"1\"")), L"<Menu><Dish Code=\"1\" Price=\"5 \"/></Menu>"},
      {"a picture that cannot be read", Parameters(L"", Request(L"DishCode=\"1\"")),
       L"<Menu><Dish Code=\"1\" LargeImagePath=\"" + locked + L"\"/></Menu>"},
  };
  Library s(kProbe);
  s.Parameters(Parameters(L"PicPath=\"" + pics.Path() + L"\"", Request(L"DishCode=\"1\"")), kMenu);
  const std::wstring shown = s.MenuXml();
  size_t lines = LogTexts(kProbe).size();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    s.Parameters(c.parameters, c.menu);
    const auto texts = LogTexts(kProbe);
    ASSERT_EQ(texts.size(), lines + 1);
    EXPECT_EQ(texts.back(), L"[ERROR] ZebFlashProbe.dll: AV in SceneParameters");
    lines = texts.size();
    EXPECT_EQ(s.MenuXml(), shown);
    EXPECT_EQ(advert.SceneEndedCount(), 0);
  }
  // A null text is an empty one.
  s->SceneParameters(nullptr, kMenu);
  EXPECT_EQ(LogTexts(kProbe).size(), lines + 1);
  s->SceneParameters(Parameters(L"", Request(L"DishCode=\"4\"")).c_str(), nullptr);
  EXPECT_EQ(LogTexts(kProbe).size(), lines + 2) << "a null menu is an empty one";
  CloseHandle(lock);

  // What was applied before a failure stays: the placement of a call whose dish code is bad.
  s.Parameters(Parameters(L"", Request(L"DishCode=\"one\""), L"<Size PosX=\"12\" Width=\"400\"/>"), kMenu);
  RECT r{};
  GetWindowRect(SceneWindow(), &r);
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.right - r.left, 400);
  // And the next good call shows its dish.
  s.Parameters(Parameters(L"PicPath=\"" + pics.Path() + L"\"", Request(L"DishCode=\"2\"")), kMenu);
  EXPECT_NE(s.MenuXml().find(L"Name=\"SOUP\""), std::wstring::npos);
  s->SceneDestroy();
}

TEST_F(FlashSceneParameters, AStopWhoseMovieCallFailsStillHidesTheScene) {
  Library s(kProbe);
  s->SceneCreate();
  s->SceneAnimationsStart(TRUE);
  HWND w = SceneWindow();
  ASSERT_TRUE(IsWindowVisible(w));
  s.FailAt("SceneAnimationsStop");
  s->SceneAnimationsStop();
  s.FailAt(nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(NewLogTexts(), std::vector<std::wstring>{L"[ERROR] ZebFlashProbe.dll: AV in SceneAnimationsStop"});
  s->SceneDestroy();
}

// The first call of the library's life (its own process) has no `parameters`: the dish element then
// holds Currency alone, and the attributes set later follow it.
TEST(FlashSceneFirstCall, AttributesKeepTheOrderInWhichTheyWereFirstSet) {
  SetUpSceneFolder();
  Library s(kProbe);
  s.Parameters(Parameters(L"CurrencyText=\"eur\"", L""), kMenu);
  s.Parameters(Parameters(L"", Request(L"DishCode=\"4\" ShowText=\"x\"")), kMenu);
  EXPECT_EQ(s.MenuXml(), L"\r\n<Item Currency=\"\" ShowText=\"X\" Name=\"BARE\" Path=\"\" Price=\"0\"/>");
  s->SceneDestroy();
}

}  // namespace
}  // namespace scenetest
