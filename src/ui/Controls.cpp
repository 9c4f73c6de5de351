// Properties of the controls and how each draws itself. Setters that do not change a value report
// nothing, so a program that sets the same text again causes no redraw.
#include "ui/Controls.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "ui/Fonts.h"
#include "ui/GdiPlusIncludes.h"
#include "ui/TextCut.h"

namespace ui {
namespace {

Gdiplus::Color WithOpacity(Color c, float opacity) {
  const int a = static_cast<int>(AlphaOf(c) * opacity + 0.5f);
  return Gdiplus::Color(static_cast<BYTE>(std::clamp(a, 0, 255)), RedOf(c), GreenOf(c), BlueOf(c));
}

// An outline lies just inside the box. It is filled as four strips rather than stroked with a pen, so
// that its pixels do not depend on how the GDI+ implementation offsets pixel centres for lines.
void DrawOutline(Gdiplus::Graphics& g, const Stroke& s, float w, float h, float opacity) {
  if (!s.enabled || s.thickness <= 0) return;
  Gdiplus::SolidBrush brush(WithOpacity(s.color, opacity));
  const float t = std::min({s.thickness, w / 2, h / 2});
  const Gdiplus::RectF strips[] = {{0, 0, w, t}, {0, h - t, w, t}, {0, t, t, h - 2 * t}, {w - t, t, t, h - 2 * t}};
  g.FillRectangles(&brush, strips, 4);
}

Gdiplus::StringAlignment ToGdi(TextAlign a) {
  switch (a) {
    case TextAlign::Leading: return Gdiplus::StringAlignmentNear;
    case TextAlign::Center: return Gdiplus::StringAlignmentCenter;
    case TextAlign::Trailing: return Gdiplus::StringAlignmentFar;
  }
  return Gdiplus::StringAlignmentNear;
}

// Typographic layout (no padding around the text) so that measured widths place neighbours exactly.
// The text as GDI+ gets it: line breaks as LF alone. Wine's GDI+ draws a CR as a missing glyph, where
// Windows takes CR LF, CR and LF alike as one break.
std::wstring LineBreaksAsLf(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r') {
      out += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != L'\n') {
      out += L'\n';
    }
  }
  return out;
}

std::unique_ptr<Gdiplus::StringFormat> MakeFormat(bool wrap, TextAlign h, TextAlign v) {
  auto f = std::unique_ptr<Gdiplus::StringFormat>(Gdiplus::StringFormat::GenericTypographic()->Clone());
  INT flags = f->GetFormatFlags() | Gdiplus::StringFormatFlagsNoClip;
  if (!wrap) flags |= Gdiplus::StringFormatFlagsNoWrap;
  f->SetFormatFlags(flags);
  f->SetAlignment(ToGdi(h));
  f->SetLineAlignment(ToGdi(v));
  f->SetTrimming(Gdiplus::StringTrimmingNone);
  return f;
}

