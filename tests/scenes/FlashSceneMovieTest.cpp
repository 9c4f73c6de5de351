// The five Flash-scene libraries with their movies, through the exports as a host drives them: the
// library named by ZEB_SCENE_LIBRARY (one test process per library). The end of each movie reaches
// the host as WM_SCENE_ENDED; a stop right after a start hides the scene for good; the banners show
// the library's dish (its picture fitted into 512 x 512, never enlarged) and keep it across a stop
// and a new start.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FlashSceneSupport.h"
#include "HugePictures.h"
#include "TestFiles.h"

namespace scenetest {
namespace {

constexpr uint32_t kGreen = 0xFF00FF00u;

std::wstring Env(const wchar_t* name) {
  wchar_t buf[256];
  const DWORD n = GetEnvironmentVariableW(name, buf, 256);
  return n > 0 && n < 256 ? std::wstring(buf, n) : std::wstring();
}

template <class Condition>
bool WaitUntil(Condition done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return false;
    zebhost::Wait(10);
  }
  return true;
}

class FlashSceneMovie : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SetUpSceneFolder(); }
  void SetUp() override {
    module = Env(L"ZEB_SCENE_LIBRARY");
    if (module.empty()) GTEST_SKIP() << "ZEB_SCENE_LIBRARY names no library";
    video = module == L"Cinevra";
    logBefore = LogTexts(module).size();
  }
  // Whether the library logged nothing since the test began.
  bool NothingLogged() const { return LogTexts(module).size() == logBefore; }
  bool Banner() const { return !video; }
  // A dish whose picture is one colour at the given size, in a window placed by `size`.
  std::wstring DishWithPicture(int width, int height, const std::wstring& size = L"<Size/>") {
    const std::wstring name = L"dish" + std::to_wstring(width) + L"x" + std::to_wstring(height) + L".png";
    WritePicture(pics / name, width, height, kGreen);
    menu = L"<Menu><Dish Code=\"7\" Name=\"Lemonade\" Price=\"15000\" LargeImagePath=\"" + name + L"\"/></Menu>";
    return L"<SceneParameters PicPath=\"" + pics.Path() +
           L"\" CurrencyText=\"rub.\">" + size + L"<parameters DishCode=\"7\" ShowText=\"Cold drinks\"/></SceneParameters>";
  }
  // Time from the start to WM_SCENE_ENDED, or -1 when it did not come within `ms`.
  long TimeToEnd(Library& s, DWORD ms) {
    const int before = advert.SceneEndedCount();
    const DWORD start = GetTickCount();
    s->SceneAnimationsStart(TRUE);
    if (!WaitUntil([&] { return advert.SceneEndedCount() > before; }, ms)) return -1;
    return static_cast<long>(GetTickCount() - start);
  }

  std::wstring module;
  size_t logBefore = 0;
  bool video = false;
  std::wstring menu;
  TempDir pics;
  zebhost::AdvertWindow advert{L"FlashMovieTestAdvert"};
};

TEST_F(FlashSceneMovie, TheEndOfTheMovieReachesTheHostOnceAndAStartAfterAStopPlaysItAgain) {
  Library s(module);
  s.Parameters(DishWithPicture(64, 64), menu);
  // A banner stays about 150 frames at 30 a second; the clip ends 120 frames after the start at 25.
  const long expected = video ? 4800 : 5000;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const long took = TimeToEnd(s, 15000);
    ASSERT_GE(took, 0) << "no WM_SCENE_ENDED";
    EXPECT_GE(took, expected - 400);
    EXPECT_LE(took, expected * 2) << "a loaded machine may be slow, never this slow";
    // It ended and stands still: nothing more comes while the scene stays shown.
    const int ended = advert.SceneEndedCount();
    zebhost::Wait(500);
    EXPECT_EQ(advert.SceneEndedCount(), ended);
    EXPECT_TRUE(IsWindowVisible(SceneWindow())) << "the library never hides the scene by itself";
    s->SceneAnimationsStop();
  }
  s->SceneDestroy();
  EXPECT_TRUE(NothingLogged());
}

TEST_F(FlashSceneMovie, AStopRightAfterAStartHidesTheSceneAndNothingEnds) {
  Library s(module);
  s.Parameters(DishWithPicture(64, 64), menu);
  s->SceneAnimationsStart(TRUE);
  zebhost::Wait(100);
  s->SceneAnimationsStop();
  EXPECT_FALSE(IsWindowVisible(SceneWindow()));
  zebhost::Wait(6500);
  EXPECT_EQ(advert.SceneEndedCount(), 0);
  EXPECT_FALSE(IsWindowVisible(SceneWindow()));
  s->SceneDestroy();
  EXPECT_TRUE(NothingLogged()) << "the movie offers \"stop\" from its first frame";
}

TEST_F(FlashSceneMovie, ThePlayingSceneShowsTheMovieOverItsBackground) {
  Library s(module);
  s->SceneCreate();
  const Shot background = s.Screenshot();
  s.Parameters(DishWithPicture(64, 64), menu);
  s->SceneAnimationsStart(TRUE);
  zebhost::Wait(1500);
  const Shot shown = s.Screenshot();
  ASSERT_EQ(shown.width, 690);
  ASSERT_EQ(shown.height, 758);
  EXPECT_NE(shown.pixels, background.pixels);
  if (video) {
    // The clip covers the whole stage.
    for (uint32_t p : shown.pixels) ASSERT_EQ(p >> 24, 0xFFu);
    zebhost::Wait(200);
    EXPECT_NE(s.Screenshot().pixels, shown.pixels) << "the clip moves";
  } else {
    // Where the banner draws nothing, the background shows.
    EXPECT_EQ(shown.At(2, 300), background.At(2, 300));
    EXPECT_EQ(shown.At(687, 400), background.At(687, 400));
  }
  s->SceneAnimationsStop();
  EXPECT_EQ(s.Screenshot().pixels, background.pixels) << "hidden: the background";
  s->SceneDestroy();
}

