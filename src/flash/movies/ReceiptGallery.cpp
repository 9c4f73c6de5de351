// The gallery band's look: the dish name in Tahoma above its picture, on the receipt's white panel
// under a thin rule. A picture larger than its area is scaled down once, when it arrives, so that the
// band keeps only what it shows and a frame never rescales a large picture.
#include "flash/movies/ReceiptGallery.h"

#include <algorithm>
#include <cmath>

#include "ui/GdiPlusIncludes.h"
#include "win/WinText.h"

namespace flash {
namespace {

constexpr ui::Color kInk = ui::Rgb(0x202020);
constexpr ui::Color kRule = ui::Rgb(0xC8C8C8);

std::unique_ptr<ui::AnimationClock> MakeClock(ui::AnimationClock::TimeSource now) {
  return now ? std::make_unique<ui::AnimationClock>(std::move(now)) : std::make_unique<ui::AnimationClock>();
}

ui::Layout& Band(ui::Control& stage) {
  ui::Layout& band = stage.Add<ui::Layout>();
  band.Name = L"Gallery";
  band.SetBounds(0, ReceiptGallery::kTop, ReceiptGallery::kWidth, ReceiptGallery::kHeight);
  ui::Line& rule = band.Add<ui::Line>();
  rule.SetKind(ui::LineKind::Top);
  rule.SetBounds(16, 0, ReceiptGallery::kWidth - 32, 2);
  rule.SetStroke(ui::Stroke{.color = kRule, .thickness = 2});
  return band;
}

ui::Layout& EntryLayout(ui::Layout& band) {
  ui::Layout& entry = band.Add<ui::Layout>();
  entry.SetBounds(0, 0, ReceiptGallery::kWidth, ReceiptGallery::kHeight);
  return entry;
}

ui::Text& MakeName(ui::Layout& entry) {
  ui::Text& t = entry.Add<ui::Text>();
  t.SetBounds(ReceiptGallery::kPictureLeft, ReceiptGallery::kNameTop - ReceiptGallery::kTop,
              ReceiptGallery::kPictureWidth, ReceiptGallery::kNameHeight);
  t.SetFontFamily(L"Tahoma");
  t.SetFontSize(26);
  t.SetBold(true);
  t.SetColor(kInk);
  t.SetHorzAlign(ui::TextAlign::Center);
  t.SetVertAlign(ui::TextAlign::Center);
  t.SetWordWrap(false);
  return t;
}

ui::Image& MakePicture(ui::Layout& entry) {
  ui::Image& image = entry.Add<ui::Image>();
  image.SetWrapMode(ui::WrapMode::Stretch);  // its bounds are the fitted size
  image.Hide();
  return image;
}

ui::FloatAnimation& Animate(ui::AnimationClock& clock, ui::Control& target, ui::AnimatedProperty property,
                            float from, float to) {
  auto& a = clock.Add<ui::FloatAnimation>(target, property);
  a.StartValue = from;
  a.StopValue = to;
  a.Duration = ReceiptGallery::kChangeSeconds;
  a.Interp = ui::Interpolation::Quadratic;
  a.Ease = ui::EaseKind::Out;
  return a;
}

// The picture at this size, resampled smoothly.
ui::Bitmap Resampled(const ui::Bitmap& picture, int width, int height) {
  ui::Bitmap out(width, height);
  Gdiplus::Graphics g(out.Gdi());
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no faded edges from sampling beyond them
  g.DrawImage(picture.Gdi(), Gdiplus::Rect(0, 0, width, height), 0, 0, picture.Width(), picture.Height(),
              Gdiplus::UnitPixel, &attributes);
  return out;
}

}  // namespace

ReceiptGallery::ReceiptGallery(ui::Control& stage, ui::AnimationClock::TimeSource now)
    : clock_(MakeClock(std::move(now))),
      band_(Band(stage)),
      entry_(EntryLayout(band_)),
      name_(MakeName(entry_)),
      picture_(MakePicture(entry_)),
      fade_(Animate(*clock_, entry_, ui::AnimatedProperty::Opacity, 0, 1)),
      rise_(Animate(*clock_, entry_, ui::AnimatedProperty::PositionY, kRise, 0)) {}

ReceiptGallery::~ReceiptGallery() = default;

void ReceiptGallery::Reload(const XmlDocument& galleryXml, const PictureSource& pictures) {
  const XmlNode* item = galleryXml.Root();
  std::u16string name = item ? item->Attr(u"Name") : u" ";
  std::u16string picture = item ? item->Attr(u"Picture") : u"";
  if (name == shownName_ && picture == shownPicture_) return;  // no change, nothing to animate
  name_.SetText(ToW(name));
  ShowPicture(picture.empty() ? ui::Bitmap() : pictures(picture));
  shownName_ = std::move(name);
  shownPicture_ = std::move(picture);
  // A blank entry just clears the band; a dish comes in.
  const bool blank = shownPicture_.empty() && shownName_.find_first_not_of(u' ') == std::u16string::npos;
  if (blank) {
    fade_.Stop();
    rise_.Stop();
    return;
  }
  fade_.Start();
  rise_.Start();
}

void ReceiptGallery::ShowPicture(ui::Bitmap picture) {
  if (picture.Empty()) {
    picture_.ClearBitmap();
    picture_.Hide();
    return;
  }
  // Fitted into the area keeping its proportions, never enlarged, centred.
  const float scale = std::min({1.0f, kPictureWidth / static_cast<float>(picture.Width()),
                                kPictureHeight / static_cast<float>(picture.Height())});
  const int w = std::max(1, static_cast<int>(std::lround(picture.Width() * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(picture.Height() * scale)));
  picture_.SetBounds(kPictureLeft + (kPictureWidth - static_cast<float>(w)) / 2,
                     kPictureTop - kTop + (kPictureHeight - static_cast<float>(h)) / 2, static_cast<float>(w),
                     static_cast<float>(h));
  picture_.SetBitmap(scale < 1.0f ? Resampled(picture, w, h) : std::move(picture));
  picture_.Show();
}

}  // namespace flash
