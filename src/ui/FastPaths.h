#pragma once
// Software drawing of the two things that dominate a display frame, for when they lie on whole
// device pixels: a picture at its own size, and a rectangle with a solid or horizontal gradient
// fill and its outline. Wine's GDI+ samples these per pixel through its general path; copying and
// blending rows is many times faster and gives the same pixels.
#include <cstdint>

#include "ui/Controls.h"
#include "ui/Renderer.h"

namespace ui {

struct PixelTarget {
  uint32_t* pixels;
  int width, height, stride;
  PixelRect clip;
};

// Draws `c` when it qualifies, with its own coordinates at device (ox, oy) and scale (sx, sy);
// returns false (drawing nothing) otherwise.
bool DrawFast(const PixelTarget& t, const Control& c, float opacity, float ox, float oy, float sx, float sy);

}  // namespace ui
