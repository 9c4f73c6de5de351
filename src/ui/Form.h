#pragma once
// The display programs' form: a borderless, top-most, transparent window whose look is its control tree,
// drawn with GDI+ into a premultiplied 32-bit bitmap and handed to the window as a layered window
// (per-pixel alpha through UpdateLayeredWindow, multiplied by the form's overall opacity). By default
// it is shown without activation and a click does not activate it. It redraws only after something
// changed (a property of a control, its size, the opacity) and only while it is visible; each redraw
// is one paint, announced by OnPaint before the tree is drawn, so what OnPaint changes is in that same
// frame. The visible flag follows the window however it is shown or hidden: Show and Hide,
// ShowWindow, or SetWindowPos with SWP_SHOWWINDOW or SWP_HIDEWINDOW (which sends no WM_SHOWWINDOW).
//
// The form object exists before its window: the tree can be built and rendered without a screen.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/Animation.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Dib.h"
#include "ui/Window.h"

namespace ui {

struct FormOptions {
  const wchar_t* className = L"ZebDisplayForm";  // tests give each window class a name of its own
  int width = 768;
  int height = 1254;
  bool topMost = true;
  bool noActivate = true;   // WS_EX_NOACTIVATE, Show does not activate, no activation by a click
  bool toolWindow = false;  // WS_EX_TOOLWINDOW from the start
  // The time of the form's animation clock; empty: the performance counter with the clock's own
  // timer. With a source of its own the clock runs no timer: tests step time and call Clock().Tick().
  AnimationClock::TimeSource clockTime;
};

class Form : public Window {
 public:
  explicit Form(FormOptions options = {});
  ~Form() override;

  // Makes the window (hidden) at the form's bounds, then runs OnCreate.
  void Create();

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  void SetBounds(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  void Show();  // activates the window unless the form is made not to (FormOptions::noActivate)
  void Hide();

  // The overall opacity, 0 (transparent) to 255 (as drawn; the default): every pixel's alpha of the
  // frame is multiplied by it. A new value takes effect with the next frame, which it asks for.
  uint8_t AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(uint8_t value);

  // Asks the window to close, as the Windows close message does: OnClose runs, the form hides, and
  // when it is the application's main form the application ends its run.
  void Close();

  // The client area: a layout of the form's size at (0, 0) that holds the form's controls.
  Layout& Root() { return root_; }
  const Layout& Root() const { return root_; }
  AnimationClock& Clock() { return clock_; }

  std::function<void()> OnCreate;
  std::function<void()> OnClose;
  std::function<void()> OnPaint;
  // Runs after the window was shown (true) or hidden (false), before the first paint after a show.
  std::function<void(bool shown)> OnVisibleChanged;

  // Something drawn changed (everywhere, or in an area of the client): a paint follows from the
  // message loop while the form is visible. A paint redraws only the areas changed since the last.
  void Invalidate();
  void InvalidateArea(const RectF& area);
  bool Dirty() const { return dirty_; }
  // Paints now (OnPaint, draw, hand the frame to the window) when visible.
  void PaintNow();
  // How many frames were handed to the window so far (a frame sent again at a new opacity counts),
  // and how many of them were partial.
  unsigned RedrawCount() const { return redraws_; }
  unsigned PartialRedrawCount() const { return partialRedraws_; }

  // The form's current look at its size, without a screen (OnPaint does not run).
  Bitmap RenderFrame() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
  void RequestPaint();
  void ApplyBounds();
  FormOptions options_;
  std::wstring caption_;
  int left_ = 0, top_ = 0, width_, height_;
  bool visible_ = false;
  bool dirty_ = true;
  bool fullDirty_ = true;
  RectF dirtyArea_;
  bool paintPosted_ = false;
  bool painting_ = false;
  uint8_t alphaBlendValue_ = 255;
  bool blendChanged_ = false;  // the frame goes to the window again, whole, even when nothing else changed
  unsigned redraws_ = 0;
  unsigned partialRedraws_ = 0;
  Layout root_;
  AnimationClock clock_;
  std::unique_ptr<Dib> surface_;  // the frame
};

}  // namespace ui
