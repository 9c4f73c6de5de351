// The message loop and the last-resort failure handling of a display program.
#include "ui/Application.h"

#include "core/Exception.h"
#include "ui/Form.h"
#include "win/WinPaths.h"

namespace ui {
namespace {

Application* current = nullptr;

// Never shown: it only owns the program's windows so that none of them gets a taskbar button.
class Owner : public Window {
 public:
  Owner() {
    WindowParams p;
    p.className = L"ZebApplicationOwner";
    p.exStyle = WS_EX_TOOLWINDOW;
    CreateHandle(p);
  }
};

}  // namespace

Application::Application() {
  if (current) throw Exception(u"An application object exists already");
  try {
    owner_ = std::make_unique<Owner>();
  } catch (const Exception&) {
    // Without a display there is no window to own the others; the forms then fail on their own.
  }
  current = this;
  previousSink_ = SetFailureSink(&Application::Sink);
}

Application::~Application() {
  SetFailureSink(previousSink_);
  owner_.reset();
  current = nullptr;
}

void Application::Sink(const std::exception& e) {
  if (current && current->OnException) current->OnException(e); else DebuggerSink(e);
}

Application* Application::Current() { return current; }

void Application::Run() {
  if (ShowMainForm && mainForm_ && !mainForm_->Visible()) Guard([&] { mainForm_->Show(); });
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

}  // namespace ui
