#pragma once
// Running the message loop in tests: for a while, or until a condition holds (with a time-out, so that
// a loaded machine waits longer instead of failing a fixed pump).
#include <windows.h>

#include "ui/Application.h"

// Runs the message loop until `done` holds, for at most `ms` milliseconds; whether it held.
template <typename Condition>
bool PumpUntil(ui::Application& app, Condition done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return false;
    app.ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Runs the message loop for `ms` milliseconds.
inline void Pump(ui::Application& app, DWORD ms) {
  PumpUntil(app, [] { return false; }, ms);
}
