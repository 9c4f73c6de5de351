#pragma once
// For tests of a display form's copy-data intake: delays whose running out the test decides, the
// copy-data message as the host sends it, and the shape of a payload case.
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/Intake.h"

// Delays of the delayed apply whose running out the test decides, so that a test sees the interval of
// every delay started without waiting for it: RecordedDelays::Start, put in as the intake's
// StartDelayFn, records the interval asked for and starts a real delay that either waits until a
// cancel reaches it or, when RunOutNext asked so, runs out at once (posts WM_APPLY_DATA to its window
// and ends, the state "expired" while the form still names it).
class RecordedDelays {
 public:
  // What became of a delay at the end of a sequence.
  enum class Fate {
    Waiting,    // still waits: nothing cancelled it
    Cancelled,  // a cancel reached it while it waited
    RanOut,     // ran out at once and ended by itself: nothing is left for a cancel to reach, and a
                // cancel that touched it anyway would touch released memory (the test crashes)
  };

  RecordedDelays() { current_ = this; }
  ~RecordedDelays() {
    CancelAll();
    current_ = nullptr;
  }
  RecordedDelays(const RecordedDelays&) = delete;
  RecordedDelays& operator=(const RecordedDelays&) = delete;

  static TTimerThreadRef Start(HWND parent, int32_t interval) {
    RecordedDelays& self = *current_;
    const bool runOut = self.runOutNext_;
    self.runOutNext_ = false;
    TTimerThreadRef delay = StartTimerThread(parent, runOut ? 0 : kUntilCancelled);
    self.intervals_.push_back(interval);
    self.delays_.push_back(delay);
    self.ranOut_.push_back(runOut);
    if (runOut) {
      EXPECT_TRUE(WaitEnded(delay)) << "a delay of 0 ms posts and ends at once";
    }
    return delay;
  }

  // The next delay runs out at once; its WM_APPLY_DATA waits in the window's queue until the test
  // lets the messages run.
  void RunOutNext() { runOutNext_ = true; }

  // A clock that stands still until the test moves it, put in as the intake's TickFn: the delayed
  // apply's times then follow the test's steps, however slowly a loaded machine runs them.
  static DWORD Now() { return current_->now_; }
  void Advance(DWORD ms) { now_ += ms; }

  const std::vector<int32_t>& Intervals() const { return intervals_; }
  size_t Count() const { return delays_.size(); }

  // Each delay's fate, in the order started. A delay that waits a day ends within the test only when
  // a cancel reached it. A cancelled delay's thread needs a moment to wake and end, longer under load:
  // the delays get up to a second together to do so.
  std::vector<Fate> Fates() const {
    std::vector<Fate> fates;
    const DWORD start = GetTickCount();
    auto allEnded = [&] {
      for (const TTimerThreadRef& d : delays_)
        if (!d.Ended()) return false;
      return true;
    };
    while (!allEnded() && GetTickCount() - start < 1000) Sleep(5);
    for (size_t i = 0; i < delays_.size(); ++i) {
      if (ranOut_[i]) {
        fates.push_back(Fate::RanOut);
      } else {
        fates.push_back(delays_[i].Ended() ? Fate::Cancelled : Fate::Waiting);
      }
    }
    return fates;
  }

  void CancelAll() {
    for (auto& d : delays_) d.FinishThreadExecution();
    for (auto& d : delays_) EXPECT_TRUE(WaitEnded(d));
  }

  static bool WaitEnded(const TTimerThreadRef& d, DWORD ms = 5000) {
    const DWORD start = GetTickCount();
    while (!d.Ended() && GetTickCount() - start < ms) Sleep(1);
    return d.Ended();
  }

 private:
  static constexpr int32_t kUntilCancelled = 24 * 60 * 60 * 1000;
  static inline RecordedDelays* current_ = nullptr;
  std::vector<int32_t> intervals_;
  std::vector<TTimerThreadRef> delays_;
  std::vector<bool> ranOut_;
  bool runOutNext_ = false;
  DWORD now_ = 0xFFFFF000;  // close to the wrap of the tick count, which the intake must survive
};

inline const char* FateName(RecordedDelays::Fate f) {
  switch (f) {
    case RecordedDelays::Fate::Waiting: return "waiting";
    case RecordedDelays::Fate::Cancelled: return "cancelled";
    case RecordedDelays::Fate::RanOut: return "ran out";
  }
  return "?";
}
inline std::ostream& operator<<(std::ostream& o, RecordedDelays::Fate f) { return o << FateName(f); }

// A WM_COPYDATA sent as the host sends it; the answer comes back.
inline LRESULT SendCopyData(HWND window, ULONG_PTR tag, const void* data, DWORD bytes) {
  COPYDATASTRUCT record{tag, bytes, const_cast<void*>(data)};
  return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
}
inline LRESULT SendText(HWND window, ULONG_PTR tag, const std::wstring& text) {
  return SendCopyData(window, tag, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

// One payload of a table: the code units sent (with room beyond cbData where a case needs it), cbData,
// whether the intake takes it as check data and the text it must keep then.
struct PayloadCase {
  const char* name;
  ULONG_PTR tag;
  std::wstring units;
  DWORD bytes;
  bool taken;
  std::wstring kept;
  const void* Data() const { return bytes ? units.data() : nullptr; }
};