std::unique_ptr<Gdiplus::Font> MakeFont(const std::wstring& family, float size, bool bold) {
  Gdiplus::FontFamily ff(ResolveFontFamily(family).c_str());
  auto font = std::make_unique<Gdiplus::Font>(&ff, size, bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                                              Gdiplus::UnitPixel);
  if (font->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return font;
}

// The smallest and the largest advance, in pixels, that a font at an em size of `px` pixels gives the
// characters CutText counts, with a pixel to spare either way for a renderer that hints differently
// (Wine's GDI+ lays text out with these very GDI widths). The smallest is never taken above a quarter
// of the em, in case another font stands in for some of the characters. Nothing (0) below 6 pixels,
// where hinting may round an advance down to nothing. Cached per font and size.
struct Advances {
  float least = 0, most = 0;
};

Advances CountedAdvances(const std::wstring& family, float px, bool bold) {
  static std::map<std::tuple<std::wstring, int, bool>, Advances> cache;
  const int em = static_cast<int>(std::lround(px));
  const auto key = std::make_tuple(family, em, bold);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  Advances a;
  if (em >= 6) {
    // The blocks that hold every character CountedCharacter counts.
    static const std::pair<wchar_t, wchar_t> kBlocks[] = {
        {0x20, 0x7E}, {0xA0, 0x17F}, {0x400, 0x491}, {0x2013, 0x203A}, {0x20AC, 0x20AC}, {0x2116, 0x2122}};
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -em;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = ResolveFontFamily(family);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    int least = INT_MAX;
    bool read = dc && font && GetTextMetricsW(dc, &tm);
    for (const auto& [first, last] : kBlocks) {
      std::vector<INT> widths(last - first + 1);
      read = read && GetCharWidth32W(dc, first, last, widths.data());
      for (wchar_t c = first; read && c <= last; ++c)
        if (CountedCharacter(c, false)) least = std::min(least, widths[c - first]);
    }
    if (read && least != INT_MAX) {
      a.least = std::clamp(static_cast<float>(least) - 1, 0.0f, px / 4);
      a.most = std::max(static_cast<float>(tm.tmMaxCharWidth), px) * 1.25f + 1;
    }
    SelectObject(dc, old);
    if (font) DeleteObject(font);
    if (dc) DeleteDC(dc);
  }
  cache.emplace(key, a);
  return a;
}

// A layout bound in lines or characters: `extent` over `step`, rounded up, with `spare` more.
size_t Count(float extent, float step, size_t spare) {
  if (!(step > 0) || !(extent < 1e9f * step)) return TextCut::kAll;
  return static_cast<size_t>(std::ceil(std::max(extent, 0.0f) / step)) + spare;
}

// Measuring without a screen: a scratch picture, the font and the typographic format.
struct Measuring {
  std::unique_ptr<Gdiplus::Font> font;
  Gdiplus::Bitmap scratch{1, 1, PixelFormat32bppPARGB};
  Gdiplus::Graphics g{&scratch};
  Measuring(const std::wstring& family, float size, bool bold) : font(MakeFont(family, size, bold)) {
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  }
  // The size of a text (line breaks as LF) on one line each, or wrapped at `width`.
  PointF Measure(const std::wstring& text, float width) {
    if (!font || text.empty()) return {};
    const bool wrap = width > 0;
    auto format = MakeFormat(wrap, TextAlign::Leading, TextAlign::Leading);
    Gdiplus::RectF box(0, 0, wrap ? width : 1e6f, 1e6f);
    Gdiplus::RectF bound;
    g.MeasureString(text.c_str(), static_cast<INT>(text.size()), font.get(), box, format.get(), &bound);
    return {bound.Width, bound.Height};
  }
};

}  // namespace

// Texts up to this length are drawn whole: GDI+ lays them out in far less than a frame.
constexpr size_t kShortText = 512;

struct Text::DrawnText {
  unsigned long long revision;
  TextCut cut;
  std::wstring text;
};

// --- Control -------------------------------------------------------------------------------------

Control::~Control() = default;

void Control::Adopt(std::unique_ptr<Control> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  Changed();
}

RectF RectF::Union(const RectF& o) const {
  if (o.Empty()) return *this;
  if (Empty()) return o;
  const float l = std::min(X, o.X), t = std::min(Y, o.Y);
  return {l, t, std::max(Right(), o.Right()) - l, std::max(Bottom(), o.Bottom()) - t};
}

bool RectF::Intersects(const RectF& o) const {
  return !Empty() && !o.Empty() && X < o.Right() && o.X < Right() && Y < o.Bottom() && o.Y < Bottom();
}

RectF Control::SubtreeArea() const {
  RectF area = RectF{0, 0, width_, height_}.Inflated(Spill());
  for (const auto& child : children_) {
    if (!child->visible_) continue;
    const RectF a = child->SubtreeArea();
    if (a.Empty()) continue;
    area = area.Union({child->x_ + a.X * child->scaleX_, child->y_ + a.Y * child->scaleY_, a.Width * child->scaleX_,
                       a.Height * child->scaleY_});
  }
  return area;
}

RectF Control::AreaInRoot() const {
  RectF a = SubtreeArea();
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return {};
    a = {c->x_ + a.X * c->scaleX_, c->y_ + a.Y * c->scaleY_, a.Width * c->scaleX_, a.Height * c->scaleY_};
  }
  return a;
}

void Control::Changed() const {
  const Control* root = this;
  while (root->parent_) root = root->parent_;
  if (!root->sink_) return;
  const RectF area = AreaInRoot();
  if (!area.Empty()) root->sink_(area);
}

void Control::SetX(float x) {
  if (x_ == x) return;
  Changed();
  x_ = x;
  Changed();
}

void Control::SetY(float y) {
  if (y_ == y) return;
  Changed();
  y_ = y;
  Changed();
}

void Control::SetPosition(float x, float y) {
  SetX(x);
  SetY(y);
}

