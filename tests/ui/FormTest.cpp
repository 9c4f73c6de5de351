// Windows of the layer on a (virtual) screen: the layered display form's styles and activation, its
// paints (none while idle), closing, a replaced window procedure, failures that reach the application's
// exception event, and the plain picture form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Exception.h"
#include "MessagePump.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/PlainForm.h"

using namespace ui;

namespace {

struct FormTest : ::testing::Test {
  Application app;
  std::vector<std::wstring> failures;
  FormTest() {
    app.OnException = [this](const std::exception& e) { failures.push_back(ToW(ExceptionMessage(e))); };
  }
  static std::wstring ToW(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
};

FormOptions Options(const wchar_t* className) {
  FormOptions o;
  o.className = className;
  o.width = 200;
  o.height = 100;
  return o;
}

void AddBox(Form& form) {
  ui::Rectangle& r = form.Root().Add<ui::Rectangle>();
  r.SetBounds(10, 10, 50, 30);
  r.SetFill(Fill::Solid(Rgb(0x851C1E)));
}

}  // namespace

TEST_F(FormTest, ShownLayeredTopMostToolWindowWithoutActivation) {
  // Something else holds the activation; showing the form must not take it.
  PlainForm other(PlainFormOptions{L"UiFormTestOther", 100, 100});
  other.Create();
  other.Show();
  SetForegroundWindow(other.Handle());
  Pump(app, 100);

  FormOptions o = Options(L"UiFormTestStyles");
  o.toolWindow = true;
  Form form(o);
  form.SetCaption(L"UiFormTestCaption");
  form.SetBounds(300, 40, 200, 100);
  int created = 0;
  form.OnCreate = [&] { ++created; };
  form.Create();
  EXPECT_EQ(created, 1);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  form.Show();
  Pump(app, 200);

  HWND hwnd = form.Handle();
  EXPECT_EQ(FindWindowW(nullptr, L"UiFormTestCaption"), hwnd);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  const LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME));
  EXPECT_NE(GetWindow(hwnd, GW_OWNER), nullptr) << "owned by the hidden application window: no taskbar button";
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
  EXPECT_NE(GetForegroundWindow(), hwnd);
  EXPECT_NE(GetActiveWindow(), hwnd);
  EXPECT_EQ(SendMessageW(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  EXPECT_GE(form.RedrawCount(), 1u);
  EXPECT_TRUE(failures.empty());
}

TEST_F(FormTest, PaintsOnlyAfterChanges) {
  Form form(Options(L"UiFormTestRedraw"));
  AddBox(form);
  int paints = 0;
  form.OnPaint = [&] { ++paints; };
  form.Create();
  Pump(app, 100);
  EXPECT_EQ(form.RedrawCount(), 0u) << "nothing is drawn while hidden";
  form.Show();
  ASSERT_TRUE(PumpUntil(app, [&] { return form.RedrawCount() >= 1; })) << "no first paint";
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(form.RedrawCount(), 1u);
  EXPECT_FALSE(form.Dirty());

  Pump(app, 600);
  EXPECT_EQ(form.RedrawCount(), 1u) << "no redraw while idle";

  // Several changes in one go: one paint.
  Control& box = *form.Root().Children().front();
  box.SetX(20);
  box.SetOpacity(0.5f);
  box.SetY(15);
  ASSERT_TRUE(PumpUntil(app, [&] { return form.RedrawCount() >= 2; })) << "no paint after the changes";
  Pump(app, 100);  // a second paint would come with the first
  EXPECT_EQ(form.RedrawCount(), 2u);
  EXPECT_EQ(form.PartialRedrawCount(), 1u) << "only the box's area was drawn again";

  // An animation redraws while it runs, then the clock's timer stops and so do the redraws.
  auto& fade = form.Clock().Add<FloatAnimation>(box, AnimatedProperty::Opacity);
  fade.Duration = 0.3;
  fade.StopValue = 1;
  fade.Start();
  EXPECT_TRUE(form.Clock().TimerActive());
  EXPECT_TRUE(PumpUntil(app, [&] { return !fade.Running() && !form.Dirty(); })) << "the fade never ended";
  EXPECT_FALSE(form.Clock().TimerActive());
  const unsigned afterFade = form.RedrawCount();
  EXPECT_GE(afterFade, 2u + 5u);
  EXPECT_EQ(box.Opacity(), 1.0f);
  Pump(app, 400);
  EXPECT_EQ(form.RedrawCount(), afterFade);

  // While hidden, changes wait for the next show.
  form.Hide();
  box.SetX(30);
  Pump(app, 200);
  EXPECT_EQ(form.RedrawCount(), afterFade);
  form.Show();
  ASSERT_TRUE(PumpUntil(app, [&] { return form.RedrawCount() > afterFade; })) << "no paint after the show";
  Pump(app, 100);
  EXPECT_EQ(form.RedrawCount(), afterFade + 1);
  EXPECT_EQ(paints, static_cast<int>(afterFade + 1));
}

TEST_F(FormTest, FirstPaintMayHideAndShowTheForm) {
  Form form(Options(L"UiFormTestFirstPaint"));
  AddBox(form);
  bool started = false;
  form.OnPaint = [&] {
    if (started) return;
    form.Hide();
    SetWindowLongW(form.Handle(), GWL_EXSTYLE, GetWindowLongW(form.Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    form.Show();
    started = true;
  };
  form.Create();
  form.Show();
  Pump(app, 300);
  EXPECT_TRUE(started);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_TRUE(GetWindowLongW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_LE(form.RedrawCount(), 2u);
  EXPECT_FALSE(form.Dirty());
}

namespace {
WNDPROC previousProc = nullptr;
int subclassedMessages = 0;
LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  ++subclassedMessages;
  if (msg == WM_APP + 7) return 77;
  return CallWindowProcW(previousProc, hwnd, msg, w, l);
}
}  // namespace

TEST_F(FormTest, ReplacedWindowProcedureStillDrivesTheForm) {
  Form form(Options(L"UiFormTestSubclass"));
  AddBox(form);
  int closes = 0;
  form.OnClose = [&] { ++closes; };
  app.SetMainForm(form);
  form.Create();
  previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  ASSERT_NE(previousProc, nullptr);
  EXPECT_EQ(Window::FromHandle(form.Handle()), &form);

  EXPECT_EQ(SendMessageW(form.Handle(), WM_APP + 7, 0, 0), 77);
  // Run shows the main form; a close request after its first paint ends the run.
  form.OnPaint = [&] { PostMessageW(form.Handle(), WM_CLOSE, 0, 0); };
  app.Run();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_GE(form.RedrawCount(), 1u);
  EXPECT_GT(subclassedMessages, 2);
}

TEST_F(FormTest, TimerFailureReachesTheExceptionEventAndTheLoopGoesOn) {
  Timer timer;
  timer.SetInterval(20);
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 2) throw Exception(u"boom in the timer");
  };
  app.OnException = [&](const std::exception& e) {
    failures.push_back(FormTest::ToW(ExceptionMessage(e)));
    app.ProcessMessages();
    app.Terminate();
  };
  timer.SetEnabled(true);
  app.Run();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], L"boom in the timer");
  EXPECT_GE(ticks, 2);
  timer.SetEnabled(false);
}

