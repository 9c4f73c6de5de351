// The host's window side: finding display windows by caption, sending them data and show/hide with
// a timeout, waiting with the message loop running, the "ZebAdvert" window and reading data files.
#include "HostLib.h"

#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinFiles.h"
#include "win/WinText.h"

namespace zebhost {
namespace {

std::u16string Quoted(const std::wstring& s) { return u"\"" + ToU16(s) + u"\""; }

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

HWND FindDisplayWindow(const std::wstring& caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = FindWindowW(nullptr, caption.c_str())) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Wait(10);
  }
}

HWND RequireDisplayWindow(const std::wstring& caption, DWORD timeoutMs) {
  HWND w = FindDisplayWindow(caption, timeoutMs);
  if (!w) throw Exception(u"no window with the caption " + Quoted(caption));
  return w;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs,
                           &answer)) {
    DWORD error = GetLastError();
    std::string what = !IsWindow(window) ? "the window is gone"
                       : error == ERROR_TIMEOUT || error == 0
                           ? "no answer within " + std::to_string(timeoutMs) + " ms"
                           : "error " + std::to_string(error);
    char head[64];
    snprintf(head, sizeof head, "message 0x%X not delivered: ", message);
    throw Exception(Ascii(head + what));
  }
  return static_cast<LRESULT>(answer);
}

LRESULT SendCopyDataBytes(HWND window, ULONG_PTR tag, const std::vector<unsigned char>& bytes,
                          DWORD timeoutMs) {
  COPYDATASTRUCT cds{};
  cds.dwData = tag;
  cds.cbData = static_cast<DWORD>(bytes.size());
  cds.lpData = bytes.empty() ? nullptr : const_cast<unsigned char*>(bytes.data());
  return SendWithTimeout(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), timeoutMs);
}

LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::wstring& text, DWORD timeoutMs) {
  COPYDATASTRUCT cds{};
  cds.dwData = tag;
  cds.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  cds.lpData = const_cast<wchar_t*>(text.c_str());
  return SendWithTimeout(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), timeoutMs);
}

void PostClose(HWND window) {
  if (!PostMessageW(window, WM_CLOSE, 0, 0)) throw Exception(u"cannot post WM_CLOSE: the window is gone");
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
  try {
    // Also while a display program still writes the file.
    const std::string bytes = ::ReadFileBytes(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
  } catch (const Exception& e) {
    throw Exception(u"cannot read: " + e.Message());
  }
}

std::wstring ReadUtf8File(const std::wstring& path) {
  std::vector<unsigned char> b = ReadFileBytes(path);
  size_t start = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
  return ToW(Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(b.data()) + start, b.size() - start)));
}

void Wait(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

AdvertWindow::AdvertWindow(const std::wstring& className) : className_(className) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className_.c_str();
  if (!RegisterClassW(&wc)) throw Exception(u"cannot register the window class " + Quoted(className_));
  window_ = CreateWindowExW(0, className_.c_str(), L"ZebAdvert", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            wc.hInstance, this);
  if (!window_) {
    UnregisterClassW(className_.c_str(), wc.hInstance);
    throw Exception(u"cannot create the ZebAdvert window");
  }
}

AdvertWindow::~AdvertWindow() {
  DestroyWindow(window_);
  UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
}

LRESULT CALLBACK AdvertWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  } else if (msg == WM_SCENE_ENDED) {
    if (auto* self = reinterpret_cast<AdvertWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
      ++self->sceneEnded_;
      if (self->InsideHandler) self->InsideHandler();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace zebhost
