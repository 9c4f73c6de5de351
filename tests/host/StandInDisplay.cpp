#include "StandInDisplay.h"

#include <atomic>

#include "HostLib.h"

StandInDisplay::StandInDisplay(std::wstring caption, LRESULT answer, DWORD stallMs)
    : caption_(std::move(caption)), answer_(answer) {
  static std::atomic<int> counter{0};
  className_ = L"ZebHostStandIn-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, stallMs, ready] { Run(stallMs, ready); });
  WaitForSingleObject(ready, 10000);
  CloseHandle(ready);
}

StandInDisplay::~StandInDisplay() {
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  thread_.join();
}

void StandInDisplay::Run(DWORD stallMs, HANDLE ready) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className_.c_str();
  RegisterClassW(&wc);
  window_ = CreateWindowExW(0, className_.c_str(), caption_.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, this);
  SetEvent(ready);
  if (!window_) return;
  Sleep(stallMs);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnregisterClassW(className_.c_str(), wc.hInstance);
}

LRESULT CALLBACK StandInDisplay::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<StandInDisplay*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_COPYDATA: {
      std::lock_guard<std::mutex> hold(self->lock_);
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      Copy c{cds->dwData, cds->cbData, cds->lpData == nullptr, {}};
      if (cds->lpData) {
        const auto* p = static_cast<const unsigned char*>(cds->lpData);
        c.bytes.assign(p, p + cds->cbData);
      }
      self->copies_.push_back(std::move(c));
      return self->answer_;
    }
    case zebhost::WM_SHOW_DISPLAY:
    case zebhost::WM_HIDE_DISPLAY: {
      std::lock_guard<std::mutex> hold(self->lock_);
      ++(msg == zebhost::WM_SHOW_DISPLAY ? self->shows_ : self->hides_);
      return self->answer_;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::vector<StandInDisplay::Copy> StandInDisplay::Copies() const {
  std::lock_guard<std::mutex> hold(lock_);
  return copies_;
}
int StandInDisplay::Shows() const {
  std::lock_guard<std::mutex> hold(lock_);
  return shows_;
}
int StandInDisplay::Hides() const {
  std::lock_guard<std::mutex> hold(lock_);
  return hides_;
}
