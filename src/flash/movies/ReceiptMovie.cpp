// The receipt movie's look: Tahoma in pixel sizes, dark text on a white panel over the receipt's part
// of the stage; the caption, the title row on a light band, then the receipt's rows. The rows are a
// pool of controls that each page fills anew, so a receipt of any length costs only the rows in view.
#include "flash/movies/ReceiptMovie.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/Ascii.h"
#include "win/WinText.h"

namespace flash {
namespace {

constexpr ui::Color kPanel = ui::kWhite;
constexpr ui::Color kInk = ui::Rgb(0x202020);
constexpr ui::Color kHeadingInk = ui::Rgb(0x404040);
constexpr ui::Color kModifierInk = ui::Rgb(0x5A5A5A);
constexpr ui::Color kBand = ui::Rgb(0xF0F0F0);
constexpr ui::Color kRule = ui::Rgb(0xC8C8C8);
constexpr ui::Color kRowRule = ui::Rgb(0xE4E4E4);

constexpr float kWidth = ReceiptMovie::kStageWidth;
constexpr float kMargin = 16;
constexpr float kBandTop = 56, kBandHeight = 38;
constexpr float kBodyTop = kBandTop + kBandHeight + 6;
constexpr float kBodyHeight = ReceiptMovie::kReceiptHeight - 4 - kBodyTop;

// The columns of the title row and of every line's row, at any scale of the rows.
constexpr float kPictureX = 24, kPictureSize = 40;
constexpr float kNameX = 72, kNameWidth = 380;
constexpr float kQuantityX = kNameX + kNameWidth, kQuantityWidth = 140;
constexpr float kPriceX = kQuantityX + kQuantityWidth, kPriceWidth = kWidth - 24 - kPriceX;
constexpr float kModifierX = 96, kModifierWidth = kWidth - 24 - kModifierX;

// Row heights and font sizes at scale 1.
constexpr float kLineHeight = 46, kModifierHeight = 26;
constexpr float kNameFont = 20, kQuantityFont = 18, kPriceFont = 20, kModifierFont = 15;

ui::Text& AddText(ui::Control& parent, float x, float y, float w, float h, float size, ui::Color color,
                  ui::TextAlign align, bool bold = true) {
  ui::Text& t = parent.Add<ui::Text>();
  t.SetBounds(x, y, w, h);
  t.SetFontFamily(L"Tahoma");
  t.SetFontSize(size);
  t.SetBold(bold);
  t.SetColor(color);
  t.SetHorzAlign(align);
  t.SetVertAlign(ui::TextAlign::Center);
  t.SetWordWrap(false);
  return t;
}

// The white panel under the whole stage, the title band and its rule; made first, so that they lie
// under everything else. Nothing of the receipt is drawn in the gallery's band.
ui::Layout& Panel(ui::Layout& stage) {
  ui::Rectangle& panel = stage.Add<ui::Rectangle>();
  panel.SetBounds(0, 0, kWidth, ReceiptMovie::kStageHeight);
  panel.SetFill(ui::Fill::Solid(kPanel));
  panel.SetStroke(ui::Stroke::None());
  ui::Rectangle& band = stage.Add<ui::Rectangle>();
  band.SetBounds(kMargin, kBandTop, kWidth - 2 * kMargin, kBandHeight);
  band.SetFill(ui::Fill::Solid(kBand));
  band.SetStroke(ui::Stroke::None());
  ui::Line& rule = stage.Add<ui::Line>();
  rule.SetKind(ui::LineKind::Top);
  rule.SetBounds(kMargin, kBandTop + kBandHeight, kWidth - 2 * kMargin, 2);
  rule.SetStroke(ui::Stroke{.color = kRule, .thickness = 2});
  return stage;
}

ui::Layout& Body(ui::Layout& stage) {
  ui::Layout& body = stage.Add<ui::Layout>();
  body.SetBounds(0, kBodyTop, kWidth, kBodyHeight);
  return body;
}

// Two texts as one, a blank between them when both are there.
std::wstring Joined(const std::u16string& a, const std::u16string& b) {
  if (a.empty()) return ToW(b);
  if (b.empty()) return ToW(a);
  return ToW(a) + L" " + ToW(b);
}

// The picture made small once, so that no frame scales the whole picture again: each pixel of the
// small picture is the mean of the block of the picture it stands for (premultiplied, so the mean is
// right for the alpha too).
ui::Bitmap Thumbnail(const ui::Bitmap& picture) {
  if (picture.Empty()) return {};
  const int sw = picture.Width(), sh = picture.Height();
  const float fit = std::min({kPictureSize / sw, kPictureSize / sh, 1.0f});
  const int w = std::max(1, static_cast<int>(std::lround(sw * fit)));
  const int h = std::max(1, static_cast<int>(std::lround(sh * fit)));
  ui::Bitmap small(w, h);
  const uint32_t* src = picture.Bits();
  for (int y = 0; y < h; ++y) {
    const int y0 = y * sh / h, y1 = std::max(y0 + 1, (y + 1) * sh / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * sw / w, x1 = std::max(x0 + 1, (x + 1) * sw / w);
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx) {
          const uint32_t p = src[static_cast<size_t>(yy) * sw + xx];
          for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      const uint64_t n = static_cast<uint64_t>(y1 - y0) * (x1 - x0);
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) out |= static_cast<uint32_t>((sum[c] + n / 2) / n) << (8 * c);
      small.Bits()[static_cast<size_t>(y) * w + x] = out;
    }
  }
  return small;
}

}  // namespace

