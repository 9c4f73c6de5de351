// Slipview under the test host: it starts hidden in the top-most band without a taskbar button,
// registers, shows at its place and hides on the host's word, answers every message 1, applies a
// burst of check data once and a stream that never pauses every 2 s or so, applies twice a check
// that comes between a delay's end and its apply, and survives what the host sends wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "E2eSupport.h"

namespace {

constexpr ULONG_PTR kUnknownTag = 0xD5D5;

class SlipviewRun : public DisplayRun {
 public:
  explicit SlipviewRun(const std::string& extraSettings = "", bool setHost = true)
      : DisplayRun({BuiltProgram(L"Slipview.exe"), L"Slipview", L"Slipview"}, extraSettings, setHost) {}

  // The display window once form creation has ended; it is hidden, so it is looked up by its class.
  HWND StartAndWaitCreated() {
    Start();
    EXPECT_TRUE(WaitForLog(L"< Create", 1, 15000)) << "form creation did not end";
    HWND h = nullptr;
    const DWORD pid = Process()->Id();
    for (HWND w = FindWindowW(L"TfmSlipview", nullptr); w; w = FindWindowExW(nullptr, w, L"TfmSlipview", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid) h = w;
    }
    EXPECT_NE(h, nullptr) << "no receipt window";
    return h;
  }
};

TEST(SlipviewStart, RegistersStartsHiddenAndShowsAtItsPlace) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  auto datagram = run.Receiver().Receive(5000);
  ASSERT_TRUE(datagram.has_value()) << "no registration datagram";
  EXPECT_EQ(datagram->bytes, Utf16Bytes(L"1002003<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                        L"<Item Name=\"Slipview\" Scenario=\"1\" Check=\"1\" />"));
  EXPECT_EQ(datagram->bytes.size(), 184u);

  EXPECT_FALSE(IsWindowVisible(h));
  const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_NE(ex & WS_EX_TOPMOST, 0);
  EXPECT_NE(ex & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(ex & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);

  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  EXPECT_TRUE(IsWindowVisible(h));
  ExpectWindowRect(h, 1024, 220, 768, 805);
  EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1) << "a show of a shown display";
  EXPECT_TRUE(run.WaitForLog(L"< apply data", 1, 3000)) << "a show applies the kept texts again";
  EXPECT_EQ(zebhost::HideDisplay(h), 1);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(zebhost::HideDisplay(h), 1) << "a hide of a hidden display";
  // No window of the program is visible, so none can carry a taskbar button.
  EXPECT_TRUE(VisibleWindowsOf(run.Process()->Id()).empty());

  ASSERT_TRUE(run.Stop(10000)) << "the program did not end after its window was closed";
  const std::vector<std::wstring> expected = {
      L"[NOTE] > Create",     L"[NOTE] Socket registration sent ", L"[NOTE] > started",
      L"[NOTE] < started",    L"[NOTE] < Create",                  L"[NOTE] > apply data",
      L"[ERROR] AV in FormCheckText",  // the show's apply comes before any check data
      L"[NOTE] < apply data", L"[NOTE] > Close",                   L"[NOTE] < Close",
      L"[NOTE] > closing socket", L"[NOTE] < closing socket"};
  EXPECT_EQ(run.LogLines(), expected);
}

TEST(SlipviewStart, SettingsPlaceTheWindow) {
  SlipviewRun run("[SCREENPOSITION]\r\nCheckLeft=10\r\nCheckTop=20\r\nCheckWidth=600\r\nCheckHeight=700\r\n");
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  ExpectWindowRect(h, 10, 20, 600, 700);
}

// A strings table that does not parse ends the guarded steps: no registration, the window stays at
// its design place, and the host's messages are still taken and answered.
TEST(SlipviewStart, StringsTableThatFailsLeavesTheLaterStepsUndone) {
  SlipviewRun run;
  WriteText(run.Folder() / L"ZebStrings.xml", "<?xml version=\"1.0\"?><Strings><RUS>");
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(run.Receiver().Receive(500).has_value()) << "no registration";
  ExpectWindowRect(h, 0, 0, 776, 832);
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check/>"), 1);
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, L"<Menu/>"), 1);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  EXPECT_TRUE(run.WaitForLog(L"< apply data", 1, 3000));
  EXPECT_EQ(zebhost::HideDisplay(h), 1);
  ASSERT_TRUE(run.Stop());
  const std::vector<std::wstring> lines = run.LogLines();
  const std::vector<std::wstring> start(lines.begin(), lines.begin() + std::min<size_t>(3, lines.size()));
  EXPECT_EQ(start, (std::vector<std::wstring>{L"[NOTE] > Create", L"[ERROR] AV in FormCreate", L"[NOTE] < Create"}));
  EXPECT_EQ(run.CountLog(L"application self-terminated"), 0u);
}

