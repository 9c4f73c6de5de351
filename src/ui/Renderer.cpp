// The tree walk of a frame: each visible control's transform (position, then scale) and opacity
// apply to its subtree; a subtree at opacity 0 is skipped entirely. A partial frame clips to its area
// and skips the controls whose box lies outside it.
#include "ui/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ui/FastPaths.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"

namespace ui {
namespace {

struct Walk {
  Gdiplus::Graphics& g;
  RectF clip;
  bool clipped;
  PixelTarget target;
};

// (ox, oy, sx, sy): where the control's own coordinates lie in the root's.
void DrawTree(Walk& w, const Control& c, float opacity, float ox, float oy, float sx, float sy) {
  if (!c.Visible()) return;
  opacity *= c.Opacity();
  if (opacity < 0.5f / 255) return;
  ox += c.X() * sx;
  oy += c.Y() * sy;
  sx *= c.ScaleX();
  sy *= c.ScaleY();
  const Gdiplus::GraphicsState state = w.g.Save();
  w.g.TranslateTransform(c.X(), c.Y());
  w.g.ScaleTransform(c.ScaleX(), c.ScaleY());
  const RectF box = RectF{ox, oy, c.Width() * sx, c.Height() * sy}.Inflated(c.Spill() * std::max(sx, sy));
  if (!w.clipped || box.Intersects(w.clip)) {
    // GDI+ writes straight into the pixels; the flush keeps its order with the software paths.
    w.g.Flush(Gdiplus::FlushIntentionSync);
    if (!DrawFast(w.target, c, opacity, ox, oy, sx, sy)) c.DrawSelf(w.g, opacity);
  }
  for (const auto& child : c.Children()) DrawTree(w, *child, opacity, ox, oy, sx, sy);
  w.g.Restore(state);
}

}  // namespace

PixelRect RenderInto(const Control& root, uint32_t* pixels, int width, int height, int stride, const RectF* area) {
  PixelRect r{0, 0, width, height};
  if (area) {
    r.left = std::max(0, static_cast<int>(std::floor(area->X)));
    r.top = std::max(0, static_cast<int>(std::floor(area->Y)));
    r.right = std::min(width, static_cast<int>(std::ceil(area->Right())));
    r.bottom = std::min(height, static_cast<int>(std::ceil(area->Bottom())));
  }
  if (r.Empty()) return {};
  EnsureGdiPlus();
  for (int y = r.top; y < r.bottom; ++y)
    std::memset(reinterpret_cast<unsigned char*>(pixels) + static_cast<size_t>(y) * stride + r.left * 4, 0,
                static_cast<size_t>(r.right - r.left) * 4);
  Gdiplus::Bitmap target(width, height, stride, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels));
  Gdiplus::Graphics g(&target);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  g.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
  // Grey-scale anti-aliasing: ClearType colour fringes would show on a transparent window.
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  const RectF clip{static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right - r.left),
                   static_cast<float>(r.bottom - r.top)};
  if (area) g.SetClip(Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  Walk walk{g, clip, area != nullptr, PixelTarget{pixels, width, height, stride, r}};
  DrawTree(walk, root, 1.0f, 0, 0, 1, 1);
  return r;
}

Bitmap RenderToBitmap(const Control& root, int width, int height) {
  Bitmap frame(width, height);
  if (!frame.Empty()) RenderInto(root, frame.Bits(), width, height, width * 4);
  return frame;
}

}  // namespace ui
