// Frames of small control trees rendered without a screen: colours, text placement, opacity down the
// tree, scaling, image wrap modes; and the picture loader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "TestFiles.h"
#include "core/Exception.h"
#include "ui/Fonts.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"
#include "ui/Dib.h"
#include "ui/Renderer.h"

using namespace ui;

namespace {

class RenderTest : public ::testing::Test {
 protected:
  GdiPlusSession gdiplus;
};

// Premultiplied pixel of an opaque colour, compared per channel within `tolerance`.
::testing::AssertionResult Near(uint32_t pixel, uint32_t argb, int tolerance = 3) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((argb >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "pixel " << pixel << " expected " << argb;
  }
  return ::testing::AssertionSuccess();
}

int CountInk(const Bitmap& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += AlphaOf(b.Pixel(x, y)) != 0;
  return n;
}

Text& WhiteText(Control& parent, const std::wstring& s) {
  Text& t = parent.Add<Text>();
  t.SetFontFamily(L"Memphis LT CYR ExtraBold");
  t.SetFontSize(40);
  t.SetBold(true);
  t.SetColor(kWhite);
  t.SetText(s);
  return t;
}

}  // namespace

TEST_F(RenderTest, HeaderGradientAndDefaultOutline) {
  Layout root;
  ui::Rectangle& header = root.Add<ui::Rectangle>();
  header.SetBounds(-1, 0, 769, 217);
  header.SetFill(Fill::Horizontal({{Rgb(0x250A0A), 0}, {Rgb(0x851C1E), 0.5f}, {Rgb(0x250A0A), 1}}));
  const Bitmap frame = RenderToBitmap(root, 768, 240);

  EXPECT_TRUE(Near(frame.Pixel(2, 100), Rgb(0x250A0A), 4));
  EXPECT_TRUE(Near(frame.Pixel(383, 100), Rgb(0x851C1E), 4));
  EXPECT_TRUE(Near(frame.Pixel(765, 100), Rgb(0x250A0A), 4));
  // Halfway between the stops the colour is between them.
  const uint32_t quarter = frame.Pixel(191, 100);
  EXPECT_GT(RedOf(quarter), 0x25 + 10);
  EXPECT_LT(RedOf(quarter), 0x85 - 10);
  // The outline: one black pixel inside each edge (the left one lies off the form at x -1).
  EXPECT_TRUE(Near(frame.Pixel(300, 0), kBlack));
  EXPECT_TRUE(Near(frame.Pixel(300, 216), kBlack));
  EXPECT_TRUE(Near(frame.Pixel(767, 100), kBlack));
  EXPECT_FALSE(Near(frame.Pixel(300, 1), kBlack, 10));
  EXPECT_EQ(frame.Pixel(300, 217), 0u) << "nothing below the header";

  header.SetStroke(Stroke::None());
  const Bitmap plain = RenderToBitmap(root, 768, 240);
  EXPECT_EQ(plain.Pixel(300, 0), plain.Pixel(300, 100)) << "the gradient runs up to the edge";
  EXPECT_EQ(plain.Pixel(300, 217), 0u);
}

TEST_F(RenderTest, TextInkStaysInItsBox) {
  Layout root;
  Text& t = WhiteText(root, L"Привет, мир");
  t.SetBounds(20, 30, 400, 60);
  t.SetHorzAlign(TextAlign::Leading);
  t.SetVertAlign(TextAlign::Leading);
  const Bitmap frame = RenderToBitmap(root, 500, 200);
  EXPECT_GT(CountInk(frame, 20, 30, 420, 90), 500);
  EXPECT_EQ(CountInk(frame, 0, 0, 500, 200) - CountInk(frame, 16, 26, 424, 94), 0) << "ink outside the box";
  // Ink is white (premultiplied: the colour channels equal alpha).
  bool opaqueWhite = false;
  for (int y = 30; y < 90 && !opaqueWhite; ++y)
    for (int x = 20; x < 420 && !opaqueWhite; ++x) opaqueWhite = frame.Pixel(x, y) == 0xFFFFFFFFu;
  EXPECT_TRUE(opaqueWhite);
}

