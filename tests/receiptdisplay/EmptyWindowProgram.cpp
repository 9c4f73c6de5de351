// Not a test: the smallest program with a window and GDI+, the yardstick of the receipt display's
// memory in bench_slipview_process. It shows one plain window and runs until it is closed.
#include <windows.h>

#include "ui/GdiPlusIncludes.h"

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"ZebEmptyWindow";
  RegisterClassW(&wc);
  HWND h = CreateWindowExW(0, wc.lpszClassName, L"Empty", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                           instance, nullptr);
  MSG msg;
  while (h && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