TEST(SlipviewIntake, BurstOfCheckDataIsAppliedOnceAfterTheLast) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  for (int i = 0; i < 3; ++i) {
    if (i) zebhost::Wait(200);
    EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check/>"), 1);
  }
  zebhost::Wait(1600);
  EXPECT_EQ(run.CountLog(L"> apply data"), 1u);
  const auto received = run.LogTimes(L"receive data");
  const auto applied = run.LogTimes(L"> apply data");
  ASSERT_EQ(received.size(), 3u);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_GE(applied[0] - received[2], 950);
  EXPECT_LE(applied[0] - received[2], 1400);
}

TEST(SlipviewIntake, CheckDataThatNeverPausesIsStillApplied) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  ExpectCheckStreamApplied(run, h, L"<Check/>", 1);
}

// The intake's log lines from the `from`-th on, shortened ("receive", "menu", ">", "<"), with their times.
std::vector<std::string> IntakeEvents(const DisplayRun& run, size_t from, std::vector<std::int64_t>& times) {
  std::vector<std::string> out;
  const auto lines = run.TimedLogLines();
  for (size_t i = from; i < lines.size(); ++i) {
    const std::wstring& t = lines[i].text;
    out.push_back(t == L"[NOTE] receive data"   ? "receive"
                  : t == L"[NOTE] receive menu" ? "menu"
                  : t == L"[NOTE] > apply data" ? ">"
                  : t == L"[NOTE] < apply data" ? "<"
                                                : Narrow(t));
    times.push_back(lines[i].timeMs);
  }
  return out;
}

// A menu of `dishes` dishes, which the display parses as it comes.
std::wstring LargeMenu(int dishes) {
  std::wstring menu = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Menu>";
  menu.reserve(static_cast<size_t>(dishes) * 72);
  for (int i = 1; i <= dishes; ++i) {
    const std::wstring code = std::to_wstring(i);
    menu += L"<Dish Code=\"" + code + L"\" Name=\"Dish " + code + L"\" LargeImagePath=\"d" + code + L".jpg\" Price=\"1.5\"/>";
  }
  return menu + L"</Menu>";
}

