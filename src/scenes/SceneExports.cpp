// The seven exports of a scene library. Each catches every failure at its edge: the host never sees
// one. The guarded exports log "<Module>.dll: AV in <export>"; SceneScreenshot and
// SceneDefaultParameters have nothing to report and answer null or an empty text instead.
// The exports are defined here, not imported.
#define ZEB_SCENE_API

#include <windows.h>

#include <new>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"
#include "scenes/SceneBitmap.h"
#include "scenes/uFlashScene.h"
#include "win/WinCodePage.h"

#include "scenes/ZebScene.h"

namespace {

template <class F>
void Guarded(const wchar_t* name, F&& steps) noexcept {
  try {
    steps();
  } catch (...) {
    scenes::LogFailure(name);
  }
}

std::u16string Text(const wchar_t* s) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}

}  // namespace

extern "C" {

ZebSceneBitmap* __stdcall SceneScreenshot(void) {
  try {
    scenes::SceneUnit& u = scenes::Unit();
    if (!u.SceneForm) return scenes::NewSceneBitmap(0, 0, nullptr);
    scenes::TfmFlashScene& f = *u.SceneForm;
    if (f.Visible() && f.FlashPlayer) {
      ui::Bitmap frame = f.ShownFrame();
      // An inert player has no frame: the window then shows only its background.
      if (!frame.Empty()) return scenes::NewSceneBitmap(frame.Width(), frame.Height(), frame.Bits());
    }
    if (!u.BackgroundBitmap) return scenes::NewSceneBitmap(0, 0, nullptr);
    const ui::Bitmap& b = u.BackgroundBitmap->pixels;
    return scenes::NewSceneBitmap(b.Width(), b.Height(), b.Bits());
  } catch (...) {
    return nullptr;
  }
}

void __stdcall SceneAnimationsStop(void) {
  Guarded(L"SceneAnimationsStop", [] { scenes::SceneAnimationsStopSteps(); });
}

void __stdcall SceneAnimationsStart(BOOL) {
  Guarded(L"SceneAnimationsStart", [] { scenes::SceneAnimationsStartSteps(); });
}

void __stdcall SceneDestroy(void) {
  Guarded(L"SceneDestroy", [] { scenes::SceneDestroySteps(); });
}

const wchar_t* __stdcall SceneDefaultParameters(void) {
  try {
    return reinterpret_cast<const wchar_t*>(scenes::DefaultParametersText().c_str());
  } catch (...) {
    return L"";
  }
}

void __stdcall SceneParameters(const wchar_t* parameters, const wchar_t* menu) {
  if (const scenes::SceneVariant* variant = scenes::kSceneBuild.variant) return variant->sceneParameters(parameters, menu);
  // The texts' copies are made here, at the library's edge: running out of memory for them is logged
  // like any other failure of the call instead of reaching the host.
  Guarded(L"SceneParameters", [&] { scenes::SceneParametersSteps(Text(parameters), Text(menu)); });
}

void __stdcall SceneCreate(void) {
  Guarded(L"SceneCreate", [] { scenes::SceneCreateSteps(); });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) scenes::ReleaseUnitAtUnload(reserved == nullptr);
  return TRUE;
}

}  // extern "C"
