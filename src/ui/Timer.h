#pragma once
// A timer component: a Windows thread timer of the thread that enables it, delivered by that thread's
// message loop to this module's callback. Its event runs under the exception guard, so nothing it
// throws crosses the timer callback; a failure goes to the module's sink (Module.h). Disabled when
// destroyed; a library's teardown also disables what is left through ReleaseModule.
#include <cstdint>
#include <functional>

namespace ui {

// Disables every timer of this module that is still enabled (ReleaseModule).
void DisableAllTimers() noexcept;

class Timer {
 public:
  Timer() = default;
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);  // 1000 ms by default; takes effect at once when enabled
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  // Runs the event as a tick would (tests, benchmarks).
  void Fire();

 private:
  friend void DisableAllTimers() noexcept;
  void Arm();
  void Disarm();
  unsigned interval_ = 1000;
  bool enabled_ = false;
  uintptr_t id_ = 0;
};

}  // namespace ui
