// A library with the seven scene exports of which two leave the caller's stack wrong on purpose:
// SceneAnimationsStart takes its argument in the caller-cleans convention (a plain return), and
// SceneParameters takes a third argument (it removes 12 bytes, not 8). scripts/check-stack must name
// both and pass the other five.
#include <windows.h>

namespace {
int calls = 0;
}

extern "C" {
void* __stdcall SceneScreenshot() {
  ++calls;
  return nullptr;
}
void __stdcall SceneAnimationsStop() { ++calls; }
void __cdecl SceneAnimationsStart(BOOL flag) { calls += flag; }
void __stdcall SceneDestroy() { ++calls; }
const wchar_t* __stdcall SceneDefaultParameters() { return calls ? L"" : L"-"; }
void __stdcall SceneParameters(const wchar_t* parameters, const wchar_t* menu, const wchar_t* more) {
  calls += (parameters != nullptr) + (menu != nullptr) + (more != nullptr);
}
void __stdcall SceneCreate() { ++calls; }
}