TEST_F(RenderTest, AlignmentPlacesTheText) {
  struct Case {
    TextAlign horz;
    int inkFrom, inkTo;  // the third of the box that holds the ink
  } cases[] = {{TextAlign::Leading, 0, 200}, {TextAlign::Center, 200, 400}, {TextAlign::Trailing, 400, 600}};
  for (const Case& c : cases) {
    Layout root;
    Text& t = WhiteText(root, L"AB");
    t.SetBounds(0, 0, 600, 60);
    t.SetHorzAlign(c.horz);
    const Bitmap frame = RenderToBitmap(root, 600, 60);
    EXPECT_GT(CountInk(frame, c.inkFrom, 0, c.inkTo, 60), 100);
    EXPECT_EQ(CountInk(frame, 0, 0, 600, 60), CountInk(frame, c.inkFrom, 0, c.inkTo, 60));
  }
}

TEST_F(RenderTest, OpacityMultipliesDownTheTree) {
  Layout root;
  Layout& outer = root.Add<Layout>();
  outer.SetSize(10, 10);
  ui::Rectangle& r = outer.Add<ui::Rectangle>();
  r.SetSize(10, 10);
  r.SetFill(Fill::Solid(kWhite));
  r.SetStroke(Stroke::None());

  EXPECT_EQ(RenderToBitmap(root, 10, 10).Pixel(5, 5), 0xFFFFFFFFu);
  outer.SetOpacity(0.5f);
  r.SetOpacity(0.5f);
  EXPECT_NEAR(AlphaOf(RenderToBitmap(root, 10, 10).Pixel(5, 5)), 64, 2);
  outer.SetOpacity(0);
  EXPECT_EQ(CountInk(RenderToBitmap(root, 10, 10), 0, 0, 10, 10), 0);
  outer.SetOpacity(1);
  outer.Hide();
  EXPECT_EQ(CountInk(RenderToBitmap(root, 10, 10), 0, 0, 10, 10), 0);
}

TEST_F(RenderTest, ScaleAppliesToTheSubtree) {
  Layout root;
  Layout& main = root.Add<Layout>();
  main.SetScale(2, 0.5f);
  ui::Rectangle& r = main.Add<ui::Rectangle>();
  r.SetBounds(5, 20, 10, 20);
  r.SetFill(Fill::Solid(Rgb(0x00FF00)));
  r.SetStroke(Stroke::None());
  const Bitmap frame = RenderToBitmap(root, 40, 40);
  EXPECT_EQ(CountInk(frame, 0, 0, 40, 40), 20 * 10);
  EXPECT_EQ(CountInk(frame, 10, 10, 30, 20), 20 * 10);
}

