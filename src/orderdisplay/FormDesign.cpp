// The display form as designed: the frame (MainLayout, Header with its gradient, the header animation
// image, the small shadow, the transparent Background area) and the four header layouts with their
// animations. Coordinates are design units relative to the parent; FormDisplayCreate scales
// MainLayout to the window.
#include "orderdisplay/TwoLinesForm.h"

#include "orderdisplay/BackgroundWindow.h"

namespace {

const wchar_t kBold[] = L"Memphis LT CYR Bold";
const wchar_t kExtraBold[] = L"Memphis LT CYR ExtraBold";
constexpr double kFade = 0.4;  // seconds, every animation of the header

ui::Text& AddText(ui::Control& parent, const wchar_t* name, float x, float y, float w, float h,
                  const wchar_t* family, float size, ui::TextAlign horz, ui::TextAlign vert) {
  auto& t = parent.Add<ui::Text>();
  t.Name = name;
  t.SetBounds(x, y, w, h);
  t.SetFontFamily(family);
  t.SetFontSize(size);
  t.SetBold(true);
  t.SetColor(ui::kWhite);
  t.SetHorzAlign(horz);
  t.SetVertAlign(vert);
  t.SetWordWrap(true);
  return t;
}

ui::Layout& AddLayout(ui::Control& parent, const wchar_t* name, float x, float y, float w, float h) {
  auto& l = parent.Add<ui::Layout>();
  l.Name = name;
  l.SetBounds(x, y, w, h);
  return l;
}

ui::FloatAnimation& Fade(ui::AnimationClock& clock, ui::Control& target) {
  auto& a = clock.Add<ui::FloatAnimation>(target, ui::AnimatedProperty::Opacity);
  a.Duration = kFade;
  a.StartValue = 0;
  a.StopValue = 1;
  return a;
}

ui::FloatKeyAnimation& Keys(ui::AnimationClock& clock, ui::Control& target, ui::AnimatedProperty p,
                            float from, float to) {
  auto& a = clock.Add<ui::FloatKeyAnimation>(target, p);
  a.Duration = kFade;
  a.Keys = {{0.0, from}, {1.0, to}};
  return a;
}

}  // namespace

