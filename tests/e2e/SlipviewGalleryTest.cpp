// Slipview's gallery on the screen: the host's menu, scenario and check data, then a show; the band
// under the receipt then shows one dish after the other, every 3 seconds, each with its own picture.
// The pictures are of one colour each, so that the screen tells which dish shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "HugePictures.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"

namespace {

struct Dish {
  int code;
  const wchar_t* name;
  const wchar_t* picture;
  uint32_t rgb;
};
const Dish kDishes[] = {{1, L"Red soup", L"red.png", 0xE00000},
                        {2, L"Green salad", L"green.png", 0x00B000},
                        {3, L"Blue cake", L"blue.png", 0x0000E0},
                        {4, L"Yellow tea", L"yellow.png", 0xE0E000}};

// The dish whose colour the pixel clearly has (mid-fade pixels match none); 0 for none.
int DishOf(uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  for (const Dish& d : kDishes) {
    const int dr = (d.rgb >> 16) & 0xFF, dg = (d.rgb >> 8) & 0xFF, db = d.rgb & 0xFF;
    if (std::abs(r - dr) < 40 && std::abs(g - dg) < 40 && std::abs(b - db) < 40) return d.code;
  }
  return 0;
}

std::wstring Menu() {
  std::wstring menu = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Menu>";
  for (const Dish& d : kDishes)
    menu += L"<Dish Code=\"" + std::to_wstring(d.code) + L"\" Name=\"" + d.name + L"\" LargeImagePath=\"" +
            d.picture + L";other.png\" Price=\"10\"/>";
  return menu + L"</Menu>";
}

class GalleryRun : public DisplayRun {
 public:
  GalleryRun() : DisplayRun({BuiltProgram(L"Slipview.exe"), L"Slipview", L"Slipview"}) {
    CreateDirectoryW((Folder() / L"pics").c_str(), nullptr);
    ui::Application app;  // GDI+ for the pictures
    for (const Dish& d : kDishes) {
      ui::Bitmap picture(300, 200);
      for (int i = 0; i < 300 * 200; ++i) picture.Bits()[i] = 0xFF000000u | d.rgb;
      picture.SavePng(Folder() / (std::wstring(L"pics\\") + d.picture));
    }
  }
  // The display window once form creation has ended (hidden, so found by its class).
  HWND StartAndWaitCreated() {
    Start();
    EXPECT_TRUE(WaitForLog(L"< Create", 1, 15000)) << "form creation did not end";
    const DWORD pid = Process()->Id();
    for (HWND w = FindWindowW(L"TfmSlipview", nullptr); w; w = FindWindowExW(nullptr, w, L"TfmSlipview", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid) return w;
    }
    ADD_FAILURE() << "no receipt window";
    return nullptr;
  }
  // Started, given the menu, a scenario of these codes and check data with dish 4 on the receipt, and
  // shown; null when the window did not come.
  HWND StartShown(const std::wstring& codes) {
    HWND h = StartAndWaitCreated();
    if (!h) return nullptr;
    const std::wstring scenario = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><SceneList PicPath=\"" +
                                  Folder() / L"pics\\" + L"\"><Scene><parameters DishCodes=\"" + codes +
                                  L"\"/></Scene></SceneList>";
    EXPECT_EQ(zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, Menu()), 1);
    EXPECT_EQ(zebhost::SendCopyData(h, zebhost::SCENARIO_DATA_TAG, scenario), 1);
    EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG,
                                    L"<Check Currency=\"EUR\"><CheckLines Codes=\"4\">"
                                    L"<Line Name=\"Yellow tea\" Qnt=\"1\" Price=\"10\"/></CheckLines></Check>"),
              1);
    EXPECT_EQ(zebhost::ShowDisplay(h), 1);
    EXPECT_TRUE(WaitForLog(L"< apply scenario", 1, 5000));
    return h;
  }
};

struct Change {
  int dish;
  DWORD at;  // ms since the first sample
};

