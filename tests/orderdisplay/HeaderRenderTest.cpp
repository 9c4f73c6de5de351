// Frames of the order display form rendered without a screen: the header gradient and the start
// phrase after start-up, each layout's texts and pictures inside their boxes, a fade that begins
// invisible, and Sum4 drawn where it slides.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FormSetTextFixture.h"
#include "ui/Color.h"

namespace {

struct Box {
  int x, y, w, h;
  bool Contains(int px, int py, int margin = 0) const {
    return px >= x - margin && px < x + w + margin && py >= y - margin && py < y + h + margin;
  }
};

// The control's box in window pixels (the form is at scale 1).
Box WindowBox(const ui::Control& c) {
  float x = 0, y = 0;
  for (const ui::Control* p = &c; p; p = p->Parent()) {
    x += p->X();
    y += p->Y();
  }
  return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(c.Width() + 0.99f),
          static_cast<int>(c.Height() + 0.99f)};
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16, 24})
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

struct Pixel {
  int x, y;
};

// Pixels where two frames differ clearly.
std::vector<Pixel> Changed(const ui::Bitmap& a, const ui::Bitmap& b, int threshold = 40) {
  std::vector<Pixel> out;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (ChannelDistance(a.Pixel(x, y), b.Pixel(x, y)) > threshold) out.push_back({x, y});
  return out;
}

size_t CountIn(const std::vector<Pixel>& px, const Box& box) {
  return std::count_if(px.begin(), px.end(), [&](const Pixel& p) { return box.Contains(p.x, p.y); });
}

// The frame with the layout hidden and with it shown: what the layout draws.
std::vector<Pixel> Drawn(TfmOrderlume& f, ui::Layout& layout, int threshold = 40) {
  layout.Hide();
  const ui::Bitmap without = f.RenderFrame();
  layout.Show();
  return Changed(without, f.RenderFrame(), threshold);
}

// Everything drawn lies in one of the boxes (a few pixels of glyph overhang allowed), and each box
// has something drawn in it.
void ExpectInBoxes(const std::vector<Pixel>& drawn, const std::vector<const ui::Control*>& parts) {
  constexpr int kMargin = 4;
  for (const ui::Control* c : parts) EXPECT_GT(CountIn(drawn, WindowBox(*c)), 10u) << Narrow(c->Name);
  size_t outside = 0;
  for (const Pixel& p : drawn)
    if (std::none_of(parts.begin(), parts.end(), [&](const ui::Control* c) { return WindowBox(*c).Contains(p.x, p.y, kMargin); }))
      ++outside;
  EXPECT_EQ(outside, 0u);
}

void ExpectColor(const ui::Bitmap& frame, int x, int y, uint32_t rgb) {
  EXPECT_LE(ChannelDistance(frame.Pixel(x, y), ui::Rgb(rgb)), 4)
      << "at " << x << "," << y << std::hex << " 0x" << frame.Pixel(x, y) << " instead of 0x" << rgb;
}

TEST_F(OrderForm, FrameAfterStartUpShowsGradientAndStartPhrase) {
  const ui::Bitmap frame = Form().RenderFrame();
  ASSERT_EQ(frame.Width(), 768);
  ASSERT_EQ(frame.Height(), 1024);
  ExpectColor(frame, 1, 40, 0x250A0A);
  ExpectColor(frame, 1, 180, 0x250A0A);
  ExpectColor(frame, 383, 40, 0x851C1E);
  ExpectColor(frame, 766, 40, 0x250A0A);
  EXPECT_EQ(frame.Pixel(300, 600) >> 24, 0u) << "the area below the header is transparent";
  ASSERT_TRUE(Form().Layout1->Visible());
  ExpectInBoxes(Drawn(Form(), *Form().Layout1), {Form().Text1});
}