void Control::SetWidth(float w) {
  if (width_ == w) return;
  Changed();
  width_ = w;
  Changed();
}

void Control::SetHeight(float h) {
  if (height_ == h) return;
  Changed();
  height_ = h;
  Changed();
}

void Control::SetSize(float w, float h) {
  SetWidth(w);
  SetHeight(h);
}

void Control::SetBounds(float x, float y, float w, float h) {
  SetPosition(x, y);
  SetSize(w, h);
}

void Control::SetScale(float sx, float sy) {
  if (scaleX_ == sx && scaleY_ == sy) return;
  Changed();
  scaleX_ = sx;
  scaleY_ = sy;
  Changed();
}

void Control::SetOpacity(float opacity) {
  opacity = std::clamp(opacity, 0.0f, 1.0f);
  if (opacity_ == opacity) return;
  opacity_ = opacity;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  Changed();
  visible_ = visible;
  Changed();
}

// --- Rectangle -----------------------------------------------------------------------------------

void Rectangle::SetFill(Fill fill) {
  fill_ = std::move(fill);
  Changed();
}

void Rectangle::SetStroke(Stroke stroke) {
  stroke_ = stroke;
  Changed();
}

void Rectangle::DrawSelf(Gdiplus::Graphics& g, float opacity) const {
  const float w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  if (fill_.kind == Fill::Kind::Solid) {
    Gdiplus::SolidBrush brush(WithOpacity(fill_.color, opacity));
    g.FillRectangle(&brush, 0.0f, 0.0f, w, h);
  } else if (fill_.kind == Fill::Kind::LinearGradient && !fill_.stops.empty()) {
    // GDI+ wants positions that begin at 0 and end at 1: the end colours extend to the edges.
    std::vector<GradientStop> stops = fill_.stops;
    std::sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    if (stops.front().offset > 0) stops.insert(stops.begin(), {stops.front().color, 0.0f});
    if (stops.back().offset < 1) stops.push_back({stops.back().color, 1.0f});
    std::vector<Gdiplus::Color> colors;
    std::vector<Gdiplus::REAL> positions;
    for (const auto& s : stops) {
      colors.push_back(WithOpacity(s.color, opacity));
      positions.push_back(std::clamp(s.offset, 0.0f, 1.0f));
    }
    const Gdiplus::PointF from(fill_.startPoint.X * w, fill_.startPoint.Y * h);
    Gdiplus::PointF to(fill_.stopPoint.X * w, fill_.stopPoint.Y * h);
    if (from.X == to.X && from.Y == to.Y) to.X += 1;
    Gdiplus::LinearGradientBrush brush(from, to, colors.front(), colors.back());
    brush.SetInterpolationColors(colors.data(), positions.data(), static_cast<INT>(colors.size()));
    brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no seam of the far colour at the edges
    g.FillRectangle(&brush, 0.0f, 0.0f, w, h);
  }
  DrawOutline(g, stroke_, w, h, opacity);
}

// --- Image ---------------------------------------------------------------------------------------

void Image::SetBitmap(const Bitmap& bitmap) {
  bitmap_ = bitmap;
  Changed();
}

void Image::SetBitmap(Bitmap&& bitmap) {
  bitmap_ = std::move(bitmap);
  Changed();
}

void Image::EditBitmap(const std::function<void(Bitmap& bitmap)>& edit) {
  edit(bitmap_);
  Changed();
}

void Image::ClearBitmap() {
  if (bitmap_.Empty()) return;
  bitmap_ = Bitmap();
  Changed();
}

void Image::SetWrapMode(WrapMode mode) {
  if (wrap_ == mode) return;
  wrap_ = mode;
  Changed();
}

