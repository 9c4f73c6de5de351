// The tree walk of a frame: each visible control's transform (position, then scale) and opacity
// apply to its subtree; a subtree at opacity 0 is skipped entirely.
#include "ui/Renderer.h"

#include <cstring>

#include "ui/GdiPlusIncludes.h"

namespace ui {
namespace {

void DrawTree(Gdiplus::Graphics& g, const Control& c, float opacity) {
  if (!c.Visible()) return;
  opacity *= c.Opacity();
  if (opacity < 0.5f / 255) return;
  const Gdiplus::GraphicsState state = g.Save();
  g.TranslateTransform(c.X(), c.Y());
  g.ScaleTransform(c.ScaleX(), c.ScaleY());
  c.DrawSelf(g, opacity);
  for (const auto& child : c.Children()) DrawTree(g, *child, opacity);
  g.Restore(state);
}

}  // namespace

void RenderInto(const Control& root, uint32_t* pixels, int width, int height, int stride) {
  if (width <= 0 || height <= 0) return;
  for (int y = 0; y < height; ++y)
    std::memset(reinterpret_cast<unsigned char*>(pixels) + static_cast<size_t>(y) * stride, 0,
                static_cast<size_t>(width) * 4);
  Gdiplus::Bitmap target(width, height, stride, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels));
  Gdiplus::Graphics g(&target);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  g.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
  // Grey-scale anti-aliasing: ClearType colour fringes would show on a transparent window.
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  DrawTree(g, root, 1.0f);
}

Bitmap RenderToBitmap(const Control& root, int width, int height) {
  Bitmap frame(width, height);
  if (!frame.Empty()) RenderInto(root, frame.Bits(), width, height, width * 4);
  return frame;
}

}  // namespace ui
