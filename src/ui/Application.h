#pragma once
// The application object of a display program: owns GDI+, runs the message loop, and is where every
// failure that no handler caught ends up. Every handler that the loop runs (window procedures, timer
// events, painting, animation ticks) runs under Guard, so no C++ exception crosses a Windows callback;
// what escapes goes to OnException. One application object exists at a time, on the user-interface
// thread.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "ui/GdiPlus.h"

namespace ui {

class Form;

class Application {
 public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application object alive now, or null.
  static Application* Current();

  // Off by default: the program's windows are owned by the application's hidden window and so have
  // no taskbar button. On: the main form is a window of its own (it then gets a button unless it is a
  // tool window). Read when a form creates its window.
  bool MainFormOnTaskBar = false;

  // The main form: made visible by Run; closing it ends the run.
  void SetMainForm(Form& form) { mainForm_ = &form; }
  Form* MainForm() const { return mainForm_; }

  // Shows the main form (when set), then processes messages until a quit request arrives.
  void Run();
  // Asks the loop to end: posts a quit request; nothing stops at once.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Runs the messages waiting in the queue and returns. A quit request met here marks the
  // application terminated and is left for Run.
  void ProcessMessages();

  // The running executable's full path.
  std::wstring ExeName() const;

  // The handler of failures that no handler caught. Without one, the failure is dropped (and written
  // to the debugger output). What the handler itself throws is dropped too.
  std::function<void(const std::exception& e)> OnException;
  void HandleException(std::exception_ptr e);

  // The hidden window that owns the program's windows (see MainFormOnTaskBar).
  HWND OwnerWindow() const { return owner_; }

 private:
  GdiPlusSession gdiplus_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  HWND owner_ = nullptr;
};

// Hands a caught failure to the current application (or drops it when there is none). Never throws.
void ReportException(std::exception_ptr e) noexcept;

// Runs `f`; whatever it throws goes to the current application's OnException. For the edges of
// Windows callbacks. Returns false when `f` threw.
template <class F>
bool Guard(F&& f) noexcept {
  try {
    f();
    return true;
  } catch (...) {
    ReportException(std::current_exception());
    return false;
  }
}

}  // namespace ui
