// The host's messages to the receipt display: check data, scenario and menu in WM_COPYDATA, show and
// hide, and the delayed apply; the trimming of the working set. Every one of the
// host's messages is answered 1. A check-data text is applied only when no newer one has come for
// 500 ms (1000 ms after a text that found a delay), so that a burst is applied once, with the last;
// a stream that goes on is applied 2000 ms after its first text.
#include "receiptdisplay/uSlipview.h"

#include "core/Texts.h"
#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {
void LogNote(const wchar_t* text) { WriteLog(text, 3, true); }

// A kept text up to its first NUL character (the whole text when it holds none).
std::wstring ToFirstNul(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

}  // namespace

LRESULT CALLBACK DisplayWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  SlipviewUnit& u = Unit();
  TfmSlipview* form = u.fmSlipview;
  if (form && hwnd == form->Handle()) {
    TMessage m{msg, wParam, lParam, 0};
    bool ours = true;
    // The handlers have no guard of their own: what escapes goes to the application's handler.
    ui::Guard([&] {
      switch (msg) {
        case WM_COPYDATA: form->WMCopyData(m); break;
        case WM_HIDE_DISPLAY: form->WMHideDisplay(m); break;
        case WM_SHOW_DISPLAY: form->WMShowDisplay(m); break;
        case WM_APPLY_DATA: form->WMApplyData(m); break;
        default: ours = false;
      }
    });
    if (ours) return m.Result;
    const LRESULT result = CallWindowProcW(u.PreviousWindowProc, hwnd, msg, wParam, lParam);
    if (msg == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0)
      ui::Guard([&] { form->FormShow(); });
    else if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
      ui::Guard([&] { form->FormActivate(); });
    return result;
  }
  return CallWindowProcW(u.PreviousWindowProc, hwnd, msg, wParam, lParam);
}

void TfmSlipview::WMCopyData(TMessage& m) {
  SlipviewUnit& u = Unit();
  const COPYDATASTRUCT* record =
      TakeCopyData(m, kReceiptDisplayIntake, u.PendingData, {ScenarioTimerThread, Handle(), u.Delays});
  if (!record) return;
  if (record->dwData == SCENARIO_DATA_TAG) {
    LogNote(L"receive scenario");
    u.ScenarioText = CopyDataText(*record, PayloadText::Whole);
  } else if (record->dwData == MENU_DATA_TAG) {
    LogNote(L"receive menu");
    const std::wstring text = CopyDataText(*record, PayloadText::Whole);
    if (!u.MenuDocument) return;  // creation stopped before it made the menu's document
    // The menu is read up to its first NUL and takes effect only when it parses: a menu that does
    // not leaves the one in force as it was.
    try {
      auto menu = std::make_unique<XmlDocument>();
      const std::wstring menuText = ToFirstNul(text);
      if (!menuText.empty()) menu->LoadXml(ToAnsi(ToU16(menuText)));
      u.MenuText = text;
      u.MenuDocument = std::move(menu);
    } catch (...) {
      WriteLogNoRaise(L"AV in WMCopyData", 1, true);
    }
  }
}

void TfmSlipview::WMApplyData(TMessage& m) {
  m.Result = 1;
  SlipviewUnit& u = Unit();
  LogNote(L"> apply data");
  FormCheckText(ToAnsi(ToU16(ToFirstNul(u.PendingData))));
  DropGalleryWithoutPictures();
  LogNote(L"< apply data");
  if (u.Started && !u.MenuText.empty() && Visible()) {
    LogNote(L"> apply scenario");
    FormMediaScenario(ToFirstNul(u.ScenarioText));
    LogNote(L"< apply scenario");
  }
  // Only a delay that has run out is let go: one started since that delay posted this message
  // stays named, so that a later text, a show or the close still finds it.
  if (ScenarioTimerThread.Ended() || static_cast<int32_t>(u.Delays.Now() - u.Delays.Due) >= 0)
    ScenarioTimerThread.Reset();
}

void TfmSlipview::WMShowDisplay(TMessage& m) {
  m.Result = 1;
  if (Visible()) return;
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  if (!Visible()) Show();  // the form follows SetWindowPos; this only makes sure of it
  LayeredFlashForm.SetAlphaBlendValue(255);
  DropGallery();
  SlipviewUnit& u = Unit();
  DelayedApply{ScenarioTimerThread, Handle(), u.Delays}.StartAnew(kFirstDelayMs);
}

void TfmSlipview::WMHideDisplay(TMessage& m) {
  m.Result = 1;
  if (!Visible()) return;
  DropGallery();
  fnum = -1;
  TrimWorkingSet();
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  if (Visible()) Hide();
  LayeredFlashForm.SetAlphaBlendValue(0);
}

// Frees every entry's scene, first to last, and empties the list (when there is one).
void TfmSlipview::DropGallery() {
  if (!flist) return;
  for (auto& entry : *flist) entry.second.reset();
  flist->clear();
}

void TrimWorkingSet() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return;
#pragma GCC diagnostic pop
  if (HANDLE process = OpenProcess(0x1FFFFF, FALSE, GetCurrentProcessId())) {
    SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    CloseHandle(process);
  }
}
