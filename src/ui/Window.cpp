// The window procedure of every window of the layer. The object pointer travels in the creation
// parameter and is kept in the window's extra bytes, which a program that replaces the window
// procedure leaves alone. Each class counts its windows from WM_NCCREATE to WM_NCDESTROY, however
// they end; a class can only be unregistered once the last one is gone, after its WM_NCDESTROY.
#include "ui/Window.h"

#include <map>

#include "core/Exception.h"
#include "ui/Module.h"
#include "win/WinPaths.h"

namespace ui {

struct WindowClass {
  std::wstring name;  // as registered
  int windows = 0;
};

namespace {

// By requested name. Memory only: its destructor at the module's unload frees nothing else.
std::map<std::wstring, WindowClass>& Classes() {
  static std::map<std::wstring, WindowClass> classes;
  return classes;
}

std::wstring ModuleClassName(const wchar_t* requested) {
  std::wstring name = requested;
  HMODULE module = ThisModule();
  if (module == GetModuleHandleW(nullptr)) return name;
  name += L'.';
  const auto base = reinterpret_cast<uintptr_t>(module);
  for (int shift = static_cast<int>(sizeof base) * 8 - 4; shift >= 0; shift -= 4)
    name += L"0123456789ABCDEF"[(base >> shift) & 0xF];
  return name;
}

WindowClass& RegisterOnce(const wchar_t* requested, HBRUSH background, WNDPROC procedure) {
  auto& classes = Classes();
  auto it = classes.find(requested);
  if (it != classes.end()) return it->second;
  WindowClass c{ModuleClassName(requested)};
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.cbWndExtra = sizeof(Window*);
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = c.name.c_str();
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception(u"Cannot register the window class");
  return classes.emplace(requested, std::move(c)).first->second;
}

}  // namespace

Window::~Window() { DestroyHandle(); }

void Window::DestroyHandle() {
  if (!hwnd_) return;
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  UnregisterUnusedClasses();
}

bool Window::UnregisterUnusedClasses() noexcept {
  auto& classes = Classes();
  for (auto it = classes.begin(); it != classes.end();) {
    const bool gone = it->second.windows == 0 && (UnregisterClassW(it->second.name.c_str(), ThisModule()) ||
                                                   GetLastError() == ERROR_CLASS_DOES_NOT_EXIST);
    if (gone)
      it = classes.erase(it);
    else
      ++it;
  }
  return classes.empty();
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd || static_cast<ULONG_PTR>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) != reinterpret_cast<ULONG_PTR>(&Window::Procedure))
    return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
}

void Window::CreateHandle(const WindowParams& p) {
  if (hwnd_) return;
  WindowClass& c = RegisterOnce(p.className, p.background, &Window::Procedure);
  class_ = &c;
  HWND hwnd = CreateWindowExW(p.exStyle, c.name.c_str(), p.caption.c_str(), p.style, p.x, p.y, p.width, p.height,
                              p.owner, nullptr, ThisModule(), this);
  if (!hwnd) {
    class_ = nullptr;
    UnregisterUnusedClasses();
    throw Exception(u"Cannot create the window");
  }
  hwnd_ = hwnd;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return DefaultProc(msg, wParam, lParam); }

void Window::HandleFailure(std::exception_ptr e) noexcept { ReportException(e); }

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    if (self) {
      self->hwnd_ = hwnd;
      if (self->class_) ++self->class_->windows;
    }
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
    if (self->class_) --self->class_->windows;
    self->class_ = nullptr;
  }
  return result;
}

}  // namespace ui
