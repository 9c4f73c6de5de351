// Orderlume's intake of the host's messages, driven from outside through the host library: the delayed
// apply of check data (a burst applied once, separate texts each applied, a text that comes while an
// expired delay's apply still waits in the queue, a stream that never pauses), the tags and payload
// shapes it takes or ignores, show and hide, messages that go on to the window's own procedure, and a
// flood of random copy-data.
//
// Which text an apply used is seen in the log: a text that does not parse makes the apply log
// "AV in FormSetText", a valid one logs nothing of its own.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "E2eSupport.h"

namespace {

using zebhost::CHECK_DATA_TAG;

constexpr std::int64_t kTolerance = 250;  // ms a loaded machine may add to a delay

const std::wstring kBroken = L"not a check";

std::wstring MessageCheck(const std::wstring& text) {
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check ModeName=\"Mode_1\" ModeText=\"" + text +
         L"\" Sum=\"0\"/>";
}

// The intake's log lines after the first `from` lines, shortened: "receive", ">", "<", "AV".
std::vector<std::string> IntakeEvents(const OrderlumeRun& run, size_t from,
                                      std::vector<std::int64_t>* times = nullptr) {
  std::vector<std::string> out;
  const auto lines = run.TimedLogLines();
  for (size_t i = from; i < lines.size(); ++i) {
    const std::wstring& t = lines[i].text;
    std::string e = t == L"[NOTE] receive data"       ? "receive"
                    : t == L"[NOTE] > apply data"     ? ">"
                    : t == L"[NOTE] < apply data"     ? "<"
                    : t == L"[ERROR] AV in FormSetText" ? "AV"
                                                        : Narrow(t);
    out.push_back(e);
    if (times) times->push_back(lines[i].timeMs);
  }
  return out;
}

// The time of the n-th event `what` (0-based) among the events.
std::int64_t TimeOf(const std::vector<std::string>& events, const std::vector<std::int64_t>& times,
                    const std::string& what, int n) {
  for (size_t i = 0; i < events.size(); ++i)
    if (events[i] == what && n-- == 0) return times[i];
  ADD_FAILURE() << "no event " << what;
  return 0;
}

// Sends each text at its offset (ms) from the first send.
void SendAt(HWND h, const std::vector<std::pair<DWORD, std::wstring>>& plan) {
  const DWORD start = GetTickCount();
  for (const auto& [at, text] : plan) {
    while (GetTickCount() - start < at) Sleep(1);
    EXPECT_EQ(zebhost::SendCopyData(h, CHECK_DATA_TAG, text), 0);
  }
}

// A solid 8x8 24-bit BMP.
void WriteSolidBmp(const std::wstring& path, COLORREF color) {
  const int w = 8, h = 8, row = w * 3;
  std::vector<unsigned char> b(54 + row * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1;
  b[28] = 24;
  put32(34, row * h);
  for (int i = 0; i < w * h; ++i) {
    b[54 + i * 3] = GetBValue(color);
    b[55 + i * 3] = GetGValue(color);
    b[56 + i * 3] = GetRValue(color);
  }
  WriteBytes(path, b);
}

// Header animation frames that alternate red and blue, so that every timer tick redraws the window.
void WriteRedBlueFrames(const OrderlumeRun& run) {
  CreateDirectoryW((run.Folder() / L"media").c_str(), nullptr);
  CreateDirectoryW((run.Folder() / L"media\\anim").c_str(), nullptr);
  WriteSolidBmp(run.Folder() / L"media\\anim\\a.bmp", RGB(255, 0, 0));
  WriteSolidBmp(run.Folder() / L"media\\anim\\b.bmp", RGB(0, 0, 255));
}

// Whether the header corner shows both frames within about half a second (the timer runs).
// Whether the header's corner shows both frames within 5 s. The looks come at uneven intervals, so
// that a slow capture cannot fall into step with the frames' turn and meet the same frame each time.
bool HeaderAnimates(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  const RECT corner{r.left + 4, r.top + 4, r.left + 5, r.top + 5};
  bool red = false, blue = false;
  const DWORD start = GetTickCount();
  for (int i = 0; !(red && blue) && GetTickCount() - start < 5000; ++i) {
    const uint32_t p = CaptureScreen(corner).pixels[0];
    red |= p == 0xFF0000;
    blue |= p == 0x0000FF;
    Sleep(7 + (i * 13) % 40);
  }
  return red && blue;
}

size_t ThreadCount(DWORD processId) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 e{};
  e.dwSize = sizeof e;
  size_t n = 0;
  for (BOOL more = Thread32First(snap, &e); more; more = Thread32Next(snap, &e))
    if (e.th32OwnerProcessID == processId) ++n;
  CloseHandle(snap);
  return n;
}

std::wstring WindowText(HWND h, WPARAM size, LRESULT* answer) {
  std::wstring buffer(64, L'\0');
  *answer = zebhost::SendWithTimeout(h, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.c_str();
}

// Waits until the log has not grown for `quietMs`.
void WaitLogQuiet(const OrderlumeRun& run, DWORD quietMs, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  size_t size = run.TimedLogLines().size();
  DWORD since = GetTickCount();
  while (GetTickCount() - start < timeoutMs && GetTickCount() - since < quietMs) {
    Sleep(50);
    const size_t now = run.TimedLogLines().size();
    if (now != size) {
      size = now;
      since = GetTickCount();
    }
  }
}

class OrderlumeIntake : public ::testing::Test {
 protected:
  void StartVisible() {
    run.Start();
    // The program's own window: another program with the same caption may run beside it.
    window = WaitProgramWindow(run.Process()->Id(), L"Orderlume");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(run.WaitForLog(L"< started", 1, 10000));
  }
  OrderlumeRun run;
  HWND window = nullptr;
};

TEST_F(OrderlumeIntake, BurstIsAppliedOnceWithTheLastTextAndSeparateTextsEachAfterHalfASecond) {
  StartVisible();

  // Five texts within 300 ms: only the fifth does not parse, so its apply is the one that logs.
  size_t mark = run.TimedLogLines().size();
  SendAt(window, {{0, MessageCheck(L"1")}, {75, MessageCheck(L"2")}, {150, MessageCheck(L"3")},
                  {225, MessageCheck(L"4")}, {300, kBroken}});
  ASSERT_TRUE(run.WaitForLog(L"< apply data", 1, 5000));
  zebhost::Wait(1300);  // a second apply would come by now
  std::vector<std::int64_t> times;
  auto events = IntakeEvents(run, mark, &times);
  EXPECT_EQ(events, (std::vector<std::string>{"receive", "receive", "receive", "receive", "receive", ">",
                                              "AV", "<"}));
  const std::int64_t burstDelay = TimeOf(events, times, ">", 0) - TimeOf(events, times, "receive", 4);
  printf("burst: apply %lld ms after the fifth text\n", static_cast<long long>(burstDelay));
  EXPECT_NEAR(burstDelay, 1000, kTolerance);

  // One text, another 600 ms later: each applied on its own, half a second after it came.
  mark = run.TimedLogLines().size();
  SendAt(window, {{0, kBroken}, {600, MessageCheck(L"second")}});
  ASSERT_TRUE(run.WaitForLog(L"< apply data", 3, 5000));
  zebhost::Wait(700);
  times.clear();
  events = IntakeEvents(run, mark, &times);
  EXPECT_EQ(events, (std::vector<std::string>{"receive", ">", "AV", "<", "receive", ">", "<"}));
  for (int i = 0; i < 2; ++i) {
    const std::int64_t delay = TimeOf(events, times, ">", i) - TimeOf(events, times, "receive", i);
    printf("separate text %d: apply %lld ms after it\n", i + 1, static_cast<long long>(delay));
    EXPECT_NEAR(delay, 500, kTolerance);
  }
}

TEST_F(OrderlumeIntake, TextsThatNeverPauseAreStillApplied) {
  StartVisible();
  ExpectCheckStreamApplied(run, window, MessageCheck(L"stream"), 0);
}

// The gap is made by keeping the program's thread busy: the header shows a very long text that takes
// a second or more to draw, and the animation timer redraws it at every tick. It is the currency of
// the total layout, centred in its small box, made of a letter that the display does not count when
// it cuts a text to what can appear (f with hook, from the Western code page): such a text goes to
// GDI+ whole, which lays all of it out to centre it. A text B is taken
// between two drawings; its delay expires during the next drawing and posts; the text C sent 900 ms
// after B waits and is handled before the posted apply (sent messages come first). The queued apply
// then applies C at once, and C's own 1000 ms delay applies it again; B (which does not parse) is
// never applied. When the drawing ends before C comes, the message is made longer and it is tried
// again.
TEST_F(OrderlumeIntake, TextHandledBeforeAnExpiredDelaysApplyIsAppliedTwice) {
  WriteRedBlueFrames(run);
  StartVisible();
  for (int words = 2000; words <= 64000; words *= 2) {
    std::wstring text;
    for (int i = 0; i < words; ++i) text += L"\u0192\u0192\u0192\u0192 ";
    size_t applies = run.CountLog(L"< apply data");
    const std::wstring total = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check ModeName=\"Mode_4\" Currency=\"" +
                               text + L"\" Sum=\"0\"/>";
    ASSERT_EQ(zebhost::SendCopyData(window, CHECK_DATA_TAG, total, 60000), 0);
    ASSERT_TRUE(run.WaitForLog(L"< apply data", ++applies, 60000));

    const size_t mark = run.TimedLogLines().size();
    ASSERT_EQ(zebhost::SendCopyData(window, CHECK_DATA_TAG, kBroken, 60000), 0);
    const DWORD handledB = GetTickCount();
    while (GetTickCount() - handledB < 900) Sleep(1);
    ASSERT_EQ(zebhost::SendCopyData(window, CHECK_DATA_TAG, MessageCheck(L"C"), 60000), 0);
    ASSERT_TRUE(run.WaitForLog(L"< apply data", applies + 2, 60000));
    zebhost::Wait(1500);

    std::vector<std::int64_t> times;
    const auto events = IntakeEvents(run, mark, &times);
    if (events.size() >= 2 && events[1] == ">") {
      printf("%d words: B's delay was applied before C came; longer\n", words);
      continue;
    }
    EXPECT_EQ(events, (std::vector<std::string>{"receive", "receive", ">", "<", ">", "<"}));
    if (events.size() == 6) {
      printf("%d words: B to C %lld ms; queued apply %lld ms and C's own apply %lld ms after C\n", words,
             static_cast<long long>(times[1] - times[0]), static_cast<long long>(times[2] - times[1]),
             static_cast<long long>(times[4] - times[1]));
      // C's own apply comes 1000 ms after C, later only by a drawing that holds the thread when its
      // delay ends: the host's wait for C's answer beyond its own 900 ms shows how long one takes.
      const std::int64_t drawing = std::max<std::int64_t>(times[1] - times[0] - 900, 0);
      EXPECT_GE(times[4] - times[1], 1000 - kTolerance);
      EXPECT_LE(times[4] - times[1], 1000 + kTolerance + drawing);
    }
    return;
  }
  FAIL() << "the program's thread could not be kept busy long enough";
}

struct PayloadCase {
  const char* name;
  ULONG_PTR tag;
  std::vector<unsigned char> bytes;
  bool taken;
  bool parses;  // what the apply gets is a check text (an XML document)
};

std::vector<unsigned char> Bytes(const std::wstring& units) { return Utf16Bytes(units); }
std::vector<unsigned char> Append(std::vector<unsigned char> a, std::initializer_list<unsigned char> more) {
  a.insert(a.end(), more);
  return a;
}

TEST_F(OrderlumeIntake, TagsAndPayloadShapes) {
  const std::wstring doc = L"<a/> ";  // five characters, ten bytes, a document
  const PayloadCase cases[] = {
      {"scenario tag", zebhost::SCENARIO_DATA_TAG, Bytes(MessageCheck(L"x")), false, false},
      {"menu tag", zebhost::MENU_DATA_TAG, Bytes(MessageCheck(L"x")), false, false},
      {"ten bytes, no zero", CHECK_DATA_TAG, Bytes(doc), true, true},
      // Taken whole, "<a/> <" would not parse: the odd byte must be left out.
      {"odd length", CHECK_DATA_TAG, Append(Bytes(doc), {'<'}), true, true},
      // "xy" is all that is read; the document after the zero is not.
      {"third character zero", CHECK_DATA_TAG, Bytes(std::wstring(L"xy") + L'\0' + L"<a/>"), true, false},
      {"first character zero", CHECK_DATA_TAG, Bytes(std::wstring(1, L'\0') + doc), true, false},
      {"document up to the zero", CHECK_DATA_TAG, Bytes(doc + L'\0' + L"<<<"), true, true},
      {"empty", CHECK_DATA_TAG, {}, true, false},
  };
  StartVisible();
  for (const PayloadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t mark = run.TimedLogLines().size();
    EXPECT_EQ(zebhost::SendCopyDataBytes(window, c.tag, c.bytes), 0);
    if (c.taken) {
      ASSERT_TRUE(run.WaitForLog(L"< apply data", run.CountLog(L"< apply data") + 1, 5000));
    }
    zebhost::Wait(c.taken ? 200 : 900);
    const auto events = IntakeEvents(run, mark);
    if (!c.taken)
      EXPECT_TRUE(events.empty());
    else if (c.parses)
      EXPECT_EQ(events, (std::vector<std::string>{"receive", ">", "<"}));
    else
      EXPECT_EQ(events, (std::vector<std::string>{"receive", ">", "AV", "<"}));
  }
  EXPECT_TRUE(run.Process()->Running());
}

TEST_F(OrderlumeIntake, ShowHideAndMessagesForTheWindowsOwnProcedure) {
  WriteRedBlueFrames(run);
  StartVisible();
  zebhost::Wait(300);
  RECT before, after;
  GetWindowRect(window, &before);
  ASSERT_TRUE(HeaderAnimates(window));
  const size_t mark = run.TimedLogLines().size();

  // Show while shown and hide while hidden: answered 0, the window as it was.
  EXPECT_EQ(zebhost::ShowDisplay(window), 0);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(HeaderAnimates(window));
  EXPECT_EQ(zebhost::HideDisplay(window), 0);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(zebhost::HideDisplay(window), 0);
  EXPECT_FALSE(IsWindowVisible(window));
  zebhost::Wait(200);
  EXPECT_EQ(zebhost::ShowDisplay(window), 0);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(HeaderAnimates(window)) << "the timer runs again after a show";
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));

