// The gallery movie's look: over the scene's dark background a caption at the top, the dish's picture
// in a 512 x 512 box below it, the dish's name and its price under the picture, all in Tahoma. The
// dish fades in while rising into place and fades out before "EndAnimation".
#include "flash/movies/GalleryMovie.h"

#include <algorithm>

#include "ui/Renderer.h"
#include "win/WinText.h"

namespace flash {
namespace {

constexpr ui::Color kCaptionInk = ui::Rgb(0xFFE6C8);
constexpr ui::Color kNameInk = ui::kWhite;
constexpr ui::Color kPriceInk = ui::Rgb(0xFFB060);
constexpr float kMargin = 24;
constexpr float kPictureTop = 118;
constexpr float kRise = 24;  // how far the dish rises while it fades in

ui::Text& AddText(ui::Control& parent, float y, float h, float size, ui::Color color) {
  ui::Text& t = parent.Add<ui::Text>();
  t.SetBounds(kMargin, y, GalleryMovie::kStageWidth - 2 * kMargin, h);
  t.SetFontFamily(L"Tahoma");
  t.SetFontSize(size);
  t.SetBold(true);
  t.SetColor(color);
  t.SetHorzAlign(ui::TextAlign::Center);
  t.SetVertAlign(ui::TextAlign::Center);
  t.SetWordWrap(false);
  return t;
}

// A part of the dish is left out when its attribute is empty or a single blank.
bool LeftOut(std::u16string_view value) { return value.empty() || value == u" "; }

// The picture scaled down to fit the box keeping its proportions, never enlarged: drawn once here, so
// that a large picture costs nothing on every frame.
ui::Bitmap FittedPicture(const ui::Bitmap& picture) {
  const int box = GalleryMovie::kPictureBox;
  if (picture.Width() <= box && picture.Height() <= box) return picture;
  const double scale = std::min(static_cast<double>(box) / picture.Width(), static_cast<double>(box) / picture.Height());
  const int w = std::max(1, static_cast<int>(picture.Width() * scale + 0.5));
  const int h = std::max(1, static_cast<int>(picture.Height() * scale + 0.5));
  ui::Layout layout;
  layout.SetSize(static_cast<float>(w), static_cast<float>(h));
  ui::Image& image = layout.Add<ui::Image>();
  image.SetBounds(0, 0, static_cast<float>(w), static_cast<float>(h));
  image.SetWrapMode(ui::WrapMode::Stretch);
  image.SetBitmap(picture);
  return ui::RenderToBitmap(layout, w, h);
}

}  // namespace

GalleryMovie::GalleryMovie(MovieHost& host)
    : NativeMovie(host, MovieOptions{.stageWidth = kStageWidth, .stageHeight = kStageHeight, .frameRate = kFrameRate}),
      dish_(Stage().Add<ui::Layout>()),
      caption_(AddText(dish_, 30, 70, 34, kCaptionInk)),
      picture_(dish_.Add<ui::Image>()),
      name_(AddText(dish_, kPictureTop + kPictureBox + 8, 52, 30, kNameInk)),
      price_(AddText(dish_, kPictureTop + kPictureBox + 62, 52, 34, kPriceInk)) {
  dish_.SetBounds(0, 0, kStageWidth, kStageHeight);
  picture_.SetWrapMode(ui::WrapMode::Original);
  ClearDish();
}

void GalleryMovie::OnLoad() {
  quality_ = u"MEDIUM";
  AddCallback(u"nextBanner", [this] {
    // Standing on the first frame the movie reads MenuXML when it is played; nothing to do before.
    if (phase_ == Phase::FirstFrame) return std::u16string();
    ShowDish();
    Play();
    return std::u16string();
  });
  // "stop" goes back to the first frame, "deleteAnimation" stays where the dish ended.
  AddCallback(u"stop", [this] {
    DropDish(Phase::FirstFrame);
    return std::u16string();
  });
  AddCallback(u"deleteAnimation", [this] {
    DropDish(Phase::Ended);
    return std::u16string();
  });
  Stop();
}

void GalleryMovie::OnEnterFrame() {
  switch (phase_) {
    case Phase::FirstFrame:
      ShowDish();
      return;
    case Phase::Showing:
      if (++frame_ < kEntryFrames) {
        const float t = static_cast<float>(frame_) / kEntryFrames;
        Look(t, kRise * (1 - t) * (1 - t));
      } else if (frame_ == kEntryFrames) {
        Look(1, 0);
      } else if (frame_ >= kOnScreenFrames) {
        phase_ = Phase::Closing;
        frame_ = 0;
      }
      return;
    case Phase::Closing:
      if (++frame_ < kClosingFrames) {
        Look(1 - static_cast<float>(frame_) / kClosingFrames, 0);
        return;
      }
      DropDish(Phase::Ended);
      FSCommand(u"EndAnimation");
      return;
    case Phase::Ended:
      return;
  }
}

void GalleryMovie::ShowDish() {
  const auto document = VariableXml(u"MenuXML");
  const XmlNode* item = document->Root();
  auto part = [item](ui::Text& text, std::u16string_view name) {
    const std::u16string value = item ? item->Attr(name) : std::u16string();
    text.SetText(LeftOut(value) ? std::wstring() : ToW(value));
    text.SetVisible(!LeftOut(value));
  };
  part(caption_, u"ShowText");
  part(name_, u"Name");
  std::u16string price;
  for (const char16_t* name : {u"Price", u"Currency"}) {
    const std::u16string value = item ? item->Attr(name) : std::u16string();
    if (LeftOut(value)) continue;
    if (!price.empty()) price += u' ';
    price += value;
  }
  price_.SetText(ToW(price));
  price_.SetVisible(!price.empty());

  const std::u16string path = item ? item->Attr(u"Path") : std::u16string();
  ui::Bitmap picture = LeftOut(path) ? ui::Bitmap() : FittedPicture(LoadPicture(path));
  if (picture.Empty()) {
    picture_.ClearBitmap();
    picture_.Hide();
  } else {
    const float w = static_cast<float>(picture.Width()), h = static_cast<float>(picture.Height());
    picture_.SetBounds((kStageWidth - w) / 2, kPictureTop + (kPictureBox - h) / 2, w, h);
    picture_.SetBitmap(std::move(picture));
    picture_.Show();
  }
  phase_ = Phase::Showing;
  frame_ = 0;
  Look(0, kRise);
}

void GalleryMovie::DropDish(Phase standOn) {
  ClearDish();
  phase_ = standOn;
  frame_ = 0;
  Stop();
}

void GalleryMovie::ClearDish() {
  for (ui::Text* t : {&caption_, &name_, &price_}) {
    t->SetText(std::wstring());
    t->Hide();
  }
  picture_.ClearBitmap();
  picture_.Hide();
  Look(0, 0);
}

void GalleryMovie::Look(float opacity, float rise) {
  dish_.SetOpacity(opacity);
  dish_.SetY(rise);
}

MovieRegistration RegisterGalleryMovie() {
  return MovieRegistration(kGalleryMovieName, [](MovieHost& host) { return std::make_unique<GalleryMovie>(host); });
}

}  // namespace flash
