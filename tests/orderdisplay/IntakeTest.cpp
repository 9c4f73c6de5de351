// The copy-data intake of the order display form in-process: for sequences of host texts, the
// interval of every delay started, which delays a cancel reached, the text kept and what the queued
// applies showed; and the payload rules. The delays are real, but whether one runs out is the test's
// to decide (RecordedDelays), so nothing here waits for 500 or 1000 ms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormSetTextFixture.h"
#include "IntakeSupport.h"

namespace {

using Fate = RecordedDelays::Fate;

// A check text whose apply shows "Text", line break, `n` in Layout2.
std::wstring Check(int n) {
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?><C ModeName=\"Mode_2\" ModeText=\"Text|" +
         std::to_wstring(n) + L"\"/>";
}

class OrderIntake : public OrderForm {
 protected:
  void SetUp() override {
    OrderForm::SetUp();
    if (HasFatalFailure()) return;
    Unit().Delays.StartDelay = &RecordedDelays::Start;
    Unit().Delays.Now = &RecordedDelays::Now;
  }
  void TearDown() override {
    delays_.CancelAll();
    OrderForm::TearDown();
  }

  // The current file of the form's numbered log.
  static std::wstring LogText() {
    std::wstring name = GlobalLog->FileName();
    name.insert(name.size() - 4, L".01");
    return ReadUtf16File(name);
  }
  static size_t Logged(const std::wstring& text) {
    const std::wstring log = LogText();
    size_t n = 0;
    for (size_t at = log.find(text); at != std::wstring::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
  std::wstring Shown() { return Form().Layout2->Visible() ? Form().Text2->GetText() : L""; }

  RecordedDelays delays_;
};

// One step of a sequence and what it must start.
struct Step {
  enum Kind {
    Text,         // a check text; its delay waits
    TextRunsOut,  // a check text whose delay runs out at once: posted, ended, its apply queued
    Apply,        // the messages run: every queued WM_APPLY_DATA is handled
  } kind;
  int32_t interval = 0;  // the interval that a text's delay must be asked for
  int appliedText = 0;   // Apply: the text that the header shows afterwards
};

struct Sequence {
  const char* name;
  std::vector<Step> steps;
  std::vector<Fate> fates;  // of the delays, in the order started
  size_t applies;
};

TEST_F(OrderIntake, DelayedApplyStates) {
  const Sequence sequences[] = {
      {"one text", {{Step::Text, 500}}, {Fate::Waiting}, 0},
      {"five in a burst",
       {{Step::Text, 500}, {Step::Text, 1000}, {Step::Text, 1000}, {Step::Text, 1000}, {Step::Text, 1000}},
       {Fate::Cancelled, Fate::Cancelled, Fate::Cancelled, Fate::Cancelled, Fate::Waiting},
       0},
      // The expired delay is still named: 1000 ms, the expired one left alone, and its queued apply
      // shows the newer text at once and forgets the new delay, which goes on waiting; a text after
      // that finds none (500 ms) and leaves the running delay alone too.
      {"a text after the delay expired, before its apply",
       {{Step::TextRunsOut, 500}, {Step::Text, 1000}, {Step::Apply, 0, 2}, {Step::Text, 500}},
       {Fate::RanOut, Fate::Waiting, Fate::Waiting},
       1},
      {"a text after the apply",
       {{Step::TextRunsOut, 500}, {Step::Apply, 0, 1}, {Step::Text, 500}, {Step::Text, 1000}},
       {Fate::RanOut, Fate::Cancelled, Fate::Waiting},
       1},
      {"a burst that runs out twice",
       {{Step::Text, 500}, {Step::TextRunsOut, 1000}, {Step::Apply, 0, 2}, {Step::TextRunsOut, 500},
        {Step::TextRunsOut, 1000}, {Step::Apply, 0, 4}},
       {Fate::Cancelled, Fate::RanOut, Fate::RanOut, Fate::RanOut},
       3},
  };
  const HWND window = Form().Handle();
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.name);
    const size_t applies = Logged(L"> apply data");
    const size_t first = delays_.Count();
    std::vector<int32_t> expected;
    int texts = 0;
    for (const Step& step : s.steps) {
      if (step.kind == Step::Apply) {
        ui::Application::Current()->ProcessMessages();
        EXPECT_FALSE(Form().ScenarioTimerThread) << "an apply forgets the delay, whichever posted";
        EXPECT_EQ(Shown(), L"Text\r\n" + std::to_wstring(step.appliedText));
        continue;
      }
      if (step.kind == Step::TextRunsOut) delays_.RunOutNext();
      EXPECT_EQ(SendText(window, CHECK_DATA_TAG, Check(++texts)), 0);
      expected.push_back(step.interval);
      EXPECT_EQ(Unit().PendingData, Check(texts));
      EXPECT_TRUE(Form().ScenarioTimerThread);
    }
    ui::Application::Current()->ProcessMessages();  // nothing more may be queued
    const std::vector<int32_t> intervals(delays_.Intervals().begin() + first, delays_.Intervals().end());
    EXPECT_EQ(intervals, expected);
    const std::vector<Fate> fates = delays_.Fates();
    EXPECT_EQ(std::vector<Fate>(fates.begin() + first, fates.end()), s.fates);
    EXPECT_EQ(Logged(L"> apply data") - applies, s.applies);
    // The next sequence starts idle.
    delays_.CancelAll();
    Form().ScenarioTimerThread.Reset();
  }
  EXPECT_EQ(LoggedFailures(), 0u);
}

TEST_F(OrderIntake, PayloadRules) {
  const PayloadCase cases[] = {
      {"five characters, no zero", CHECK_DATA_TAG, L"<a/> ", 10, true, L"<a/> "},
      {"third character zero", CHECK_DATA_TAG, std::wstring(L"xy\0de", 5), 10, true, L"xy"},
      {"first character zero", CHECK_DATA_TAG, std::wstring(L"\0abc", 4), 8, true, L""},
      {"a zero that cbData covers ends the text", CHECK_DATA_TAG, std::wstring(L"abc\0", 4), 8, true, L"abc"},
      {"cbData ends the text before a zero", CHECK_DATA_TAG, std::wstring(L"abc\0", 4), 4, true, L"ab"},
      {"odd last byte dropped", CHECK_DATA_TAG, L"abcd", 7, true, L"abc"},
      {"one byte", CHECK_DATA_TAG, L"a", 1, true, L""},
      {"empty", CHECK_DATA_TAG, L"", 0, true, L""},
      {"scenario tag", SCENARIO_DATA_TAG, L"<a/>", 8, false, L""},
      {"menu tag", MENU_DATA_TAG, L"<a/>", 8, false, L""},
      {"tag 0", 0, L"<a/>", 8, false, L""},
      {"a tag that only shares the low bits", CHECK_DATA_TAG + 0x10000, L"<a/>", 8, false, L""},
  };
  const HWND window = Form().Handle();
  for (const PayloadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Unit().PendingData = L"before";
    const std::wstring log = LogText();
    const size_t started = delays_.Count();
    EXPECT_EQ(SendCopyData(window, c.tag, c.Data(), c.bytes), 0);
    EXPECT_EQ(Unit().PendingData, c.taken ? c.kept : L"before");
    EXPECT_EQ(delays_.Count() - started, c.taken ? 1u : 0u);
    if (c.taken) {
      const std::wstring line = LogText().substr(log.size());  // one line, after its time stamp
      const std::wstring end = L"[NOTE] receive data\r\n";
      EXPECT_TRUE(line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0 &&
                  line.find(L"\n") == line.size() - 1)
          << Narrow(line);
    } else {
      EXPECT_EQ(LogText(), log) << "another tag leaves no line";
    }
  }
  // A copy-data message without a record is ignored alike.
  const std::wstring log = LogText();
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, 0), 0);
  EXPECT_EQ(LogText(), log);
}

}  // namespace
