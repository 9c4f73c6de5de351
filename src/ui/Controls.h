#pragma once
// The retained-mode controls of the order display: plain objects in a tree, each owning its children,
// with the properties the program sets. Coordinates are in the form's design units (device pixels at
// scale 1), relative to the parent; x to the right, y down. A control's scale applies to itself and its
// children around its own top-left corner; opacity multiplies down the tree; a hidden control hides its
// subtree. Every setter that changes what is drawn reports to the root's change sink (the form marks
// itself dirty there), so nothing is redrawn unless something changed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Color.h"

namespace Gdiplus {
class Graphics;
}

namespace ui {

struct PointF {
  float X = 0;
  float Y = 0;
};

struct RectF {
  float X = 0, Y = 0, Width = 0, Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  float Right() const { return X + Width; }
  float Bottom() const { return Y + Height; }
  RectF Union(const RectF& o) const;
  bool Intersects(const RectF& o) const;
  RectF Inflated(float d) const { return {X - d, Y - d, Width + 2 * d, Height + 2 * d}; }
};

class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Makes a child, owned by this control, drawn above the children added before it.
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *child;
    Adopt(std::move(child));
    return ref;
  }
  Control* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }

  std::wstring Name;  // for diagnostics only

  float X() const { return x_; }
  float Y() const { return y_; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  void SetX(float x);
  void SetY(float y);
  void SetPosition(float x, float y);
  virtual void SetWidth(float w);
  virtual void SetHeight(float h);
  void SetSize(float w, float h);
  void SetBounds(float x, float y, float w, float h);

  float ScaleX() const { return scaleX_; }
  float ScaleY() const { return scaleY_; }
  void SetScale(float sx, float sy);

  float Opacity() const { return opacity_; }
  void SetOpacity(float opacity);  // clamped to 0..1

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  // Only the root of a tree has one; Changed() from anywhere in the tree reaches it with the area, in
  // the root's coordinates, where the control's subtree draws (nothing when it is hidden). Geometry
  // setters report the area before and after the change.
  using ChangeSink = std::function<void(const RectF& area)>;
  void SetChangeSink(ChangeSink sink) { sink_ = std::move(sink); }
  void Changed() const;
  RectF AreaInRoot() const;

  // How far this control may draw beyond its box (anti-aliasing; a text's glyphs).
  virtual float Spill() const { return 2.0f; }

  // Draws this control alone (not its children) in its own coordinates, its box being
  // (0, 0, Width, Height), with the opacity already multiplied down the tree.
  virtual void DrawSelf(Gdiplus::Graphics& g, float opacity) const {}

 private:
  void Adopt(std::unique_ptr<Control> child);
  Control* parent_ = nullptr;
  std::vector<std::unique_ptr<Control>> children_;
  RectF SubtreeArea() const;  // in this control's own coordinates
  ChangeSink sink_;
  float x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  float scaleX_ = 1, scaleY_ = 1;
  float opacity_ = 1;
  bool visible_ = true;
};

// A group that draws nothing itself.
class Layout : public Control {};

struct GradientStop {
  Color color;
  float offset;  // 0..1 along the gradient
};

// How a shape is filled. A linear gradient runs from StartPoint to StopPoint, both relative to the
// shape's box (0..1); the default is from the middle of the left edge to the middle of the right edge.
struct Fill {
  enum class Kind { None, Solid, LinearGradient };
  Kind kind = Kind::Solid;
  Color color = 0xFFE0E0E0u;
  std::vector<GradientStop> stops;
  PointF startPoint{0.0f, 0.5f};
  PointF stopPoint{1.0f, 0.5f};

  static Fill None() {
    Fill f;
    f.kind = Kind::None;
    return f;
  }
  static Fill Solid(Color c) {
    Fill f;
    f.color = c;
    return f;
  }
  // From the middle of the left edge to the middle of the right edge.
  static Fill Horizontal(std::vector<GradientStop> stops) {
    Fill f;
    f.kind = Kind::LinearGradient;
    f.stops = std::move(stops);
    return f;
  }
};

// An outline drawn just inside the shape's box. The default is a solid black line 1 unit wide.
struct Stroke {
  bool enabled = true;
  Color color = kBlack;
  float thickness = 1.0f;

  static Stroke None() {
    Stroke s;
    s.enabled = false;
    return s;
  }
};

