// The scene movies on their own, frame by frame (no timer, no window): the banner's timeline and its
// dish, the sample dish, the pictures it owns, the rendering quality as drawing settings, and the
// video clip's 121 frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "flash/FlashList.h"
#include "flash/movies/BannerMovie.h"
#include "flash/movies/MovieDrawing.h"
#include "flash/movies/VideoMovie.h"
#include "ui/GdiPlus.h"

namespace flash {
namespace {

// What a player gives a movie: pictures from a file list, and a record of the commands.
class Host : public MovieHost {
 public:
  const TsfFlashItem* PictureFile(std::u16string_view name) const override { return list.FindPicture(name); }
  void PostCommand(std::u16string command, std::u16string) override { commands.push_back(std::move(command)); }
  void FrameChanged() override {}
  void PlayingChanged() override {}
  TsfFlashList list;
  std::vector<std::u16string> commands;
};

std::string Png(int width, int height, uint32_t argb) {
  ui::Bitmap b(width, height);
  std::fill(b.Bits(), b.Bits() + static_cast<size_t>(width) * height, argb);
  const auto bytes = b.EncodePng();
  return std::string(bytes.begin(), bytes.end());
}

std::set<uint32_t> Alphas(const ui::Bitmap& b) {
  std::set<uint32_t> a;
  for (int i = 0; i < b.Width() * b.Height(); ++i) a.insert(b.Bits()[i] >> 24);
  return a;
}

class SceneMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TsfFlashItem& movie = host.list.Flashs.Add();
    movie.FlashStore = u"scene.swf";
    TsfFlashItem& picture = host.list.Flashs.Add();
    picture.FlashStore = u"tea.png";
    picture.Bytes = Png(800, 400, 0xFF00FF00u);
  }
  static void Frames(NativeMovie& m, int n) {
    for (int i = 0; i < n; ++i) m.EnterFrame();
  }
  ui::GdiPlusSession gdiplus;
  Host host;
};

TEST_F(SceneMovieTest, BannerStandsStillThenShowsTheDishForItsFramesAndEndsOnce) {
  BannerMovie m(host, BannerOptions{.quality = MovieQuality::Low});
  m.Start();
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.FunctionNames(), (std::vector<std::u16string>{u"stop", u"deleteAnimation"}));
  EXPECT_EQ(m.Variable(u"MenuXML"), u"");
  m.SetVariable(u"MenuXML", u"\r\n<Item Currency=\"RUB.\" ShowText=\"COLD\" Name=\"TEA\" Path=\"tea.png\" Price=\"5\"/>");
  m.Play();
  Frames(m, 1);
  EXPECT_EQ(m.CurrentPhase(), BannerMovie::Phase::In);
  EXPECT_EQ(m.Picture().GetBitmap().Width(), 512) << "800 x 400 fitted into 512 x 512";
  EXPECT_EQ(m.Picture().GetBitmap().Height(), 256);
  EXPECT_FALSE(m.Caption().GetBitmap().Empty());
  EXPECT_FALSE(m.DishName().GetBitmap().Empty());
  EXPECT_FALSE(m.Price().GetBitmap().Empty());
  Frames(m, BannerMovie::kInFrames);
  EXPECT_EQ(m.CurrentPhase(), BannerMovie::Phase::Shown);
  for (const ui::Image* part : {&m.Caption(), &m.Picture(), &m.DishName(), &m.Price()}) {
    EXPECT_TRUE(part->Visible());
    EXPECT_EQ(part->Opacity(), 1.0f);
    EXPECT_EQ(part->X(), static_cast<float>(static_cast<int>(part->X()))) << "whole pixels";
  }
  EXPECT_EQ(m.Picture().X(), 89);
  EXPECT_EQ(m.Picture().Y(), 110 + 128);

  // The movie's picture is its own: the file may leave the list.
  host.list.Flashs.Delete(1);
  Frames(m, BannerMovie::kShownFrames);
  EXPECT_EQ(m.CurrentPhase(), BannerMovie::Phase::Out);
  EXPECT_FALSE(m.Picture().GetBitmap().Empty());
  EXPECT_TRUE(host.commands.empty());
  Frames(m, BannerMovie::kOutFrames - 1);
  EXPECT_TRUE(host.commands.empty());
  Frames(m, 1);
  EXPECT_EQ(host.commands, std::vector<std::u16string>{u"EndAnimation"});
  EXPECT_TRUE(m.Picture().GetBitmap().Empty()) << "the picture is let go at the end";
  EXPECT_FALSE(m.Playing());
  Frames(m, 50);
  EXPECT_EQ(host.commands.size(), 1u);
}

TEST_F(SceneMovieTest, BannerStopGoesBackToTheFirstFrameAndTheNextStartShowsTheSameDish) {
  for (bool sample : {false, true}) {
    SCOPED_TRACE(sample);
    BannerMovie m(host, BannerOptions{.quality = MovieQuality::Medium, .sampleDish = sample});
    m.Start();
    EXPECT_EQ(m.Variable(u"MenuXML"), sample ? std::u16string(kBannerSampleDish) : u"");
    // "stop" before any start, and right after one, is there and harmless.
    m.Call(u"stop");
    m.Play();
    m.Call(u"stop");
    EXPECT_FALSE(m.Playing());
    EXPECT_EQ(m.CurrentPhase(), BannerMovie::Phase::FirstFrame);

    m.SetVariable(u"MenuXML", u"<Item Name=\"TEA\" Path=\"tea.png\"/>");
    for (int round = 0; round < 2; ++round) {
      m.Play();
      Frames(m, 20);
      EXPECT_EQ(m.Picture().GetBitmap().Width(), 512) << round;
      EXPECT_TRUE(m.Caption().GetBitmap().Empty()) << "no ShowText: no caption";
      m.Call(u"stop");
      EXPECT_FALSE(m.Playing());
      EXPECT_TRUE(m.Picture().GetBitmap().Empty());
      EXPECT_FALSE(m.Picture().Visible());
    }
    EXPECT_EQ(m.Variable(u"MenuXML"), u"<Item Name=\"TEA\" Path=\"tea.png\"/>") << "the library's dish stays";
    // "deleteAnimation": the banner goes, the movie stands where it is.
    m.Play();
    Frames(m, 20);
    m.Call(u"deleteAnimation");
    EXPECT_FALSE(m.Playing());
    EXPECT_EQ(m.CurrentPhase(), BannerMovie::Phase::Ended);
    EXPECT_FALSE(m.DishName().Visible());
    EXPECT_TRUE(host.commands.empty());
  }
}