// One row of the pool: a line's picture, name, quantity and price under a thin rule, or a modifier.
struct ReceiptMovie::Slot {
  explicit Slot(ui::Layout& body)
      : group(body.Add<ui::Layout>()),
        rule(group.Add<ui::Line>()),
        picture(group.Add<ui::Image>()),
        name(AddText(group, kNameX, 0, kNameWidth, kLineHeight, kNameFont, kInk, ui::TextAlign::Leading)),
        quantity(AddText(group, kQuantityX, 0, kQuantityWidth, kLineHeight, kQuantityFont, kInk,
                         ui::TextAlign::Center, false)),
        price(AddText(group, kPriceX, 0, kPriceWidth, kLineHeight, kPriceFont, kInk, ui::TextAlign::Trailing)),
        modifier(AddText(group, kModifierX, 0, kModifierWidth, kModifierHeight, kModifierFont, kModifierInk,
                         ui::TextAlign::Leading, false)) {
    rule.SetKind(ui::LineKind::Top);
    rule.SetStroke(ui::Stroke{.color = kRowRule, .thickness = 1});
    picture.SetWrapMode(ui::WrapMode::Fit);
    group.Hide();
  }
  ui::Layout& group;
  ui::Line& rule;
  ui::Image& picture;
  ui::Text& name;
  ui::Text& quantity;
  ui::Text& price;
  ui::Text& modifier;
  Row row{0, -1};
};

// The panel, its band and rule are made first (Panel), so that they lie under the texts.
ReceiptMovie::ReceiptMovie(MovieHost& host)
    : NativeMovie(host, MovieOptions{.stageWidth = kStageWidth, .stageHeight = kStageHeight, .frameRate = 24}),
      caption_(AddText(Panel(Stage()), 120, 6, kWidth - 240, 46, 26, kInk, ui::TextAlign::Center)),
      name_(AddText(Stage(), kPictureX, kBandTop, kQuantityX - kPictureX, kBandHeight, 17, kHeadingInk,
                    ui::TextAlign::Leading)),
      quantity_(AddText(Stage(), kQuantityX, kBandTop, kQuantityWidth, kBandHeight, 17, kHeadingInk,
                        ui::TextAlign::Center)),
      amount_(AddText(Stage(), kPriceX, kBandTop, kPriceWidth, kBandHeight, 17, kHeadingInk, ui::TextAlign::Trailing)),
      pageMark_(AddText(Stage(), kWidth - 24 - 96, 6, 96, 46, 15, kHeadingInk, ui::TextAlign::Trailing, false)),
      body_(Body(Stage())) {}

