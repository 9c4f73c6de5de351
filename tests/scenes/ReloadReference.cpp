// Two reference libraries for the reload benchmark, built as the scene libraries are (-static, the
// same system imports). Without ZEB_RELOAD_CONTROL: a bare library that does nothing; its exports are
// empty, it only imports what a scene library imports. With it: the control, whose SceneCreate starts
// GDI+, decodes a JPEG and makes a window with a timer, and whose SceneDestroy gives them all back;
// the other exports do nothing. Both give back the pool the C++ runtime takes at load, as the scene
// libraries do, so that the figures show what the system keeps.
#include <windows.h>

#include "ui/GdiPlusIncludes.h"

namespace __gnu_cxx {
void __freeres() noexcept;
}

extern "C" {

#ifdef ZEB_RELOAD_CONTROL
namespace {
ULONG_PTR token = 0;
HWND window = nullptr;
const wchar_t kClass[] = L"ZebReloadControl";

extern "C" IMAGE_DOS_HEADER __ImageBase;
HINSTANCE Self() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// The JPEG beside the host's executable that the benchmark wrote.
void DecodePicture() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != L'\\') --n;
  lstrcpyW(path + n, L"reload-dish.jpg");
  Gdiplus::Bitmap* picture = Gdiplus::Bitmap::FromFile(path);
  if (picture) {
    Gdiplus::Bitmap copy(picture->GetWidth(), picture->GetHeight(), PixelFormat32bppPARGB);
    delete picture;
  }
}
}  // namespace
#endif

void* __stdcall SceneScreenshot(void) { return nullptr; }
void __stdcall SceneAnimationsStop(void) {}
void __stdcall SceneAnimationsStart(BOOL) {}
const wchar_t* __stdcall SceneDefaultParameters(void) { return L""; }
void __stdcall SceneParameters(const wchar_t*, const wchar_t*) {}

void __stdcall SceneCreate(void) {
#ifdef ZEB_RELOAD_CONTROL
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return;
  DecodePicture();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = Self();
  wc.lpszClassName = kClass;
  RegisterClassExW(&wc);
  window = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 690, 758, nullptr, nullptr, Self(), nullptr);
  if (window) SetTimer(window, 1, 33, nullptr);
#endif
}

void __stdcall SceneDestroy(void) {
#ifdef ZEB_RELOAD_CONTROL
  if (window) {
    KillTimer(window, 1);
    DestroyWindow(window);
    window = nullptr;
  }
  UnregisterClassW(kClass, Self());
  if (token) Gdiplus::GdiplusShutdown(token);
  token = 0;
#endif
  // Referenced so that the bare library imports every system library a scene library imports.
  static volatile bool never = false;
  if (never) {
    RegOpenKeyExW(nullptr, nullptr, 0, 0, nullptr);
    GetStockObject(0);
    Gdiplus::GdiplusShutdown(0);
    CoTaskMemFree(nullptr);
    GetDesktopWindow();
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
  return TRUE;
}

}  // extern "C"
