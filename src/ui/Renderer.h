#pragma once
// Draws a control tree with GDI+ into 32-bit premultiplied ARGB pixels: the layered display window's
// frame, or a picture for tests and screenshots, without a screen.
#include <cstdint>

#include "ui/Bitmap.h"
#include "ui/Controls.h"

namespace ui {

// Clears the pixels to transparent and draws the visible tree into them. `stride` in bytes.
void RenderInto(const Control& root, uint32_t* pixels, int width, int height, int stride);

// The same into a new picture of the given size.
Bitmap RenderToBitmap(const Control& root, int width, int height);

}  // namespace ui
