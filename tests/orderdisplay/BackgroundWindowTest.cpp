// The background picture window in-process: opened once (a second open changes nothing), its
// rectangle and styles, the carried picture at its own size, the background never erased, and
// closing that is harmless when nothing is open.
#include <gtest/gtest.h>

#include <vector>

#include "orderdisplay/BackgroundWindow.h"
#include "ui/Application.h"

namespace {

// Left, top, width, height.
std::vector<LONG> Bounds(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST(BackgroundWindow, OpensOnceAndClosesOnce) {
  ui::Application app;
  CloseBackgroundWindow();  // nothing open: nothing happens
  EXPECT_EQ(BackgroundWindow(), nullptr);

  OpenBackgroundWindow(40, 30, 300, 200);
  TfmBG* window = BackgroundWindow();
  ASSERT_NE(window, nullptr);
  HWND h = window->Handle();
  app.ProcessMessages();
  EXPECT_EQ(Bounds(h), (std::vector<LONG>{40, 30, 300, 200}));
  EXPECT_TRUE(IsWindowVisible(h));
  const LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU), 0);
  EXPECT_NE(ex & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(ex & (WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_LAYERED), 0);

  // The picture is kept at its own size, whatever the window's, and is the one the program carries.
  ASSERT_TRUE(window->BackGround);
  EXPECT_EQ(window->BackGround->Width(), 768);
  EXPECT_EQ(window->BackGround->Height(), 1024);
  const ui::Bitmap picture = BackgroundPicture();
  ASSERT_EQ(picture.Width(), 768);
  ASSERT_EQ(picture.Height(), 1024);
  for (int y : {0, 500, 1023}) EXPECT_EQ(picture.Pixel(10, y) >> 24, 0xFFu) << "opaque at row " << y;
  EXPECT_EQ(GetPixel(window->BackGround->Dc(), 10, 500) & 0xFFFFFF,
            RGB((picture.Pixel(10, 500) >> 16) & 0xFF, (picture.Pixel(10, 500) >> 8) & 0xFF,
                picture.Pixel(10, 500) & 0xFF));

  // Nothing erases the background: the message is answered 0.
  HDC dc = GetDC(h);
  EXPECT_EQ(SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
  ReleaseDC(h, dc);

  OpenBackgroundWindow(500, 600, 100, 100);
  EXPECT_EQ(BackgroundWindow(), window);
  EXPECT_EQ(window->Handle(), h);
  EXPECT_EQ(Bounds(h), (std::vector<LONG>{40, 30, 300, 200}));

  CloseBackgroundWindow();
  EXPECT_EQ(BackgroundWindow(), nullptr);
  EXPECT_FALSE(IsWindow(h));
  CloseBackgroundWindow();
  EXPECT_EQ(BackgroundWindow(), nullptr);
}

}  // namespace
