#include "ui/FastPaths.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui {
namespace {

bool Whole(float v, int& out) {
  const float r = std::round(v);
  if (std::fabs(v - r) > 1e-3f) return false;
  out = static_cast<int>(r);
  return true;
}

uint32_t Premultiply(Color c, float opacity) {
  const uint32_t a = static_cast<uint32_t>(std::clamp(static_cast<int>(AlphaOf(c) * opacity + 0.5f), 0, 255));
  auto ch = [a](uint32_t v) { return (v * a + 127) / 255; };
  return a << 24 | ch(RedOf(c)) << 16 | ch(GreenOf(c)) << 8 | ch(BlueOf(c));
}

// Source-over of one premultiplied pixel.
inline uint32_t Over(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0) return dst;
  const uint32_t inv = 255 - a;
  const uint32_t rb = ((dst & 0x00FF00FFu) * inv + 0x00800080u) >> 8 & 0x00FF00FFu;
  const uint32_t ag = ((dst >> 8 & 0x00FF00FFu) * inv + 0x00800080u) & 0xFF00FF00u;
  return src + (rb | ag);
}

inline uint32_t Scale(uint32_t p, uint32_t k) {  // k 0..256
  const uint32_t rb = ((p & 0x00FF00FFu) * k >> 8) & 0x00FF00FFu;
  const uint32_t ag = ((p >> 8 & 0x00FF00FFu) * k) & 0xFF00FF00u;
  return rb | ag;
}

struct Box {
  int l, t, r, b;
};

// The device box clipped to the target's clip.
Box Clip(const PixelTarget& t, Box b) {
  return {std::max(b.l, t.clip.left), std::max(b.t, t.clip.top), std::min(b.r, t.clip.right),
          std::min(b.b, t.clip.bottom)};
}

uint32_t* Row(const PixelTarget& t, int y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<unsigned char*>(t.pixels) + static_cast<size_t>(y) * t.stride);
}

void FillSolid(const PixelTarget& t, Box b, uint32_t color) {
  b = Clip(t, b);
  for (int y = b.t; y < b.b; ++y) {
    uint32_t* row = Row(t, y);
    for (int x = b.l; x < b.r; ++x) row[x] = Over(color, row[x]);
  }
}

// Colours of a horizontal gradient across `width` columns, sampled at the column centres.
std::vector<uint32_t> GradientRow(const std::vector<GradientStop>& unsorted, int width, float opacity) {
  std::vector<GradientStop> stops = unsorted;
  std::sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
  std::vector<uint32_t> row(width);
  for (int i = 0; i < width; ++i) {
    const float pos = (i + 0.5f) / width;
    Color c = stops.front().color;
    if (pos >= stops.back().offset) {
      c = stops.back().color;
    } else {
      for (size_t k = 1; k < stops.size(); ++k) {
        if (pos < stops[k].offset) {
          const GradientStop& a = stops[k - 1];
          const GradientStop& b = stops[k];
          if (pos <= a.offset) {  // exactly on a stop
            c = a.color;
            break;
          }
          const float f = (pos - a.offset) / (b.offset - a.offset);
          auto mix = [f](int x, int y) { return static_cast<uint32_t>(std::lround(x + (y - x) * f)); };
          c = mix(AlphaOf(a.color), AlphaOf(b.color)) << 24 | mix(RedOf(a.color), RedOf(b.color)) << 16 |
              mix(GreenOf(a.color), GreenOf(b.color)) << 8 | mix(BlueOf(a.color), BlueOf(b.color));
          break;
        }
      }
    }
    row[i] = Premultiply(c, opacity);
  }
  return row;
}

