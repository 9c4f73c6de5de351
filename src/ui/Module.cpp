// The module's failure sink and its release before unloading.
#include "ui/Module.h"

#include <windows.h>

#include <utility>

#include "core/Exception.h"
#include "ui/GdiPlus.h"
#include "ui/Timer.h"
#include "ui/Window.h"
#include "win/WinText.h"

namespace ui {
namespace {

FailureSink sink = nullptr;  // a plain pointer: nothing of it runs at the module's unload

}  // namespace

void DebuggerSink(const std::exception& e) {
  OutputDebugStringW((L"Unhandled exception: " + ToW(ExceptionMessage(e)) + L"\n").c_str());
}

FailureSink SetFailureSink(FailureSink next) noexcept { return std::exchange(sink, next); }

void ReportException(std::exception_ptr e) noexcept {
  try {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      (sink ? sink : &DebuggerSink)(ex);
    } catch (...) {
      const Exception unknown(u"Unknown exception");
      (sink ? sink : &DebuggerSink)(unknown);
    }
  } catch (...) {
    // The sink failed itself: nothing is left to report to.
    OutputDebugStringW(L"The failure sink failed\n");
  }
}

bool ReleaseModule() noexcept {
  DisableAllTimers();
  const bool classesGone = Window::UnregisterUnusedClasses();
  const bool gdiplusStopped = EndGdiPlus();
  return classesGone && gdiplusStopped;
}

}  // namespace ui
