// The layered display window. Layered windows that are fed through UpdateLayeredWindow get no
// WM_PAINT of their own, so the form paints itself: a change marks it dirty and posts one private
// paint message; the paint draws the whole tree into a DIB section and hands it to the window.
#include "ui/Form.h"

#include <utility>

#include "core/Exception.h"
#include "core/ScopeExit.h"
#include "ui/Application.h"
#include "ui/Renderer.h"

namespace ui {
namespace {

UINT PaintMessage() {
  static const UINT message = RegisterWindowMessageW(L"ZebUiFormPaint");
  return message;
}

}  // namespace

Form::Form(FormOptions options)
    : options_(options),
      width_(options.width),
      height_(options.height),
      clock_(options.clockTime ? AnimationClock(options.clockTime) : AnimationClock()) {
  root_.SetSize(static_cast<float>(width_), static_cast<float>(height_));
  root_.SetChangeSink([this](const RectF& area) { InvalidateArea(area); });
}

Form::~Form() { DestroyHandle(); }

void Form::Create() {
  if (HandleAllocated()) return;
  Application* app = Application::Current();
  WindowParams p;
  p.className = options_.className;
  p.caption = caption_;
  p.style = WS_POPUP;
  p.exStyle = WS_EX_LAYERED;
  if (options_.topMost) p.exStyle |= WS_EX_TOPMOST;
  if (options_.noActivate) p.exStyle |= WS_EX_NOACTIVATE;
  if (options_.toolWindow) p.exStyle |= WS_EX_TOOLWINDOW;
  p.x = left_;
  p.y = top_;
  p.width = width_;
  p.height = height_;
  const bool ownWindow = app && app->MainFormOnTaskBar && app->MainForm() == this;
  p.owner = app && !ownWindow ? app->OwnerWindow() : nullptr;
  const bool showAfter = visible_;
  visible_ = false;
  CreateHandle(p);
  if (OnCreate) OnCreate();
  if (showAfter) Show();
}

void Form::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (HandleAllocated()) SetWindowTextW(Handle(), caption_.c_str());
}

void Form::SetLeft(int v) { SetBounds(v, top_, width_, height_); }
void Form::SetTop(int v) { SetBounds(left_, v, width_, height_); }
void Form::SetWidth(int v) { SetBounds(left_, top_, v, height_); }
void Form::SetHeight(int v) { SetBounds(left_, top_, width_, v); }

void Form::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  ApplyBounds();
  root_.SetSize(static_cast<float>(width_), static_cast<float>(height_));
}

void Form::ApplyBounds() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
  if (!HandleAllocated()) {
    visible_ = true;  // shown once the window exists
    return;
  }
  if (visible_ && IsWindowVisible(Handle())) return;
  ShowWindow(Handle(), options_.noActivate ? SW_SHOWNOACTIVATE : SW_SHOW);
  visible_ = true;
  Invalidate();
}

void Form::Hide() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  visible_ = false;
}

void Form::SetAlphaBlendValue(uint8_t value) {
  if (value == alphaBlendValue_) return;
  alphaBlendValue_ = value;
  blendChanged_ = true;
  if (!painting_) RequestPaint();
}

