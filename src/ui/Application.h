#pragma once
// The application object of a display program: holds GDI+ for the run, runs the message loop, and is
// where every failure that no handler caught ends up: while it lives it is the module's failure sink
// (Module.h). Every handler that the loop runs (window procedures, timer events, painting, animation
// ticks) runs under Guard, so no C++ exception crosses a Windows callback; what escapes goes to
// OnException. One application object exists at a time, on the user-interface thread. A scene
// library has none: its windows work without it and its failures go to the sink it installs.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "ui/GdiPlus.h"
#include "ui/Module.h"
#include "ui/Window.h"

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

  // On by default: Run shows the main form. Off: the main form stays as its creation left it (hidden)
  // until the program shows it.
  bool ShowMainForm = true;

  // The main form: made visible by Run (see ShowMainForm); closing it ends the run.
  void SetMainForm(Form& form) { mainForm_ = &form; }
  Form* MainForm() const { return mainForm_; }

  // Shows the main form (when set and ShowMainForm), then processes messages until a quit request
  // arrives.
  void Run();
  // Asks the loop to end: posts a quit request; nothing stops at once.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Runs the messages waiting in the queue and returns. A quit request met here marks the
  // application terminated and is left for Run.
  void ProcessMessages();

  // The running executable's full path (inside a library: the host's). A module's own path is
  // ModuleFileName(ThisModule()) (win/WinPaths.h).
  std::wstring ExeName() const;

  // The handler of failures that no handler caught. Without one, the failure is dropped (and written
  // to the debugger output). What the handler itself throws is dropped too.
  std::function<void(const std::exception& e)> OnException;

  // The hidden window that owns the program's windows (see MainFormOnTaskBar); null without a screen.
  HWND OwnerWindow() const { return owner_ ? owner_->Handle() : nullptr; }

 private:
  static void Sink(const std::exception& e);
  GdiPlusSession gdiplus_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  std::unique_ptr<Window> owner_;
  FailureSink previousSink_ = nullptr;
};

}  // namespace ui
