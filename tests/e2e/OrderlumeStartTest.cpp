// Orderlume starts from its own folder, registers with the host, places its transparent top-most
// window without a taskbar button, shows its start phrase, and closes cleanly.
#include <gtest/gtest.h>

#include "E2eSupport.h"

namespace {

std::vector<unsigned char> Utf16(const std::wstring& s) { return Utf16Bytes(s); }

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
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 1024);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 768);
  EXPECT_EQ(r.bottom - r.top, 1024);
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
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(r.bottom - r.top, 800);
  // With all four keys the background window takes exactly the same rectangle, below the display.
  HWND bg = nullptr;
  DWORD pid = run.Process()->Id();
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && w != h && IsWindowVisible(w)) bg = w;
  }
  ASSERT_NE(bg, nullptr) << "no background window";
  RECT b;
  GetWindowRect(bg, &b);
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.top, 20);
  EXPECT_EQ(b.right - b.left, 600);
  EXPECT_EQ(b.bottom - b.top, 800);
  EXPECT_EQ(GetWindowLongW(bg, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongW(bg, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

}  // namespace
