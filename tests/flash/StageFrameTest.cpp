// The movie's stage shown in a window of any size: the stage frame drawn anew only where the movie
// changed, and the window's picture composed from it, whole or only where the stage changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FlashTestSupport.h"
#include "flash/StageFit.h"

using namespace flash;

namespace {

constexpr int kStageWidth = 690, kStageHeight = 758;

// A stage with every kind of pixel (opaque, half transparent, transparent, edges between them) and an
// opaque background with a pattern of its own.
ui::Bitmap PatternStage(uint32_t salt) {
  ui::Bitmap b(kStageWidth, kStageHeight);
  for (int y = 0; y < kStageHeight; ++y)
    for (int x = 0; x < kStageWidth; ++x) {
      const uint32_t a = ((x / 7 + y / 5 + salt) % 3) * 127 + 1;  // 1, 128, 255
      const uint32_t c = (x * 3 + y + salt) % (a + 1);
      b.Bits()[y * kStageWidth + x] = a << 24 | c << 16 | (c / 2) << 8 | (a - c / 3);
    }
  return b;
}
ui::Bitmap PatternBackground(int width, int height) {
  ui::Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.Bits()[y * width + x] = 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40;
  return b;
}

struct WindowSize {
  int width, height;
};
// The stage's own size, smaller, larger, wider and with the stage centred on half a pixel.
constexpr WindowSize kSizes[] = {{690, 758}, {345, 379}, {900, 900}, {1920, 1080}, {1001, 757}};

std::string Describe(WindowSize s) { return std::to_string(s.width) + " x " + std::to_string(s.height); }

}  // namespace

TEST(StageFit, ChangedStageAreasComposedAloneGiveTheWholeWindowsPicture) {
  const ui::Bitmap before = PatternStage(0);
  // Areas changed on the stage: inside it, at its corners and edges, one pixel.
  const ui::PixelRect changes[] = {{300, 200, 340, 260}, {0, 0, 25, 30}, {660, 700, 690, 758}, {345, 0, 346, 1}};
  for (const WindowSize size : kSizes) {
    SCOPED_TRACE(Describe(size));
    const ui::Bitmap background = PatternBackground(size.width, size.height);
    const StageFit fit = FitStage(kStageWidth, kStageHeight, size.width, size.height);
    const ui::PixelRect whole{0, 0, size.width, size.height};
    for (const ui::PixelRect& change : changes) {
      ui::Bitmap after = before;
      const ui::Bitmap other = PatternStage(1);
      for (int y = change.top; y < change.bottom; ++y)
        std::copy_n(other.Bits() + y * kStageWidth + change.left, change.right - change.left,
                    after.Bits() + y * kStageWidth + change.left);
      ui::Bitmap partial(size.width, size.height), expected(size.width, size.height);
      ComposeStage(partial.Bits(), fit, before, &background, whole);
      ComposeStage(partial.Bits(), fit, after, &background, WindowArea(fit, change));
      ComposeStage(expected.Bits(), fit, after, &background, whole);
      EXPECT_TRUE(std::equal(partial.Bits(), partial.Bits() + size.width * size.height, expected.Bits()))
          << "stage change " << change.left << ", " << change.top << " - " << change.right << ", " << change.bottom;
    }
  }
}

