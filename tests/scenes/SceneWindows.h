#pragma once
// The scene windows of this test process: those titled "ZebAnimatedScene" (other processes on a shared
// screen may have their own).
#include <windows.h>

#include <vector>

inline std::vector<HWND> SceneWindows() {
  std::vector<HWND> found;
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, nullptr, L"ZebAnimatedScene")) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId()) found.push_back(w);
  }
  return found;
}
