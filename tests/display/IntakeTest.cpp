// The copy-data intake and the delayed apply as the receipt display takes them, on a stand-in window:
// every message answered 1, the payload kept whole with the NULs that cbData covers, the show that
// starts a 500 ms delay in place of a waiting check-data delay, and the stream of texts that is applied
// at the latest 2000 ms after its first. Delays run out, and the clock moves, only when the test says
// so (RecordedDelays).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IntakeSupport.h"
#include "TestFiles.h"
#include "display/Intake.h"
#include "shared/Logging.h"

namespace {

using Fate = RecordedDelays::Fate;

// A message-only window with the receipt display's handlers for copy data, show and the apply.
class ReceiptStandIn {
 public:
  ReceiptStandIn() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZebReceiptIntakeStandIn";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                              nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ReceiptStandIn() { DestroyWindow(window_); }
  HWND Window() const { return window_; }

  std::wstring PendingData;
  TTimerThreadRef ScenarioTimerThread;
  ULONG_PTR OtherTag = 0;  // the tag of the last record handed back for another tag
  int Applies = 0;

 private:
  DelayedApply Delay() { return {ScenarioTimerThread, window_, schedule_}; }
  LRESULT Handle(TMessage& m) {
    switch (m.Msg) {
      case WM_COPYDATA:
        if (const COPYDATASTRUCT* r = TakeCopyData(m, kReceiptDisplayIntake, PendingData, Delay()))
          if (r->dwData != CHECK_DATA_TAG) OtherTag = r->dwData;
        break;
      case WM_SHOW_DISPLAY:
        m.Result = 1;
        Delay().StartAnew(kFirstDelayMs);
        break;
      case WM_APPLY_DATA:
        m.Result = 1;
        ++Applies;
        ScenarioTimerThread.Reset();
        break;
    }
    return m.Result;
  }
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<ReceiptStandIn*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self || (msg != WM_COPYDATA && msg != WM_SHOW_DISPLAY && msg != WM_APPLY_DATA))
      return DefWindowProcW(h, msg, w, l);
    TMessage m{msg, w, l, 0};
    return self->Handle(m);
  }
  HWND window_;
  DelaySchedule schedule_{.StartDelay = &RecordedDelays::Start, .Now = &RecordedDelays::Now};
};

class ReceiptIntake : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalLogForTests();
    GlobalLog = new TLogFile(dir_ / L"Slipview.log", 50000, 3, 1, 10, false);
  }
  void TearDown() override {
    delays_.CancelAll();
    ResetGlobalLogForTests();
  }
  std::wstring Log() const { return ReadUtf16File(dir_ / L"Slipview.01.log"); }
  LRESULT SendCheck(const std::wstring& text) { return SendText(display_.Window(), CHECK_DATA_TAG, text); }
  void RunMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }

  TempDir dir_;
  RecordedDelays delays_;
  ReceiptStandIn display_;
};

TEST_F(ReceiptIntake, PayloadKeptWholeAndEveryTagAnswered1) {
  const PayloadCase cases[] = {
      {"a terminating NUL that cbData covers stays", CHECK_DATA_TAG, std::wstring(L"<a/>\0", 5), 10, true,
       std::wstring(L"<a/>\0", 5)},
      {"NULs inside stay", CHECK_DATA_TAG, std::wstring(L"\0x\0y", 4), 8, true, std::wstring(L"\0x\0y", 4)},
      {"cbData of 7: three characters", CHECK_DATA_TAG, L"abcd", 7, true, L"abc"},
      {"cbData ends the text", CHECK_DATA_TAG, L"abcd", 4, true, L"ab"},
      {"empty", CHECK_DATA_TAG, L"", 0, true, L""},
      {"scenario", SCENARIO_DATA_TAG, L"<a/>", 8, false, L""},
      {"menu", MENU_DATA_TAG, L"<a/>", 8, false, L""},
      {"tag 0xD5D5", 0xD5D5, L"<a/>", 8, false, L""},
  };
  for (const PayloadCase& c : cases) {
    SCOPED_TRACE(c.name);
    display_.PendingData = L"before";
    display_.OtherTag = 0;
    const size_t started = delays_.Count();
    const std::wstring log = Log();
    EXPECT_EQ(SendCopyData(display_.Window(), c.tag, c.Data(), c.bytes), 1);
    EXPECT_EQ(display_.PendingData, c.taken ? c.kept : L"before");
    EXPECT_EQ(delays_.Count() - started, c.taken ? 1u : 0u);
    EXPECT_EQ(display_.OtherTag, c.taken ? 0 : c.tag) << "another tag's record goes back to the caller";
    const std::wstring added = Log().substr(log.size());
    EXPECT_EQ(added.find(L"[NOTE] receive data\r\n") != std::wstring::npos, c.taken) << Narrow(added);
  }
  EXPECT_EQ(SendMessageW(display_.Window(), WM_COPYDATA, 0, 0), 1) << "no record: answered 1 all the same";
}

