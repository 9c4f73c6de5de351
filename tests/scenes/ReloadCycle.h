#pragma once
// One load-use-unload round of a scene library as a host that loads it for each show does it, and what
// the process holds: shared by the reload benchmark and the reload test.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <exception>
#include <string>

#include "HostLib.h"
#include "scenes/ZebScene.h"
#include "ui/Bitmap.h"

namespace reload {

// What this process holds: the private bytes as Windows counts them
// (PROCESS_MEMORY_COUNTERS_EX.PrivateUsage), its page file use, and the committed private pages
// found by walking the address space. Wine answers PrivateUsage with 0 and PagefileUsage with the
// resident anonymous memory; the walk counts what is committed whether it is resident or not. Then
// the TLS slots and handles a load may keep.
struct Footprint {
  SIZE_T privateUsage = 0;
  SIZE_T pagefileUsage = 0;
  SIZE_T committedPrivate = 0;
  DWORD freeTlsSlot = 0;  // the lowest free thread-local storage slot: grows when a load keeps one
  // A new handle's value; Wine hands out the lowest free one, so it grows when a load keeps handles
  // (GetProcessHandleCount answers 0 there).
  uintptr_t newHandle = 0;
};

inline Footprint MeasureFootprint() {
  Footprint m;
  PROCESS_MEMORY_COUNTERS_EX c{};
  c.cb = sizeof c;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c)) {
    m.privateUsage = c.PrivateUsage;
    m.pagefileUsage = c.PagefileUsage;
  }
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) m.committedPrivate += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  m.freeTlsSlot = TlsAlloc();
  if (m.freeTlsSlot != TLS_OUT_OF_INDEXES) TlsFree(m.freeTlsSlot);
  if (HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m.newHandle = reinterpret_cast<uintptr_t>(event);
    CloseHandle(event);
  }
  return m;
}

// The dish's picture, "reload-dish.png" in `folder`.
inline void WriteDishPicture(const std::wstring& folder) {
  ui::Bitmap b(200, 150);
  for (int i = 0; i < 200 * 150; ++i) b.Bits()[i] = 0xFF000000u | (i * 2654435761u >> 8);
  b.SavePng(folder + L"reload-dish.png");
}

// LoadLibrary, SceneCreate, SceneParameters with a dish whose picture lies in `pictures`,
// SceneAnimationsStart, a few turns of the message loop, SceneScreenshot and its Free,
// SceneAnimationsStop, SceneDestroy, FreeLibrary. Without `show` the scene stays hidden (no start, no
// stop): under Wine without a window manager each hide of a shown window waits about 2 s. False when
// the library does not load or lacks an export.
inline bool Cycle(const std::wstring& libraryPath, const std::wstring& pictures, bool show = true) {
  const std::wstring params = L"<SceneParameters PicPath=\"" + pictures +
                              L"\" ShowText=\"Today\" CurrencyText=\"rub.\"><Size/>"
                              L"<parameters DishCode=\"7\" DishCodes=\"4\"/></SceneParameters>";
  const std::wstring menu = L"<Menu><Dish Code=\"7\" Name=\"Lemonade\" Price=\"15000\" LargeImagePath=\"reload-dish.png\">"
                            L"<Classifications><C Code=\"4\"/></Classifications></Dish></Menu>";
  try {
    zebhost::SceneLibrary library(libraryPath);
    const zebhost::SceneExports& scene = library.Exports();
    scene.SceneCreate();
    scene.SceneParameters(params.c_str(), menu.c_str());
    if (show) scene.SceneAnimationsStart(TRUE);
    zebhost::Wait(50);
    if (ZebSceneBitmap* shot = scene.SceneScreenshot()) shot->functions->Free(shot);
    if (show) scene.SceneAnimationsStop();
    zebhost::Wait(20);
    scene.SceneDestroy();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace reload