ReceiptMovie::~ReceiptMovie() = default;

void ReceiptMovie::OnLoad() {
  SetVariable(u"TitleXML", u"<Item Name=\"\" Quantity=\"\" Amount=\"\" Description=\"\"/>");
  SetVariable(u"GalleryXML", u"<Item Name=\"\" Picture=\"\"/>");
  SetVariable(u"ItemXML",
              u"<Item Name=\"\" Picture=\"\" Qnt=\"\" Portion=\"\" Price=\"\" Currency=\"\"><Modi Name=\"\"/></Item>");
  AddCallback(u"reloadGallery", [this] {
    gallery_.Reload(*VariableXml(u"GalleryXML"), [this](std::u16string_view name) { return LoadPicture(name); });
    return std::u16string();
  });
  AddCallback(u"deleteCheck", [this] {
    DeleteCheck();
    return std::u16string();
  });
  AddCallback(u"buildCheck", [this] {
    BuildCheck();
    return std::u16string();
  });
  AddCallback(u"newDataCheck", [this] {
    NewDataCheck();
    return std::u16string();
  });
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

void ReceiptMovie::DeleteCheck() {
  shown_.clear();
  pictures_.clear();
  loaded_.clear();
  rows_.clear();
  pages_.clear();
  page_ = 0;
  for (auto& slot : slots_) {
    slot->group.Hide();
    slot->picture.ClearBitmap();
  }
  pageMark_.SetText(L"");
  Stop();
}

void ReceiptMovie::NewDataCheck() {
  read_.clear();
  const auto document = VariableXml(u"ItemXML");
  for (const XmlNode* node : document->Nodes().Children()) {
    if (!node->IsElement()) continue;
    ReceiptLine line{node->Attr(u"Name"), node->Attr(u"Picture"), node->Attr(u"Qnt"),
                     node->Attr(u"Portion"), node->Attr(u"Price"), node->Attr(u"Currency"), {}};
    for (const XmlNode* child : node->Children())
      if (child->IsElement()) line.Modifiers.push_back(child->Attr(u"Name"));
    read_.push_back(std::move(line));
  }
}

void ReceiptMovie::BuildCheck() {
  DeleteCheck();
  shown_ = read_;
  pictures_.assign(shown_.size(), std::nullopt);
  for (size_t i = 0; i < shown_.size(); ++i) {
    rows_.push_back({i, -1});
    for (size_t m = 0; m < shown_[i].Modifiers.size(); ++m) rows_.push_back({i, static_cast<int>(m)});
  }
  const float scale = BodyScale();
  float y = 0;
  for (size_t r = 0; r < rows_.size(); ++r) {
    const float h = (rows_[r].modifier < 0 ? kLineHeight : kModifierHeight) * scale;
    if (pages_.empty() || y + h > kBodyHeight + 0.01f) {
      pages_.push_back(r);
      y = 0;
    }
    y += h;
  }
  ShowPage(0);
  if (pages_.size() > 1)
    Play();
  else
    Stop();
}

float ReceiptMovie::BodyScale() const noexcept {
  float height = 0;
  for (const Row& r : rows_) height += r.modifier < 0 ? kLineHeight : kModifierHeight;
  if (height <= kBodyHeight) return 1.0f;
  return std::max(kMinScale, kBodyHeight / height);
}

// A line's picture is read when its row first comes into view: a long receipt decodes only the
// pictures of the page it shows. The player serves the first item of a name without regard to ASCII
// case, so a name is decoded once.
const ui::Bitmap& ReceiptMovie::PictureOf(size_t line) {
  std::optional<ui::Bitmap>& picture = pictures_[line];
  if (!picture) {
    const std::u16string& name = shown_[line].Picture;
    if (name.empty()) {
      picture.emplace();
    } else {
      std::u16string key = name;
      for (char16_t& c : key) c = AsciiUpper(c);
      auto it = loaded_.find(key);
      if (it == loaded_.end()) it = loaded_.emplace(key, Thumbnail(LoadPicture(name))).first;
      picture = it->second;
    }
  }
  return *picture;
}

ReceiptMovie::Slot& ReceiptMovie::SlotAt(size_t index) {
  while (slots_.size() <= index) slots_.push_back(std::make_unique<Slot>(body_));
  return *slots_[index];
}

void ReceiptMovie::ShowPage(size_t page) {
  page_ = page;
  framesOnPage_ = 0;
  const size_t first = pages_.empty() ? 0 : pages_[page];
  const size_t end = page + 1 < pages_.size() ? pages_[page + 1] : rows_.size();
  const float scale = BodyScale();
  float y = 0;
  size_t used = 0;
  for (size_t r = first; r < end; ++r, ++used) {
    Slot& slot = SlotAt(used);
    const Row row = rows_[r];
    const ReceiptLine& line = shown_[row.line];
    const bool isLine = row.modifier < 0;
    const float h = (isLine ? kLineHeight : kModifierHeight) * scale;
    slot.row = row;
    slot.group.SetBounds(0, y, kWidth, h);
    slot.rule.SetVisible(isLine && r != first);
    slot.picture.SetVisible(isLine);
    slot.name.SetVisible(isLine);
    slot.quantity.SetVisible(isLine);
    slot.price.SetVisible(isLine);
    slot.modifier.SetVisible(!isLine);
    if (isLine) {
      slot.rule.SetBounds(kMargin, 0, kWidth - 2 * kMargin, 1);
      const float box = kPictureSize * scale;
      slot.picture.SetBounds(kPictureX, (h - box) / 2, box, box);
      const ui::Bitmap& picture = PictureOf(row.line);
      if (picture.Empty())
        slot.picture.ClearBitmap();
      else
        slot.picture.SetBitmap(picture);
      const std::pair<ui::Text*, float> texts[] = {
          {&slot.name, kNameFont}, {&slot.quantity, kQuantityFont}, {&slot.price, kPriceFont}};
      for (const auto& [text, font] : texts) {
        text->SetHeight(h);
        text->SetFontSize(font * scale);
      }
      slot.name.SetText(ToW(line.Name));
      slot.quantity.SetText(Joined(line.Qnt, line.Portion));
      slot.price.SetText(Joined(line.Price, line.Currency));
    } else {
      slot.modifier.SetHeight(h);
      slot.modifier.SetFontSize(kModifierFont * scale);
      slot.modifier.SetText(ToW(line.Modifiers[static_cast<size_t>(row.modifier)]));
    }
    slot.group.Show();
    y += h;
  }
  for (size_t s = used; s < slots_.size(); ++s) {
    slots_[s]->group.Hide();
    slots_[s]->picture.ClearBitmap();
  }
  pageMark_.SetText(pages_.size() > 1 ? std::to_wstring(page + 1) + L" / " + std::to_wstring(pages_.size()) : L"");
}

void ReceiptMovie::OnEnterFrame() {
  if (pages_.size() <= 1) return;
  if (++framesOnPage_ < FrameRate() * kPageSeconds) return;
  ShowPage((page_ + 1) % pages_.size());
}

std::vector<ReceiptMovie::RowView> ReceiptMovie::RowsInView() const {
  std::vector<RowView> rows;
  for (const auto& slot : slots_) {
    if (!slot->group.Visible()) continue;
    const bool isLine = slot->row.modifier < 0;
    rows.push_back({slot->row.line, slot->row.modifier, &slot->group, isLine ? &slot->picture : nullptr,
                    isLine ? &slot->name : &slot->modifier, isLine ? &slot->quantity : nullptr,
                    isLine ? &slot->price : nullptr});
  }
  return rows;
}

MovieRegistration RegisterReceiptMovie() {
  return MovieRegistration(kReceiptMovieName, [](MovieHost& host) { return std::make_unique<ReceiptMovie>(host); });
}

}  // namespace flash