// Sequences of check texts (C), shows (S) and applies (A); a "!" marks a message whose delay runs out
// at once. Each letter but A starts a delay, whose interval must be the one listed.
TEST_F(ReceiptIntake, ShowAndCheckDataShareTheDelayedApply) {
  struct Sequence {
    const char* name;
    std::string steps;
    std::vector<int32_t> intervals;
    std::vector<Fate> fates;
    int applies;
  } sequences[] = {
      {"a show replaces a waiting check delay", "CS", {500, 500}, {Fate::Cancelled, Fate::Waiting}, 0},
      {"check data replaces a waiting show delay", "SC", {500, 1000}, {Fate::Cancelled, Fate::Waiting}, 0},
      {"a show after the check delay expired leaves it alone", "C!SA", {500, 500},
       {Fate::RanOut, Fate::Waiting}, 1},
      {"check data after the show delay expired: 1000 ms", "S!CA", {500, 1000}, {Fate::RanOut, Fate::Waiting}, 1},
      {"after the apply: 500 ms again", "C!AC", {500, 500}, {Fate::RanOut, Fate::Waiting}, 1},
      {"a burst", "CCC", {500, 1000, 1000}, {Fate::Cancelled, Fate::Cancelled, Fate::Waiting}, 0},
  };
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.name);
    const size_t first = delays_.Count();
    const int applies = display_.Applies;
    int texts = 0;
    for (size_t i = 0; i < s.steps.size(); ++i) {
      const char step = s.steps[i];
      if (step == 'A') {
        RunMessages();
        EXPECT_FALSE(display_.ScenarioTimerThread);
        continue;
      }
      if (i + 1 < s.steps.size() && s.steps[i + 1] == '!') delays_.RunOutNext();
      if (step == '!') continue;
      const LRESULT answer = step == 'C' ? SendCheck(L"text " + std::to_wstring(++texts))
                                         : SendMessageW(display_.Window(), WM_SHOW_DISPLAY, 0, 0);
      EXPECT_EQ(answer, 1);
      EXPECT_TRUE(display_.ScenarioTimerThread);
    }
    RunMessages();
    EXPECT_EQ(std::vector<int32_t>(delays_.Intervals().begin() + first, delays_.Intervals().end()), s.intervals);
    const std::vector<Fate> fates = delays_.Fates();
    EXPECT_EQ(std::vector<Fate>(fates.begin() + first, fates.end()), s.fates);
    EXPECT_EQ(display_.Applies - applies, s.applies);
    delays_.CancelAll();
    display_.ScenarioTimerThread.Reset();
  }
}

// A host that sends less than a second apart: each delay that replaces a waiting one runs out no later
// than 2000 ms after the text or show that found none waiting; a burst that ends sooner keeps its
// 500 and 1000 ms. Steps: the time (ms from the sequence's start), C a check text, c one whose delay
// runs out at once (its apply queued), S a show, A the messages run; the interval that each C, c and
// S must ask for.
TEST_F(ReceiptIntake, AStreamIsAppliedAtTheLatestTwoSecondsAfterItsFirst) {
  struct Step {
    DWORD at;
    char kind;
    int32_t interval = 0;
  };
  struct Sequence {
    const char* name;
    std::vector<Step> steps;
  } sequences[] = {
      {"every 400 ms",
       {{0, 'C', 500}, {400, 'C', 1000}, {800, 'C', 1000}, {1200, 'C', 800}, {1600, 'C', 400}}},
      {"a burst that ends sooner", {{0, 'C', 500}, {300, 'C', 1000}, {900, 'C', 1000}}},
      {"a text after the due time: at once", {{0, 'C', 500}, {1000, 'C', 1000}, {2100, 'C', 0}}},
      {"exactly at the due time", {{0, 'C', 500}, {1999, 'C', 1}, {2000, 'C', 0}}},
      // The delay that ran out has posted: the next text finds none waiting and begins a new stream.
      {"after the stream's apply, a new stream",
       {{0, 'C', 500}, {1900, 'c', 100}, {2000, 'A'}, {2400, 'C', 500}, {2800, 'C', 1000}, {4300, 'C', 100}}},
      {"a text while the expired delay's apply waits begins a new stream",
       {{0, 'C', 500}, {1900, 'c', 100}, {2000, 'C', 1000}, {3500, 'C', 500}, {3900, 'C', 100}}},
      {"a show begins a stream too", {{0, 'S', 500}, {400, 'C', 1000}, {1800, 'C', 200}}},
      {"a show replacing a waiting delay keeps the stream",
       {{0, 'C', 500}, {400, 'C', 1000}, {1700, 'S', 300}}},
  };
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.name);
    const size_t first = delays_.Count();
    std::vector<int32_t> expected;
    DWORD time = 0;
    for (const Step& step : s.steps) {
      delays_.Advance(step.at - time);
      time = step.at;
      if (step.kind == 'A') {
        RunMessages();
        continue;
      }
      if (step.kind == 'c') delays_.RunOutNext();
      expected.push_back(step.interval);
      const LRESULT answer =
          step.kind == 'S' ? SendMessageW(display_.Window(), WM_SHOW_DISPLAY, 0, 0) : SendCheck(L"text");
      EXPECT_EQ(answer, 1);
    }
    RunMessages();
    EXPECT_EQ(std::vector<int32_t>(delays_.Intervals().begin() + first, delays_.Intervals().end()), expected);
    delays_.CancelAll();
    display_.ScenarioTimerThread.Reset();
    delays_.Advance(10000);
  }
}

}  // namespace
