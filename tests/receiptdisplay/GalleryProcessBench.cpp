// Not a test: the real Slipview.exe driven for a long run of gallery ticks, measured from outside.
// A menu and a scenario of 20 dishes with pictures of about 500 KB each; the display is shown and
// hidden in turn (20 s each, so that every show applies the scenario again and every hide drops the
// gallery), with new check data every 30 s. Every 10 s: the working set (GetProcessMemoryInfo), the
// GDI and USER objects (GetGuiResources), the process's handles (GetProcessHandleCount), its windows and, under Wine, Linux's resident size (VmRSS). Prints the
// samples, then the first and last of each beside the largest.
//   bench_gallery_process [seconds]   (600 by default)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "../orderdisplay/BenchProc.h"
#include "E2eSupport.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"

namespace {

constexpr int kDishes = 20;

struct Sample {
  double seconds = 0;
  bool shown = false;
  double workingSet = 0;  // MB
  DWORD gdi = 0, user = 0, handles = 0;
  size_t windows = 0;  // the process's top-level windows and their children
  std::optional<double> rss;  // MB
};

// A picture of noise: PNG barely compresses it, so that its file is about 500 KB.
void WritePicture(const std::wstring& path, unsigned seed) {
  std::mt19937 random(seed);
  ui::Bitmap picture(410, 410);
  for (int i = 0; i < 410 * 410; ++i) picture.Bits()[i] = 0xFF000000u | (random() & 0xFFFFFFu);
  picture.SavePng(path);
}

// A stand-in for the USER objects where GetGuiResources answers nothing (Wine): the windows.
struct WindowCount {
  DWORD pid;
  size_t n = 0;
};
BOOL CALLBACK CountChild(HWND, LPARAM p) {
  ++reinterpret_cast<WindowCount*>(p)->n;
  return TRUE;
}
BOOL CALLBACK CountTopLevel(HWND w, LPARAM p) {
  auto& c = *reinterpret_cast<WindowCount*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner != c.pid) return TRUE;
  ++c.n;
  EnumChildWindows(w, &CountChild, p);
  return TRUE;
}
size_t WindowsOf(DWORD processId) {
  WindowCount count{processId};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

std::wstring Check(int round) {
  std::wstring lines;
  for (int i = 0; i < 5; ++i) {
    const int code = 100 + (round * 5 + i) % 40;
    lines += L"<Line Code=\"" + std::to_wstring(code) + L"\" Name=\"Dish " + std::to_wstring(code) +
             L"\" Qnt=\"1\" Price=\"" + std::to_wstring(10 + i) + L"\"/>";
  }
  return L"<Check Currency=\"EUR\"><CheckLines Codes=\"" + std::to_wstring(100 + round % 40) + L"\">" + lines +
         L"</CheckLines></Check>";
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(30, std::atoi(argv[1])) : 600;
  DisplayRun run({BuiltProgram(L"Slipview.exe"), L"Slipview", L"Slipview"});
  CreateDirectoryW((run.Folder() / L"pics").c_str(), nullptr);
  std::wstring menu = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Menu>", codes;
  {
    ui::Application app;  // GDI+ for the pictures
    for (int i = 1; i <= kDishes; ++i) {
      const std::wstring n = std::to_wstring(i);
      WritePicture(run.Folder() / (L"pics\\dish" + n + L".png"), static_cast<unsigned>(i));
      menu += L"<Dish Code=\"" + n + L"\" Name=\"Dish number " + n + L"\" LargeImagePath=\"dish" + n + L".png\"/>";
      codes += (i > 1 ? L"," : L"") + n;
    }
  }
  menu += L"</Menu>";
  std::printf("pictures: %d of %llu bytes on average\n", kDishes,
              SizeOf(run.Folder() / L"pics\\dish1.png"));
  const std::wstring scenario = L"<SceneList PicPath=\"" + run.Folder() / L"pics\\" +
                                L"\"><Scene><parameters DishCodes=\"" + codes + L"\"/></Scene></SceneList>";

  run.Start();
  if (!run.WaitForLog(L"< Create", 1, 15000)) {
    std::printf("Slipview did not start\n");
    return 1;
  }
  HWND h = zebhost::FindDisplayWindow(L"Slipview", 5000);
  if (!h) {
    std::printf("no Slipview window\n");
    return 1;
  }
  std::wstring path = run.Folder().Path();
  path.pop_back();
  const std::string tail = "\\" + Narrow(path.substr(path.find_last_of(L'\\') + 1)) + "\\Slipview.exe";
  const auto proc = benchproc::FindProcess([&](const std::wstring&, const std::vector<std::string>& args) {
    return !args.empty() && benchproc::EndsWith(args[0], tail);
  });
  HANDLE process = run.Process()->Handle();

  zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, menu);
  zebhost::SendCopyData(h, zebhost::SCENARIO_DATA_TAG, scenario);
  zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, Check(0));
  bool shown = true;
  zebhost::ShowDisplay(h);

  std::vector<Sample> samples;
  const DWORD start = GetTickCount();
  for (int t = 1; t <= seconds; ++t) {
    zebhost::Wait(1000);
    if (t % 30 == 0) zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, Check(t / 30));
    if (t % 20 == 0) {
      shown = !shown;
      shown ? zebhost::ShowDisplay(h) : zebhost::HideDisplay(h);
    }
    if (t % 10 == 5 || t == seconds) {  // halfway between the switches
      Sample s;
      s.seconds = (GetTickCount() - start) / 1000.0;
      s.shown = shown;
      PROCESS_MEMORY_COUNTERS c{};
      c.cb = sizeof c;
      if (GetProcessMemoryInfo(process, &c, sizeof c)) s.workingSet = c.WorkingSetSize / 1048576.0;
      s.gdi = GetGuiResources(process, GR_GDIOBJECTS);
      s.user = GetGuiResources(process, GR_USEROBJECTS);
      GetProcessHandleCount(process, &s.handles);
      s.windows = WindowsOf(run.Process()->Id());
      if (proc) s.rss = benchproc::StatusMb(*proc, "VmRSS");
      samples.push_back(s);
      std::printf("%6.0f s %-6s working set %6.1f MB  GDI %4lu  USER %4lu  handles %4lu  windows %zu  VmRSS %s MB\n",
                  s.seconds, s.shown ? "shown" : "hidden", s.workingSet, s.gdi, s.user, s.handles, s.windows,
                  s.rss ? std::to_string(*s.rss).substr(0, 6).c_str() : "n/a");
      std::fflush(stdout);
    }
  }
  const size_t ticks = run.CountLog(L"> apply scenario");
  const bool failed = run.CountLog(L"AV ") > 0;
  run.Stop();
  if (samples.empty()) return 1;
  // First and last of each state, so that shown is compared with shown and hidden with hidden.
  for (bool state : {true, false}) {
    const Sample* first = nullptr;
    const Sample* last = nullptr;
    double maxWs = 0;
    for (const Sample& s : samples) {
      if (s.shown != state) continue;
      if (!first) first = &s;
      last = &s;
      maxWs = std::max(maxWs, s.workingSet);
    }
    if (!first) continue;
    std::printf("%s: first (%.0f s) working set %.1f MB, GDI %lu, USER %lu, handles %lu, windows %zu; last (%.0f "
                "s) %.1f MB, GDI %lu, USER %lu, handles %lu, windows %zu; largest working set %.1f MB\n",
                state ? "shown" : "hidden", first->seconds, first->workingSet, first->gdi, first->user,
                first->handles, first->windows, last->seconds, last->workingSet, last->gdi, last->user, last->handles,
                last->windows, maxWs);
  }
  std::printf("scenario applies: %zu; failures logged: %s; run %d s\n", ticks, failed ? "yes" : "none", seconds);
  return 0;
}