  // Any other message reaches the window's own procedure with its values, and its answer comes back.
  LRESULT answer = 0;
  EXPECT_EQ(WindowText(window, 64, &answer), L"Orderlume");
  EXPECT_EQ(answer, 9);
  EXPECT_EQ(WindowText(window, 4, &answer), L"Ord");
  EXPECT_EQ(answer, 3);
  EXPECT_EQ(zebhost::SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0), 9);
  EXPECT_EQ(zebhost::SendWithTimeout(window, WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  EXPECT_EQ(zebhost::SendWithTimeout(window, WM_NULL, 0, 0), 0);
  EXPECT_EQ(zebhost::SendWithTimeout(window, 0x0500, 1, 2), 0);
  zebhost::Wait(700);
  EXPECT_TRUE(IntakeEvents(run, mark).empty()) << "show, hide and other messages log nothing";

  // WM_APPLY_DATA from anyone applies the kept text (none yet: it does not parse), answered 0.
  EXPECT_EQ(zebhost::SendWithTimeout(window, zebhost::WM_APPLY_DATA, 0, 0), 0);
  EXPECT_EQ(IntakeEvents(run, mark), (std::vector<std::string>{">", "AV", "<"}));
}

// Random copy-data: any tag, lengths up to megabytes, zeros, lone surrogates, check-like texts. Wine
// does not deliver a WM_COPYDATA of about 2 MB or more to another process at all (the sender only
// times out), so the longest payloads stay just below that.
std::vector<unsigned char> RandomPayload(std::mt19937& rng) {
  std::uniform_int_distribution<int> pick(0, 99);
  const int sizeKind = pick(rng);
  const size_t limit = sizeKind < 70 ? 64 : sizeKind < 95 ? 4096 : sizeKind < 99 ? 256 * 1024 : 2000000;
  const size_t size = std::uniform_int_distribution<size_t>(0, limit)(rng);
  std::vector<unsigned char> b;
  b.reserve(size + 2);
  switch (pick(rng) % 4) {
    case 0:  // any bytes
      while (b.size() < size) b.push_back(static_cast<unsigned char>(rng()));
      break;
    case 1:  // surrogates and zeros among plain letters
      while (b.size() + 1 < size) {
        const int k = pick(rng);
        const unsigned u = k < 30 ? 0xD800 + rng() % 0x800 : k < 35 ? 0 : 0x20 + rng() % 0x450;
        b.push_back(static_cast<unsigned char>(u));
        b.push_back(static_cast<unsigned char>(u >> 8));
      }
      break;
    default: {  // a check text, cut anywhere, with a stray unit here and there
      std::wstring text = MessageCheck(L"\xD800 x \xDFFF | y") + L"<CheckLines><Line Name=\"a\" Qnt=\"1e400\"/>";
      b = Utf16Bytes(text.substr(0, rng() % (text.size() + 1)));
      if (!b.empty() && pick(rng) < 30) b[rng() % b.size()] = static_cast<unsigned char>(rng());
      if (pick(rng) < 20) b.push_back('x');  // odd length
    }
  }
  return b;
}

TEST_F(OrderlumeIntake, RandomCopyDataLeavesItResponsiveWithAWellFormedLog) {
  StartVisible();
  zebhost::Wait(300);
  const size_t threadsBefore = ThreadCount(run.Process()->Id());
  const unsigned seed = 20240605;
  std::mt19937 rng(seed);
  const ULONG_PTR tags[] = {CHECK_DATA_TAG, CHECK_DATA_TAG, zebhost::SCENARIO_DATA_TAG, zebhost::MENU_DATA_TAG, 0, 1};
  const size_t mark = run.TimedLogLines().size();
  size_t checks = 0;
  for (int i = 0; i < 3000; ++i) {
    const int k = static_cast<int>(rng() % 8);
    const ULONG_PTR tag = k < 6 ? tags[k] : static_cast<ULONG_PTR>(rng());
    checks += tag == CHECK_DATA_TAG;
    const auto payload = RandomPayload(rng);
    ASSERT_EQ(zebhost::SendCopyDataBytes(window, tag, payload, 20000), 0)
        << "message " << i << ", tag " << tag << ", " << payload.size() << " bytes";
  }
  printf("sent 3000 messages, %zu with the check-data tag (seed %u)\n", checks, seed);

  LRESULT answer = 0;
  EXPECT_EQ(WindowText(window, 64, &answer), L"Orderlume");
  WaitLogQuiet(run, 1500, 20000);
  EXPECT_TRUE(run.Process()->Running());
  EXPECT_EQ(WindowText(window, 64, &answer), L"Orderlume");

  const auto raw = zebhost::ReadLogLines(run.LogFile());
  for (const auto& line : raw) EXPECT_TRUE(zebhost::ParseLogLine(line).has_value()) << Narrow(line);
  const auto events = IntakeEvents(run, mark);
  EXPECT_EQ(static_cast<size_t>(std::count(events.begin(), events.end(), "receive")), checks);
  EXPECT_GE(std::count(events.begin(), events.end(), ">"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), ">"), std::count(events.begin(), events.end(), "<"));
  // Every cancelled delay's thread has ended.
  EXPECT_LE(ThreadCount(run.Process()->Id()), threadsBefore + 1);
}

}  // namespace
