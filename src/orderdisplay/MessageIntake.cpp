// The host's messages to the display window: check data in WM_COPYDATA, show and hide, and the
// delayed apply. Each check-data text goes into PendingData and is applied only when no newer text
// has come for 500 ms (1000 ms after a text that replaced a pending one), so that a burst of texts is
// applied once, with the last; a stream that goes on is applied 2000 ms after its first text.
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
  TwoLinesFormUnit& u = Unit();
  TakeCopyData(m, kOrderDisplayIntake, u.PendingData, {ScenarioTimerThread, Handle(), u.Delays});
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
