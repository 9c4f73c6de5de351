// A small program for the process helper's tests:
//   exit <code>        ends at once with that code
//   hang               sleeps, showing no window
//   window <caption>   shows a window with that caption, ends with code 3 when it is closed
//   marker             writes "marker.txt" into its current folder and ends with 0
#include <windows.h>

#include <string>

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(3);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"exit" && argc > 2) return _wtoi(argv[2]);
  if (mode == L"hang") {
    Sleep(INFINITE);
  }
  if (mode == L"marker") {
    HANDLE h = CreateFileW(L"marker.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    return h == INVALID_HANDLE_VALUE ? 1 : 0;
  }
  if (mode == L"window" && argc > 2) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZebHostTestChild";
    RegisterClassW(&wc);
    if (!CreateWindowExW(0, wc.lpszClassName, argv[2], WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr))
      return 2;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return static_cast<int>(msg.wParam);
  }
  return 99;
}