TEST(StageFit, TheWindowShowsTheWholeStageScaledEvenlyAndCentredOverTheBackground) {
  // Left half opaque green, right half transparent.
  constexpr uint32_t kGreen = 0xFF00C000u, kGrey = 0xFF606060u;
  ui::Bitmap stage(kStageWidth, kStageHeight);
  for (int y = 0; y < kStageHeight; ++y)
    std::fill_n(stage.Bits() + y * kStageWidth, kStageWidth / 2, kGreen);
  for (const WindowSize size : kSizes) {
    SCOPED_TRACE(Describe(size));
    ui::Bitmap background(size.width, size.height), shown(size.width, size.height);
    std::fill_n(background.Bits(), size.width * size.height, kGrey);
    const StageFit fit = FitStage(kStageWidth, kStageHeight, size.width, size.height);
    ComposeStage(shown.Bits(), fit, stage, &background, {0, 0, size.width, size.height});
    const int mid = static_cast<int>(fit.left + kStageWidth / 2 * fit.scale);
    const int top = static_cast<int>(fit.top), bottom = static_cast<int>(fit.top + kStageHeight * fit.scale);
    // Inside the green, exactly green up to a pixel from its scaled edge; the transparent half and
    // the margins beyond the stage exactly the background.
    for (int y : {top + 1, size.height / 2, bottom - 2}) {
      EXPECT_EQ(shown.Pixel(static_cast<int>(fit.left) + 1, y), kGreen);
      EXPECT_EQ(shown.Pixel(mid - 2, y), kGreen);
      EXPECT_EQ(shown.Pixel(mid + 1, y), kGrey);
      EXPECT_EQ(shown.Pixel(size.width - 1, y), kGrey);
      if (fit.left >= 1) {
        EXPECT_EQ(shown.Pixel(static_cast<int>(fit.left) - 1, y), kGrey) << "left margin";
      }
    }
    if (fit.top >= 1) {
      EXPECT_EQ(shown.Pixel(mid - 2, top - 1), kGrey) << "top margin";
    }
    if (size.width == kStageWidth && size.height == kStageHeight) {
      EXPECT_EQ(shown.Pixel(344, 0), kGreen) << "at the stage's own size a plain copy";
      EXPECT_EQ(shown.Pixel(345, 0), kGrey);
    }
  }
}

TEST_F(FlashTest, TheStageFrameIsDrawnAnewOnlyWhereTheMovieChanged) {
  TsfFlashItem& dish = list.Flashs.Add();
  dish.FlashStore = u"dish.png";
  dish.Bytes = PngBytes(4, 4, 0xFF00C000u);
  TsfFlashPlayer player;
  Load(player);
  ui::PixelRect drawn;
  const ui::Bitmap& frame = player.StageFrame(&drawn);
  ASSERT_EQ(frame.Width(), 100);
  ASSERT_EQ(frame.Height(), 50);
  EXPECT_TRUE(drawn.left == 0 && drawn.top == 0 && drawn.right == 100 && drawn.bottom == 50) << "a new movie: all";
  player.StageFrame(&drawn);
  EXPECT_TRUE(drawn.Empty()) << "nothing changed, nothing drawn";

  // The picture box (10, 10, 20 x 20) changes, once after a frame at the stage's size and once after
  // one at another size: the stage frame is drawn anew around the box alone, and is what a whole
  // frame at the stage's size shows.
  for (const auto& [width, height] : {std::pair{0, 0}, std::pair{300, 90}}) {
    SCOPED_TRACE(width);
    player.SetSize(width, height);
    player.CurrentFrame();
    player.SetVariable(u"Picture", width ? u"" : u"dish.png");
    player.CallFunction(Invoke(u"showPicture"));
    const ui::Bitmap& changed = player.StageFrame(&drawn);
    EXPECT_TRUE(drawn.left >= 5 && drawn.top >= 5 && drawn.right <= 35 && drawn.bottom <= 35 && drawn.right >= 30 &&
                drawn.bottom >= 30)
        << drawn.left << ", " << drawn.top << " - " << drawn.right << ", " << drawn.bottom;
    player.SetSize(0, 0);
    const ui::Bitmap whole = player.GrabToBmp();
    ASSERT_EQ(whole.Width(), 100);
    EXPECT_TRUE(std::equal(changed.Bits(), changed.Bits() + 100 * 50, whole.Bits()));
  }
  EXPECT_EQ(player.StageFrame().Pixel(20, 20), ui::Rgb(0xFF0000)) << "the picture gone again";
  EXPECT_TRUE(failures.empty());
}