void Image::DrawSelf(Gdiplus::Graphics& g, float opacity) const {
  Gdiplus::Bitmap* picture = bitmap_.Gdi();
  const float w = Width(), h = Height();
  if (!picture || w <= 0 || h <= 0) return;
  const float bw = static_cast<float>(bitmap_.Width()), bh = static_cast<float>(bitmap_.Height());

  Gdiplus::ImageAttributes attributes;
  if (opacity < 1.0f) {
    Gdiplus::ColorMatrix m = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, opacity, 0}, {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&m);
  }
  if (wrap_ == WrapMode::Tile) {
    Gdiplus::TextureBrush brush(picture, Gdiplus::RectF(0, 0, bw, bh), &attributes);
    brush.SetWrapMode(Gdiplus::WrapModeTile);
    g.FillRectangle(&brush, 0.0f, 0.0f, w, h);
    return;
  }
  // Stretching samples beyond the edge pixels; clamping them keeps the edges from fading out.
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  Gdiplus::RectF dest(0, 0, w, h);
  Gdiplus::RectF source(0, 0, bw, bh);
  if (wrap_ == WrapMode::Fit) {
    const float s = std::min(w / bw, h / bh);
    dest = Gdiplus::RectF((w - bw * s) / 2, (h - bh * s) / 2, bw * s, bh * s);
  } else if (wrap_ == WrapMode::Original) {
    dest = Gdiplus::RectF(0, 0, std::min(w, bw), std::min(h, bh));
    source = Gdiplus::RectF(0, 0, dest.Width, dest.Height);
  }
  g.DrawImage(picture, dest, source.X, source.Y, source.Width, source.Height, Gdiplus::UnitPixel, &attributes);
}

// --- Text ----------------------------------------------------------------------------------------

void Text::SetText(const std::wstring& text) {
  if (text_ == text) return;
  Changed();
  text_ = text;
  ++textRevision_;
  Refit();
  Changed();
}

void Text::SetFontFamily(const std::wstring& family) {
  if (family_ == family) return;
  Changed();
  family_ = family;
  Refit();
  Changed();
}

void Text::SetFontSize(float size) {
  if (size_ == size) return;
  Changed();
  size_ = size;
  Refit();
  Changed();
}

void Text::SetBold(bool bold) {
  if (bold_ == bold) return;
  Changed();
  bold_ = bold;
  Refit();
  Changed();
}

void Text::SetColor(Color color) {
  if (color_ == color) return;
  color_ = color;
  Changed();
}

void Text::SetHorzAlign(TextAlign a) {
  if (horz_ == a) return;
  horz_ = a;
  Changed();
}

void Text::SetVertAlign(TextAlign a) {
  if (vert_ == a) return;
  vert_ = a;
  Changed();
}

void Text::SetWordWrap(bool wrap) {
  if (wordWrap_ == wrap) return;
  Changed();
  wordWrap_ = wrap;
  Refit();
  Changed();
}

void Text::SetAutoSize(bool autoSize) {
  if (autoSize_ == autoSize) return;
  autoSize_ = autoSize;
  Refit();
}

void Text::SetWidth(float w) {
  Control::SetWidth(w);
  if (autoSize_ && wordWrap_) Refit();
}

void Text::Refit() {
  cutWidth_ = cutHeight_ = false;
  if (!autoSize_) return;
  const Fit fit = MeasureForWindow();
  if (wordWrap_) {
    Control::SetHeight(fit.size.Y);
  } else {
    // A box that follows its text on one line keeps the usual padding of a sixth of the font size on
    // each side, so that texts placed edge to edge do not run into each other.
    Control::SetWidth(fit.size.X > 0 ? fit.size.X + size_ / 3 : 0);
    Control::SetHeight(fit.size.Y);
  }
  autoWidth_ = Width();
  autoHeight_ = Height();
  cutWidth_ = fit.cutWidth;
  cutHeight_ = fit.cutHeight;
}

