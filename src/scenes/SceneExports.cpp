// The seven exports of a scene library. Each catches every failure at its edge: the host never sees
// one. The guarded exports log "<Module>.dll: AV in <export>"; SceneScreenshot and
// SceneDefaultParameters have nothing to report and answer null or an empty text instead.
// The exports are defined here, not imported.
#define ZEB_SCENE_API

#include <windows.h>

#include <array>
#include <new>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"
#include "scenes/SceneBitmap.h"
#include "scenes/uFlashScene.h"
#include "win/WinCodePage.h"

#include "scenes/ZebScene.h"

// libstdc++'s release of what it keeps for the process's whole life: its emergency pool for
// exceptions thrown when memory runs out, taken from the process's heap when the library loads.
namespace __gnu_cxx {
void __freeres() noexcept;
}

// The thread callback of the POSIX thread layer linked into this library (winpthreads): run for a
// thread that leaves, it runs the thread's key destructors (the C++ runtime's thread-local data),
// closes the two handles the layer opened for the thread and empties the layer's TLS slot.
extern "C" const PIMAGE_TLS_CALLBACK __xl_f;

namespace {

constexpr DWORD kTlsSlots = 1088;  // 64 slots and the 1,024 of the expansion table

// The thread layer keeps, for every thread that ran C++ code of this library (the host's thread at
// least), a TLS slot, two handles and its thread-local data; it gives them back only when such a thread
// ends, never when the library is unloaded: a host that loads the library for each show would lose
// a TLS slot per show and fail once the process has none left. At unload on the host's thread, the
// layer is told that this thread leaves it, and the slot that this empties is freed.
void ReleaseThreadLayer(HINSTANCE self) noexcept {
  std::array<void*, kTlsSlots> before;
  for (DWORD i = 0; i < kTlsSlots; ++i) before[i] = TlsGetValue(i);
  __xl_f(self, DLL_THREAD_DETACH, nullptr);
  for (DWORD i = 0; i < kTlsSlots; ++i)
    if (before[i] && !TlsGetValue(i)) TlsFree(i);
}

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

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) {
    scenes::ReleaseUnitAtUnload(reserved == nullptr);
    // The C++ runtime and its thread layer are linked into this library: what they keep for the
    // process's life would stay in the host after every unload (the pool: 72 KB on x86-64, 18 KB on
    // x86). Nothing of this library runs any more once the host unloads it; at process end all of it
    // goes with the process.
    if (reserved == nullptr) {
      ReleaseThreadLayer(self);
      __gnu_cxx::__freeres();
    }
  }
  return TRUE;
}

}  // extern "C"
