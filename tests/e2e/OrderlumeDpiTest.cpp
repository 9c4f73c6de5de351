// Orderlume on a screen of 144 pixels per inch (150 %): its windows keep the settings' rectangles in
// screen pixels and its header shows the same pixels as at 96; a text drawn by the UI layer keeps its
// pixels too. The screen's DPI is set for the programs this test starts and put back when each test
// ends (ScreenDpi.h); the test runs alone, so no other test's program starts in the meantime.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "E2eSupport.h"
#include "ScreenDpi.h"
#include "ui/GdiPlus.h"

namespace {

constexpr DWORD kScaledDpi = 144;
// Without settings: the display window 768 x 1024 at (1024, 0), the background window 690 x 758 at
// (1062, 246); the header with its shadow is the display's top 220 rows.
constexpr RECT kDisplay{1024, 0, 1792, 1024};
constexpr RECT kBackground{1062, 246, 1752, 1004};
constexpr RECT kHeader{1024, 0, 1792, 220};

std::string Str(const RECT& r) {
  std::ostringstream s;
  s << r.right - r.left << " x " << r.bottom - r.top << " at (" << r.left << ", " << r.top << ")";
  return s.str();
}

size_t Differing(const ScreenArea& a, const ScreenArea& b) {
  if (a.pixels.size() != b.pixels.size()) return a.pixels.size() + b.pixels.size();
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

std::wstring ProbeExe() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"e2e_dpi_probe.exe";
}

struct Shown {
  RECT display{}, background{};
  ScreenArea header;
};

// Starts Orderlume without settings, shows a dish with its price in the header and takes the windows'
// places and the header's pixels once they stand still.
Shown ShowOrderlume() {
  Shown shown;
  OrderlumeRun run;
  run.Start();
  EXPECT_TRUE(run.WaitForLog(L"< started", 1, 15000)) << "no first paint";
  HWND display = WaitProgramWindow(run.Process()->Id(), L"Orderlume");
  if (!display) {
    ADD_FAILURE() << "the display window did not become visible";
    return shown;
  }
  zebhost::SendCopyData(display, zebhost::CHECK_DATA_TAG,
                        L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check ModeName=\"Mode_3\" Sum=\"350\">"
                        L"<CheckLines><L New=\"true\" Name=\"Caesar salad with chicken\" Price=\"350\"/>"
                        L"</CheckLines></Check>",
                        10000);
  EXPECT_TRUE(run.WaitForLog(L"< apply data", 1, 15000)) << "the check was not applied";
  shown.header = CaptureScreen(kHeader);
  for (int i = 0; i < 25; ++i) {  // a fade may still run: wait until two looks agree
    zebhost::Wait(200);
    ScreenArea again = CaptureScreen(kHeader);
    const bool still = Differing(again, shown.header) == 0;
    shown.header = std::move(again);
    if (still) break;
  }
  GetWindowRect(display, &shown.display);
  for (HWND w : VisibleWindowsOf(run.Process()->Id()))
    if (w != display) GetWindowRect(w, &shown.background);
  EXPECT_TRUE(run.Stop());
  return shown;
}

// The screen's DPI that this test program was started with: the prefix's own.
int OwnScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(OrderlumeDpi, WindowsKeepTheSettingsPixelsAndTheHeaderItsPixelsAt144Dpi) {
  ASSERT_EQ(OwnScreenDpi(), 96) << "the test prefix is meant to run at 96 pixels per inch";
  const DWORD setting = ScreenDpiSetting();
  const Shown plain = ShowOrderlume();
  EXPECT_TRUE(EqualRect(&plain.display, &kDisplay)) << Str(plain.display);
  EXPECT_TRUE(EqualRect(&plain.background, &kBackground)) << Str(plain.background);

  Shown scaled;
  {
    ScreenDpiOverride dpi(kScaledDpi);
    scaled = ShowOrderlume();
  }
  EXPECT_EQ(ScreenDpiSetting(), setting) << "the screen's DPI setting was not put back";
  EXPECT_TRUE(EqualRect(&scaled.display, &kDisplay)) << Str(scaled.display);
  EXPECT_TRUE(EqualRect(&scaled.background, &kBackground)) << Str(scaled.background);
  EXPECT_EQ(Differing(plain.header, scaled.header), 0u) << "the header draws differently at 144 DPI";
}

// A text of the UI layer drawn by this program (at 96) and by a program started at 144 DPI: fonts are
// sized in pixels, so the two pictures are the same. The second program also shows that a program
// started under the override does see 144.
TEST(OrderlumeDpi, UiTextHasTheSamePixelsAt144Dpi) {
  ui::GdiPlusSession gdiplus;
  const TextPicture here = RenderSampleText();
  ASSERT_EQ(here.screenDpi, 96);
  size_t ink = 0;
  for (uint32_t p : here.pixels) ink += (p >> 24) != 0;
  ASSERT_GT(ink, 500u) << "the sample text drew nothing";

  TempDir dir;
  const std::wstring file = dir / L"text.bin";
  {
    ScreenDpiOverride dpi(kScaledDpi);
    zebhost::ChildProcess probe(ProbeExe(), L"render \"" + file + L"\"", L"");
    ASSERT_TRUE(probe.WaitExit(30000));
    ASSERT_EQ(probe.ExitCode(), 0u);
  }
  const TextPicture scaled = ReadTextPicture(file);
  ASSERT_EQ(scaled.screenDpi, static_cast<int>(kScaledDpi)) << "the probe did not run at 144 DPI";
  std::cout << "GDI+ pictures: " << here.pictureDpi << " DPI here, " << scaled.pictureDpi << " at 144\n";
  ASSERT_EQ(scaled.width, here.width);
  ASSERT_EQ(scaled.height, here.height);
  size_t differing = 0;
  for (size_t i = 0; i < here.pixels.size(); ++i) differing += here.pixels[i] != scaled.pixels[i];
  EXPECT_EQ(differing, 0u);
}

}  // namespace
