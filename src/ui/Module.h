#pragma once
// The UI layer inside the module that links it: a display program, or a scene library living in the
// host's process beside other copies of itself. Every module has its own copy of the layer's state,
// and the layer asks for this module, never the process: window classes are registered for it under
// names of its own (Window.h), thread timers call into it (Timer.h), GDI+ starts on its first use
// (GdiPlus.h), and failures go to its own sink. Rules for a library: do nothing of the layer in
// DllMain (no window, timer, picture or GDI+ session in a static object); before it is unloaded, its
// teardown destroys its windows and pictures and calls ReleaseModule on the thread that made them.
#include <exception>

namespace ui {

// Where the failures that no handler caught end up: in a display program its application's exception
// event (the application object installs itself), in a scene library a function that writes the
// library's log line. Without a sink they go to the debugger output.
using FailureSink = void (*)(const std::exception& e);
// Installs `sink` (null: none) and returns the one it replaces.
FailureSink SetFailureSink(FailureSink sink) noexcept;
// What takes the failures when no sink is installed: writes them to the debugger output.
void DebuggerSink(const std::exception& e);

// Hands a caught failure to the module's sink (an unknown one as "Unknown exception"). What the sink
// throws is dropped. Never throws.
void ReportException(std::exception_ptr e) noexcept;

// Runs `f`; whatever it throws goes to the module's sink. For the edges of Windows callbacks and of a
// library's exports. Returns false when `f` threw.
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

// Lets go of what the layer holds in this module so that a library can be unloaded: disables the
// timers still enabled, unregisters the window classes that have no window left and stops GDI+ when
// no session holds it. The module can use the layer again afterwards (a scene made anew). Returns
// false when something stays: a window of the module still exists or a GDI+ session is alive; the
// library must not be unloaded then.
bool ReleaseModule() noexcept;

}  // namespace ui
