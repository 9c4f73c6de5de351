// The banner's look: a raspberry caption band at the top, the dish picture in the middle, the name on
// a dark band and the price on a gold badge below it. Every part is a finished picture; the frames
// only move them by whole pixels and fade them.
#include "flash/movies/BannerMovie.h"

#include <algorithm>
#include <cmath>

#include "win/WinText.h"

namespace flash {
namespace {

constexpr int kCaptionTop = 20, kCaptionHeight = 80;
constexpr int kPictureTop = 110;
constexpr int kNameTop = 630, kNameHeight = 56;
constexpr int kPriceTop = 694, kPriceWidth = 320, kPriceHeight = 56;
constexpr int kMargin = 20;

ui::Image& AddPart(ui::Layout& stage) {
  ui::Image& part = stage.Add<ui::Image>();
  part.SetWrapMode(ui::WrapMode::Fit);
  part.Hide();
  return part;
}

void SetSprite(ui::Image& part, ui::Bitmap sprite) {
  part.SetSize(static_cast<float>(sprite.Width()), static_cast<float>(sprite.Height()));
  part.SetBitmap(std::move(sprite));
}

// Ease out: fast at first, settling at the end.
double EaseOut(double t) { return 1 - (1 - t) * (1 - t); }
float Whole(double v) { return static_cast<float>(std::lround(v)); }

}  // namespace

BannerMovie::BannerMovie(MovieHost& host, BannerOptions options)
    : NativeMovie(host, MovieOptions{.stageWidth = kStageWidth, .stageHeight = kStageHeight, .frameRate = kFrameRate}),
      options_(options),
      caption_(AddPart(Stage())),
      picture_(AddPart(Stage())),
      name_(AddPart(Stage())),
      price_(AddPart(Stage())) {}

void BannerMovie::OnLoad() {
  AddCallback(u"stop", [this] {
    RemoveBanner();
    phase_ = Phase::FirstFrame;
    Stop();
    return std::u16string();
  });
  AddCallback(u"deleteAnimation", [this] {
    RemoveBanner();
    if (phase_ != Phase::FirstFrame) phase_ = Phase::Ended;
    Stop();
    return std::u16string();
  });
  // The sample is only what the movie shows before it is given a dish.
  if (options_.sampleDish && Variable(u"MenuXML").empty()) SetVariable(u"MenuXML", kBannerSampleDish);
  Stop();
}

void BannerMovie::OnEnterFrame() {
  ++frame_;
  switch (phase_) {
    case Phase::FirstFrame:
      BuildBanner();
      phase_ = Phase::In;
      frame_ = 0;
      Pose(0, 0);
      break;
    case Phase::In:
      Pose(EaseOut(std::min(1.0, static_cast<double>(frame_) / kInFrames)), 0);
      if (frame_ >= kInFrames) phase_ = Phase::Shown, frame_ = 0;
      break;
    case Phase::Shown:
      if (frame_ >= kShownFrames) phase_ = Phase::Out, frame_ = 0;
      break;
    case Phase::Out:
      Pose(1, std::min(1.0, static_cast<double>(frame_) / kOutFrames));
      if (frame_ >= kOutFrames) {
        RemoveBanner();
        phase_ = Phase::Ended;
        Stop();
        FSCommand(u"EndAnimation");
      }
      break;
    case Phase::Ended:
      break;
  }
}

void BannerMovie::RemoveBanner() {
  frame_ = 0;
  for (ui::Image* part : {&caption_, &picture_, &name_, &price_}) {
    part->Hide();
    part->ClearBitmap();  // the picture is let go with the banner
  }
}

void BannerMovie::BuildBanner() {
  RemoveBanner();
  const auto document = VariableXml(u"MenuXML");
  const XmlNode* item = document->Root();
  auto attr = [item](std::u16string_view name) { return item ? ToW(item->Attr(name)) : std::wstring(); };
  const MovieQuality q = options_.quality;

  const std::wstring caption = attr(u"ShowText");
  if (!caption.empty())
    SetSprite(caption_, DrawTextSprite({.text = caption, .width = kStageWidth - 2 * kMargin, .height = kCaptionHeight,
                                        .fontSize = 44, .color = ui::kWhite, .fill = 0xF0C2185Bu, .cornerRadius = 22},
                                       q));
  const std::wstring name = attr(u"Name");
  if (!name.empty())
    SetSprite(name_, DrawTextSprite({.text = name, .width = kStageWidth - 4 * kMargin, .height = kNameHeight,
                                     .fontSize = 34, .color = ui::kWhite, .fill = 0xC0201418u, .cornerRadius = 12},
                                    q));
  std::wstring price = attr(u"Price");
  const std::wstring currency = attr(u"Currency");
  if (!currency.empty()) price += (price.empty() ? L"" : L" ") + currency;
  if (!price.empty())
    SetSprite(price_, DrawTextSprite({.text = price, .width = kPriceWidth, .height = kPriceHeight, .fontSize = 38,
                                      .color = ui::Rgb(0x2A1A08), .fill = 0xFFFFC21Eu, .cornerRadius = 28},
                                     q));
  const std::u16string path = item ? item->Attr(u"Path") : std::u16string();
  if (!path.empty()) {
    ui::Bitmap fitted = FitPicture(LoadPicture(path), kPictureBox, kPictureBox, q);
    if (!fitted.Empty()) {
      pictureX_ = static_cast<float>((kStageWidth - fitted.Width()) / 2);
      pictureY_ = static_cast<float>(kPictureTop + (kPictureBox - fitted.Height()) / 2);
      SetSprite(picture_, std::move(fitted));
    }
  }
}

// `in` 0..1 brings the parts to their places, `out` 0..1 takes them away again.
void BannerMovie::Pose(double in, double out) {
  const float fade = static_cast<float>(in * (1 - out));
  caption_.SetPosition(kMargin, Whole(kCaptionTop - (1 - in) * 100 - out * 40));
  picture_.SetPosition(pictureX_, Whole(pictureY_ + out * 40));
  name_.SetPosition(Whole(2 * kMargin - (1 - in) * kStageWidth), kNameTop);
  price_.SetPosition(Whole((kStageWidth - kPriceWidth) / 2 + (1 - in) * kStageWidth + out * 60), kPriceTop);
  for (ui::Image* part : {&caption_, &picture_, &name_, &price_}) {
    part->SetOpacity(fade);
    part->SetVisible(!part->GetBitmap().Empty() && fade > 0);
  }
}

MovieRegistration RegisterBannerMovie(std::u16string name, BannerOptions options) {
  return MovieRegistration(std::move(name),
                           [options](MovieHost& host) { return std::make_unique<BannerMovie>(host, options); });
}

}  // namespace flash
