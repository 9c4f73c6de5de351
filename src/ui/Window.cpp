// The window procedure of every window of the layer. The object pointer travels in the creation
// parameter and is kept in the window's extra bytes, which a program that replaces the window
// procedure leaves alone.
#include "ui/Window.h"

#include <set>

#include "core/Exception.h"
#include "ui/Application.h"

namespace ui {
namespace {

void RegisterOnce(const wchar_t* className, HBRUSH background, WNDPROC procedure) {
  static std::set<std::wstring> registered;
  if (registered.count(className)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.cbWndExtra = sizeof(Window*);
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception(u"Cannot register the window class");
  registered.insert(className);
}

}  // namespace

Window::~Window() { DestroyHandle(); }

void Window::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd || static_cast<ULONG_PTR>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) != reinterpret_cast<ULONG_PTR>(&Window::Procedure))
    return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
}

void Window::CreateHandle(const WindowParams& p) {
  if (hwnd_) return;
  RegisterOnce(p.className, p.background, &Window::Procedure);
  HWND hwnd = CreateWindowExW(p.exStyle, p.className, p.caption.c_str(), p.style, p.x, p.y, p.width, p.height,
                              p.owner, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) throw Exception(u"Cannot create the window");
  hwnd_ = hwnd;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return DefaultProc(msg, wParam, lParam); }

void Window::HandleFailure(std::exception_ptr e) noexcept { ReportException(e); }

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    self->HandleFailure(std::current_exception());
    result = 0;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, 0, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace ui