TEST_F(FlashSceneMovie, BannersFitThePictureIntoItsBoxAndKeepTheDishAcrossStopAndStart) {
  if (!Banner()) GTEST_SKIP() << "the video clip shows no dish";
  struct Case {
    int width, height;
    Box box;
  } cases[] = {
      {1024, 512, {89, 238, 601, 494}},  // scaled down to 512 x 256, centred in the box at 89, 110
      {300, 900, {259, 110, 430, 622}},  // to 171 x 512 (170.67 rounded)
      {100, 60, {295, 336, 395, 396}},   // never enlarged
  };
  Library s(module);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    s.Parameters(DishWithPicture(c.width, c.height), menu);
    // Twice: after a stop and a new start the banner shows the same dish again.
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      s->SceneAnimationsStart(TRUE);
      zebhost::Wait(1200);
      EXPECT_EQ(BoxOf(s.Screenshot(), kGreen), c.box);
      s->SceneAnimationsStop();
    }
  }
  s->SceneDestroy();
  EXPECT_TRUE(NothingLogged());
}

TEST_F(FlashSceneMovie, AtEverySizeTheWholeStageShowsScaledAndCentredOverTheStretchedBackground) {
  Library s(module);
  ExpectTheWholeStageAtEverySize(
      s.Exports(),
      [&](int left, int top, int width, int height) {
        s.Parameters(DishWithPicture(200, 200, SizeElement(left, top, width, height)), menu);
      },
      video ? StageMovie{.standsStill = false} : StageMovie{.picture = kGreen});
}

// A dish's picture, or the fallback for a missing one, whose header claims far more pixels than a
// display can use: the banner shows the dish as it shows one without a picture, the picture is never
// decoded, every call and frame comes back at once and the host stays small.
TEST_F(FlashSceneMovie, APictureClaimingTooManyPixelsShowsAsNone) {
  if (!Banner()) GTEST_SKIP() << "the video clip shows no dish";
  const auto parameters = [&](const std::wstring& imageForMissing) {
    return L"<SceneParameters PicPath=\"" + pics.Path() + L"\" ImageForMissing=\"" + imageForMissing +
           L"\"><Size/><parameters DishCode=\"7\" ShowText=\"Cold drinks\"/></SceneParameters>";
  };
  const auto dish = [](const std::wstring& picture) {
    return L"<Menu><Dish Code=\"7\" Name=\"Lemonade\" Price=\"15000\" LargeImagePath=\"" + picture + L"\"/></Menu>";
  };
  // What the picture box shows after 1.2 s: the animation has settled by then.
  const auto pictureBox = [](const Shot& shot) {
    std::vector<uint32_t> box;
    for (int y = 110; y < 622; ++y)
      for (int x = 89; x < 601; ++x) box.push_back(shot.At(x, y));
    return box;
  };
  Library s(module);
  s.Parameters(parameters(L""), dish(L"none.png"));
  s->SceneAnimationsStart(TRUE);
  zebhost::Wait(1200);
  const std::vector<uint32_t> none = pictureBox(s.Screenshot());
  s->SceneAnimationsStop();
  for (const HugePicture& huge : HugePictures()) {
    WriteText(pics / huge.file, huge.bytes);
    // The dish's own picture, then the fallback of a dish whose picture is missing.
    for (const bool fallback : {false, true}) {
      SCOPED_TRACE(std::string(huge.what) + (fallback ? " as ImageForMissing" : " as the dish's picture"));
      DWORD start = GetTickCount();
      s.Parameters(parameters(fallback ? pics / huge.file : L""), dish(fallback ? L"none.png" : huge.file));
      const DWORD parametersTook = GetTickCount() - start;
      start = GetTickCount();
      s->SceneAnimationsStart(TRUE);
      zebhost::Wait(1200);
      const Shot shot = s.Screenshot();
      const DWORD playTook = GetTickCount() - start;
      const double peak = PeakWorkingSetMb(GetCurrentProcess());
      std::printf("%s%s: SceneParameters %lu ms, start and 1.2 s of frames %lu ms, peak working set %.0f MB\n",
                  huge.what, fallback ? " (fallback)" : "", parametersTook, playTook, peak);
      EXPECT_LT(parametersTook, 1000u);
      EXPECT_LT(playTook, 1200u + 1000u);
      EXPECT_GT(peak, 0.0) << "the peak is not measured";
      EXPECT_LT(peak, 200.0);
      EXPECT_EQ(pictureBox(shot), none) << "the picture shows as none";
      s->SceneAnimationsStop();
    }
  }
  s->SceneDestroy();
  EXPECT_TRUE(NothingLogged());
}

TEST_F(FlashSceneMovie, OnlySucrelleShowsASampleDishBeforeTheLibraryHasChosenOne) {
  if (!Banner()) GTEST_SKIP() << "the video clip shows no dish";
  Library s(module);
  s->SceneCreate();
  const Shot background = s.Screenshot();
  s->SceneAnimationsStart(TRUE);
  zebhost::Wait(1200);
  const Shot shown = s.Screenshot();
  if (module == L"Sucrelle")
    EXPECT_NE(shown.pixels, background.pixels) << "the sample dish";
  else
    EXPECT_EQ(shown.pixels, background.pixels) << "an empty banner";
  s->SceneAnimationsStop();
  s->SceneDestroy();
}

}  // namespace
}  // namespace scenetest
