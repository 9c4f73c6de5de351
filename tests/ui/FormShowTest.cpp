// The layered form as the receipt display uses it: a main form that Run leaves hidden, visibility
// that follows SetWindowPos (which sends no WM_SHOWWINDOW), a show that activates, and the overall
// opacity in what reaches the screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MessagePump.h"
#include "ui/Application.h"
#include "ui/Form.h"

using namespace ui;

namespace {

// A form of 100 x 50 at (300, 200), filled with one opaque colour.
FormOptions Options(const wchar_t* className, bool noActivate) {
  FormOptions o;
  o.className = className;
  o.width = 100;
  o.height = 50;
  o.noActivate = noActivate;
  return o;
}

ui::Rectangle& FillWith(Form& form, Color color) {
  form.SetBounds(300, 200, 100, 50);
  ui::Rectangle& r = form.Root().Add<ui::Rectangle>();
  r.SetBounds(0, 0, 100, 50);
  r.SetFill(Fill::Solid(color));
  r.SetStroke(Stroke::None());
  return r;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// `c` over `under` at `alpha` (0-255), per channel within 3.
::testing::AssertionResult Blended(COLORREF seen, COLORREF c, COLORREF under, int alpha) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int top = (c >> shift) & 0xFF, bottom = (under >> shift) & 0xFF;
    const int expected = bottom + (top - bottom) * alpha / 255;
    if (std::abs(static_cast<int>((seen >> shift) & 0xFF) - expected) > 3)
      return ::testing::AssertionFailure() << std::hex << "seen " << seen << " for " << c << " over " << under
                                           << std::dec << " at " << alpha;
  }
  return ::testing::AssertionSuccess();
}

const UINT kShow = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
const UINT kHide = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE;

}  // namespace

TEST(FormShowTest, MainFormLeftHiddenByRun) {
  Application app;
  app.ShowMainForm = false;
  Form form(Options(L"UiShowTestHiddenMain", false));
  FillWith(form, Rgb(0x2040A0));
  app.SetMainForm(form);
  form.Create();
  // The loop runs (a timer ticks in it) and ends on the quit request that the tick posts.
  Timer probe;
  probe.SetInterval(150);
  int ticks = 0;
  bool shownDuringRun = false;
  probe.OnTimer = [&] {
    ++ticks;
    shownDuringRun = form.Visible() || IsWindowVisible(form.Handle());
    app.Terminate();
  };
  probe.SetEnabled(true);
  app.Run();
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(shownDuringRun);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.RedrawCount(), 0u);
}

TEST(FormShowTest, VisibilityFollowsSetWindowPosAndTheShowActivates) {
  Application app;
  Form form(Options(L"UiShowTestSetWindowPos", false));
  ui::Rectangle& box = FillWith(form, Rgb(0x2040A0));
  form.Create();
  HWND hwnd = form.Handle();
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE);

  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kShow);
  EXPECT_TRUE(form.Visible());
  Pump(app, 200);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(form.RedrawCount(), 1u);
  EXPECT_EQ(GetActiveWindow(), hwnd) << "shown without SWP_NOACTIVATE: activated";
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(SendMessageW(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);

  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kHide);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(IsWindowVisible(hwnd));
  box.SetX(10);
  Pump(app, 200);
  EXPECT_EQ(form.RedrawCount(), 1u) << "no paint while hidden";

  // Shown again the same way: the change waiting since the hide is drawn, once.
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kShow);
  Pump(app, 200);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.RedrawCount(), 2u);
  EXPECT_FALSE(form.Dirty());

  // Show and Hide of the form itself: Show activates a form made to be activated.
  form.Hide();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  SetActiveWindow(nullptr);
  form.Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetActiveWindow(), hwnd);
}

TEST(FormShowTest, OverallOpacityReachesTheScreenWithTheNextFrame) {
  Application app;
  Form form(Options(L"UiShowTestOpacity", true));
  const COLORREF color = RGB(0xC0, 0x40, 0x20);
  FillWith(form, Rgb(0xC04020));
  const COLORREF under = ScreenPixel(320, 220);
  form.Create();
  form.Show();
  Pump(app, 200);
  EXPECT_TRUE(Blended(ScreenPixel(320, 220), color, under, 255));
  EXPECT_EQ(form.AlphaBlendValue(), 255);

  // Nothing else changed: the same frame goes to the window again, whole, at each new value.
  struct Step {
    int alpha;
    unsigned redraws;
  };
  const unsigned partialBefore = form.PartialRedrawCount();
  unsigned redraws = form.RedrawCount();
  for (const Step step : {Step{128, 1}, Step{128, 0}, Step{0, 1}, Step{64, 1}, Step{255, 1}}) {
    form.SetAlphaBlendValue(static_cast<uint8_t>(step.alpha));
    EXPECT_EQ(form.AlphaBlendValue(), step.alpha);
    Pump(app, 200);
    redraws += step.redraws;
    EXPECT_EQ(form.RedrawCount(), redraws) << "at " << step.alpha;
    EXPECT_TRUE(Blended(ScreenPixel(320, 220), color, under, step.alpha));
  }
  EXPECT_EQ(form.PartialRedrawCount(), partialBefore);

  // Set while hidden, the value is used by the frame of the next show.
  form.Hide();
  form.SetAlphaBlendValue(128);
  Pump(app, 100);
  EXPECT_EQ(form.RedrawCount(), redraws);
  form.Show();
  Pump(app, 200);
  EXPECT_EQ(form.RedrawCount(), redraws + 1);
  EXPECT_TRUE(Blended(ScreenPixel(320, 220), color, under, 128));
}
