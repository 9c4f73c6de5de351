// The host's messages to the display window: check data in WM_COPYDATA, show and hide, and the
// delayed apply. Each check-data text goes into PendingData and is applied only when no newer text
// has come for 500 ms (1000 ms after a text that replaced a pending one), so that a burst of texts is
// applied once, with the last.
#include "orderdisplay/TwoLinesForm.h"

#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

LRESULT CALLBACK DisplayWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TwoLinesFormUnit& u = Unit();
  TfmOrderlume* form = u.fmOrderlume;
  const bool ours = msg == WM_COPYDATA || msg == WM_HIDE_DISPLAY || msg == WM_SHOW_DISPLAY ||
                    msg == WM_APPLY_DATA;
  if (form && hwnd == form->Handle() && ours) {
    TMessage m{msg, wParam, lParam, 0};
    // The handlers have no guard of their own: what escapes goes to the application's handler.
    ui::Guard([&] {
      switch (msg) {
        case WM_COPYDATA: form->WMCopyData(m); break;
        case WM_HIDE_DISPLAY: form->WMHideDisplay(m); break;
        case WM_SHOW_DISPLAY: form->WMShowDisplay(m); break;
        case WM_APPLY_DATA: form->WMApplyData(m); break;
      }
    });
    return 0;
  }
  return CallWindowProcW(u.PreviousWindowProc, hwnd, msg, wParam, lParam);
}

void TfmOrderlume::WMCopyData(TMessage& m) {
  const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
  if (!record || record->dwData != CHECK_DATA_TAG) return;
  TwoLinesFormUnit& u = Unit();
  WriteLog(L"receive data", 3, true);
  // Up to the first zero character or the end of the payload; an odd last byte is left out.
  const size_t count = record->lpData ? record->cbData / 2 : 0;
  const auto* chars = static_cast<const wchar_t*>(record->lpData);
  size_t length = 0;
  while (length < count && chars[length] != L'\0') ++length;
  u.PendingData.assign(chars ? chars : L"", length);

  // A waiting delay is cancelled; one that has already posted is left alone (the reference knows).
  // The interval depends only on whether the field refers to a delay.
  int32_t interval = 500;
  if (ScenarioTimerThread) {
    ScenarioTimerThread.FinishThreadExecution();
    interval = 1000;
  }
  ScenarioTimerThread = TTimerThread::Create(true, Handle());
  ScenarioTimerThread.SetInterval(interval);
  ScenarioTimerThread.Start();
}

void TfmOrderlume::WMApplyData(TMessage& m) {
  WriteLog(L"> apply data", 3, true);
  FormSetText(ToAnsi(ToU16(Unit().PendingData)));
  ScenarioTimerThread.Reset();
  WriteLog(L"< apply data", 3, true);
}

void TfmOrderlume::WMShowDisplay(TMessage& m) {
  if (!Unit().AnimationFrames.empty()) Timer.SetEnabled(true);
  if (!Visible()) Show();
}

void TfmOrderlume::WMHideDisplay(TMessage& m) {
  Timer.SetEnabled(false);
  if (Visible()) Hide();
}
