#pragma once
// The opaque background picture window under the transparent display window: borderless, not
// top-most, no taskbar button, showing the top-left part of the product's 768 x 1024 picture. Opened
// once while the display window is set up, closed when the display window closes, and left on screen
// when the host hides the display.
#include <memory>

#include "ui/Bitmap.h"
#include "ui/PlainForm.h"

class TfmBG : public ui::PlainForm {
 public:
  TfmBG();
  ui::Bitmap BGImage;                       // the designed picture, 768 x 1024
  std::unique_ptr<ui::GdiBitmap> BackGround;  // a copy of it for the window's paints

  void FormActivate();
  void FormPaint(HDC dc);
  LRESULT WMEraseBkgnd(HDC dc);
};

// The one background window, or null.
TfmBG* BackgroundWindow();

void OpenBackgroundWindow(int left, int top, int width, int height);
void CloseBackgroundWindow();

// The product's background picture (an RGB PNG carried in the executable's resources).
ui::Bitmap BackgroundPicture();
// The basket picture of the dish layout (a 64 x 64 PNG with transparency).
ui::Bitmap BasketPicture();
