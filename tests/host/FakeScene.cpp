// A scene library stand-in for the loader's test: the seven exports by name, each noting its call in
// a text that SceneDefaultParameters returns.
#include <windows.h>

#include <string>

namespace {
std::wstring calls;
}

extern "C" {
void* __stdcall SceneScreenshot() {
  calls += L"screenshot;";
  return nullptr;
}
void __stdcall SceneAnimationsStop() { calls += L"stop;"; }
void __stdcall SceneAnimationsStart(BOOL flag) { calls += L"start " + std::to_wstring(flag) + L";"; }
void __stdcall SceneDestroy() { calls += L"destroy;"; }
const wchar_t* __stdcall SceneDefaultParameters() { return calls.c_str(); }
void __stdcall SceneParameters(const wchar_t* parameters, const wchar_t* menu) {
  calls += std::wstring(L"parameters ") + parameters + L" " + menu + L";";
}
void __stdcall SceneCreate() { calls += L"create;"; }
}
