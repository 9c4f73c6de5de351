// Thread timers (no window): the callback finds its component by the timer's id, so a component
// that was disabled or destroyed in the meantime is never reached.
#include "ui/Timer.h"

#include <windows.h>

#include <map>

#include "ui/Module.h"

namespace ui {
namespace {

// Memory only: its destructor at the module's unload frees nothing else.
std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  Timer* timer = it->second;
  Guard([timer] { timer->Fire(); });
}

}  // namespace

Timer::~Timer() { Disarm(); }

void Timer::SetInterval(unsigned ms) {
  if (interval_ == ms) return;
  interval_ = ms;
  if (enabled_) {
    Disarm();
    Arm();
  }
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (enabled) Arm(); else Disarm();
}

void Timer::Fire() {
  if (OnTimer) OnTimer();
}

void DisableAllTimers() noexcept {
  while (!Timers().empty()) {
    Timer* timer = Timers().begin()->second;
    timer->enabled_ = false;
    timer->Disarm();
  }
}

void Timer::Arm() {
  if (interval_ == 0) return;  // a timer without interval never fires
  id_ = SetTimer(nullptr, 0, interval_, &TimerProc);
  if (id_) Timers()[id_] = this;
}

void Timer::Disarm() {
  if (!id_) return;
  KillTimer(nullptr, id_);
  Timers().erase(id_);
  id_ = 0;
}

}  // namespace ui