TEST_F(RenderTest, ImageStretchTileAndFit) {
  Bitmap checker(2, 2);
  checker.Bits()[0] = checker.Bits()[3] = 0xFFFF0000u;
  checker.Bits()[1] = checker.Bits()[2] = 0xFF0000FFu;
  Layout root;
  Image& img = root.Add<Image>();
  img.SetSize(8, 4);
  img.SetBitmap(checker);

  img.SetWrapMode(WrapMode::Tile);
  Bitmap frame = RenderToBitmap(root, 8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(frame.Pixel(x, y), checker.Pixel(x % 2, y % 2)) << x << "," << y;

  img.SetWrapMode(WrapMode::Stretch);
  frame = RenderToBitmap(root, 8, 4);
  EXPECT_TRUE(Near(frame.Pixel(0, 0), 0xFFFF0000u, 8));
  EXPECT_TRUE(Near(frame.Pixel(7, 0), 0xFF0000FFu, 8));
  EXPECT_TRUE(Near(frame.Pixel(7, 3), 0xFFFF0000u, 8)) << "edges stay opaque when stretched";

  img.SetWrapMode(WrapMode::Fit);  // a 4 x 4 square in the middle of the 8 x 4 box
  frame = RenderToBitmap(root, 8, 4);
  EXPECT_EQ(CountInk(frame, 0, 0, 2, 4) + CountInk(frame, 6, 0, 8, 4), 0);
  EXPECT_EQ(CountInk(frame, 2, 0, 6, 4), 16);

  img.SetOpacity(0.5f);
  img.SetWrapMode(WrapMode::Tile);
  EXPECT_NEAR(AlphaOf(RenderToBitmap(root, 8, 4).Pixel(3, 3)), 128, 2);
}

TEST_F(RenderTest, TopLine) {
  Layout root;
  Line& line = root.Add<Line>();
  line.SetBounds(4, 10, 20, 10);
  line.SetKind(LineKind::Top);
  Stroke s;
  s.color = Rgb(0xC5C5C5);
  s.thickness = 2;
  line.SetStroke(s);
  line.SetOpacity(0.7f);
  const Bitmap frame = RenderToBitmap(root, 30, 30);
  EXPECT_EQ(CountInk(frame, 0, 0, 30, 30), CountInk(frame, 4, 10, 24, 12));
  EXPECT_NEAR(AlphaOf(frame.Pixel(10, 10)), 178, 3);
  EXPECT_NEAR(AlphaOf(frame.Pixel(10, 11)), 178, 3);
}

// CR LF is one line break, drawn as nothing: the same pixels as LF alone.
TEST_F(RenderTest, CrLfIsALineBreakAndNoGlyph) {
  Layout a, b;
  WhiteText(a, L"AB\r\nCD").SetBounds(0, 0, 120, 120);
  WhiteText(b, L"AB\nCD").SetBounds(0, 0, 120, 120);
  const Bitmap fa = RenderToBitmap(a, 120, 120), fb = RenderToBitmap(b, 120, 120);
  EXPECT_EQ(std::vector<uint32_t>(fa.Bits(), fa.Bits() + 120 * 120), std::vector<uint32_t>(fb.Bits(), fb.Bits() + 120 * 120));
}

TEST_F(RenderTest, AutoSizeFollowsTheText) {
  Layout root;
  Text& basket = WhiteText(root, L"3");
  basket.SetWordWrap(false);
  basket.SetAutoSize(true);
  const float one = basket.Width();
  EXPECT_GT(one, 5);
  basket.SetText(L"3 за 1250 руб");
  EXPECT_GT(basket.Width(), 4 * one);
  EXPECT_FLOAT_EQ(basket.Width(), basket.MeasuredWidth() + basket.FontSize() / 3) << "padding on both sides";
  EXPECT_GT(basket.Height(), 30);
  EXPECT_LT(basket.Height(), 80);

  Text& wrapped = WhiteText(root, L"Caesar salad with chicken and more");
  wrapped.SetWidth(200);
  wrapped.SetAutoSize(true);
  EXPECT_FLOAT_EQ(wrapped.Width(), 200);
  const float lines = wrapped.Height();
  EXPECT_GT(lines, 2.5f * basket.Height()) << "wrapped into three or more lines";
  wrapped.SetWidth(2000);
  EXPECT_LT(wrapped.Height(), 1.5f * basket.Height());
  wrapped.SetText(L"A\r\nB");
  EXPECT_GT(wrapped.Height(), 1.8f * basket.Height());
}

TEST_F(RenderTest, MissingFamiliesFallBack) {
  EXPECT_EQ(ResolveFontFamily(L"Tahoma"), L"Tahoma");
  EXPECT_EQ(ResolveFontFamily(L"Memphis LT CYR Bold"), L"Tahoma");
  EXPECT_EQ(ResolveFontFamily(L"Memphis LT CYR ExtraBold"), L"Tahoma");
}

// A change reports the area before it and the area after it; a setter that changes nothing reports
// nothing, and a hidden control has no area after it.
TEST_F(RenderTest, ChangesReachTheSinkOnlyWhenValuesChange) {
  Layout root;
  int changes = 0;
  root.SetChangeSink([&](const RectF&) { ++changes; });
  Text& t = root.Add<Layout>().Add<Text>();
  changes = 0;
  t.SetText(L"x");
  EXPECT_EQ(changes, 2);
  changes = 0;
  t.SetText(L"x");
  t.SetOpacity(1);
  t.SetVisible(true);
  t.SetPosition(0, 0);
  t.SetY(0);
  EXPECT_EQ(changes, 0) << "setters that change nothing";
  t.SetY(3);
  EXPECT_EQ(changes, 2);
  t.SetY(3);
  EXPECT_EQ(changes, 2);
  t.SetOpacity(0.5f);
  EXPECT_EQ(changes, 3) << "opacity keeps the area: reported once";
  changes = 0;
  t.Hide();
  EXPECT_EQ(changes, 1) << "the area before the hide only";
  changes = 0;
  t.SetText(L"hidden");  // nothing of a hidden control is drawn
  t.SetY(7);
  EXPECT_EQ(changes, 0);
}

TEST_F(RenderTest, PicturesLoadFromFileAndMemory) {
  Bitmap original(3, 2);
  for (int i = 0; i < 6; ++i) original.Bits()[i] = 0xFF000000u | (i * 40u << 8);
  original.Bits()[5] = 0;  // one transparent pixel
  const std::vector<unsigned char> png = original.EncodePng();
  ASSERT_GT(png.size(), 8u);

  const Bitmap fromMemory = Bitmap::FromMemory(png.data(), png.size());
  TempDir dir;
  original.SavePng(dir / L"p.png");
  const Bitmap fromFile = Bitmap::FromFile(dir / L"p.png");
  for (const Bitmap* b : {&fromMemory, &fromFile}) {
    ASSERT_EQ(b->Width(), 3);
    ASSERT_EQ(b->Height(), 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b->Bits()[i], original.Bits()[i]) << i;
  }

  CreateDirectoryW((dir / L"folder.png").c_str(), nullptr);
  WriteText(dir / L"junk.png", "not a picture");
  for (const wchar_t* name : {L"missing.png", L"folder.png", L"junk.png"})
    EXPECT_THROW(Bitmap::FromFile(dir / name), Exception) << Narrow(name);
  EXPECT_THROW(Bitmap::FromMemory("xx", 2), Exception);
}

// A frame redrawn only where changes reported their areas equals the frame drawn whole.
TEST_F(RenderTest, PartialFramesMatchFullFrames) {
  Layout root;
  RectF area;
  root.SetChangeSink([&](const RectF& a) { area = area.Union(a); });
  Layout& main = root.Add<Layout>();
  main.SetScale(1.5f, 1.25f);
  ui::Rectangle& back = main.Add<ui::Rectangle>();
  back.SetBounds(-1, 0, 201, 80);
  back.SetFill(Fill::Horizontal({{Rgb(0x250A0A), 0}, {Rgb(0x851C1E), 0.5f}, {Rgb(0x250A0A), 1}}));
  Layout& group = back.Add<Layout>();
  group.SetPosition(10, 10);
  Text& t = WhiteText(group, L"Итого");
  t.SetBounds(5, 5, 150, 20);
  ui::Rectangle& box = main.Add<ui::Rectangle>();
  box.SetBounds(120, 50, 30, 30);
  Image& img = back.Add<Image>();
  img.SetBounds(150, 5, 20, 20);
  img.SetWrapMode(WrapMode::Stretch);

  Bitmap partial = RenderToBitmap(root, 320, 120);
  Bitmap picture(4, 4);
  for (int i = 0; i < 16; ++i) picture.Bits()[i] = 0xFF00FF00u + i * 8;
  const std::function<void()> changes[] = {
      [&] { t.SetText(L"Сумма 1250"); },
      [&] { t.SetY(30); },
      [&] { group.SetOpacity(0.4f); },
      [&] { group.Hide(); },
      [&] { group.Show(); },
      [&] { box.SetPosition(20, 60); },
      [&] { img.SetBitmap(picture); },
      [&] { t.SetFontSize(20); },
  };
  int step = 0;
  for (const auto& change : changes) {
    area = RectF{};
    change();
    ASSERT_FALSE(area.Empty()) << step;
    RenderInto(root, partial.Bits(), 320, 120, 320 * 4, &area);
    const Bitmap full = RenderToBitmap(root, 320, 120);
    int differences = 0;
    for (int i = 0; i < 320 * 120; ++i) differences += partial.Bits()[i] != full.Bits()[i];
    EXPECT_EQ(differences, 0) << "change " << step;
    ++step;
  }
}

// Rectangles and pictures on whole pixels take a software path; it gives GDI+'s own pixels.
TEST_F(RenderTest, WholePixelPathsMatchGdiPlus) {
  Bitmap picture(40, 20);
  for (int i = 0; i < 40 * 20; ++i) picture.Bits()[i] = i % 3 ? 0x80402010u : 0xFF10C0F0u;
  ui::Rectangle gradient;
  gradient.SetSize(60, 30);
  gradient.SetFill(Fill::Horizontal({{Rgb(0x250A0A), 0}, {Rgb(0x851C1E), 0.5f}, {Rgb(0xFFFFFF), 1}}));
  ui::Rectangle solid;
  solid.SetSize(60, 30);
  solid.SetFill(Fill::Solid(0xC0808080u));
  Stroke thick;
  thick.thickness = 3;
  thick.color = 0xFF00FF00u;
  solid.SetStroke(thick);
  Image image;
  image.SetSize(40, 20);
  image.SetWrapMode(WrapMode::Stretch);
  image.SetBitmap(picture);
  const Control* controls[] = {&gradient, &solid, &image};
  for (float opacity : {1.0f, 0.6f}) {
    for (const Control* c : controls) {
      Layout root;  // a half-transparent ground to blend onto
      ui::Rectangle& ground = root.Add<ui::Rectangle>();
      ground.SetSize(60, 30);
      ground.SetFill(Fill::Solid(0x80203040u));
      ground.SetStroke(Stroke::None());
      Bitmap viaGdiPlus = RenderToBitmap(root, 60, 30);
      {
        Gdiplus::Graphics g(viaGdiPlus.Gdi());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        c->DrawSelf(g, opacity);
      }
      // The same through the renderer: the ground with a copy of the control on top.
      Layout tree;
      ui::Rectangle& g2 = tree.Add<ui::Rectangle>();
      g2.SetSize(60, 30);
      g2.SetFill(Fill::Solid(0x80203040u));
      g2.SetStroke(Stroke::None());
      if (c == &image) {
        Image& i2 = tree.Add<Image>();
        i2.SetSize(40, 20);
        i2.SetWrapMode(WrapMode::Stretch);
        i2.SetBitmap(picture);
        i2.SetOpacity(opacity);
      } else {
        ui::Rectangle& r2 = tree.Add<ui::Rectangle>();
        const auto* r = static_cast<const ui::Rectangle*>(c);
        r2.SetSize(60, 30);
        r2.SetFill(r->GetFill());
        r2.SetStroke(r->GetStroke());
        r2.SetOpacity(opacity);
      }
      const Bitmap fast = RenderToBitmap(tree, 60, 30);
      int worst = 0;
      for (int i = 0; i < 60 * 30; ++i)
        for (int shift = 0; shift < 32; shift += 8)
          worst = std::max(worst, std::abs(static_cast<int>((fast.Bits()[i] >> shift) & 0xFF) -
                                           static_cast<int>((viaGdiPlus.Bits()[i] >> shift) & 0xFF)));
      // Within one column's step of this steep gradient: GDI+ samples it a fraction of a pixel apart.
      EXPECT_LE(worst, 6) << "control " << (c == &image ? "image" : c == &solid ? "solid" : "gradient")
                          << " at opacity " << opacity;
    }
  }
}

TEST_F(RenderTest, CopiesAreDeep) {
  Bitmap a(2, 2);
  a.Bits()[0] = 0xFFFFFFFFu;
  Bitmap b = a;
  a.Bits()[0] = 0;
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
  Layout root;
  Image& img = root.Add<Image>();
  img.SetSize(2, 2);
  img.SetWrapMode(WrapMode::Stretch);
  img.SetBitmap(b);
  b.Bits()[0] = 0;
  EXPECT_EQ(RenderToBitmap(root, 2, 2).Pixel(0, 0), 0xFFFFFFFFu);
}

// A size whose bytes do not fit an int (and whose pixel count wraps in a 32-bit program) makes no
// picture and no frame instead of a short buffer.
TEST(PictureSize, TooLargeMakesNone) {
  EXPECT_THROW(ui::Bitmap(70000, 70000), Exception);
  EXPECT_THROW(ui::Bitmap(65536, 65536), Exception);
  EXPECT_FALSE(ui::Dib(70000, 70000));
  EXPECT_FALSE(ui::Dib(65536, 65536));
  EXPECT_EQ(ui::Bitmap(16, 8).Width(), 16);
  EXPECT_TRUE(ui::Dib(16, 8));
}