TEST_F(SceneMovieTest, BannerShowsTheSampleDishOnlyUntilItIsGivenOne) {
  BannerMovie m(host, BannerOptions{.quality = MovieQuality::Low, .sampleDish = true});
  m.Start();
  m.Play();
  Frames(m, 1);
  EXPECT_FALSE(m.Caption().GetBitmap().Empty()) << "the sample's caption";
  EXPECT_TRUE(m.Picture().GetBitmap().Empty()) << "images/sundae.png is not served";
  m.Call(u"stop");
  m.SetVariable(u"MenuXML", u"<Item Path=\"tea.png\"/>");
  m.Play();
  Frames(m, 1);
  EXPECT_TRUE(m.Caption().GetBitmap().Empty());
  EXPECT_FALSE(m.Picture().GetBitmap().Empty());
}

TEST(SceneMovieDrawing, LowQualityDrawsWithoutAntiAliasingAndMediumWithIt) {
  ui::GdiPlusSession gdiplus;
  // White text on a panel: one-bit text gives no colour between the two, smoothed text many.
  const TextSprite sprite{.text = L"Lemonade 150", .width = 300, .height = 60, .fontSize = 30,
                          .color = ui::kWhite, .fill = 0xFFC2185Bu, .cornerRadius = 20};
  auto colours = [](const ui::Bitmap& b) {
    std::set<uint32_t> c(b.Bits(), b.Bits() + b.Width() * b.Height());
    return c.size();
  };
  const ui::Bitmap lowText = DrawTextSprite(sprite, MovieQuality::Low);
  EXPECT_EQ(Alphas(lowText), (std::set<uint32_t>{0, 255}));
  EXPECT_LE(colours(lowText), 3u);
  EXPECT_GT(colours(DrawTextSprite(sprite, MovieQuality::Medium)), 10u) << "smoothed text";

  // Scaling a picture of 1-pixel stripes: nearest neighbour keeps its two colours, bilinear mixes them.
  ui::Bitmap stripes(300, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) stripes.Bits()[y * 300 + x] = x % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  const ui::Bitmap low = FitPicture(stripes, 200, 200, MovieQuality::Low);
  EXPECT_EQ(low.Width(), 200);
  EXPECT_EQ(colours(low), 2u);
  EXPECT_GT(colours(FitPicture(stripes, 200, 200, MovieQuality::Medium)), 2u);
  // A picture that fits is never enlarged.
  EXPECT_EQ(FitPicture(stripes, 512, 512, MovieQuality::Low).Width(), 300);
  EXPECT_EQ(MovieQualityFromName(u"low"), MovieQuality::Low);
  EXPECT_EQ(MovieQualityFromName(u"MEDIUM"), MovieQuality::Medium);
  EXPECT_EQ(MovieQualityFromName(u"best"), MovieQuality::High);
}

TEST_F(SceneMovieTest, VideoPlaysItsClipAndEndsOnFrame121) {
  VideoMovie m(host);
  m.Start();
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.CurrentFrame(), 1);
  EXPECT_FALSE(m.Clip().Visible()) << "the first frame shows the scene's background";
  m.SetVariable(u"MenuXML", u"<Item Name=\"TEA\" Path=\"tea.png\"/>");
  m.Play();
  Frames(m, 1);
  EXPECT_EQ(m.CurrentFrame(), 2);
  const ui::Bitmap first = m.Clip().GetBitmap();
  ASSERT_EQ(first.Width(), VideoMovie::kStageWidth);
  ASSERT_EQ(first.Height(), VideoMovie::kStageHeight);
  EXPECT_EQ(Alphas(first), std::set<uint32_t>{255}) << "the clip covers the stage";
  Frames(m, 30);
  const ui::Bitmap& later = m.Clip().GetBitmap();
  EXPECT_FALSE(std::equal(first.Bits(), first.Bits() + 690 * 758, later.Bits())) << "the light has moved";
  EXPECT_TRUE(m.PriceLabel().Visible());
  Frames(m, 88);
  EXPECT_EQ(m.CurrentFrame(), 120);
  EXPECT_TRUE(host.commands.empty());
  Frames(m, 1);
  EXPECT_EQ(m.CurrentFrame(), VideoMovie::kLastFrame);
  EXPECT_EQ(host.commands, std::vector<std::u16string>{u"EndAnimation"});
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.Clip().GetBitmap().Pixel(345, 379), m.ClipPicture(VideoMovie::kClipFrames - 1).Pixel(345, 379))
      << "frames 102 to 121 hold the clip's last picture";
  m.Call(u"stop");
  EXPECT_EQ(m.CurrentFrame(), 1);
  EXPECT_FALSE(m.Clip().Visible());
  m.Play();
  Frames(m, 10);
  m.Call(u"deleteAnimation");
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.CurrentFrame(), 11) << "stands where it is";
}

}  // namespace
}  // namespace flash
