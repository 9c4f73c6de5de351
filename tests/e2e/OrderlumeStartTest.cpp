// Orderlume starts from its own folder, registers with the host, places its transparent top-most
// window without a taskbar button, shows its start phrase, and closes cleanly.
#include <gtest/gtest.h>

#include "E2eSupport.h"

namespace {

std::vector<unsigned char> Utf16(const std::wstring& s) { return Utf16Bytes(s); }

std::vector<unsigned char> Encoded(const std::wstring& text, UINT codePage, bool utf8Bom) {
  const std::string narrow = Narrow(text, codePage);
  std::vector<unsigned char> bytes(narrow.begin(), narrow.end());
  if (utf8Bom) bytes.insert(bytes.begin(), {0xEF, 0xBB, 0xBF});
  return bytes;
}

// The start phrase on screen for a strings table of these bytes.
ScreenArea StartPhraseOnScreen(const std::vector<unsigned char>& table) {
  OrderlumeRun run;
  if (!table.empty()) WriteBytes(run.Folder() / L"ZebStrings.xml", table);
  run.Start();
  HWND h = run.WaitVisible();
  zebhost::Wait(400);
  // Text1's box: x 8..761, y 88..188 of the header, which lies at x -1 of the window at (1024, 0).
  ScreenArea area = CaptureScreen(RECT{1023 + 8, 88, 1023 + 761, 188});
  EXPECT_NE(h, nullptr);
  run.Stop();
  return area;
}

TEST(OrderlumeStart, RegistersPlacesItsWindowAndCloses) {
  OrderlumeRun run;
  run.Start();
  auto datagram = run.Receiver().Receive(15000);
  ASSERT_TRUE(datagram.has_value()) << "no registration datagram";
  EXPECT_EQ(datagram->bytes, Utf16(L"1002003<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                   L"<Item Name=\"Orderlume\" Scenario=\"0\" Check=\"1\" />"));
  EXPECT_EQ(datagram->bytes.size(), 186u);

  HWND h = run.WaitVisible();
  ASSERT_NE(h, nullptr);
  ExpectWindowRect(h, 1024, 0, 768, 1024);
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
  EXPECT_NE(ex & WS_EX_TOPMOST, 0);
  EXPECT_NE(ex & WS_EX_TOOLWINDOW, 0);
  EXPECT_NE(ex & WS_EX_LAYERED, 0);
  EXPECT_EQ(ex & WS_EX_APPWINDOW, 0);

  ASSERT_TRUE(run.Stop(10000)) << "the program did not end after its window was closed";
  const std::vector<std::wstring> expected = {
      L"[NOTE] > Create", L"[NOTE] Socket registration sent ", L"[NOTE] < Create", L"[NOTE] > started",
      L"[NOTE] < started", L"[NOTE] > Close", L"[NOTE] < Close", L"[NOTE] > closing socket",
      L"[NOTE] < closing socket"};
  EXPECT_EQ(run.LogLines(), expected);
}

TEST(OrderlumeStart, HostThatIsNoAddressSendsNothing) {
  OrderlumeRun run("[REGSOCKET]\r\nHost=localhost\r\n", false);
  run.Start();
  ASSERT_NE(run.WaitVisible(), nullptr);
  EXPECT_FALSE(run.Receiver().Receive(500).has_value());
  run.Stop();
  EXPECT_EQ(run.CountLog(L"[ERROR] localhost is not an address"), 1u);
}

TEST(OrderlumeStart, SettingsPlaceAndScaleTheWindow) {
  OrderlumeRun run("[SCREENPOSITION]\r\nDisplayLeft=10\r\nDisplayTop=20\r\nDisplayWidth=600\r\nDisplayHeight=800\r\n");
  run.Start();
  HWND h = run.WaitVisible();
  ASSERT_NE(h, nullptr);
  ExpectWindowRect(h, 10, 20, 600, 800);
  // With all four keys the background window takes exactly the same rectangle, below the display.
  HWND bg = nullptr;
  DWORD pid = run.Process()->Id();
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && w != h && IsWindowVisible(w)) bg = w;
  }
  ASSERT_NE(bg, nullptr) << "no background window";
  ExpectWindowRect(bg, 10, 20, 600, 800);
  EXPECT_EQ(GetWindowLongW(bg, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongW(bg, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

// A Cyrillic strings table: as UTF-8 with a byte-order mark it reads right on any system; without a
// mark it is read in the system's 8-bit code page, so its windows-1251 bytes give the same start phrase
// on a Cyrillic system (ACP 1251) and another one on a Western system. CTest runs this test in the
// default locale and again in ru_RU.UTF-8.
TEST(OrderlumeStart, CyrillicStringsTableInTheSystemCodePage) {
  const UINT acp = GetACP();
  if (acp != 1251 && acp != 1252) GTEST_SKIP() << "code page " << acp;
  const std::wstring table =
      L"<?xml version=\"1.0\"?><Strings><RUS><DISPLAYSTARTPHRASE Val=\"Добро пожаловать|Касса открыта\"/>"
      L"</RUS></Strings>";
  const ScreenArea utf8 = StartPhraseOnScreen(Encoded(table, CP_UTF8, true));
  const ScreenArea ansi = StartPhraseOnScreen(Encoded(table, 1251, false));
  const ScreenArea defaults = StartPhraseOnScreen({});
  EXPECT_NE(utf8.pixels, defaults.pixels) << "the table's phrase replaces the built-in one";
  if (acp == 1251) {
    EXPECT_EQ(ansi.pixels, utf8.pixels);
  } else {
    EXPECT_NE(ansi.pixels, utf8.pixels);
  }
}

// A strings table that does not parse ends the guarded block of form creation: no window procedure of
// the program's own (the host's check data has no effect), no registration; the program runs on.
TEST(OrderlumeStart, StringsTableThatFailsLeavesTheLaterStepsUndone) {
  OrderlumeRun run;
  WriteText(run.Folder() / L"ZebStrings.xml", "<?xml version=\"1.0\"?><Strings><RUS>");
  run.Start();
  HWND h = run.WaitVisible();
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(run.Receiver().Receive(500).has_value()) << "no registration";
  EXPECT_EQ(zebhost::SendCopyData(h, zebhost::CHECK_DATA_TAG, L"<C ModeName=\"Mode_1\"/>"), 0);
  zebhost::Wait(800);
  ASSERT_TRUE(run.Stop());
  const std::vector<std::wstring> lines = run.LogLines();
  const std::vector<std::wstring> start(lines.begin(), lines.begin() + std::min<size_t>(3, lines.size()));
  EXPECT_EQ(start, (std::vector<std::wstring>{L"[NOTE] > Create", L"[ERROR] AV in FormCreate", L"[NOTE] < Create"}));
  EXPECT_EQ(run.CountLog(L"receive data"), 0u);
}

}  // namespace
