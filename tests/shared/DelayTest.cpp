// TTimerThread: the post when the interval runs out, the cancels, and the lifetime of the delay and
// its event across threads.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include <random>
#include <vector>

#include "shared/uUtils.h"

namespace {

// A message-only window that counts WM_APPLY_DATA.
class Receiver {
 public:
  Receiver() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZebDelayTestReceiver";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Receiver() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  // Pumps messages for `ms` milliseconds.
  void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      DWORD elapsed = GetTickCount() - start;
      if (elapsed >= ms) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
  }
  // Pumps until `n` posts have arrived or `ms` have passed.
  bool WaitFor(size_t n, DWORD ms) {
    DWORD start = GetTickCount();
    while (arrivals.size() < n && GetTickCount() - start < ms) Pump(5);
    return arrivals.size() >= n;
  }

  std::vector<DWORD> arrivals;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (msg == WM_APPLY_DATA && self) {
      EXPECT_EQ(w, 0u);
      EXPECT_EQ(l, 0);
      self->arrivals.push_back(GetTickCount());
      return 0;
    }
    return DefWindowProcW(h, msg, w, l);
  }
  HWND hwnd_;
};

bool WaitForNoDelays(DWORD ms) {
  DWORD start = GetTickCount();
  while (TTimerThread::LiveCount() != 0 && GetTickCount() - start < ms) Sleep(2);
  return TTimerThread::LiveCount() == 0;
}

int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te{};
  te.dwSize = sizeof te;
  int n = 0;
  if (Thread32First(snap, &te)) {
    do {
      if (te.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    } while (Thread32Next(snap, &te));
  }
  CloseHandle(snap);
  return n;
}

