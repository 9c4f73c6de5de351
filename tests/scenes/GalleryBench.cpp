// The gallery scene over many dish changes: Marquella.dll loaded as a host loads it, a cycle of three
// dishes with pictures of about 1 MB each, shown and playing. The movie's clock is run fast by this
// benchmark's own message loop: each tick of the library's timer is dispatched `speed` times, so the
// library sees that many frames per tick; nothing in the library knows. Dish changes are counted from
// screenshots (the picture's colour changes). Prints the host's memory and its GDI and user handles
// before the start, after the first change, after the first whole cycle and after the last change.
// Not a test.   bench_gallery [changes=300] [speed=12]
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "BenchProc.h"
#include "HostLib.h"
#include "scenes/ZebScene.h"
#include "ui/Bitmap.h"
#include "win/WinPaths.h"

namespace {

struct Figures {
  double workingSetMb = 0;
  std::optional<double> rssMb, anonymousMb;  // Linux's view under Wine
  int gdi = 0, windows = 0;
  DWORD gdiReported = 0, userReported = 0;  // GetGuiResources (a stub under Wine: 0)
};

// GDI objects of the process. Windows counts them in GetGuiResources; under Wine, where that is a
// stub, every index of the process's handle table is probed: Wine accepts a handle whose upper word
// is 0 for the object at its index.
int CountGdiObjects() {
  int n = 0;
  for (uintptr_t index = 1; index < 0x10000; ++index) n += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(w, &CountChild, count);
  return TRUE;
}

// Windows of this thread: top-level ones with their children, and message-only ones.
int CountWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&n));
  for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) != nullptr;) {
    DWORD pid = 0;
    if (GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId()) ++n;
  }
  return n;
}

const std::optional<std::wstring>& SelfProc() {
  static const std::optional<std::wstring> proc = benchproc::UnderWine() ? benchproc::FindSelf() : std::nullopt;
  return proc;
}

Figures Measure() {
  Figures f;
  PROCESS_MEMORY_COUNTERS m{};
  m.cb = sizeof(m);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof(m))) f.workingSetMb = m.WorkingSetSize / 1048576.0;
  if (const auto& proc = SelfProc()) {
    f.rssMb = benchproc::StatusMb(*proc, "VmRSS");
    f.anonymousMb = benchproc::StatusMb(*proc, "RssAnon");
  }
  f.gdi = CountGdiObjects();
  f.windows = CountWindows();
  f.gdiReported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  f.userReported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  return f;
}

void Print(const char* when, int changes, const Figures& f) {
  auto mb = [](const std::optional<double>& v) { return v ? *v : -1.0; };
  std::printf("%-12s %3d changes: working set %6.1f MB, Linux RSS %6.1f MB (anonymous %6.1f MB), GDI objects %3d, "
              "windows %2d (GetGuiResources: GDI %lu, user %lu)\n",
              when, changes, f.workingSetMb, mb(f.rssMb), mb(f.anonymousMb), f.gdi, f.windows, f.gdiReported,
              f.userReported);
  std::fflush(stdout);
}

// A picture of noise in one leading colour, which PNG cannot squeeze: about 1 MB at 600 x 600.
void WriteNoisePicture(const std::wstring& path, int lead, unsigned seed) {
  ui::Bitmap b(600, 600);
  std::mt19937 random(seed);
  for (int i = 0; i < 600 * 600; ++i) {
    uint32_t pixel = 0xFF000000u;
    for (int c = 0; c < 3; ++c) pixel |= (c == lead ? 128 + random() % 128 : random() % 32) << (16 - 8 * c);
    b.Bits()[i] = pixel;
  }
  b.SavePng(path);
}

