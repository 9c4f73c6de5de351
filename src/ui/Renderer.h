#pragma once
// Draws a control tree with GDI+ into 32-bit premultiplied ARGB pixels: the layered display window's
// frame, or a picture for tests and screenshots, without a screen.
#include <cstdint>

#include "ui/Bitmap.h"
#include "ui/Controls.h"

namespace ui {

// Clears the pixels to transparent and draws the visible tree into them. `stride` in bytes. With an
// `area`, only the pixels in it (widened to whole pixels) are cleared and drawn; the rest keep the last
// frame. Returns the pixel rectangle drawn.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};
PixelRect RenderInto(const Control& root, uint32_t* pixels, int width, int height, int stride,
                     const RectF* area = nullptr);

// The same into a new picture of the given size.
Bitmap RenderToBitmap(const Control& root, int width, int height);

}  // namespace ui