bool DrawRectangle(const PixelTarget& t, const Rectangle& r, float opacity, float ox, float oy, float sx, float sy) {
  const Fill& fill = r.GetFill();
  const Stroke& stroke = r.GetStroke();
  const bool horizontal = fill.kind == Fill::Kind::LinearGradient && !fill.stops.empty() &&
                          fill.startPoint.X == 0 && fill.stopPoint.X == 1 && fill.startPoint.Y == fill.stopPoint.Y;
  // Half-transparent stops are left to GDI+, whose interpolation of alpha differs.
  const bool opaque = std::all_of(fill.stops.begin(), fill.stops.end(), [](const auto& s) { return AlphaOf(s.color) == 255; });
  if (fill.kind == Fill::Kind::LinearGradient && (!horizontal || !opaque)) return false;
  Box b;
  int thick = 0;
  if (!Whole(ox, b.l) || !Whole(oy, b.t) || !Whole(ox + r.Width() * sx, b.r) || !Whole(oy + r.Height() * sy, b.b))
    return false;
  if (stroke.enabled && stroke.thickness > 0 &&
      (sx != sy || !Whole(stroke.thickness * sx, thick) || 2 * thick > std::min(b.r - b.l, b.b - b.t)))
    return false;
  if (b.r <= b.l || b.b <= b.t) return true;
  if (fill.kind == Fill::Kind::Solid) {
    FillSolid(t, b, Premultiply(fill.color, opacity));
  } else if (horizontal) {
    const std::vector<uint32_t> colors = GradientRow(fill.stops, b.r - b.l, opacity);
    const Box c = Clip(t, b);
    for (int y = c.t; y < c.b; ++y) {
      uint32_t* row = Row(t, y);
      for (int x = c.l; x < c.r; ++x) row[x] = Over(colors[x - b.l], row[x]);
    }
  }
  if (thick > 0) {
    const uint32_t color = Premultiply(stroke.color, opacity);
    FillSolid(t, {b.l, b.t, b.r, b.t + thick}, color);
    FillSolid(t, {b.l, b.b - thick, b.r, b.b}, color);
    FillSolid(t, {b.l, b.t + thick, b.l + thick, b.b - thick}, color);
    FillSolid(t, {b.r - thick, b.t + thick, b.r, b.b - thick}, color);
  }
  return true;
}

bool DrawImage(const PixelTarget& t, const Image& img, float opacity, float ox, float oy, float sx, float sy) {
  const Bitmap& bmp = img.GetBitmap();
  if (bmp.Empty()) return false;
  const WrapMode mode = img.GetWrapMode();
  Box b;
  if (sx != 1 || sy != 1 || !Whole(ox, b.l) || !Whole(oy, b.t)) return false;
  int w = bmp.Width(), h = bmp.Height();
  if (mode == WrapMode::Original) {
    w = std::min(w, static_cast<int>(img.Width()));
    h = std::min(h, static_cast<int>(img.Height()));
  } else if (mode == WrapMode::Tile || img.Width() != bmp.Width() || img.Height() != bmp.Height()) {
    return false;  // Stretch and Fit at the picture's own size only
  }
  b.r = b.l + w;
  b.b = b.t + h;
  const Box c = Clip(t, b);
  const uint32_t k = static_cast<uint32_t>(std::lround(std::clamp(opacity, 0.0f, 1.0f) * 256));
  for (int y = c.t; y < c.b; ++y) {
    uint32_t* row = Row(t, y);
    const uint32_t* src = bmp.Bits() + static_cast<size_t>(y - b.t) * bmp.Width() - b.l;
    if (k >= 256) {
      for (int x = c.l; x < c.r; ++x) row[x] = Over(src[x], row[x]);
    } else {
      for (int x = c.l; x < c.r; ++x) row[x] = Over(Scale(src[x], k), row[x]);
    }
  }
  return true;
}

}  // namespace

bool DrawFast(const PixelTarget& t, const Control& c, float opacity, float ox, float oy, float sx, float sy) {
  if (const auto* r = dynamic_cast<const Rectangle*>(&c)) return DrawRectangle(t, *r, opacity, ox, oy, sx, sy);
  if (const auto* i = dynamic_cast<const Image*>(&c)) return DrawImage(t, *i, opacity, ox, oy, sx, sy);
  return false;
}

}  // namespace ui