// One post, after the interval, from a delay started by hand or at its creation; then the delay
// releases itself.
TEST(Delay, PostsOnceWhenTheIntervalRunsOut) {
  struct Case {
    const char* what;
    bool startAtCreation;
    int32_t interval;  // set before the start; the default 1000 for a delay started at creation
    DWORD earliest, latest;
  } cases[] = {
      {"300 ms", false, 300, 280, 1500},
      {"the default second", true, 1000, 980, 3000},
      {"0 ms: at once", false, 0, 0, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Receiver r;
    const DWORD start = GetTickCount();
    TTimerThreadRef d = TTimerThread::Create(!c.startAtCreation, r.hwnd());
    if (!c.startAtCreation) {
      EXPECT_EQ(d.Interval(), 1000);
      d.SetInterval(c.interval);
      EXPECT_EQ(d.Interval(), c.interval);
      d.Start();
    }
    ASSERT_TRUE(r.WaitFor(1, c.latest + 2000));
    const DWORD elapsed = r.arrivals[0] - start;
    EXPECT_GE(elapsed, c.earliest);
    EXPECT_LT(elapsed, c.latest);
    r.Pump(300);
    EXPECT_EQ(r.arrivals.size(), 1u);
    EXPECT_TRUE(WaitForNoDelays(2000)) << "the delay releases itself after posting";
    EXPECT_TRUE(d.Ended());
    d.SetInterval(5);  // after the end: nothing to reach
    d.FinishThreadExecution();
  }
}

TEST(Delay, CancelsPostNothing) {
  Receiver r;
  // Before the start, once while waiting, and twice.
  TTimerThreadRef before = TTimerThread::Create(true, r.hwnd());
  before.SetInterval(100);
  before.FinishThreadExecution();
  before.Start();
  TTimerThreadRef waiting = TTimerThread::Create(true, r.hwnd());
  waiting.SetInterval(300);
  waiting.Start();
  r.Pump(50);
  waiting.FinishThreadExecution();
  waiting.FinishThreadExecution();
  EXPECT_TRUE(WaitForNoDelays(1000)) << "a cancelled delay returns at once";
  r.Pump(500);
  EXPECT_TRUE(r.arrivals.empty());
  EXPECT_TRUE(before.Ended());
  EXPECT_TRUE(waiting.Ended());
}

TEST(Delay, CancelAfterThePostDoesNothingAndThePostStillArrives) {
  Receiver r;
  TTimerThreadRef d = TTimerThread::Create(true, r.hwnd());
  d.SetInterval(10);
  d.Start();
  ASSERT_TRUE(WaitForNoDelays(2000));  // posted and ended; the post waits in the queue
  d.FinishThreadExecution();
  EXPECT_TRUE(r.WaitFor(1, 1000));
  r.Pump(100);
  EXPECT_EQ(r.arrivals.size(), 1u);
}

TEST(Delay, ANeverStartedDelayIsReleasedWithItsLastHolder) {
  Receiver r;
  {
    TTimerThreadRef d = TTimerThread::Create(true, r.hwnd());
    TTimerThreadRef copy = d;
    d.Reset();
    EXPECT_EQ(TTimerThread::LiveCount(), 1);
  }
  EXPECT_TRUE(WaitForNoDelays(2000));
  r.Pump(100);
  EXPECT_TRUE(r.arrivals.empty());
}

TEST(Delay, PostToAWindowThatIsGoneHasNoEffect) {
  HWND gone;
  {
    Receiver r;
    gone = r.hwnd();
  }
  TTimerThreadRef d = TTimerThread::Create(true, gone);
  d.SetInterval(0);
  d.Start();
  EXPECT_TRUE(WaitForNoDelays(2000));
}

// Thousands of start / cancel / expiry races: every delay ends and is released, no thread stays
// behind, no post comes from a cancelled-before-start delay, and none arrives twice. Each way of
// cancelling has a window of its own, so that the posts are counted per way.
TEST(Delay, StressOfStartCancelAndExpiryRaces) {
  enum Mode { CancelledBeforeStart, CancelledRightAfterStart, CancelledAfterAYield, NeverCancelled, kModes };
  Receiver receivers[kModes];
  int created[kModes] = {};
  const int baselineThreads = ThreadCount();
  DWORD baselineHandles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &baselineHandles);
  std::mt19937 rng(12345);
  const int rounds = 4000;
  TTimerThreadRef holder;
  int lastMode = 0;
  for (int i = 0; i < rounds; ++i) {
    const int mode = static_cast<int>(rng() % kModes);
    TTimerThreadRef d = TTimerThread::Create(true, receivers[mode].hwnd());
    d.SetInterval(static_cast<int32_t>(rng() % 3));
    if (mode == CancelledBeforeStart) d.FinishThreadExecution();
    d.Start();
    if (mode == CancelledRightAfterStart) d.FinishThreadExecution();  // races the expiry
    if (mode == CancelledAfterAYield) {
      if (rng() % 2) Sleep(0);
      d.FinishThreadExecution();
    }
    ++created[mode];
    lastMode = mode;
    holder = d;  // the form's field keeps the newest
    if (i % 64 == 0) receivers[0].Pump(0);  // takes the posts to every window of the thread
  }
  holder.FinishThreadExecution();  // may still cancel the newest
  ASSERT_TRUE(WaitForNoDelays(20000)) << TTimerThread::LiveCount() << " delays left";
  receivers[0].Pump(200);
  EXPECT_EQ(receivers[CancelledBeforeStart].arrivals.size(), 0u);
  for (int mode : {CancelledRightAfterStart, CancelledAfterAYield})
    EXPECT_LE(static_cast<int>(receivers[mode].arrivals.size()), created[mode]) << "mode " << mode;
  const int uncancelled = static_cast<int>(receivers[NeverCancelled].arrivals.size());
  EXPECT_LE(uncancelled, created[NeverCancelled]) << "a delay posted twice";
  EXPECT_GE(uncancelled, created[NeverCancelled] - (lastMode == NeverCancelled ? 1 : 0)) << "a post was lost";
  // Threads wind down right after their body: allow the scheduler a moment.
  DWORD start = GetTickCount();
  while (ThreadCount() > baselineThreads && GetTickCount() - start < 5000) Sleep(10);
  EXPECT_LE(ThreadCount(), baselineThreads);
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && baselineHandles > 0) {
    EXPECT_LE(handles, baselineHandles + 8) << "no event or thread handle is leaked";
  }
}

}  // namespace
