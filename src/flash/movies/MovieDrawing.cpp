// Sprites of the scene movies, drawn with GDI+ at the movie's quality.
#include "flash/movies/MovieDrawing.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/Ascii.h"
#include "flash/StageFit.h"
#include "ui/Fonts.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"

namespace flash {
namespace {

// The font the banners draw with: the display's bold family where installed.
constexpr wchar_t kFontFamily[] = L"Tahoma";

void ApplyQuality(Gdiplus::Graphics& g, MovieQuality quality) {
  switch (quality) {
    case MovieQuality::Low:
      g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
      g.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
      g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
      break;
    case MovieQuality::Medium:
      g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
      g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
      g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
      break;
    case MovieQuality::High:
      g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
      g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
      break;
  }
}

// A premultiplied pixel times k / 255.
uint32_t Scale(uint32_t p, uint32_t k) {
  auto ch = [&](int shift) { return ((p >> shift & 0xFF) * k + 127) / 255 << shift; };
  return ch(24) | ch(16) | ch(8) | ch(0);
}

void FillRoundedRect(Gdiplus::Graphics& g, const Gdiplus::Brush& brush, float w, float h, float r) {
  r = std::min({r, w / 2, h / 2});
  if (r <= 0) {
    g.FillRectangle(&brush, 0.0f, 0.0f, w, h);
    return;
  }
  Gdiplus::GraphicsPath path;
  const float d = 2 * r;
  path.AddArc(0.0f, 0.0f, d, d, 180, 90);
  path.AddArc(w - d, 0.0f, d, d, 270, 90);
  path.AddArc(w - d, h - d, d, d, 0, 90);
  path.AddArc(0.0f, h - d, d, d, 90, 90);
  path.CloseFigure();
  g.FillPath(&brush, &path);
}

std::unique_ptr<Gdiplus::Font> BoldFont(float size) {
  Gdiplus::FontFamily family(ui::ResolveFontFamily(kFontFamily).c_str());
  auto font = std::make_unique<Gdiplus::Font>(&family, size, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
  if (font->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return font;
}

}  // namespace

MovieQuality MovieQualityFromName(std::u16string_view name) noexcept {
  if (AsciiEqualsNoCase(name, u"LOW")) return MovieQuality::Low;
  if (AsciiEqualsNoCase(name, u"MEDIUM")) return MovieQuality::Medium;
  return MovieQuality::High;
}

ui::Bitmap DrawTextSprite(const TextSprite& sprite, MovieQuality quality) {
  ui::Bitmap out(sprite.width, sprite.height);
  if (out.Empty()) return out;
  ui::EnsureGdiPlus();
  Gdiplus::Graphics g(out.Gdi());
  ApplyQuality(g, quality);
  const float w = static_cast<float>(sprite.width), h = static_cast<float>(sprite.height);
  if (sprite.fill) {
    Gdiplus::SolidBrush panel(Gdiplus::Color(sprite.fill));
    FillRoundedRect(g, panel, w, h, sprite.cornerRadius);
  }
  if (sprite.text.empty()) return out;
  Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
  format.SetFormatFlags(format.GetFormatFlags() | Gdiplus::StringFormatFlagsNoWrap);
  format.SetAlignment(Gdiplus::StringAlignmentCenter);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  const float margin = std::max(sprite.cornerRadius / 2, 4.0f);
  const float room = std::max(w - 2 * margin, 1.0f);
  // One measurement gives the size at which the line fits the box's width.
  float size = sprite.fontSize;
  auto font = BoldFont(size);
  if (!font) return out;
  Gdiplus::RectF bound;
  const INT length = static_cast<INT>(sprite.text.size());
  g.MeasureString(sprite.text.c_str(), length, font.get(), Gdiplus::PointF(0, 0), &format, &bound);
  if (bound.Width > room) {
    size = std::max(sprite.fontSize * room / bound.Width * 0.98f, sprite.fontSize / 3);
    font = BoldFont(size);
    if (!font) return out;
  }
  Gdiplus::SolidBrush ink(Gdiplus::Color(sprite.color));
  const Gdiplus::RectF box(margin, 0, room, h);
  if (quality != MovieQuality::Low) {
    g.DrawString(sprite.text.c_str(), length, font.get(), box, &format, &ink);
    return out;
  }
  // One bit per pixel: GDI+ may smooth text whatever its hint says (Wine's does), so the text is drawn
  // apart and each pixel either takes the ink or keeps what lies below.
  ui::Bitmap layer(sprite.width, sprite.height);
  {
    Gdiplus::Graphics lg(layer.Gdi());
    ApplyQuality(lg, quality);
    Gdiplus::SolidBrush opaque(Gdiplus::Color(0xFF000000u | (sprite.color & 0xFFFFFFu)));
    lg.DrawString(sprite.text.c_str(), length, font.get(), box, &format, &opaque);
  }
  const uint32_t a = sprite.color >> 24, rgb = sprite.color & 0xFFFFFFu;
  auto premultiplied = [&](int shift) { return ((rgb >> shift & 0xFF) * a + 127) / 255 << shift; };
  const uint32_t inkPixel = a << 24 | premultiplied(16) | premultiplied(8) | premultiplied(0);
  g.Flush(Gdiplus::FlushIntentionSync);
  const size_t n = static_cast<size_t>(sprite.width) * sprite.height;
  for (size_t i = 0; i < n; ++i)
    if ((layer.Bits()[i] >> 24) >= 128) out.Bits()[i] = a == 255 ? inkPixel : inkPixel + Scale(out.Bits()[i], 255 - a);
  return out;
}

ui::Bitmap FitPicture(const ui::Bitmap& picture, int maxWidth, int maxHeight, MovieQuality quality) {
  if (picture.Empty() || (picture.Width() <= maxWidth && picture.Height() <= maxHeight)) return picture;
  const double scale = std::min(static_cast<double>(maxWidth) / picture.Width(),
                                static_cast<double>(maxHeight) / picture.Height());
  const int w = std::max(1, static_cast<int>(std::lround(picture.Width() * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(picture.Height() * scale)));
  ui::Bitmap out(std::min(w, maxWidth), std::min(h, maxHeight));
  ui::EnsureGdiPlus();
  Gdiplus::Graphics g(out.Gdi());
  ApplyQuality(g, quality);
  g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no dark seam at the edges
  g.DrawImage(picture.Gdi(), Gdiplus::Rect(0, 0, out.Width(), out.Height()), 0, 0, picture.Width(), picture.Height(),
              Gdiplus::UnitPixel, &attributes);
  return out;
}

void ComposeOver(uint32_t* out, const ui::Bitmap& frame, const ui::Bitmap* background) {
  const int w = frame.Width(), h = frame.Height();
  ComposeStage(out, FitStage(w, h, w, h), frame, background, {0, 0, w, h});
}

}  // namespace flash
