#pragma once
// TTimerThread: a one-shot, cancellable delay on a thread of its own. When its interval runs out
// without a cancel it posts WM_APPLY_DATA (both parameters 0) to its parent window; either way its
// thread then ends and the delay releases itself and its event.
//
// The display form keeps a TTimerThreadRef in its ScenarioTimerThread field. The reference and the
// delay share a small state that lives until both have let go of it, so a cancel that comes after the
// delay has ended (it posted and ended, and the form has not handled the post yet) does nothing and
// never reaches released memory or a closed handle.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/DisplayMessages.h"  // WM_APPLY_DATA, a message of the display windows
#include "win/Handles.h"

class TTimerThreadRef;

class TTimerThread {
 public:
  // Creates the delay with Interval 1000. Without CreateSuspended it starts at once.
  // Raises Exception when no thread can be made.
  static TTimerThreadRef Create(bool CreateSuspended, HWND Parent);

  // Delays alive now (created and not yet released), for leak checks.
  static long LiveCount();

  struct Shared;

 private:
  TTimerThread(HWND Parent, std::shared_ptr<Shared> shared);
  ~TTimerThread();  // Destroy: closes FTickEvent, then releases the thread.
  void Execute();
  static DWORD WINAPI ThreadProc(void* self);

  win::UniqueEvent FTickEvent;
  HWND FParent;
  int32_t Interval = 1000;
  win::UniqueThread thread_;
  std::shared_ptr<Shared> shared_;

  friend class TTimerThreadRef;
};

// The holder's reference to a delay. Copies refer to the same delay. When the last holder lets go of
// a delay that was never started, the delay is cancelled and started so that its thread ends at once
// and releases it.
class TTimerThreadRef {
 public:
  TTimerThreadRef() = default;

  // Only while the delay has not been started; later calls change nothing.
  void SetInterval(int32_t ms);
  int32_t Interval() const;
  // Starts a delay created suspended; a started or ended delay is left as it is.
  void Start();
  // Cancels the delay: a waiting body wakes at once and returns without posting, a body that has not
  // started yet returns at once when it starts. After the delay has ended it does nothing.
  void FinishThreadExecution();
  // Whether the delay's body has returned (it posted or was cancelled) and the delay is released.
  bool Ended() const;

  explicit operator bool() const { return static_cast<bool>(token_); }
  void Reset() { token_.reset(); }

 private:
  struct Token;
  explicit TTimerThreadRef(std::shared_ptr<TTimerThread::Shared> shared);
  std::shared_ptr<Token> token_;
  friend class TTimerThread;
};