TEST_F(FormTest, FailuresInWindowHandlersAndAnimationTicks) {
  Form form(Options(L"UiFormTestFailures"));
  AddBox(form);
  int paints = 0;
  form.OnPaint = [&] {
    if (++paints == 1) throw std::runtime_error("paint failed");
  };
  form.OnClose = [] { throw Exception(u"close failed"); };
  form.Create();
  form.Show();
  Pump(app, 200);
  form.Close();

  auto& a = form.Clock().Add<FloatAnimation>(form.Root(), AnimatedProperty::Opacity);
  a.Duration = 0.05;
  a.OnFinish = [] { throw Exception(u"tick failed"); };
  a.Start();
  Pump(app, 300);
  EXPECT_EQ(failures, (std::vector<std::wstring>{L"paint failed", L"close failed", L"tick failed"}));
  EXPECT_FALSE(form.Clock().TimerActive());
}

TEST_F(FormTest, PlainFormPaintsWithoutErasingAndKeepsItsFailures) {
  PlainForm bg(PlainFormOptions{L"UiFormTestPlain", 120, 80});
  bg.SetLeft(50);
  bg.SetTop(60);
  Bitmap picture(120, 80);
  for (int i = 0; i < 120 * 80; ++i) picture.Bits()[i] = 0xFF2040A0u;
  GdiBitmap gdi(picture);
  int activations = 0, paints = 0, erases = 0;
  std::vector<std::wstring> own;
  bg.OnActivate = [&] { ++activations; };
  bg.OnPaint = [&](HDC dc) {
    ++paints;
    gdi.CopyTo(dc, 0, 0, bg.Width(), bg.Height());
    if (paints == 1) throw Exception(u"paint of the picture failed");
  };
  bg.OnEraseBackground = [&](HDC) -> LRESULT {
    ++erases;
    return 0;
  };
  bg.OnException = [&](const std::exception& e) { own.push_back(FormTest::ToW(ExceptionMessage(e))); };
  bg.Create();
  bg.Show();
  Pump(app, 200);
  InvalidateRect(bg.Handle(), nullptr, TRUE);
  Pump(app, 100);

  EXPECT_TRUE(bg.Visible());
  EXPECT_GE(activations, 1);
  EXPECT_GE(paints, 2);
  EXPECT_GE(erases, 1);
  EXPECT_EQ(own, std::vector<std::wstring>{L"paint of the picture failed"});
  EXPECT_TRUE(failures.empty()) << "the application's exception event is not involved";
  const LONG ex = GetWindowLongW(bg.Handle(), GWL_EXSTYLE);
  EXPECT_FALSE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(bg.Handle(), GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  RECT r;
  GetWindowRect(bg.Handle(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 120);

  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, 60, 70);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(c, RGB(0x20, 0x40, 0xA0));
}

TEST_F(FormTest, ExecutablePath) {
  const std::wstring exe = app.ExeName();
  ASSERT_GT(exe.size(), 4u);
  EXPECT_EQ(exe.substr(exe.size() - 4), L".exe");
  EXPECT_NE(exe.find(L"ui_form_test"), std::wstring::npos);
}
