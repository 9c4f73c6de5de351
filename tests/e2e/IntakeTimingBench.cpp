// How precisely Orderlume applies check data after its delay: over a number of runs (20 unless given
// on the command line) one text alone (applied 500 ms after it) and two texts 100 ms apart (applied
// 1000 ms after the second), each moment taken from the program's own log time stamps. Prints the
// median and the worst error of each. A benchmark, not a test: run it under Wine after a build.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "E2eSupport.h"

namespace {

const std::wstring kText =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check ModeName=\"Mode_1\" ModeText=\"bench\" Sum=\"0\"/>";

struct Errors {
  std::vector<long long> ms;  // measured delay minus the nominal one
  void Print(const char* what) const {
    std::vector<long long> a = ms;
    for (auto& v : a) v = std::llabs(v);
    std::sort(a.begin(), a.end());
    const long long median = a.empty() ? 0 : a[a.size() / 2];
    const long long worst = a.empty() ? 0 : a.back();
    printf("%s: %zu runs, median error %lld ms, worst error %lld ms; errors:", what, ms.size(), median, worst);
    for (long long v : ms) printf(" %+lld", v);
    printf("\n");
  }
};

// Sends the texts `gapMs` apart and returns the apply's distance from the last one, minus `nominal`.
bool Measure(OrderlumeRun& run, HWND window, int texts, DWORD gapMs, long long nominal, Errors& out) {
  const size_t receivedBefore = run.CountLog(L"receive data");
  const size_t appliedBefore = run.CountLog(L"< apply data");
  for (int i = 0; i < texts; ++i) {
    if (i) Sleep(gapMs);
    zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, kText);
  }
  if (!run.WaitForLog(L"< apply data", appliedBefore + 1, 5000)) return false;
  const auto received = run.LogTimes(L"receive data");
  const auto applied = run.LogTimes(L"> apply data");
  if (received.size() != receivedBefore + texts || applied.size() != appliedBefore + 1) return false;
  out.ms.push_back(applied.back() - received.back() - nominal);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
  try {
    OrderlumeRun run;
    run.Start();
    HWND window = run.WaitVisible();
    if (!window) {
      fprintf(stderr, "Orderlume did not show its window\n");
      return 1;
    }
    Sleep(500);
    Errors single, burst;
    for (int i = 0; i < runs; ++i) {
      if (!Measure(run, window, 1, 0, 500, single) || !Measure(run, window, 2, 100, 1000, burst)) {
        fprintf(stderr, "run %d: the log does not show the expected apply\n", i + 1);
        return 1;
      }
      Sleep(100);
    }
    single.Print("one text, 500 ms");
    burst.Print("two texts, 1000 ms");
    run.Stop();
    return 0;
  } catch (const std::exception& e) {
    fprintf(stderr, "failed: %s\n", e.what());
    return 1;
  }
}