// The gap between a delay's end and its apply is made by keeping the display's thread busy with
// menus, each parsed as it comes: check B starts its 500 ms delay, menus come at once from further
// threads of the host, and check C, sent 700 ms after B, waits while they are read, as does the apply
// that B's delay posted meanwhile. Sent messages come before a posted one: C finds B's delay ended but
// still named, leaves it alone and waits 1000 ms; the waiting apply then applies C at once, and C's
// own delay applies it again. When the menus are read before C comes, more are sent and it is tried
// again (a single menu cannot be made large enough: Wine drops a copy-data message of a few MB).
TEST(SlipviewIntake, CheckInTheExpiredGapIsAppliedTwice) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  const std::wstring menu = LargeMenu(10000);  // 1.4 MB, read in some 20 ms
  for (int senders = 8; senders <= 128; senders *= 2) {
    const size_t applies = run.CountLog(L"< apply data");
    const size_t mark = run.TimedLogLines().size();
    ASSERT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check B=\"1\"/>"), 1);
    const DWORD sentB = GetTickCount();
    std::vector<LRESULT> answers(static_cast<size_t>(senders), 0);
    std::vector<std::thread> menuSenders;
    std::atomic<int> sending{0};
    for (int i = 0; i < senders; ++i)
      menuSenders.emplace_back([&, i] {
        ++sending;
        try {
          answers[static_cast<size_t>(i)] = zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, menu, 60000);
        } catch (...) {
        }
      });
    // C goes 700 ms after B at the soonest, and not before every sender is on its way: on a loaded
    // machine the threads start late.
    while (GetTickCount() - sentB < 700 || sending.load() < senders) Sleep(1);
    EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check C=\"1\"/>", 60000), 1);
    for (auto& t : menuSenders) t.join();
    EXPECT_EQ(std::count(answers.begin(), answers.end(), 1), senders) << "every menu answered 1";
    ASSERT_TRUE(run.WaitForLog(L"< apply data", applies + 2, 10000));
    zebhost::Wait(1500);

    std::vector<std::int64_t> times;
    auto events = IntakeEvents(run, mark, times);
    // The menus, all read before C: one event for all of them.
    for (size_t i = 1; i + 1 < events.size();)
      if (events[i] == "menu" && events[i + 1] == "menu") {
        events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
        times.erase(times.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    if (events.size() >= 3 && events[2] == ">") {
      std::printf("%d menus: read before C came; more\n", senders);
      continue;
    }
    // A sender that was on its way but came to the queue after C is read after it (a loaded machine
    // starts threads late): those menus are taken out, and the apply that waited is measured from the
    // last message read before it.
    std::int64_t lastRead = times.size() > 2 ? times[2] : 0;
    for (size_t i = 3; i < events.size();)
      if (events[i] == "menu") {
        if (std::find(events.begin() + 3, events.begin() + static_cast<std::ptrdiff_t>(i), ">") ==
            events.begin() + static_cast<std::ptrdiff_t>(i))
          lastRead = times[i];
        events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
        times.erase(times.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    ASSERT_EQ(events, (std::vector<std::string>{"receive", "menu", "receive", ">", "<", ">", "<"}));
    std::printf("%d menus: C handled %lld ms after B; the waiting apply %lld ms after the last message before "
                "it, and C's own %lld ms after C\n",
                senders, static_cast<long long>(times[2] - times[0]), static_cast<long long>(times[3] - lastRead),
                static_cast<long long>(times[5] - times[2]));
    // The apply that waited runs right after the messages sent before it: C's own delay, 1000 ms,
    // runs later. A loaded machine makes a delay late, never early.
    EXPECT_LE(times[3] - lastRead, 500) << "the apply that waited runs right after C";
    EXPECT_GE(times[5] - times[2], 1000 - 20) << "C waited 1000 ms";
    EXPECT_LE(times[5] - times[2], 1000 + 700) << "C waited 1000 ms";
    EXPECT_TRUE(run.Process()->Running());
    return;
  }
  FAIL() << "the display's thread could not be kept busy long enough";
}

TEST(SlipviewIntake, ShowReplacesTheCheckDelayAndHideKeepsItsOwn) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  // A show 200 ms after a check: one apply, 500 ms after the show.
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check/>"), 1);
  zebhost::Wait(200);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  zebhost::Wait(1200);
  EXPECT_EQ(run.CountLog(L"> apply data"), 1u);
  // A hide while a check's delay waits: the check is still applied.
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<Check/>"), 1);
  EXPECT_EQ(zebhost::HideDisplay(h), 1);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(run.WaitForLog(L"> apply data", 2, 3000));
  const auto shown = run.LogTimes(L"receive data");
  const auto applied = run.LogTimes(L"> apply data");
  ASSERT_EQ(applied.size(), 2u);
  EXPECT_GE(applied[0] - shown[0], 650);
  EXPECT_LE(applied[0] - shown[0], 1000);
  EXPECT_EQ(run.CountLog(L"> apply scenario"), 0u) << "no menu has come";
}

TEST(SlipviewIntake, UnknownTagsAndBadMenusLeaveTheProgramRunning) {
  SlipviewRun run;
  HWND h = run.StartAndWaitCreated();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(zebhost::SendCopyData(h, kUnknownTag, L"<Check/>"), 1);
  // A menu that does not parse is logged and dropped; the host's counted terminating zero and a
  // good menu after it are taken.
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, L"<Menu><Dish></Menu>"), 1);
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::MENU_DATA_TAG, L"<?xml version=\"1.0\"?><Menu/>"), 1);
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::SCENARIO_DATA_TAG, L"<SceneList/>"), 1);
  EXPECT_EQ(zebhost::ShowDisplay(h), 1);
  EXPECT_TRUE(run.WaitForLog(L"< apply scenario", 1, 3000)) << "a menu has come and the display is shown";
  EXPECT_TRUE(run.Process()->Running());
  ASSERT_TRUE(run.Stop());
  std::vector<std::wstring> lines = run.LogLines();
  const auto first = std::find(lines.begin(), lines.end(), L"[NOTE] receive menu");
  ASSERT_NE(first, lines.end());
  ASSERT_LT(first + 2, lines.end());
  EXPECT_EQ(first[1], L"[ERROR] AV in WMCopyData");
  EXPECT_EQ(first[2], L"[NOTE] receive menu");
  EXPECT_EQ(run.CountLog(L"AV in WMCopyData"), 1u);
  EXPECT_EQ(run.CountLog(L"receive data"), 0u) << "tag 0xD5D5 is ignored";
  EXPECT_EQ(run.CountLog(L"application self-terminated"), 0u);
}

}  // namespace
