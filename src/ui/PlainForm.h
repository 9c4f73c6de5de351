#pragma once
// A plain opaque window for a picture: borderless, not top-most, painted by its owner's handlers (the
// background picture window is built on it). The class brush is null and WM_ERASEBKGND goes to
// OnEraseBackground, so nothing erases the window unless the owner does. Failures inside its handlers
// stay with the window (OnException, by default written to the debugger output) and do not reach the
// application's exception event; the program goes on.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/Bitmap.h"
#include "ui/Dib.h"
#include "ui/Window.h"

namespace ui {

struct PlainFormOptions {
  const wchar_t* className = L"ZebPlainForm";
  int width = 768;
  int height = 1024;
};

class PlainForm : public Window {
 public:
  explicit PlainForm(PlainFormOptions options = {});
  ~PlainForm() override;

  // Makes the window, hidden, at the form's bounds.
  void Create();

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);

  void Show();  // normal show: activates the window
  void Hide();
  void Close();  // the Windows close message: OnClose, then hidden
  bool Visible() const;

  // Events. OnActivate runs on show and on every activation; OnPaint with the paint DC between
  // BeginPaint and EndPaint; OnEraseBackground answers WM_ERASEBKGND (its result is the message's).
  std::function<void()> OnActivate;
  std::function<void(HDC dc)> OnPaint;
  std::function<LRESULT(HDC dc)> OnEraseBackground;
  std::function<void()> OnClose;
  std::function<void(const std::exception& e)> OnException;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void HandleFailure(std::exception_ptr e) noexcept override;

 private:
  void ApplyBounds();
  PlainFormOptions options_;
  int left_ = 0, top_ = 0, width_, height_;
};

// A GDI copy of a picture for BitBlt and pattern brushes, held in a memory DC.
class GdiBitmap {
 public:
  explicit GdiBitmap(const Bitmap& picture);  // raises Exception on failure
  int Width() const { return dib_.Width(); }
  int Height() const { return dib_.Height(); }
  HBITMAP Handle() const { return dib_.Bitmap(); }
  HDC Dc() const { return dib_.Dc(); }
  // Copies the pixels (SRCCOPY) from (sx, sy) of the picture to (x, y, w, h) of `target`.
  void CopyTo(HDC target, int x, int y, int w, int h, int sx = 0, int sy = 0) const;

 private:
  Dib dib_;
};

}  // namespace ui