// The dishes that the gallery's picture area shows, with the times at which each came, over `ms`.
std::vector<Change> WatchGallery(HWND window, DWORD ms) {
  RECT r{};
  GetWindowRect(window, &r);
  const int x = r.left + 384, y = r.top + 679;  // the middle of the picture area
  std::vector<Change> changes;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    const int dish = DishOf(CaptureScreen(RECT{x, y, x + 1, y + 1}).At(x, y));
    if (dish && (changes.empty() || changes.back().dish != dish)) changes.push_back({dish, GetTickCount() - start});
    Sleep(100);
  }
  return changes;
}

void ExpectCycle(const std::vector<Change>& changes, const std::vector<int>& cycle) {
  std::string seen;
  for (const Change& c : changes) seen += " " + std::to_string(c.dish) + "@" + std::to_string(c.at);
  SCOPED_TRACE("dishes seen (dish@ms):" + seen);
  ASSERT_GE(changes.size(), cycle.size() + 1) << "the gallery did not go round";
  const auto first = std::find(cycle.begin(), cycle.end(), changes[0].dish);
  ASSERT_NE(first, cycle.end()) << "dish " << changes[0].dish << " shown";
  size_t at = static_cast<size_t>(first - cycle.begin());
  for (size_t i = 0; i < changes.size(); ++i, at = (at + 1) % cycle.size()) {
    EXPECT_EQ(changes[i].dish, cycle[at]) << "change " << i;
    if (i > 0) {
      const DWORD step = changes[i].at - changes[i - 1].at;
      EXPECT_GE(step, 2500u) << "change " << i;
      EXPECT_LE(step, 3600u) << "change " << i;
    }
  }
}

TEST(SlipviewGallery, CyclesThroughTheScenariosDishesEveryThreeSeconds) {
  GalleryRun run;
  HWND h = run.StartShown(L"1,2,3");
  ASSERT_NE(h, nullptr);
  ExpectCycle(WatchGallery(h, 12500), {1, 2, 3});

  // A hide drops the gallery; the dishes come back after a show.
  EXPECT_EQ(zebhost::HideDisplay(h), 1);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  ASSERT_TRUE(run.WaitForLog(L"< apply scenario", 2, 5000));
  // The movie keeps its last frame while hidden: until the apply's first entry has faded in, the band
  // may still show the dish it showed before the hide. From there the gallery starts again at its
  // first dish.
  std::vector<Change> again = WatchGallery(h, 12500);
  const auto restart = std::find_if(again.begin(), again.end(), [](const Change& c) { return c.dish == 1; });
  ASSERT_NE(restart, again.end()) << "the first dish did not come back";
  EXPECT_LT(restart->at, 2000u) << "the first dish came late";
  again.erase(again.begin(), restart);
  ExpectCycle(again, {1, 2, 3});
  EXPECT_EQ(run.CountLog(L"AV "), 0u);
  ASSERT_TRUE(run.Stop());
}

// The check's dish codes stay out of the gallery.
TEST(SlipviewGallery, LeavesOutTheDishesOnTheReceipt) {
  GalleryRun run;
  HWND h = run.StartShown(L"1,4,2,4,3");
  ASSERT_NE(h, nullptr);
  ExpectCycle(WatchGallery(h, 12500), {1, 2, 3});
  ASSERT_TRUE(run.Stop());
}

// A dish whose picture's header claims far more pixels than a display can use shows without its
// picture, which is never decoded: the display goes on answering, stays small, and the gallery goes
// round with the next dish's picture.
TEST(SlipviewGallery, APictureClaimingTooManyPixelsShowsAsNone) {
  for (const HugePicture& huge : HugePictures()) {
    SCOPED_TRACE(huge.what);
    GalleryRun run;
    WriteText(run.Folder() / L"pics\\red.png", huge.bytes);  // dish 1's
    HWND h = run.StartShown(L"1,2");
    ASSERT_NE(h, nullptr);
    ExpectAnswersAndStaysSmall(huge.what, h, run.Process()->Handle());
    const std::vector<Change> changes = WatchGallery(h, 6500);
    ASSERT_FALSE(changes.empty()) << "dish 2 never showed";
    for (const Change& c : changes) EXPECT_EQ(c.dish, 2) << "at " << c.at << " ms";
    EXPECT_LT(PeakWorkingSetMb(run.Process()->Handle()), 200.0);
    EXPECT_EQ(run.CountLog(L"AV "), 0u);
    EXPECT_TRUE(run.Stop());
  }
}

}  // namespace