// The window is the root's box. Beyond it the size only has to be beyond it too: the box reaches from
// its place to the far edge of the window and a window's size more, so that a box the layout moves
// along by its width (a row flush with an edge) still covers the window, and so do its neighbours'
// places reckoned from that width.
Text::Fit Text::MeasureForWindow() const {
  Fit fit;
  if (text_.empty()) return fit;
  Measuring m(family_, size_, bold_);
  std::vector<const Control*> chain;
  for (const Control* c = this; c; c = c->Parent()) chain.push_back(c);
  const Control& root = *chain.back();
  float ox = 0, oy = 0, sx = 1, sy = 1;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    ox += (*it)->X() * sx;
    oy += (*it)->Y() * sy;
    sx *= (*it)->ScaleX();
    sy *= (*it)->ScaleY();
  }
  if (chain.size() == 1 || !(sx > 0) || !(sy > 0) || !m.font) {  // no window to show it in
    fit.size = m.Measure(LineBreaksAsLf(text_), wordWrap_ ? Width() : 0);
    return fit;
  }
  const float wl = (root.X() - ox) / sx, wr = (root.X() + root.Width() * root.ScaleX() - ox) / sx;
  const float wt = (root.Y() - oy) / sy, wb = (root.Y() + root.Height() * root.ScaleY() - oy) / sy;
  const float reachX = std::max(std::fabs(wl), std::fabs(wr)) + (wr - wl) + 2 * Spill();
  const float reachY = std::max(std::fabs(wt), std::fabs(wb)) + (wb - wt) + 2 * Spill();

  const float line = m.font->GetHeight(&m.g);
  const Advances advances = CountedAdvances(family_, size_, bold_);
  TextCut cut;
  cut.wrap = wordWrap_;
  cut.lines = Count(reachY, 0.8f * std::min(line, size_), 2);
  if (wordWrap_)
    cut.lineCount = advances.least > 0 ? static_cast<size_t>(Width() / advances.least) + 1 : TextCut::kAll;
  else
    cut.keepCount = Count(reachX + size_, advances.least, 0);
  const CutResult shown = CutText(text_, cut);
  fit.size = m.Measure(shown.text, wordWrap_ ? Width() : 0);
  fit.cutHeight = shown.linesLeft;
  fit.cutWidth = !wordWrap_ && (shown.lineShortened || fit.size.X >= reachX);
  if (wordWrap_ || shown.restAt == std::wstring::npos || fit.cutWidth) return fit;

  // The lines below the window still widen the box: each that may be wider than the widest so far.
  for (size_t i = shown.restAt; i < text_.size() && fit.size.X < reachX;) {
    size_t end = text_.find_first_of(L"\r\n", i);
    if (end == std::wstring::npos) end = text_.size();
    size_t counted = 0;
    bool known = advances.most > 0;  // only counted characters, blanks and tabs: their widths are known
    for (size_t k = i; k < end; ++k) {
      counted += CountedCharacter(text_[k], false);
      known = known && (CountedCharacter(text_[k], false) || text_[k] == L'\t');
    }
    if (!known || (end - i) * advances.most > fit.size.X) {
      TextCut one = cut;
      one.lines = TextCut::kAll;
      const CutResult piece = CutText(text_.substr(i, end - i), one);
      fit.size.X = std::max(fit.size.X, m.Measure(piece.text, 0).X);
      fit.cutWidth = piece.lineShortened || fit.size.X >= reachX;
    }
    i = end + (end + 1 < text_.size() && text_[end] == L'\r' && text_[end + 1] == L'\n' ? 2 : 1);
  }
  return fit;
}

float Text::MeasuredWidth() const { return MeasureWrapped(0).X; }

PointF Text::MeasureWrapped(float width) const {
  if (text_.empty()) return {};
  return Measuring(family_, size_, bold_).Measure(LineBreaksAsLf(text_), width);
}

const std::wstring& Text::TextToDraw(const TextCut& cut) const {
  if (!drawn_ || drawn_->revision != textRevision_ || !(drawn_->cut == cut))
    drawn_ = std::make_shared<DrawnText>(DrawnText{textRevision_, cut, CutText(text_, cut).text});
  return drawn_->text;
}

