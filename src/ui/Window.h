#pragma once
// One C++ object per window and one window procedure for all of them: the object pointer arrives with
// WM_NCCREATE and is kept in the window's user data; the procedure hands each message to the object's
// HandleMessage under the exception guard (a failure is reported and the message answered as the
// default procedure would, or 0). A program may replace the window procedure (GWLP_WNDPROC) and pass
// messages on with CallWindowProcW to the previous one: the object is found by the window either way.
//
// Classes belong to the module that holds this code (Module.h): registered with its instance on first
// use and, in a library, under the requested name with the module's base address appended, so that
// two libraries in one process never share a class or a window procedure (a program keeps the names
// as given). A class is unregistered when the last of its windows is destroyed through DestroyHandle,
// or by ReleaseModule once its windows are gone.
#include <windows.h>

#include <exception>
#include <string>

namespace ui {

struct WindowClass;  // a registered class and its count of windows (Window.cpp)

struct WindowParams {
  const wchar_t* className = L"ZebWindow";  // registered on first use (see above)
  std::wstring caption;
  DWORD style = WS_POPUP;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND owner = nullptr;
  HBRUSH background = nullptr;  // class brush; null: the window paints everything
};

class Window {
 public:
  Window() = default;
  virtual ~Window();  // destroys the window
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  void DestroyHandle();

  // The object of a window made by this layer in this module, or null.
  static Window* FromHandle(HWND hwnd);
  // Unregisters this module's classes that have no window left; returns whether none is left
  // registered (ReleaseModule).
  static bool UnregisterUnusedClasses() noexcept;

 protected:
  // Raises Exception when the window cannot be made.
  void CreateHandle(const WindowParams& params);
  // Every message of the window. The default passes it to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Where a failure inside this window's message handling goes; default: the module's sink.
  virtual void HandleFailure(std::exception_ptr e) noexcept;
  LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  WindowClass* class_ = nullptr;  // counts this window while it exists
};

}  // namespace ui
