// The message loop and the last-resort failure handling of a display program.
#include "ui/Application.h"

#include "core/Exception.h"
#include "ui/Form.h"
#include "win/WinPaths.h"
#include "win/WinText.h"

namespace ui {
namespace {

Application* current = nullptr;
const wchar_t kOwnerClass[] = L"ZebApplicationOwner";

HWND MakeOwnerWindow() {
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    registered = RegisterClassExW(&wc) != 0;
  }
  // Never shown: it only owns the program's windows so that none of them gets a taskbar button.
  // Without a display there is no window to own them; the forms then fail on their own.
  return CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr);
}

void DebugOutput(const std::exception& e) {
  OutputDebugStringW((L"Unhandled exception: " + ToW(ExceptionMessage(e)) + L"\n").c_str());
}

}  // namespace

Application::Application() {
  if (current) throw Exception(u"An application object exists already");
  owner_ = MakeOwnerWindow();
  current = this;
}

Application::~Application() {
  if (owner_) DestroyWindow(owner_);
  current = nullptr;
}

Application* Application::Current() { return current; }

void Application::Run() {
  if (mainForm_ && !mainForm_->Visible()) Guard([&] { mainForm_->Show(); });
  MSG msg;
  while (!terminated_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  terminated_ = true;
}

void Application::Terminate() { PostQuitMessage(0); }

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::wstring Application::ExeName() const { return ModuleFileName(nullptr); }

void Application::HandleException(std::exception_ptr e) {
  try {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      if (OnException) OnException(ex); else DebugOutput(ex);
    } catch (...) {
      const Exception unknown(u"Unknown exception");
      if (OnException) OnException(unknown); else DebugOutput(unknown);
    }
  } catch (...) {
    // The handler failed itself: nothing is left to report to.
    OutputDebugStringW(L"The exception handler failed\n");
  }
}

void ReportException(std::exception_ptr e) noexcept {
  if (current) {
    current->HandleException(e);
    return;
  }
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    DebugOutput(ex);
  } catch (...) {
    OutputDebugStringW(L"Unhandled exception\n");
  }
}

}  // namespace ui