void Text::DrawSelf(Gdiplus::Graphics& g, float opacity) const {
  if (text_.empty() || Width() <= 0 || Height() <= 0) return;
  auto font = MakeFont(family_, size_, bold_);
  if (!font) return;
  const float w = Width(), boxHeight = Height();
  // A box lower than one line of its font still shows that line, cut at the box (Wine's GDI+ draws
  // nothing in a layout rectangle lower than a line). The line keeps its vertical alignment.
  float y = 0, h = boxHeight;
  const float line = font->GetHeight(&g);
  if (line > h) {
    if (vert_ == TextAlign::Center) y = (h - line) / 2;
    if (vert_ == TextAlign::Trailing) y = h - line;
    h = line;
  }
  Gdiplus::Region clip;
  g.GetClip(&clip);
  g.IntersectClip(Gdiplus::RectF(0, 0, w, boxHeight));
  Gdiplus::SolidBrush brush(WithOpacity(color_, opacity));
  if (text_.size() <= kShortText && !cutHeight_ && !cutWidth_) {
    // A short text in a box that holds all of it: laid out whole, at a cost the bounds below would
    // only add to.
    auto format = MakeFormat(wordWrap_, horz_, vert_);
    const std::wstring& whole = TextToDraw(TextCut{});
    g.DrawString(whole.c_str(), static_cast<INT>(whole.size()), font.get(), Gdiplus::RectF(0, y, w, h),
                 format.get(), &brush);
    g.SetClip(&clip);
    return;
  }
  Gdiplus::RectF visible;  // the part of the box this frame draws, in the box's coordinates
  g.GetVisibleClipBounds(&visible);
  Gdiplus::Matrix transform;
  g.GetTransform(&transform);
  Gdiplus::REAL e[6];
  transform.GetElements(e);
  const float sx = std::hypot(e[0], e[1]);

  // An auto-sized box that stopped short of its text keeps the text where the full box has it: from
  // its top; on one line from its left edge (a sixth of the font size in when centred), or up to its
  // right edge when right-aligned.
  const bool fromTop = cutHeight_ && boxHeight == autoHeight_;
  const bool alongLine = cutWidth_ && w == autoWidth_ && !wordWrap_;
  const TextAlign vert = fromTop ? TextAlign::Leading : vert_;
  const float atLeast = 0.8f * std::min(line, size_);  // the least height of a line that holds a counted character
  TextCut cut;
  cut.wrap = wordWrap_;
  Gdiplus::RectF layout(0, y, w, h);
  if (vert == TextAlign::Leading) {
    // The lines from the top down to the end of what this frame draws. Wine lays out lines only as
    // long as they begin in the layout rectangle, so that ends there too.
    const float bottom = std::min(boxHeight, visible.GetBottom());
    cut.lines = Count(bottom - y, atLeast, 2);
    layout.Height = std::max(line, std::min(h, bottom - y + line));
  } else {
    // Centred or at the bottom, a text much taller than its box shows nothing under Wine, which draws
    // the top lines of the block (now far above the box): the lines kept make the block that tall too.
    cut.lines = Count(vert == TextAlign::Center ? 3 * h + 2 * size_ : 2 * h + size_, atLeast, 3);
  }
  const float least = CountedAdvances(family_, size_ * sx, bold_).least / (sx > 0 ? sx : 1);
  TextAlign horz = horz_;
  if (wordWrap_) {
    cut.lineCount = least > 0 ? static_cast<size_t>(w / least) + 1 : TextCut::kAll;
  } else if (alongLine) {
    const float big = 1e6f / std::max(sx, 1.0f);  // wide enough for the whole kept line
    if (horz_ == TextAlign::Trailing) {
      cut.ends = TextCut::Ends::End;
      cut.keepCount = Count(w - std::max(0.0f, visible.X) + size_, least, 0);
      layout = Gdiplus::RectF(w - big, layout.Y, big, layout.Height);
    } else {
      const float indent = horz_ == TextAlign::Center ? size_ / 6 : 0;
      cut.keepCount = Count(std::min(w, visible.GetRight()) - indent + size_, least, 0);
      layout = Gdiplus::RectF(indent, layout.Y, big, layout.Height);
      horz = TextAlign::Leading;
    }
  } else {
    cut.ends = horz_ == TextAlign::Trailing ? TextCut::Ends::Both : TextCut::Ends::Start;
    cut.keepCount = Count(w + size_, least, 0);
  }
  auto format = MakeFormat(wordWrap_, horz, vert);
  const std::wstring& text = TextToDraw(cut);
  g.DrawString(text.c_str(), static_cast<INT>(text.size()), font.get(), layout, format.get(), &brush);
  g.SetClip(&clip);
}

// --- Line ----------------------------------------------------------------------------------------

void Line::SetKind(LineKind kind) {
  if (kind_ == kind) return;
  kind_ = kind;
  Changed();
}

void Line::SetStroke(Stroke stroke) {
  stroke_ = stroke;
  Changed();
}

void Line::DrawSelf(Gdiplus::Graphics& g, float opacity) const {
  if (!stroke_.enabled || stroke_.thickness <= 0) return;
  const Gdiplus::Color color = WithOpacity(stroke_.color, opacity);
  const float t = stroke_.thickness;
  Gdiplus::SolidBrush brush(color);
  switch (kind_) {
    case LineKind::Top: g.FillRectangle(&brush, 0.0f, 0.0f, Width(), t); break;
    case LineKind::Left: g.FillRectangle(&brush, 0.0f, 0.0f, t, Height()); break;
    case LineKind::Diagonal: {
      Gdiplus::Pen pen(color, t);
      g.DrawLine(&pen, 0.0f, 0.0f, Width(), Height());
      break;
    }
  }
}

}  // namespace ui
