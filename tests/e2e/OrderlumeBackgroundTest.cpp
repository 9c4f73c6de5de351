// The background picture window of the real Orderlume: its place, styles and z-order under the
// transparent display window, the picture it shows through the display, that it stays when the host
// hides the display and goes when the display closes; and the header animation on screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "E2eSupport.h"
#include "ui/Bitmap.h"
#include "ui/GdiPlus.h"

namespace {

// The display window's default place, and the part of it that is transparent (below the header and
// its shadow).
constexpr int kDisplayLeft = 1024, kDisplayWidth = 768, kDisplayHeight = 1024;
constexpr int kHeaderHeight = 217, kTransparentTop = 220;

// The display window of this run's program after its first paint (other Orderlume windows may exist
// on a shared server).
HWND WaitDisplayWindow(OrderlumeRun& run) {
  EXPECT_TRUE(run.WaitForLog(L"< started", 1, 15000)) << "no first paint";
  HWND h = WaitProgramWindow(run.Process()->Id(), L"Orderlume");
  EXPECT_NE(h, nullptr) << "the Orderlume window did not become visible";
  return h;
}

HWND WaitBackgroundWindow(OrderlumeRun& run, HWND display) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 10000) {
    for (HWND w : VisibleWindowsOf(run.Process()->Id()))
      if (w != display) return w;
    zebhost::Wait(20);
  }
  ADD_FAILURE() << "no background window";
  return nullptr;
}

uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }

// The screen shows the picture's top-left part at the window's place (checked on a grid of points).
void ExpectPictureOnScreen(const ui::Bitmap& picture, const RECT& window) {
  const ScreenArea screen = CaptureScreen(window);
  const int w = window.right - window.left, h = window.bottom - window.top;
  int checked = 0;
  for (int x : {2, w / 3, w / 2, w - 3})
    for (int y : {2, h / 4, h / 2, h - 3}) {
      EXPECT_EQ(screen.At(window.left + x, window.top + y), Rgb(picture.Pixel(x, y))) << x << "," << y;
      ++checked;
    }
  EXPECT_EQ(checked, 16);
}

TEST(OrderlumeBackground, LiesUnderTheDisplayShowsThePictureAndClosesWithIt) {
  ui::GdiPlusSession gdiplus;
  const ui::Bitmap picture = ui::Bitmap::FromFile(ZEB_BACKGROUND_PNG);
  ASSERT_EQ(picture.Width(), 768);
  ASSERT_EQ(picture.Height(), 1024);

  OrderlumeRun run;
  run.Start();
  HWND display = WaitDisplayWindow(run);
  ASSERT_NE(display, nullptr);
  HWND bg = WaitBackgroundWindow(run, display);
  ASSERT_NE(bg, nullptr);

  RECT r;
  GetWindowRect(bg, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<LONG>{1062, 246, 690, 758}));
  const LONG style = GetWindowLongW(bg, GWL_STYLE), ex = GetWindowLongW(bg, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU), 0);
  EXPECT_NE(ex & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(ex & (WS_EX_TOPMOST | WS_EX_APPWINDOW), 0);
  // Exactly these two windows, the display above the background.
  EXPECT_EQ(VisibleWindowsOf(run.Process()->Id()), (std::vector<HWND>{display, bg}));

  zebhost::Wait(300);  // the paints
  ExpectPictureOnScreen(picture, r);

  zebhost::HideDisplay(display);
  zebhost::Wait(300);
  EXPECT_FALSE(IsWindowVisible(display));
  EXPECT_TRUE(IsWindowVisible(bg));
  ExpectPictureOnScreen(picture, r);
  zebhost::ShowDisplay(display);
  EXPECT_TRUE(IsWindowVisible(display));

  // Closing the display window alone closes the background window and ends the program.
  zebhost::PostClose(display);
  EXPECT_TRUE(run.Process()->WaitExit(15000));
  EXPECT_FALSE(IsWindow(bg));
  EXPECT_EQ(run.CountLog(L"[NOTE] < Close"), 1u);
  EXPECT_EQ(run.CountLog(L"AV in"), 0u);
}

TEST(OrderlumeBackground, HeaderAnimationChangesTheHeaderOnly) {
  ui::GdiPlusSession gdiplus;
  OrderlumeRun run;
  const std::wstring anim = run.Folder() / L"media\\anim\\";
  CreateDirectoryW((run.Folder() / L"media").c_str(), nullptr);
  CreateDirectoryW(anim.c_str(), nullptr);
  // Five frames of distinct colours, one per 50 ms tick.
  const std::vector<uint32_t> colours = {0x203040, 0x605040, 0x10A020, 0xC08010, 0x4010C0};
  for (size_t i = 0; i < colours.size(); ++i) {
    ui::Bitmap frame(769, 217);
    std::fill(frame.Bits(), frame.Bits() + 769 * 217, 0xFF000000u | colours[i]);
    frame.SavePng(anim + L"frame" + std::to_wstring(i) + L".png");
  }
  run.Start();
  HWND display = WaitDisplayWindow(run);
  ASSERT_NE(display, nullptr);
  zebhost::Wait(600);  // the start phrase has faded in

  const RECT area{kDisplayLeft, 0, kDisplayLeft + kDisplayWidth, kDisplayHeight};
  auto frameAt = [&](const ScreenArea& s) { return s.At(kDisplayLeft + 20, 20); };
  auto below = [&](const ScreenArea& s) {
    return std::vector<uint32_t>(s.pixels.begin() + kTransparentTop * kDisplayWidth, s.pixels.end());
  };
  const ScreenArea first = CaptureScreen(area);
  EXPECT_NE(std::find(colours.begin(), colours.end(), frameAt(first)), colours.end())
      << std::hex << frameAt(first) << " is no frame colour";
  // A look takes time of its own (the capture): at a steady pace of 250 ms, one whole turn of the
  // five frames, every look would meet the same frame. The waits between looks differ so that no pace
  // lines up with the turn; under load the looks go on for up to ten seconds.
  bool changed = false;
  const DWORD start = GetTickCount();
  for (int attempt = 0; !changed && GetTickCount() - start < 10000; ++attempt) {
    zebhost::Wait(40 + (attempt * 70) % 230);
    const ScreenArea next = CaptureScreen(area);
    EXPECT_TRUE(below(next) == below(first)) << "the area below the header changed";
    EXPECT_NE(std::find(colours.begin(), colours.end(), frameAt(next)), colours.end());
    changed = frameAt(next) != frameAt(first);
    size_t differing = 0;
    for (size_t i = 0; i < static_cast<size_t>(kHeaderHeight) * kDisplayWidth; ++i)
      if (next.pixels[i] != first.pixels[i]) ++differing;
    if (changed) {
      EXPECT_GT(differing, static_cast<size_t>(kHeaderHeight) * kDisplayWidth / 2);
    }
  }
  EXPECT_TRUE(changed) << "the header did not change";

  EXPECT_TRUE(run.Stop());
  EXPECT_EQ(run.CountLog(L"AV in"), 0u);
}

}  // namespace
