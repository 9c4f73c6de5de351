#pragma once
// A stand-in display window for the host library's tests: a captioned top-level window on a thread of
// its own (as a display program's window lives in another thread than the host's) that records every
// WM_COPYDATA and counts show and hide. It can stall before its message loop starts, like a program
// that hangs.
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class StandInDisplay {
 public:
  struct Copy {
    ULONG_PTR tag = 0;
    DWORD cbData = 0;
    bool nullData = false;
    std::vector<unsigned char> bytes;
  };

  // answer: what WM_COPYDATA, show and hide return. stallMs: how long the window's thread sleeps
  // before it takes messages.
  explicit StandInDisplay(std::wstring caption, LRESULT answer = 0, DWORD stallMs = 0);
  ~StandInDisplay();
  StandInDisplay(const StandInDisplay&) = delete;
  StandInDisplay& operator=(const StandInDisplay&) = delete;

  HWND Handle() const { return window_; }
  std::vector<Copy> Copies() const;
  int Shows() const;
  int Hides() const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Run(DWORD stallMs, HANDLE ready);

  std::wstring caption_, className_;
  LRESULT answer_;
  HWND window_ = nullptr;
  mutable std::mutex lock_;
  std::vector<Copy> copies_;
  int shows_ = 0, hides_ = 0;
  std::thread thread_;
};
