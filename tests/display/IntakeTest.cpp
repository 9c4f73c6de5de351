// The copy-data intake and the delayed apply as the receipt display takes them, on a stand-in window:
// every message answered 1, the payload kept whole with the NULs that cbData covers, and the show
// that starts a 500 ms delay in place of a waiting check-data delay. Delays run out only when the
// test says so (RecordedDelays).
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
  DelayedApply Delay() { return {ScenarioTimerThread, window_, &RecordedDelays::Start}; }
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

}  // namespace
