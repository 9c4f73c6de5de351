// The opaque picture window and the GDI copy of a picture that it blits from.
#include "ui/PlainForm.h"

#include <cstring>

#include "core/Exception.h"
#include "core/ScopeExit.h"
#include "ui/Application.h"
#include "win/WinText.h"

namespace ui {

PlainForm::PlainForm(PlainFormOptions options)
    : options_(options), width_(options.width), height_(options.height) {}

PlainForm::~PlainForm() { DestroyHandle(); }

void PlainForm::Create() {
  if (HandleAllocated()) return;
  Application* app = Application::Current();
  WindowParams p;
  p.className = options_.className;
  p.style = WS_POPUP | WS_CLIPCHILDREN;
  p.x = left_;
  p.y = top_;
  p.width = width_;
  p.height = height_;
  // Owned by the application's hidden window: no taskbar button of its own.
  p.owner = app ? app->OwnerWindow() : nullptr;
  CreateHandle(p);
}

void PlainForm::SetLeft(int v) {
  left_ = v;
  ApplyBounds();
}
void PlainForm::SetTop(int v) {
  top_ = v;
  ApplyBounds();
}
void PlainForm::SetWidth(int v) {
  width_ = v;
  ApplyBounds();
}
void PlainForm::SetHeight(int v) {
  height_ = v;
  ApplyBounds();
}

void PlainForm::ApplyBounds() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlainForm::Show() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_SHOW);
}

void PlainForm::Hide() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void PlainForm::Close() {
  if (HandleAllocated()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool PlainForm::Visible() const { return HandleAllocated() && IsWindowVisible(Handle()); }

LRESULT PlainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wParam && OnActivate) OnActivate();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && OnActivate) OnActivate();
      break;
    case WM_ERASEBKGND:
      return OnEraseBackground ? OnEraseBackground(reinterpret_cast<HDC>(wParam)) : 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      auto end = ScopeExit([&] { EndPaint(Handle(), &ps); });
      if (OnPaint) OnPaint(dc);
      return 0;
    }
    case WM_CLOSE:
      if (OnClose) OnClose();
      Hide();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) {
        left_ = pos->x;
        top_ = pos->y;
      }
      if (!(pos->flags & SWP_NOSIZE)) {
        width_ = pos->cx;
        height_ = pos->cy;
      }
      break;
    }
    default:
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

void PlainForm::HandleFailure(std::exception_ptr e) noexcept {
  try {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      if (OnException) OnException(ex);
      else OutputDebugStringW((L"Exception in a window: " + ToW(ExceptionMessage(ex)) + L"\n").c_str());
    }
  } catch (...) {
    OutputDebugStringW(L"Exception in a window\n");
  }
}

// --- GdiBitmap -----------------------------------------------------------------------------------

GdiBitmap::GdiBitmap(const Bitmap& picture) : dib_(picture.Width(), picture.Height()) {
  if (!dib_) throw Exception(u"Cannot make a bitmap of the picture");
  std::memcpy(dib_.Bits(), picture.Bits(), static_cast<size_t>(dib_.Width()) * dib_.Height() * 4);
}

void GdiBitmap::CopyTo(HDC target, int x, int y, int w, int h, int sx, int sy) const {
  BitBlt(target, x, y, w, h, dib_.Dc(), sx, sy, SRCCOPY);
}

}  // namespace ui
