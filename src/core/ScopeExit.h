#pragma once
// Runs a closure when the scope ends, whichever way it ends (return or exception):
// `auto done = ScopeExit([&] { painting_ = false; });`
#include <utility>

template <class F>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(F f) noexcept(noexcept(F(std::move(f)))) : f_(std::move(f)) {}
  ~ScopeExit() {
    if (active_) f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  // The closure will not run.
  void Dismiss() noexcept { active_ = false; }

 private:
  F f_;
  bool active_ = true;
};

template <class F>
ScopeExit(F) -> ScopeExit<F>;
