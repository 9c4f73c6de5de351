// What a scene library costs a host that loads it for each show: `cycles` rounds of LoadLibrary,
// SceneCreate, SceneParameters with a dish, SceneAnimationsStart, a few turns of the message loop,
// SceneScreenshot and its Free, SceneAnimationsStop, SceneDestroy and FreeLibrary. Prints the
// process's private bytes (PROCESS_MEMORY_COUNTERS_EX.PrivateUsage) after the first round and after
// the last, and the growth per round between them. Each library runs in a process of its own, beside
// two references built the same way: a bare library with the same imports that does nothing, and a
// control that starts GDI+, decodes a JPEG and makes a window and a timer.
// Not a test.   bench_scene_reload [cycles=100] [library.dll...]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ReloadCycle.h"
#include "win/WinPaths.h"

namespace {

void PrintGrowth(const char* what, SIZE_T first, SIZE_T last, int cycles) {
  const double perCycle = (static_cast<double>(last) - static_cast<double>(first)) / (cycles - 1);
  std::printf("  %-24s after round 1 %9.1f KB, after round %d %9.1f KB: %+7.1f KB per round\n", what, first / 1024.0,
              cycles, last / 1024.0, perCycle / 1024.0);
}

int RunOne(const std::wstring& path, int cycles) {
  const std::wstring folder = ExecutableFolder() + L"\\";
  reload::WriteDishPicture(folder);
  const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  reload::Footprint first, last;
  const DWORD began = GetTickCount();
  for (int i = 0; i < cycles; ++i) {
    if (!reload::Cycle(path, folder)) {
      std::printf("%ls: cannot load it\n", name.c_str());
      return 1;
    }
    (i == 0 ? first : last) = reload::MeasureFootprint();
  }
  std::printf("%ls, %d rounds in %.1f s:\n", name.c_str(), cycles, (GetTickCount() - began) / 1000.0);
  PrintGrowth("private bytes", first.privateUsage, last.privateUsage, cycles);
  PrintGrowth("page file use", first.pagefileUsage, last.pagefileUsage, cycles);
  PrintGrowth("committed private pages", first.committedPrivate, last.committedPrivate, cycles);
  std::printf("  lowest free TLS slot     after round 1 %lu, after round %d %lu\n", first.freeTlsSlot, cycles,
              last.freeTlsSlot);
  std::printf("  value of a new handle    after round 1 %#llx, after round %d %#llx\n",
              static_cast<unsigned long long>(first.newHandle), cycles, static_cast<unsigned long long>(last.newHandle));
  std::fflush(stdout);
  return 0;
}

// Runs this program again for one library and waits for it.
int RunChild(const std::wstring& library, int cycles) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + std::to_wstring(cycles) + L" --one \"" + library + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return 1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int cycles = argc > 1 ? std::max(2, _wtoi(argv[1])) : 100;
  if (argc > 3 && std::wstring(argv[2]) == L"--one") return RunOne(argv[3], cycles);
  std::vector<std::wstring> libraries;
  for (int i = 2; i < argc; ++i) libraries.push_back(argv[i]);
  if (libraries.empty()) {
    const std::wstring folder = ExecutableFolder() + L"\\";
    for (const wchar_t* name : {L"Sucrelle", L"Cinevra", L"Braisette", L"Libavo", L"Platero", L"Marquella"})
      libraries.push_back(folder + L"..\\..\\bin\\" + name + L".dll");
    libraries.push_back(folder + L"ZebReloadBare.dll");
    libraries.push_back(folder + L"ZebReloadControl.dll");
  }
  int failed = 0;
  for (const std::wstring& library : libraries) failed += RunChild(library, cycles) != 0;
  return failed ? 1 : 0;
}
