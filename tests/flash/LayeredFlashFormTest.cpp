// The layered form shows the player's frames: each pixel's alpha (and so its premultiplied colour)
// times AlphaBlendValue / 255, a new frame after the movie changes or goes, and the stage shown whole
// at the form's size.
#include <gtest/gtest.h>

#include "FlashTestSupport.h"
#include "flash/LayeredFlashForm.h"
#include "ui/Form.h"
#include "ui/Renderer.h"

using namespace flash;

namespace {

// A premultiplied pixel with every channel times value / 255.
uint32_t Scaled(uint32_t pixel, int value) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= static_cast<uint32_t>(((pixel >> shift) & 0xFF) * value / 255.0 + 0.5) << shift;
  return out;
}

ui::FormOptions Size(int width, int height) {
  ui::FormOptions o;
  o.className = L"ZebFlashLayeredTest";
  o.width = width;
  o.height = height;
  return o;
}

TEST_F(FlashTest, OpacityMultipliesTheFramesAlpha) {
  ui::Form form(Size(100, 50));
  TsfFlashPlayer player;
  Load(player);
  form.Show();
  TsfLayeredFlashForm layered(form, player);
  EXPECT_EQ(layered.AlphaBlendValue(), 255);
  const ui::Bitmap frame = player.GrabToBmp();
  ASSERT_EQ(frame.Width(), 100);
  const uint32_t red = frame.Pixel(5, 5), blue = frame.Pixel(75, 25);
  ASSERT_EQ(red, 0xFFFF0000u);
  ASSERT_TRUE(Near(blue, 0x80000080u)) << "half-transparent blue, premultiplied";

  for (int value : {255, 128, 0}) {
    layered.SetAlphaBlendValue(value);
    EXPECT_TRUE(form.Dirty()) << "a new value makes a new frame";
    const ui::Bitmap shown = ui::RenderToBitmap(form.Root(), 100, 50);
    EXPECT_TRUE(Near(shown.Pixel(5, 5), Scaled(red, value))) << value;
    EXPECT_TRUE(Near(shown.Pixel(75, 25), Scaled(blue, value))) << value;
  }
  layered.SetAlphaBlendValue(300);
  EXPECT_EQ(layered.AlphaBlendValue(), 255);
  layered.SetAlphaBlendValue(-1);
  EXPECT_EQ(layered.AlphaBlendValue(), 0);
}

TEST_F(FlashTest, TheFormTakesEachNewFrameAtItsOwnSize) {
  const uint32_t green = 0xFF00C000u;
  list.Flashs.Add().FlashStore = RecordingMovie::kName;
  TsfFlashItem& dish = list.Flashs.Add();
  dish.FlashStore = u"dish.png";
  dish.Bytes = PngBytes(2, 2, green);
  ui::Form form(Size(200, 200));
  form.Show();
  TsfFlashPlayer player;
  Load(player);
  TsfLayeredFlashForm layered(form, player);
  EXPECT_EQ(player.Width(), 200);
  EXPECT_EQ(player.Height(), 200);

  // The 100 x 50 stage, twice its size, in the middle of the form.
  ui::Bitmap shown = ui::RenderToBitmap(form.Root(), 200, 200);
  EXPECT_EQ(shown.Pixel(10, 40), 0u);
  EXPECT_TRUE(Near(shown.Pixel(10, 60), 0xFFFF0000u));
  EXPECT_TRUE(Near(shown.Pixel(150, 100), 0x80000080u));
  EXPECT_EQ(shown.Pixel(10, 160), 0u);

  player.SetVariable(u"Picture", u"dish.png");
  player.CallFunction(Invoke(u"showPicture"));
  ASSERT_TRUE(PumpUntil(app, [&] {
    return Near(ui::RenderToBitmap(form.Root(), 200, 200).Pixel(40, 90), green, 2);
  })) << "the frame with the picture reaches the form from the message loop";

  player.LoadMovie(0, u"missing.swf");
  EXPECT_TRUE(PumpUntil(app, [&] { return ui::RenderToBitmap(form.Root(), 200, 200).Pixel(10, 60) == 0; }))
      << "without its movie the form shows nothing";
  EXPECT_TRUE(failures.empty());
}

// A hidden form keeps no frame, neither its picture nor its window's; the first paint after a show
// is whole and shows the movie as it is then, also when it changed while hidden.
TEST_F(FlashTest, AHiddenFormKeepsNoFrameAndAShowDrawsTheLookOfThen) {
  const uint32_t green = 0xFF00C000u;
  TsfFlashItem& dish = list.Flashs.Add();
  dish.FlashStore = u"dish.png";
  dish.Bytes = PngBytes(2, 2, green);
  ui::Form form(Size(100, 50));
  TsfFlashPlayer player;
  Load(player);
  TsfLayeredFlashForm layered(form, player);
  form.Create();
  auto shown = [&] { return ui::RenderToBitmap(form.Root(), 100, 50).Pixel(15, 15); };
  form.Show();
  ASSERT_TRUE(Near(shown(), 0xFFFF0000u));
  for (int cycle = 0; cycle < 2; ++cycle) {
    form.Hide();
    EXPECT_EQ(shown(), 0u) << cycle << ": the hidden form lets its frame go";
    if (cycle == 0) {
      player.SetVariable(u"Picture", u"dish.png");
      player.CallFunction(Invoke(u"showPicture"));
    }
    Pump(app, 200);
    EXPECT_EQ(shown(), 0u) << cycle << ": no frame is taken while hidden";
    const unsigned whole = form.RedrawCount() - form.PartialRedrawCount();
    form.Show();
    EXPECT_TRUE(Near(shown(), green, 2)) << cycle << ": the show takes the movie's look of then";
    form.PaintNow();
    EXPECT_EQ(form.RedrawCount() - form.PartialRedrawCount(), whole + 1) << cycle << ": the first paint is whole";
  }
  EXPECT_TRUE(failures.empty());
}

}  // namespace
