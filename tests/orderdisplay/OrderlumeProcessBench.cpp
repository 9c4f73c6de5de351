// Not a test: the real Orderlume.exe measured from outside, each run in a fresh prepared folder.
//   startup [n]  n starts (10 by default): time from CreateProcess to the registration datagram, and
//                the working set once the first paint is done and one second has passed
//   idle         CPU time of the shown program over ten seconds, nothing moving
//   anim         the same with ten 769 x 217 frames in media\anim (the header animation running)
// Each figure is taken twice: through the Windows API (GetProcessTimes, GetProcessMemoryInfo on the
// child's handle) and, under Wine, from Linux's /proc entry of the Wine process that runs the child
// (found by its command line), read through the Z: drive. The X server's CPU over the same ten
// seconds is printed too when its /proc entry is found (it draws what the layered window hands it).
// Wine's GetProcessTimes gives no CPU times for another process (zeros): there /proc is the figure.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "BenchProc.h"
#include "E2eSupport.h"
#include "ui/Bitmap.h"
#include "ui/GdiPlus.h"
#include "win/WinText.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double ApiCpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto s = [](FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return s(kernel) + s(user);
}

// The Linux side of the child: its folder name is unique (a fresh temporary folder).
std::optional<std::wstring> ChildProc(OrderlumeRun& run) {
  std::wstring folder = run.Folder().Path();
  folder.pop_back();
  folder = folder.substr(folder.find_last_of(L'\\') + 1);
  return benchproc::FindProcess(Narrow(folder) + "\\Orderlume.exe");
}

bool WaitShown(OrderlumeRun& run) {
  return run.WaitForLog(L"< started", 1, 15000) && WaitProgramWindow(run.Process()->Id(), L"Orderlume");
}

int Startup(int runs) {
  std::vector<double> toDatagram, apiWs, apiPeak, rss, anon, file, shmem;
  for (int i = 0; i < runs; ++i) {
    OrderlumeRun run;
    const double t0 = benchproc::NowMs();
    run.Start();
    const auto datagram = run.Receiver().Receive(15000);
    const double t1 = benchproc::NowMs();
    if (!datagram || !WaitShown(run)) {
      std::printf("run %d: no datagram or no window\n", i + 1);
      return 1;
    }
    zebhost::Wait(1000);
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(run.Process()->Handle(), &m, sizeof m);
    const auto proc = ChildProc(run);
    auto status = [&](const char* key) { return proc ? benchproc::StatusMb(*proc, key) : 0.0; };
    toDatagram.push_back(t1 - t0);
    apiWs.push_back(m.WorkingSetSize / 1048576.0);
    apiPeak.push_back(m.PeakWorkingSetSize / 1048576.0);
    rss.push_back(status("VmRSS"));
    anon.push_back(status("RssAnon"));
    file.push_back(status("RssFile"));
    shmem.push_back(status("RssShmem"));
    std::printf("run %2d: datagram after %6.1f ms; working set %5.1f MB (peak %5.1f); VmRSS %5.1f MB "
                "(anonymous %5.1f, files %5.1f, shared memory %4.1f)\n",
                i + 1, toDatagram.back(), apiWs.back(), apiPeak.back(), rss.back(), anon.back(), file.back(),
                shmem.back());
    run.Stop();
  }
  std::printf("median of %d: datagram after %.1f ms; working set %.1f MB (peak %.1f); VmRSS %.1f MB "
              "(anonymous %.1f, files %.1f, shared memory %.1f)\n",
              runs, Median(toDatagram), Median(apiWs), Median(apiPeak), Median(rss), Median(anon), Median(file),
              Median(shmem));
  return 0;
}

void WriteFrames(const OrderlumeRun& run, int count) {
  CreateDirectoryW((run.Folder() / L"media").c_str(), nullptr);
  CreateDirectoryW((run.Folder() / L"media\\anim").c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    ui::Bitmap b(769, 217);
    for (int y = 0; y < 217; ++y)
      for (int x = 0; x < 769; ++x)
        b.Bits()[y * 769 + x] = 0xFF000000u | ((x + i * 25) & 0xFF) << 16 | ((y * 2 + i * 40) & 0xFF) << 8 | ((x ^ y) & 0xFF);
    wchar_t name[32];
    swprintf(name, 32, L"media\\anim\\frame%02d.png", i);
    b.SavePng(run.Folder() / name);
  }
}

int Cpu(bool animate) {
  ui::GdiPlusSession gdiplus;
  OrderlumeRun run;
  if (animate) WriteFrames(run, 10);
  run.Start();
  if (!WaitShown(run)) {
    std::printf("no window\n");
    return 1;
  }
  zebhost::Wait(2000);  // start-up and the start phrase's fade are over
  const auto proc = ChildProc(run);
  wchar_t display[64] = {};
  GetEnvironmentVariableW(L"DISPLAY", display, 64);
  const auto xserver = benchproc::FindProcess("Xvfb " + Narrow(display) + " ");
  const double api0 = ApiCpuSeconds(run.Process()->Handle());
  const double proc0 = proc ? benchproc::CpuSeconds(*proc) : 0, x0 = xserver ? benchproc::CpuSeconds(*xserver) : 0;
  const double t0 = benchproc::NowMs();
  zebhost::Wait(10000);
  const double wall = (benchproc::NowMs() - t0) / 1000;
  const double api = ApiCpuSeconds(run.Process()->Handle()) - api0;
  const double procCpu = proc ? benchproc::CpuSeconds(*proc) - proc0 : 0, x = xserver ? benchproc::CpuSeconds(*xserver) - x0 : 0;
  std::printf("%s, shown %.1f s: GetProcessTimes %.3f s CPU (%.2f%% of a core); /proc %s %.2f s (%.2f%%); "
              "X server %s %.2f s (%.2f%%)\n",
              animate ? "animation running" : "idle", wall, api, 100 * api / wall,
              proc ? Narrow(*proc).c_str() : "(not found)", procCpu, 100 * procCpu / wall,
              xserver ? Narrow(*xserver).c_str() : "(not found)", x, 100 * x / wall);
  run.Stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "startup";
  if (mode == "idle") return Cpu(false);
  if (mode == "anim") return Cpu(true);
  return Startup(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10);
}
