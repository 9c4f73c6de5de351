// The receipt movie's look: Tahoma in pixel sizes, dark text on white, the title row on a light band
// under the caption.
#include "flash/movies/ReceiptMovie.h"

#include "win/WinText.h"

namespace flash {
namespace {

constexpr ui::Color kPanel = ui::kWhite;
constexpr ui::Color kInk = ui::Rgb(0x202020);
constexpr ui::Color kHeadingInk = ui::Rgb(0x404040);
constexpr ui::Color kBand = ui::Rgb(0xF0F0F0);
constexpr ui::Color kRule = ui::Rgb(0xC8C8C8);

constexpr float kMargin = 16;
constexpr float kBandTop = 84, kBandHeight = 44;

ui::Text& AddText(ui::Control& parent, float x, float y, float w, float h, float size, ui::Color color,
                  ui::TextAlign align) {
  ui::Text& t = parent.Add<ui::Text>();
  t.SetBounds(x, y, w, h);
  t.SetFontFamily(L"Tahoma");
  t.SetFontSize(size);
  t.SetBold(true);
  t.SetColor(color);
  t.SetHorzAlign(align);
  t.SetVertAlign(ui::TextAlign::Center);
  t.SetWordWrap(false);
  return t;
}

ui::Layout& Panel(ui::Layout& stage) {
  ui::Rectangle& panel = stage.Add<ui::Rectangle>();
  panel.SetBounds(0, 0, ReceiptMovie::kStageWidth, ReceiptMovie::kStageHeight);
  panel.SetFill(ui::Fill::Solid(kPanel));
  panel.SetStroke(ui::Stroke::None());
  ui::Rectangle& band = stage.Add<ui::Rectangle>();
  band.SetBounds(kMargin, kBandTop, ReceiptMovie::kStageWidth - 2 * kMargin, kBandHeight);
  band.SetFill(ui::Fill::Solid(kBand));
  band.SetStroke(ui::Stroke::None());
  ui::Line& rule = stage.Add<ui::Line>();
  rule.SetKind(ui::LineKind::Top);
  rule.SetBounds(kMargin, kBandTop + kBandHeight, ReceiptMovie::kStageWidth - 2 * kMargin, 2);
  rule.SetStroke(ui::Stroke{.color = kRule, .thickness = 2});
  return stage;
}

}  // namespace

// The panel, its band and rule are made first (Panel), so that they lie under the texts.
ReceiptMovie::ReceiptMovie(MovieHost& host)
    : NativeMovie(host, MovieOptions{.stageWidth = kStageWidth, .stageHeight = kStageHeight, .frameRate = 24}),
      caption_(AddText(Panel(Stage()), kMargin, 20, kStageWidth - 2 * kMargin, 48, 28, kInk, ui::TextAlign::Center)),
      name_(AddText(Stage(), kMargin + 16, kBandTop, 400, kBandHeight, 18, kHeadingInk, ui::TextAlign::Leading)),
      quantity_(AddText(Stage(), kMargin + 416, kBandTop, 140, kBandHeight, 18, kHeadingInk, ui::TextAlign::Center)),
      amount_(AddText(Stage(), kMargin + 556, kBandTop, kStageWidth - 2 * kMargin - 572, kBandHeight, 18, kHeadingInk,
                      ui::TextAlign::Trailing)) {}

void ReceiptMovie::OnLoad() {
  SetVariable(u"TitleXML", u"<Item Name=\"\" Quantity=\"\" Amount=\"\" Description=\"\"/>");
  SetVariable(u"GalleryXML", u"<Item Name=\"\" Picture=\"\"/>");
  SetVariable(u"ItemXML",
              u"<Item Name=\"\" Picture=\"\" Qnt=\"\" Portion=\"\" Price=\"\" Currency=\"\"><Modi Name=\"\"/></Item>");
  AddCallback(u"reloadGallery", [this] {
    gallery_.Reload(*VariableXml(u"GalleryXML"), [this](std::u16string_view name) { return LoadPicture(name); });
    return std::u16string();
  });
  AddCallback(u"deleteCheck", [] { return std::u16string(); });
  AddCallback(u"buildCheck", [] { return std::u16string(); });
  AddCallback(u"newDataCheck", [] { return std::u16string(); });
  AddCallback(u"updateTitle", [this] {
    UpdateTitle();
    return std::u16string();
  });
  UpdateTitle();
  Stop();
}

void ReceiptMovie::UpdateTitle() {
  const auto document = VariableXml(u"TitleXML");
  const XmlNode* item = document->Root();
  auto attr = [item](std::u16string_view name) { return item ? ToW(item->Attr(name)) : std::wstring(); };
  name_.SetText(attr(u"Name"));
  quantity_.SetText(attr(u"Quantity"));
  amount_.SetText(attr(u"Amount"));
  caption_.SetText(attr(u"Description"));
}

MovieRegistration RegisterReceiptMovie() {
  return MovieRegistration(kReceiptMovieName, [](MovieHost& host) { return std::make_unique<ReceiptMovie>(host); });
}

}  // namespace flash
