#include "display/Intake.h"

#include <algorithm>

#include "shared/Logging.h"

std::wstring CopyDataText(const COPYDATASTRUCT& record, PayloadText rule) {
  if (!record.lpData) return {};
  const auto* chars = static_cast<const wchar_t*>(record.lpData);
  size_t length = record.cbData / 2;
  if (rule == PayloadText::ToFirstNul) {
    size_t i = 0;
    while (i < length && chars[i] != L'\0') ++i;
    length = i;
  }
  return std::wstring(chars, length);
}

TTimerThreadRef StartTimerThread(HWND parent, int32_t interval) {
  TTimerThreadRef delay = TTimerThread::Create(true, parent);
  delay.SetInterval(interval);
  delay.Start();
  return delay;
}

int32_t DelayedApply::CheckDataInterval() const {
  return ScenarioTimerThread ? kReplacingDelayMs : kFirstDelayMs;
}

void DelayedApply::StartAnew(int32_t interval) {
  const bool replacesWaiting = ScenarioTimerThread && !ScenarioTimerThread.Ended();
  // Reaches the delay only while it waits: after its post it has ended, and the reference knows.
  ScenarioTimerThread.FinishThreadExecution();
  const DWORD now = Schedule.Now();
  if (!replacesWaiting) {
    Schedule.StreamDue = now + kLongestStreamMs;
  } else {
    // Tick counts wrap: the time left is read as a signed difference.
    const int32_t left = static_cast<int32_t>(Schedule.StreamDue - now);
    interval = std::clamp(left, 0, interval);
  }
  ScenarioTimerThread = Schedule.StartDelay(Window, interval);
  Schedule.Due = now + static_cast<DWORD>(interval);
}

const COPYDATASTRUCT* TakeCopyData(TMessage& m, const IntakeRules& rules, std::wstring& pendingData,
                                   DelayedApply delay) {
  m.Result = rules.Answer;
  const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
  if (!record || record->dwData != CHECK_DATA_TAG) return record;
  WriteLog(L"receive data", 3, true);
  pendingData = CopyDataText(*record, rules.Text);
  delay.StartAnew(delay.CheckDataInterval());
  return record;
}