TEST_F(OrderForm, EachLayoutDrawsInItsBoxes) {
  TfmOrderlume& f = Form();
  struct Case {
    std::u16string xml;
    ui::Layout* layout;
    std::vector<const ui::Control*> parts;
  } cases[] = {
      {u"<C ModeName=\"Mode_1\" ModeText=\"Good|morning\"/>", f.Layout1, {f.Text1}},
      {u"<C ModeName=\"Mode_2\" ModeText=\"Welcome to our cafe\"/>", f.Layout2, {f.Text2}},
      {u"<C ModeName=\"Mode_3\" Currency=\"RUB\" Sum=\"1250\"><CheckLines><L Name=\"Tea\"/>"
       u"<L New=\"1\" Name=\"Caesar salad with chicken\" Qnt=\"2\" Price=\"150\" Portion=\"pcs\">"
       u"<ModiLine Name=\"sauce\" Qnt=\"1\"/></L></CheckLines></C>",
       f.Layout3,
       {f.LastOrdered3, f.DishName3, f.Price3, f.Currency3, f.Modi3, f.BasketImg, f.BasketGoods, f.BasketText,
        f.BasketLine}},
      {u"<C ModeName=\"Mode_4\" ModeText=\"Total\" Sum=\"1250\" Currency=\"USD\"><Payments>"
       u"<P Sum=\"2000\" ISOCode=\"RUB\" Change=\"750\"/></Payments></C>",
       f.Layout4, {f.Paid4, f.Given4, f.Text4, f.Sum4, f.Currency4}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(Narrow(c.xml));
    ticks += 100;  // no fade: the texts show at once
    Apply(c.xml);
    ASSERT_TRUE(c.layout->Visible());
    ExpectInBoxes(Drawn(f, *c.layout), c.parts);
  }
}

TEST_F(OrderForm, FadeBeginsInvisible) {
  ticks += 2000;
  Apply(u"<C ModeName=\"Mode_2\" ModeText=\"Fading|in\"/>");
  ASSERT_TRUE(Form().Text2Animation->Running());
  EXPECT_FLOAT_EQ(Form().Layout2->Opacity(), 0.0f);
  EXPECT_TRUE(Drawn(Form(), *Form().Layout2, 0).empty());
  seconds += 0.2;
  Form().Clock().Tick();
  const size_t half = Drawn(Form(), *Form().Layout2).size();
  FinishAnimations();
  const size_t full = Drawn(Form(), *Form().Layout2).size();
  EXPECT_GT(half, 0u);
  EXPECT_GT(full, half);
}

// The top row of what Sum4 draws, from the columns that only Sum4 uses.
int Sum4Top(TfmOrderlume& f) {
  const Box sum = WindowBox(*f.Sum4);
  const std::vector<Pixel> drawn = Drawn(f, *f.Layout4, 24);
  int top = 10000;
  for (const Pixel& p : drawn)
    if (p.x >= 400 && p.x < sum.x + sum.w - 12 && p.y >= 80) top = std::min(top, p.y);
  return top;
}

// Sum4 on screen, where it slides (its positions are in FormSetTextTest). Its 49-unit box is lower
// than one line of its font (the 60-pixel line of Tahoma Bold at 50 under Wine): the line is drawn all
// the same, cut at the box.
TEST_F(OrderForm, Sum4IsDrawnWhereItSlides) {
  ticks += 2000;
  Apply(u"<C ModeName=\"Mode_4\" ModeText=\"Total\" Sum=\"1250\"/>");
  EXPECT_TRUE(Drawn(Form(), *Form().Layout4, 0).empty()) << "every part of the total fades in from 0";
  seconds += 0.2;
  Form().Clock().Tick();
  const int middle = Sum4Top(Form());
  FinishAnimations();
  ExpectInBoxes(Drawn(Form(), *Form().Layout4), {Form().Text4, Form().Sum4, Form().Currency4});
  const int end = Sum4Top(Form());
  EXPECT_NEAR(end - middle, 9.5, 1.5);
  EXPECT_GE(end, 128);
  EXPECT_LT(end, 128 + 49);
}

}  // namespace