void TfmOrderlume::BuildDesign() {
  using ui::TextAlign;
  ui::AnimationClock& clock = Clock();

  MainLayout = &AddLayout(Root(), L"MainLayout", 0, 0, 768, 1254);

  Header = &MainLayout->Add<ui::Rectangle>();
  Header->Name = L"Header";
  Header->SetBounds(-1, 0, 769, 217);
  Header->SetFill(ui::Fill::Horizontal(
      {{ui::Rgb(0x250A0A), 0.0f}, {ui::Rgb(0x851C1E), 0.5f}, {ui::Rgb(0x250A0A), 1.0f}}));

  HeaderAnimationImage = &Header->Add<ui::Image>();
  HeaderAnimationImage->Name = L"HeaderAnimationImage";
  HeaderAnimationImage->SetBounds(0, 0, 769, 217);
  HeaderAnimationImage->SetWrapMode(ui::WrapMode::Stretch);

  // The two message layouts.
  Layout2 = &AddLayout(*Header, L"Layout2", 0, 0, 769, 188);
  Text2 = &AddText(*Layout2, L"Text2", 8, 88, 753, 0, kExtraBold, 40, TextAlign::Center, TextAlign::Leading);
  Text2->SetAutoSize(true);
  Layout1 = &AddLayout(*Header, L"Layout1", 0, 0, 769, 188);
  Text1 = &AddText(*Layout1, L"Text1", 8, 88, 753, 0, kExtraBold, 40, TextAlign::Center, TextAlign::Leading);
  Text1->SetAutoSize(true);

  // The order total.
  Layout4 = &AddLayout(*Header, L"Layout4", 0, 0, 769, 217);
  Paid4 = &AddText(*Layout4, L"Paid4", 24, 70, 745, 30, kBold, 22, TextAlign::Leading, TextAlign::Leading);
  Given4 = &AddText(*Layout4, L"Given4", 24, 100, 745, 30, kBold, 22, TextAlign::Leading, TextAlign::Leading);
  Text4 = &AddText(*Layout4, L"Text4", 24, 130, 360, 64, kBold, 50, TextAlign::Leading, TextAlign::Leading);
  Text4->SetWordWrap(false);
  Sum4 = &AddText(*Layout4, L"Sum4", 336, 128, 337, 49, kExtraBold, 50, TextAlign::Trailing, TextAlign::Leading);
  Currency4 = &AddText(*Layout4, L"Currency4", 666, 141, 90, 45, kBold, 36, TextAlign::Center, TextAlign::Center);

  // The dish just ordered, with the basket summary.
  Layout3 = &AddLayout(*Header, L"Layout3", 0, 0, 769, 217);
  Text3Layout = &AddLayout(*Layout3, L"Text3Layout", 0, 0, 424, 188);
  LastOrdered3 = &AddText(*Text3Layout, L"LastOrdered3", 26, 84, 398, 25, kBold, 16, TextAlign::Leading, TextAlign::Leading);
  DishName3 = &AddText(*Text3Layout, L"DishName3", 24, 109, 400, 0, kExtraBold, 28, TextAlign::Leading, TextAlign::Leading);
  DishName3->SetAutoSize(true);
  Price3 = &AddText(*Layout3, L"Price3", 400, 110, 299, 63, kExtraBold, 50, TextAlign::Trailing, TextAlign::Leading);
  Currency3 = &AddText(*Layout3, L"Currency3", 695, 132, 49, 34, kExtraBold, 16, TextAlign::Center, TextAlign::Center);
  Modi3 = &AddText(*Layout3, L"Modi3", 24, 188, 744, 26, kBold, 12, TextAlign::Leading, TextAlign::Leading);
  BasketLayout = &AddLayout(*Layout3, L"BasketLayout", 448, 40, 297, 50);
  BasketImg = &BasketLayout->Add<ui::Image>();
  BasketImg->Name = L"BasketImg";
  BasketImg->SetBounds(0, 0, 50, 50);
  BasketImg->SetWrapMode(ui::WrapMode::Fit);
  BasketImg->SetBitmap(BasketPicture());
  BasketLine = &BasketLayout->Add<ui::Line>();
  BasketLine->Name = L"BasketLine";
  BasketLine->SetBounds(0, 39, 0, 10);
  BasketLine->SetKind(ui::LineKind::Top);
  BasketLine->SetStroke(ui::Stroke{true, ui::Rgb(0xC5C5C5), 2.0f});
  BasketLine->SetOpacity(0.7f);
  BasketGoods = &AddText(*BasketLayout, L"BasketGoods", 0, 0, 0, 50, kBold, 16, TextAlign::Center, TextAlign::Center);
  BasketGoods->SetWordWrap(false);
  BasketGoods->SetAutoSize(true);
  BasketText = &AddText(*BasketLayout, L"BasketText", 0, 0, 0, 50, kBold, 16, TextAlign::Trailing, TextAlign::Center);
  BasketText->SetWordWrap(false);
  BasketText->SetAutoSize(true);

  for (ui::Layout* l : {Layout1, Layout2, Layout3, Layout4}) l->Hide();

  smallShadow = &MainLayout->Add<ui::Rectangle>();
  smallShadow->Name = L"smallShadow";
  smallShadow->SetBounds(0, 214, 768, 6);
  smallShadow->SetFill(ui::Fill::Solid(ui::Rgb(0xECDFDF)));

  // Empty: this area stays transparent and the background picture window shows through it.
  Background = &MainLayout->Add<ui::Image>();
  Background->Name = L"Background";
  Background->SetBounds(0, 220, 768, 805);
  Background->SetWrapMode(ui::WrapMode::Tile);

  Text1Animation = &Fade(clock, *Layout1);
  Text2Animation = &Fade(clock, *Layout2);
  DishName3Animation = &Fade(clock, *Text3Layout);
  Price3Animation = &Keys(clock, *Price3, ui::AnimatedProperty::Opacity, 0, 1);
  Currency3Animation = &Fade(clock, *Currency3);
  Text4Animation = &Fade(clock, *Text4);
  Currency4Animation = &Fade(clock, *Currency4);
  Sum4Animation1 = &Keys(clock, *Sum4, ui::AnimatedProperty::Opacity, 0, 1);
  Sum4Animation2 = &Keys(clock, *Sum4, ui::AnimatedProperty::PositionY, 90, 128);
  Sum4Animation2->Interp = ui::Interpolation::Quadratic;
  Sum4Animation2->Ease = ui::EaseKind::Out;

  Timer.SetInterval(50);
  Timer.SetEnabled(false);
  Timer.OnTimer = [this] { TimerTimer(); };
}

// The basket row lies flush with the right edge of BasketLayout: picture, BasketGoods, BasketText,
// moving left as the texts grow.
void TfmOrderlume::ArrangeBasketRow() {
  // The texts' widths follow the texts; both keep the full row height, centred vertically in it.
  BasketGoods->SetHeight(BasketLayout->Height());
  BasketText->SetHeight(BasketLayout->Height());
  const float right = BasketLayout->Width();
  BasketText->SetX(right - BasketText->Width());
  BasketGoods->SetX(BasketText->X() - BasketGoods->Width());
  BasketImg->SetX(BasketGoods->X() - BasketImg->Width());
}