// The dish on screen by the colour that leads around the middle of the picture box: 0 red, 1 green,
// 2 blue, -1 none.
int ShownDish(ZebSceneScreenshotFn screenshot) {
  ZebSceneBitmap* shot = screenshot();
  if (!shot) return -1;
  int dish = -1;
  const DWORD* p = shot->functions->Pixels(shot);
  if (p && shot->functions->Width(shot) == 690 && shot->functions->Height(shot) == 758) {
    long sum[3] = {};
    for (int y = 364; y < 384; ++y)
      for (int x = 335; x < 355; ++x)
        for (int c = 0; c < 3; ++c) sum[c] += (p[y * 690 + x] >> (16 - 8 * c)) & 0xFF;
    for (int c = 0; c < 3; ++c)
      if (sum[c] > 20 * 20 * 40 && sum[c] > 4 * sum[(c + 1) % 3] && sum[c] > 4 * sum[(c + 2) % 3]) dish = c;
  }
  shot->functions->Free(shot);
  return dish;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int target = argc > 1 ? _wtoi(argv[1]) : 300;
  const int speed = argc > 2 ? _wtoi(argv[2]) : 12;
  const std::wstring folder = ExecutableFolder() + L"\\";
  const std::wstring pictures = folder + L"bench-gallery\\";
  CreateDirectoryW(pictures.c_str(), nullptr);
  const wchar_t* names[3] = {L"red.png", L"green.png", L"blue.png"};
  for (int i = 0; i < 3; ++i) WriteNoisePicture(pictures + names[i], i, 7 + i);
  for (const wchar_t* n : names) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExW((pictures + n).c_str(), GetFileExInfoStandard, &a);
    std::printf("picture %ls: %lu bytes\n", n, a.nFileSizeLow);
  }

  const std::wstring dll = folder + L"..\\..\\bin\\Marquella.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  if (!module) {
    std::printf("cannot load %ls\n", dll.c_str());
    return 1;
  }
  auto at = [&](int n) { return reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(n))); };
  auto screenshot = reinterpret_cast<ZebSceneScreenshotFn>(at(1));
  auto stop = reinterpret_cast<ZebSceneAnimationsStopFn>(at(2));
  auto start = reinterpret_cast<ZebSceneAnimationsStartFn>(at(3));
  auto destroy = reinterpret_cast<ZebSceneDestroyFn>(at(4));
  auto parameters = reinterpret_cast<ZebSceneParametersFn>(at(6));

  const std::wstring params = L"<SceneParameters PicPath=\"" + pictures +
                              L"\" ShowText=\"Today\" CurrencyText=\"rub.\"><Size/><parameters DishCodes=\"4\"/></SceneParameters>";
  std::wstring menu = L"<Menu>";
  for (int i = 0; i < 3; ++i)
    menu += L"<Dish Code=\"" + std::to_wstring(i + 1) + L"\" Name=\"Dish " + std::to_wstring(i + 1) +
            L"\" Price=\"12300\" LargeImagePath=\"" + names[i] + L"\"><Classifications><C Code=\"4\"/></Classifications></Dish>";
  menu += L"</Menu>";

  {
    // The GDI count must see an object come and go, or it counts nothing.
    const int before = CountGdiObjects();
    HBRUSH brush = CreateSolidBrush(0);
    const int with = CountGdiObjects();
    DeleteObject(brush);
    std::printf("GDI object count check: %d, with one brush more %d, after it %d\n", before, with, CountGdiObjects());
  }
  Print("before start", 0, Measure());
  parameters(params.c_str(), menu.c_str());
  start(TRUE);
  const DWORD began = GetTickCount();
  int changes = 0, last = -1, wrong = 0;
  DWORD lastLook = 0;
  while (changes < target && GetTickCount() - began < 30u * 60 * 1000) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.lParam)
        for (int i = 1; i < speed; ++i) DispatchMessageW(&msg);
      DispatchMessageW(&msg);
    }
    if (GetTickCount() - lastLook >= 20) {
      lastLook = GetTickCount();
      const int dish = ShownDish(screenshot);
      if (dish >= 0 && dish != last) {
        if (last >= 0) {
          ++changes;
          if (dish != (last + 1) % 3) ++wrong;
          if (changes == 1) Print("first", changes, Measure());
          if (changes == 3) Print("first cycle", changes, Measure());
          if (changes % 50 == 0 && changes != target) Print("", changes, Measure());
        }
        last = dish;
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  const DWORD ms = GetTickCount() - began;
  Print("last", changes, Measure());
  std::printf("%d dish changes in %.1f s (%.0f ms each), %d out of cycle order, clock %d times its rate\n", changes,
              ms / 1000.0, changes ? static_cast<double>(ms) / changes : 0.0, wrong, speed);
  stop();
  destroy();
  FreeLibrary(module);
  return changes >= target && wrong == 0 ? 0 : 1;
}
