// Not a test: the real Orderlume.exe measured from outside, each run in a fresh prepared folder.
//   startup [n]  n starts (10 by default): time from CreateProcess to the registration datagram, and
//                the working set once the first paint is done and one second has passed
//   idle         CPU time of the shown program over ten seconds, nothing moving
//   anim         the same with ten 769 x 217 frames in media\anim (the header animation running)
// Memory is taken twice: through the Windows API (GetProcessMemoryInfo on the child's handle) and,
// under Wine, from Linux's /proc entry of the Wine process that runs the child (found by its command
// line, which holds the child's unique folder), read through the Z: drive; the two agree, /proc adds
// what the resident memory is made of. CPU comes from one source: under Wine the /proc entry, because
// Wine's GetProcessTimes answers with the caller's own times whatever process it is asked about; on
// Windows GetProcessTimes. The X server's CPU over the same ten seconds is printed too (it draws what
// the layered window hands it). A figure that cannot be taken is printed as n/a, never as zero.
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

// The median of the figures taken (those missing left out); nothing when none was taken.
std::optional<double> Median(const std::vector<std::optional<double>>& taken) {
  std::vector<double> v;
  for (const auto& x : taken)
    if (x) v.push_back(*x);
  if (v.empty()) return std::nullopt;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "12.3" in a field of `width`, or "n/a" there when the figure is missing.
std::string Figure(const std::optional<double>& x, int width, int decimals) {
  char out[32];
  if (x)
    std::snprintf(out, sizeof out, "%*.*f", width, decimals, *x);
  else
    std::snprintf(out, sizeof out, "%*s", width, "n/a");
  return out;
}

std::optional<double> ApiCpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
  auto s = [](FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return s(kernel) + s(user);
}

// The Linux side of the child: the Wine process whose program lies in the child's folder (a fresh
// temporary folder, so its name is unique).
std::optional<std::wstring> ChildProc(OrderlumeRun& run) {
  std::wstring folder = run.Folder().Path();
  folder.pop_back();
  const std::string exe = "\\" + Narrow(folder.substr(folder.find_last_of(L'\\') + 1)) + "\\Orderlume.exe";
  return benchproc::FindProcess([&](const std::wstring&, const std::vector<std::string>& args) {
    return !args.empty() && benchproc::EndsWith(args[0], exe);
  });
}

// The X server of this display: "Xvfb :N ...".
std::optional<std::wstring> XServerProc() {
  wchar_t display[64] = {};
  GetEnvironmentVariableW(L"DISPLAY", display, 64);
  const std::string name = Narrow(display);
  return benchproc::FindProcess([&](const std::wstring&, const std::vector<std::string>& args) {
    return args.size() > 1 && (args[0] == "Xvfb" || benchproc::EndsWith(args[0], "/Xvfb")) && args[1] == name;
  });
}

// The child's CPU seconds so far, from the one source that is right where this runs.
class ChildCpu {
 public:
  explicit ChildCpu(OrderlumeRun& run) : run_(run), proc_(ChildProc(run)), wine_(benchproc::UnderWine()) {}
  std::optional<double> Seconds() const {
    if (proc_) return benchproc::CpuSeconds(*proc_);
    if (!wine_) return ApiCpuSeconds(run_.Process()->Handle());
    return std::nullopt;
  }
  std::string Source() const {
    if (proc_) return benchproc::LinuxName(*proc_);
    return wine_ ? "its Linux process not found" : "GetProcessTimes";
  }

 private:
  OrderlumeRun& run_;
  std::optional<std::wstring> proc_;
  bool wine_;
};

bool WaitShown(OrderlumeRun& run) {
  return run.WaitForLog(L"< started", 1, 15000) && WaitProgramWindow(run.Process()->Id(), L"Orderlume");
}

// The figures of one start; a missing one stays empty.
struct StartFigures {
  std::optional<double> datagramMs, workingSet, peakWorkingSet, rss, anonymous, files, sharedMemory;
};

std::string StartLine(const StartFigures& f) {
  return "datagram after " + Figure(f.datagramMs, 6, 1) + " ms; working set " + Figure(f.workingSet, 5, 1) +
         " MB (peak " + Figure(f.peakWorkingSet, 5, 1) + "); VmRSS " + Figure(f.rss, 5, 1) + " MB (anonymous " +
         Figure(f.anonymous, 5, 1) + ", files " + Figure(f.files, 5, 1) + ", shared memory " +
         Figure(f.sharedMemory, 4, 1) + ")";
}

int Startup(int runs) {
  std::vector<StartFigures> all;
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
    StartFigures f;
    f.datagramMs = t1 - t0;
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    if (GetProcessMemoryInfo(run.Process()->Handle(), &m, sizeof m)) {
      f.workingSet = m.WorkingSetSize / 1048576.0;
      f.peakWorkingSet = m.PeakWorkingSetSize / 1048576.0;
    }
    if (const auto proc = ChildProc(run)) {
      f.rss = benchproc::StatusMb(*proc, "VmRSS");
      f.anonymous = benchproc::StatusMb(*proc, "RssAnon");
      f.files = benchproc::StatusMb(*proc, "RssFile");
      f.sharedMemory = benchproc::StatusMb(*proc, "RssShmem");
    }
    all.push_back(f);
    std::printf("run %2d: %s\n", i + 1, StartLine(f).c_str());
    run.Stop();
  }
  auto median = [&](std::optional<double> StartFigures::*figure) {
    std::vector<std::optional<double>> v;
    for (const auto& f : all) v.push_back(f.*figure);
    return Median(v);
  };
  const StartFigures medians{median(&StartFigures::datagramMs),     median(&StartFigures::workingSet),
                             median(&StartFigures::peakWorkingSet), median(&StartFigures::rss),
                             median(&StartFigures::anonymous),      median(&StartFigures::files),
                             median(&StartFigures::sharedMemory)};
  std::printf("median of %d: %s\n", runs, StartLine(medians).c_str());
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
  const ChildCpu program(run);
  const auto xserver = XServerProc();
  auto xCpu = [&]() { return xserver ? benchproc::CpuSeconds(*xserver) : std::nullopt; };
  const auto program0 = program.Seconds(), x0 = xCpu();
  const double t0 = benchproc::NowMs();
  zebhost::Wait(10000);
  const auto program1 = program.Seconds(), x1 = xCpu();
  const double wall = (benchproc::NowMs() - t0) / 1000;
  // Seconds of CPU over the interval and the share of one core, or n/a; no tick counted is shown as
  // less than one (Linux counts CPU time in hundredths of a second).
  auto used = [&](const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b) return std::string("n/a");
    char out[80];
    if (*b - *a <= 0)
      std::snprintf(out, sizeof out, "under 0.01 s CPU (under %.2f%% of a core)", 100 * 0.01 / wall);
    else
      std::snprintf(out, sizeof out, "%.2f s CPU (%.2f%% of a core)", *b - *a, 100 * (*b - *a) / wall);
    return std::string(out);
  };
  std::printf("%s, shown %.1f s: program %s [%s]; X server %s [%s]\n", animate ? "animation running" : "idle", wall,
              used(program0, program1).c_str(), program.Source().c_str(), used(x0, x1).c_str(),
              xserver ? benchproc::LinuxName(*xserver).c_str() : "not found");
  run.Stop();
  return program0 && program1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "startup";
  if (mode == "idle") return Cpu(false);
  if (mode == "anim") return Cpu(true);
  return Startup(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10);
}
