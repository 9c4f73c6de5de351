// The clip is computed, not stored: a still base (a wine-red stage with a lit plate and a vignette)
// made once, and per picture a diagonal band of warm light that sweeps across it once over the clip and
// a few bubbles rising. A picture costs one pass over the pixels with table look-ups.
#include "flash/movies/VideoMovie.h"

#include <algorithm>
#include <cmath>

#include "flash/movies/MovieDrawing.h"

namespace flash {
namespace {

constexpr int W = VideoMovie::kStageWidth, H = VideoMovie::kStageHeight;

uint32_t Pack(double r, double g, double b) {
  auto c = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

uint32_t AddLight(uint32_t p, int amount, int r, int g, int b) {
  auto ch = [&](int shift, int weight) {
    const int v = static_cast<int>((p >> shift) & 0xFF) + amount * weight / 256;
    return static_cast<uint32_t>(std::min(v, 255)) << shift;
  };
  return 0xFF000000u | ch(16, r) | ch(8, g) | ch(0, b);
}

constexpr int kLabelSize = 220;

}  // namespace

VideoMovie::VideoMovie(MovieHost& host)
    : NativeMovie(host, MovieOptions{.stageWidth = kStageWidth, .stageHeight = kStageHeight, .frameRate = kFrameRate}),
      clip_(Stage().Add<ui::Image>()),
      label_(Stage().Add<ui::Image>()) {
  clip_.SetBounds(0, 0, kStageWidth, kStageHeight);
  clip_.SetWrapMode(ui::WrapMode::Original);
  clip_.Hide();
  label_.Hide();
}

void VideoMovie::OnLoad() {
  AddCallback(u"stop", [this] {
    frame_ = 1;
    ShowFrame();
    Stop();
    return std::u16string();
  });
  AddCallback(u"deleteAnimation", [this] {
    Stop();
    return std::u16string();
  });
  frame_ = 1;
  ShowFrame();
  Stop();
}

void VideoMovie::OnEnterFrame() {
  if (frame_ >= kLastFrame) return;
  ++frame_;
  ShowFrame();
  if (frame_ == kLastFrame) {
    Stop();
    FSCommand(u"EndAnimation");
  }
}

void VideoMovie::ShowFrame() {
  if (frame_ <= 1) {
    clip_.Hide();
    clip_.ClearBitmap();
    drawn_ = -1;
    label_.Hide();
    return;
  }
  const int index = std::min(frame_ - 2, kClipFrames - 1);
  if (clip_.GetBitmap().Empty()) clip_.SetBitmap(ui::Bitmap(W, H));
  // Drawn over the picture of the frame before: a new picture costs more than drawing one.
  if (frame_ - 2 < kClipFrames || drawn_ != index) clip_.EditBitmap([&](ui::Bitmap& b) { DrawClip(index, b); });
  drawn_ = index;
  clip_.Show();
  if (label_.GetBitmap().Empty()) {
    // "150" on a gold disc with "р." under it, drawn once.
    ui::Bitmap disc = DrawTextSprite({.text = L"150", .width = kLabelSize, .height = kLabelSize, .fontSize = 96,
                                      .color = ui::Rgb(0x3A0D12), .fill = 0xFFFFC21Eu, .cornerRadius = kLabelSize / 2},
                                     MovieQuality::High);
    const ui::Bitmap unit = DrawTextSprite(
        {.text = L"\u0440.", .width = kLabelSize, .height = 60, .fontSize = 44, .color = ui::Rgb(0x3A0D12)},
        MovieQuality::High);
    // The unit goes under the number, inside the disc.
    for (int y = 0; y < unit.Height(); ++y)
      for (int x = 0; x < unit.Width(); ++x) {
        const uint32_t s = unit.Bits()[y * unit.Width() + x];
        const uint32_t a = s >> 24;
        if (!a) continue;
        uint32_t& d = disc.Bits()[(y + 142) * disc.Width() + x];
        auto blend = [&](int shift) {
          return ((s >> shift & 0xFF) + (d >> shift & 0xFF) * (255 - a) / 255) << shift;
        };
        d = blend(24) | blend(16) | blend(8) | blend(0);
      }
    label_.SetSize(kLabelSize, kLabelSize);
    label_.SetBitmap(std::move(disc));
    label_.SetPosition(kStageWidth - kLabelSize - 40, kStageHeight - kLabelSize - 60);
  }
  // The label fades in over the clip's frames 10 to 25 and stays.
  const float fade = std::clamp((index - 10) / 15.0f, 0.0f, 1.0f);
  label_.SetOpacity(fade);
  label_.SetVisible(fade > 0);
}

void VideoMovie::MakeBase() {
  base_.resize(static_cast<size_t>(W) * H);
  const double cx = W / 2.0, cy = H * 0.45, plate = W * 0.36;
  for (int y = 0; y < H; ++y) {
    const double v = static_cast<double>(y) / H;
    for (int x = 0; x < W; ++x) {
      const double dx = (x - cx) / plate, dy = (y - cy) / (plate * 0.8);
      const double d = std::sqrt(dx * dx + dy * dy);
      // The stage: wine red, darker towards the bottom and the corners.
      const double ex = (x - cx) / W, ey = (y - H / 2.0) / H;
      const double vignette = std::clamp(1.0 - 1.6 * (ex * ex + ey * ey), 0.25, 1.0);
      double r = (86 - 50 * v) * vignette, g = (18 - 10 * v) * vignette, b = (28 - 14 * v) * vignette;
      // The plate: a light rim and a soft inner glow.
      const double rim = std::exp(-std::pow((d - 1.0) * 14, 2));
      const double inner = d < 1 ? 0.35 * (1 - d * d) : 0;
      r += 150 * rim + 90 * inner;
      g += 120 * rim + 50 * inner;
      b += 100 * rim + 40 * inner;
      base_[static_cast<size_t>(y) * W + x] = Pack(r, g, b);
    }
  }
}

ui::Bitmap VideoMovie::ClipPicture(int index) {
  ui::Bitmap picture(W, H);
  DrawClip(index, picture);
  return picture;
}

void VideoMovie::DrawClip(int index, ui::Bitmap& picture) {
  if (picture.Width() != W || picture.Height() != H) picture = ui::Bitmap(W, H);
  if (base_.empty()) MakeBase();
  index = std::clamp(index, 0, kClipFrames - 1);
  const double t = static_cast<double>(index) / (kClipFrames - 1);
  uint32_t* out = picture.Bits();

  // The band: along x + y / 2, centred at `centre`, 140 pixels wide, sweeping from off the left to off
  // the right.
  const int span = W + H / 2;
  const int centre = static_cast<int>(-200 + t * (span + 400));
  constexpr int kBand = 140;
  std::vector<int> light(static_cast<size_t>(span) + 1);
  for (int i = 0; i <= span; ++i) {
    const int d = std::abs(i - centre);
    light[i] = d >= kBand ? 0 : static_cast<int>(110 * (1 - static_cast<double>(d) / kBand) * (1 - static_cast<double>(d) / kBand));
  }
  for (int y = 0; y < H; ++y) {
    const uint32_t* src = base_.data() + static_cast<size_t>(y) * W;
    uint32_t* row = out + static_cast<size_t>(y) * W;
    const int* l = light.data() + y / 2;
    for (int x = 0; x < W; ++x) row[x] = l[x] ? AddLight(src[x], l[x], 256, 200, 120) : src[x];
  }

  // Bubbles: twelve, each rising at its own speed from below the plate, wrapping round.
  for (int k = 0; k < 12; ++k) {
    const int radius = 6 + (k * 7) % 13;
    const double speed = 0.6 + (k % 5) * 0.25;
    const int bx = 120 + (k * 173) % (W - 240) + static_cast<int>(18 * std::sin(t * 6.28 * 2 + k));
    const int by = H - 40 - static_cast<int>(std::fmod(t * speed * H + k * 97, H - 80.0));
    for (int y = std::max(0, by - radius); y < std::min(H, by + radius + 1); ++y)
      for (int x = std::max(0, bx - radius); x < std::min(W, bx + radius + 1); ++x) {
        const int dd = (x - bx) * (x - bx) + (y - by) * (y - by);
        if (dd > radius * radius) continue;
        const int edge = dd * 255 / (radius * radius);  // brighter at the rim, like a bubble
        uint32_t& p = out[static_cast<size_t>(y) * W + x];
        p = AddLight(p, 30 + edge / 3, 256, 230, 200);
      }
  }
}

MovieRegistration RegisterVideoMovie(std::u16string name) {
  return MovieRegistration(std::move(name), [](MovieHost& host) { return std::make_unique<VideoMovie>(host); });
}

}  // namespace flash
