#pragma once
// The host's copy-data intake and the delayed apply, as both display programs take them. A check-data
// text replaces the kept text and starts the delayed apply anew, so that a burst of texts is applied
// once, with the last: 500 ms after a text that found no delay, 1000 ms after one that found a delay,
// whether still waiting or already expired. A waiting delay is cancelled; an expired one has posted
// WM_APPLY_DATA and ended, and is never touched again (TTimerThreadRef sees to that). A host that
// keeps sending less than a second apart would so keep the screen from ever changing: a stream of
// texts is therefore applied at the latest 2000 ms after its first text (the first that found no
// delay waiting), whatever comes after it. The programs differ in the answer they give and in how
// much of the payload they keep (IntakeRules).
#include <windows.h>

#include <cstdint>
#include <string>

#include "display/DisplayMessages.h"
#include "shared/uUtils.h"

// A window message as the display forms' message handlers take it.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// How much of a copy-data payload the text keeps. Either way the payload is read as cbData div 2
// UTF-16 code units at lpData: an odd last byte is dropped.
enum class PayloadText {
  ToFirstNul,  // up to the first NUL character, or the whole payload when it holds none
  Whole,       // every code unit, a NUL that cbData covers included
};

// What the two display programs' intakes differ in.
struct IntakeRules {
  LRESULT Answer;  // the result of every copy-data message, whatever its tag
  PayloadText Text;
};
constexpr IntakeRules kOrderDisplayIntake{0, PayloadText::ToFirstNul};
// The receipt display keeps the whole payload and reads it up to its first NUL when it applies it.
constexpr IntakeRules kReceiptDisplayIntake{1, PayloadText::Whole};

// The text of a copy-data record by `rule`; empty when the record carries no data.
std::wstring CopyDataText(const COPYDATASTRUCT& record, PayloadText rule);

constexpr int32_t kFirstDelayMs = 500;
constexpr int32_t kReplacingDelayMs = 1000;
// The longest a stream of texts waits for its apply, from the text that began it.
constexpr int32_t kLongestStreamMs = 2000;

// Makes one delay of the delayed apply: a TTimerThread created suspended with `parent` as the window
// that its WM_APPLY_DATA goes to, given `interval` and started. StartTimerThread is the programs' own;
// a test puts in one that records the interval and decides when its delay runs out.
using StartDelayFn = TTimerThreadRef (*)(HWND parent, int32_t interval);
TTimerThreadRef StartTimerThread(HWND parent, int32_t interval);
// The clock of the delayed apply, in milliseconds: SystemTickCount, or a test's own.
using TickFn = DWORD (*)();
inline DWORD SystemTickCount() { return GetTickCount(); }

// What a display form's delayed apply keeps beside the delay that ScenarioTimerThread names: how it
// makes delays and reads the clock, and the ticks at which the named delay runs out and by which the
// stream of texts it serves must be applied. Kept in the form's unit.
struct DelaySchedule {
  StartDelayFn StartDelay = &StartTimerThread;
  TickFn Now = &SystemTickCount;
  DWORD Due = 0;
  DWORD StreamDue = 0;
};

// The delayed apply of a display form, over the form's own state: the delay that its
// ScenarioTimerThread names (from its start until WM_APPLY_DATA is handled, so waiting or expired),
// the form's window, and its schedule.
struct DelayedApply {
  TTimerThreadRef& ScenarioTimerThread;
  HWND Window;
  DelaySchedule& Schedule;

  // The interval for a new check-data text: kReplacingDelayMs when ScenarioTimerThread names a delay,
  // waiting or expired, kFirstDelayMs otherwise. StartAnew may shorten it.
  int32_t CheckDataInterval() const;
  // Cancels the named delay if it still waits (an expired one is left alone), then names a new delay
  // of `interval` ms. A delay that found none waiting begins a stream, due kLongestStreamMs later; one
  // that replaced a waiting delay runs out no later than that (at once when the time has passed).
  void StartAnew(int32_t interval);
};

// One WM_COPYDATA: the result := rules.Answer; a CHECK_DATA_TAG text is logged ("receive data"), kept
// in pendingData and starts the delayed apply anew at its check-data interval. Other tags are left to
// the caller, without a log line. Returns the copy-data record (null when the message carries none),
// from which the caller reads the tags it takes besides.
const COPYDATASTRUCT* TakeCopyData(TMessage& m, const IntakeRules& rules, std::wstring& pendingData,
                                   DelayedApply delay);
