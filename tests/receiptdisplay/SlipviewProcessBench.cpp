// Not a test: the real Slipview.exe measured from outside, beside the smallest program with a window
// and GDI+ (EmptyWindowProgram) started the same way in the same run:
//   the working set (GetProcessMemoryInfo) and Linux's resident size (VmRSS and its anonymous and
//   file parts, under Wine) of the empty
//   program, of Slipview while shown and of Slipview after a hide (which trims its working set);
//   Slipview's CPU time over ten idle seconds shown and ten hidden (under Wine from its Linux /proc
//   entry, as Wine's GetProcessTimes answers with the caller's own times);
//   its memory after the first and the last of twenty further shows and hides.
// A figure that cannot be taken is printed as n/a.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <optional>
#include <string>

#include "../orderdisplay/BenchProc.h"
#include "E2eSupport.h"

namespace {

std::string Figure(const std::optional<double>& x, const char* format) {
  if (!x) return "n/a";
  char out[32];
  std::snprintf(out, sizeof out, format, *x);
  return out;
}

// The Linux side of a program started from its own fresh folder.
std::optional<std::wstring> LinuxProcess(const TempDir& folder, const std::wstring& exe) {
  std::wstring path = folder.Path();
  path.pop_back();
  const std::string tail = "\\" + Narrow(path.substr(path.find_last_of(L'\\') + 1)) + "\\" + Narrow(exe);
  return benchproc::FindProcess([&](const std::wstring&, const std::vector<std::string>& args) {
    return !args.empty() && benchproc::EndsWith(args[0], tail);
  });
}

struct Memory {
  std::optional<double> workingSet, rss, anonymous, files;
};

Memory Measure(HANDLE process, const std::optional<std::wstring>& proc) {
  Memory m;
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (GetProcessMemoryInfo(process, &c, sizeof c)) m.workingSet = c.WorkingSetSize / 1048576.0;
  if (proc) {
    m.rss = benchproc::StatusMb(*proc, "VmRSS");
    m.anonymous = benchproc::StatusMb(*proc, "RssAnon");
    m.files = benchproc::StatusMb(*proc, "RssFile");
  }
  return m;
}

void Print(const char* what, const Memory& m) {
  std::printf("%-28s working set %s MB, VmRSS %s MB (anonymous %s, files %s)\n", what,
              Figure(m.workingSet, "%.1f").c_str(), Figure(m.rss, "%.1f").c_str(), Figure(m.anonymous, "%.1f").c_str(),
              Figure(m.files, "%.1f").c_str());
}

std::optional<double> Ratio(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b || *b <= 0) return std::nullopt;
  return *a / *b;
}

// Percent of one core over `seconds`, from the Linux process's CPU time.
std::optional<double> IdleCpu(const std::optional<std::wstring>& proc, DWORD seconds) {
  const auto before = proc ? benchproc::CpuSeconds(*proc) : std::nullopt;
  zebhost::Wait(seconds * 1000);
  const auto after = proc ? benchproc::CpuSeconds(*proc) : std::nullopt;
  if (!before || !after) return std::nullopt;
  return 100.0 * (*after - *before) / seconds;
}

}  // namespace

int main() {
  Memory empty;
  {
    TempDir folder;
    zebhost::CopyInto(BuiltProgram(L"bench_empty_window.exe"), folder.Path());
    zebhost::ChildProcess child(folder / L"bench_empty_window.exe", L"", folder.Path());
    zebhost::Wait(3000);
    empty = Measure(child.Handle(), LinuxProcess(folder, L"bench_empty_window.exe"));
    child.Stop(5000);
  }
  Print("empty program (window, GDI+)", empty);

  DisplayRun run({BuiltProgram(L"Slipview.exe"), L"Slipview", L"Slipview"});
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
  const auto proc = LinuxProcess(run.Folder(), L"Slipview.exe");
  zebhost::ShowDisplay(h);
  zebhost::Wait(2000);
  const Memory shown = Measure(run.Process()->Handle(), proc);
  Print("Slipview shown", shown);
  const auto shownCpu = IdleCpu(proc, 10);
  zebhost::HideDisplay(h);
  zebhost::Wait(1000);
  const Memory hidden = Measure(run.Process()->Handle(), proc);
  Print("Slipview after a hide", hidden);
  const auto hiddenCpu = IdleCpu(proc, 10);
  std::printf("idle CPU over 10 s: shown %s %%, hidden %s %% of a core\n", Figure(shownCpu, "%.2f").c_str(),
              Figure(hiddenCpu, "%.2f").c_str());
  std::printf("after a hide / empty program: working set %s, VmRSS %s (goal at most 1.2)\n",
              Figure(Ratio(hidden.workingSet, empty.workingSet), "%.2f").c_str(),
              Figure(Ratio(hidden.rss, empty.rss), "%.2f").c_str());
  // Twenty more shows and hides: the memory after the first hide and after the last.
  Memory first, last;
  for (int cycle = 1; cycle <= 20; ++cycle) {
    zebhost::ShowDisplay(h);
    zebhost::Wait(700);
    zebhost::HideDisplay(h);
    zebhost::Wait(300);
    if (cycle == 1) first = Measure(run.Process()->Handle(), proc);
    if (cycle == 20) last = Measure(run.Process()->Handle(), proc);
  }
  Print("after show/hide cycle 1", first);
  Print("after show/hide cycle 20", last);
  run.Stop();
  return 0;
}