class Rectangle : public Control {
 public:
  const Fill& GetFill() const { return fill_; }
  void SetFill(Fill fill);
  const Stroke& GetStroke() const { return stroke_; }
  void SetStroke(Stroke stroke);
  void DrawSelf(Gdiplus::Graphics& g, float opacity) const override;

 private:
  Fill fill_;
  Stroke stroke_;
};

// How an image places its picture in its box: stretched over it, tiled from its top-left corner,
// fitted inside it keeping its proportions (centred), or at its own size at the top-left corner.
enum class WrapMode { Stretch, Tile, Fit, Original };

class Image : public Control {
 public:
  const Bitmap& GetBitmap() const { return bitmap_; }
  void SetBitmap(const Bitmap& bitmap);  // the image keeps its own copy
  void SetBitmap(Bitmap&& bitmap);
  // Changes the image's own picture in place (no copy of its pixels), then reports the change.
  void EditBitmap(const std::function<void(Bitmap& bitmap)>& edit);
  void ClearBitmap();
  WrapMode GetWrapMode() const { return wrap_; }
  void SetWrapMode(WrapMode mode);
  void DrawSelf(Gdiplus::Graphics& g, float opacity) const override;

 private:
  Bitmap bitmap_;
  WrapMode wrap_ = WrapMode::Fit;
};

enum class TextAlign { Leading, Center, Trailing };

struct TextCut;  // TextCut.h

// A text in a box. With AutoSize on, the box follows the text: when the text wraps, only the height
// follows (at the box's width); when it does not, width and height follow. A text larger than the
// window (the root's box) can show is measured only that far: the box then reaches well past the
// window and keeps its text where the full box has it, from its top, and on one line from its left
// edge (a sixth of the font size in when centred) or up to its right edge when right-aligned. Only
// the part of a text that can appear in its box goes to GDI+ (TextCut.h). Measuring needs GDI+
// running. A family that is not installed is replaced by ResolveFontFamily (Fonts.h).
class Text : public Control {
 public:
  const std::wstring& GetText() const { return text_; }
  void SetText(const std::wstring& text);

  const std::wstring& FontFamily() const { return family_; }
  void SetFontFamily(const std::wstring& family);
  float FontSize() const { return size_; }
  void SetFontSize(float size);  // em height in design units
  bool Bold() const { return bold_; }
  void SetBold(bool bold);
  Color GetColor() const { return color_; }
  void SetColor(Color color);

  TextAlign HorzAlign() const { return horz_; }
  TextAlign VertAlign() const { return vert_; }
  void SetHorzAlign(TextAlign a);
  void SetVertAlign(TextAlign a);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

  void SetWidth(float w) override;
  float Spill() const override { return size_ + 2.0f; }

  // The width the text takes on one line, and the size it takes when wrapped at `width`.
  float MeasuredWidth() const;
  PointF MeasureWrapped(float width) const;

  void DrawSelf(Gdiplus::Graphics& g, float opacity) const override;

 private:
  void Refit();
  // What the auto-size takes from the text: measured only as far as the window can show it.
  struct Fit {
    PointF size;
    bool cutWidth = false, cutHeight = false;  // the text goes on beyond the window that way
  };
  Fit MeasureForWindow() const;
  // The text as GDI+ gets it for a frame, cut to what can appear; kept for the next frame.
  struct DrawnText;
  const std::wstring& TextToDraw(const TextCut& cut) const;
  std::wstring text_;
  unsigned long long textRevision_ = 0;
  mutable std::shared_ptr<DrawnText> drawn_;
  // The last auto-size, and whether it stopped short of the text's own size.
  float autoWidth_ = -1, autoHeight_ = -1;
  bool cutWidth_ = false, cutHeight_ = false;
  std::wstring family_ = L"Tahoma";
  float size_ = 12.0f;
  bool bold_ = false;
  Color color_ = kBlack;
  TextAlign horz_ = TextAlign::Center;
  TextAlign vert_ = TextAlign::Center;
  bool wordWrap_ = true;
  bool autoSize_ = false;
};

// A straight line in its box: along its top edge, along its left edge, or from corner to corner.
enum class LineKind { Top, Left, Diagonal };

class Line : public Control {
 public:
  LineKind Kind() const { return kind_; }
  void SetKind(LineKind kind);
  const Stroke& GetStroke() const { return stroke_; }
  void SetStroke(Stroke stroke);
  void DrawSelf(Gdiplus::Graphics& g, float opacity) const override;

 private:
  LineKind kind_ = LineKind::Diagonal;
  Stroke stroke_;
};

}  // namespace ui