void Form::Close() {
  if (HandleAllocated()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void Form::Invalidate() {
  fullDirty_ = true;
  dirty_ = true;
  if (!painting_) RequestPaint();
}

void Form::InvalidateArea(const RectF& area) {
  dirtyArea_ = dirtyArea_.Union(area);
  dirty_ = true;
  if (!painting_) RequestPaint();
}

void Form::RequestPaint() {
  if (paintPosted_ || !visible_ || !HandleAllocated()) return;
  if (PostMessageW(Handle(), PaintMessage(), 0, 0)) paintPosted_ = true;
}

void Form::PaintNow() { Paint(); }

void Form::Paint() {
  paintPosted_ = false;
  if (!HandleAllocated() || !visible_ || painting_) return;
  painting_ = true;
  auto done = ScopeExit([&] { painting_ = false; });
  if (OnPaint) OnPaint();
  if (!visible_ || width_ <= 0 || height_ <= 0) return;
  if (!surface_ || surface_->Width() != width_ || surface_->Height() != height_) {
    surface_.reset();
    surface_ = std::make_unique<Dib>(width_, height_);
    if (!*surface_) {
      surface_.reset();
      throw Exception(u"Cannot make the window's frame");
    }
    fullDirty_ = true;
  }
  const bool partial = !fullDirty_;
  const RectF area = dirtyArea_;
  dirty_ = fullDirty_ = false;
  dirtyArea_ = RectF{};
  const PixelRect drawn = RenderInto(root_, surface_->Bits(), width_, height_, width_ * 4, partial ? &area : nullptr);
  // A new opacity changes every pixel on the screen: the whole frame goes again.
  const bool blendChanged = std::exchange(blendChanged_, false);
  const bool whole = !partial || blendChanged;
  if (!whole && drawn.Empty()) return;  // the change lay outside the window
  POINT position{left_, top_};
  SIZE size{width_, height_};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alphaBlendValue_, AC_SRC_ALPHA};
  const RECT dirty{drawn.left, drawn.top, drawn.right, drawn.bottom};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.pptDst = &position;
  info.psize = &size;
  info.hdcSrc = surface_->Dc();
  info.pptSrc = &origin;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = whole ? nullptr : &dirty;
  // Only the changed part of the frame goes to the window; the full call where the partial one fails.
  if (!UpdateLayeredWindowIndirect(Handle(), &info))
    UpdateLayeredWindow(Handle(), nullptr, &position, &size, surface_->Dc(), &origin, 0, &blend, ULW_ALPHA);
  if (!whole) ++partialRedraws_;
  ++redraws_;
}

Bitmap Form::RenderFrame() const { return RenderToBitmap(root_, width_, height_); }

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == PaintMessage()) {
    Paint();
    return 0;
  }
  switch (msg) {
    case WM_PAINT:
      // Only in case the system asks: the frame is already with the window.
      ValidateRect(Handle(), nullptr);
      if (dirty_) Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      if (options_.noActivate) return MA_NOACTIVATE;
      break;
    case WM_WINDOWPOSCHANGED: {
      // Every change of visibility ends here, also when the program shows or hides the window
      // through its handle: ShowWindow, and SetWindowPos with SWP_SHOWWINDOW or SWP_HIDEWINDOW.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (pos->flags & SWP_SHOWWINDOW) {
        visible_ = true;
        Invalidate();
        if (OnVisibleChanged) OnVisibleChanged(true);
      } else if (pos->flags & SWP_HIDEWINDOW) {
        visible_ = false;
        // A hidden window needs no frame: the first paint after the next show makes it again and
        // draws it whole. Taking the layered style off and on lets the system drop its copy of the
        // frame too; the window shows nothing until that paint hands it the new one.
        surface_.reset();
        fullDirty_ = true;
        const LONG exStyle = GetWindowLongW(Handle(), GWL_EXSTYLE);
        if (exStyle & WS_EX_LAYERED) {
          SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
          SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle);
        }
        if (OnVisibleChanged) OnVisibleChanged(false);
      }
      if (!(pos->flags & SWP_NOMOVE)) {
        left_ = pos->x;
        top_ = pos->y;
      }
      if (!(pos->flags & SWP_NOSIZE) && (pos->cx != width_ || pos->cy != height_)) {
        width_ = pos->cx;
        height_ = pos->cy;
        root_.SetSize(static_cast<float>(width_), static_cast<float>(height_));
      }
      return 0;
    }
    case WM_CLOSE: {
      if (OnClose) OnClose();
      Hide();
      Application* app = Application::Current();
      if (app && app->MainForm() == this) app->Terminate();
      return 0;
    }
    default:
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace ui
