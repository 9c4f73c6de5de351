// The host library against a stand-in display window, a loopback UDP round trip, the ZebAdvert
// window, data files and the scene library loader.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

#include "HostLib.h"
#include "StandInDisplay.h"
#include "TestFiles.h"
#include "core/Exception.h"
#include "win/WinPaths.h"

using namespace zebhost;

namespace {

std::wstring UniqueCaption(const wchar_t* what) {
  return std::wstring(L"ZebHostTest-") + what + L"-" + std::to_wstring(GetCurrentProcessId());
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(HostWindows, CopyDataArrivesAsSentWithTheWindowsAnswer) {
  StandInDisplay display(UniqueCaption(L"copy"), 0);
  HWND w = RequireDisplayWindow(UniqueCaption(L"copy"), 2000);
  ASSERT_EQ(w, display.Handle());

  struct Case {
    const char* name;
    ULONG_PTR tag;
    std::vector<unsigned char> bytes;  // exactly what the window must receive
    bool asText;
  };
  const Case cases[] = {
      {"text gets one zero character", CHECK_DATA_TAG, {'a', 0, 0x16, 0x04, 0, 0}, true},
      {"empty text is the zero alone", MENU_DATA_TAG, {0, 0}, true},
      {"odd length, no terminator", SCENARIO_DATA_TAG, {'x', 0, 'y', 0, 'z'}, false},
      {"zero inside", 0xD4D4, {'a', 0, 0, 0, 'b', 0}, false},
      {"any tag", 0x12345678, {1, 2, 3, 4}, false},
  };
  for (const Case& c : cases) {
    LRESULT answer = c.asText ? SendCopyData(w, c.tag, c.name[0] == 'e' ? L"" : L"a\u0416")
                              : SendCopyDataBytes(w, c.tag, c.bytes);
    EXPECT_EQ(answer, 0) << c.name;
    ASSERT_FALSE(display.Copies().empty());
    const StandInDisplay::Copy got = display.Copies().back();
    EXPECT_EQ(got.tag, c.tag) << c.name;
    EXPECT_EQ(got.cbData, c.bytes.size()) << c.name;
    EXPECT_EQ(got.bytes, c.bytes) << c.name;
  }
  SendCopyDataBytes(w, CHECK_DATA_TAG, {});
  EXPECT_EQ(display.Copies().back().cbData, 0u);
  EXPECT_TRUE(display.Copies().back().nullData);
  EXPECT_EQ(display.Copies().size(), std::size(cases) + 1);
}

TEST(HostWindows, ShowAndHideReachTheWindowAndReturnItsAnswer) {
  StandInDisplay display(UniqueCaption(L"show"), 1);
  HWND w = RequireDisplayWindow(UniqueCaption(L"show"), 2000);
  EXPECT_EQ(ShowDisplay(w), 1);
  EXPECT_EQ(ShowDisplay(w), 1);
  EXPECT_EQ(HideDisplay(w), 1);
  EXPECT_EQ(display.Shows(), 2);
  EXPECT_EQ(display.Hides(), 1);
}

TEST(HostWindows, FindWaitsForALateWindowAndGivesUpAfterItsTimeout) {
  const std::wstring caption = UniqueCaption(L"late");
  DWORD start = GetTickCount();
  EXPECT_EQ(FindDisplayWindow(caption, 300), nullptr);
  DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 290u);
  EXPECT_LT(waited, 2000u);
  EXPECT_NE(ErrorOf([&] { RequireDisplayWindow(caption, 0); }).find("no window with the caption \"ZebHostTest-late"),
            std::string::npos);

  std::unique_ptr<StandInDisplay> late;
  std::thread maker([&] {
    Sleep(300);
    late = std::make_unique<StandInDisplay>(caption);
  });
  HWND found = FindDisplayWindow(caption, 5000);
  maker.join();
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, late->Handle());
}

TEST(HostWindows, AHungOrVanishedWindowFailsTheSendWithinItsTimeout) {
  StandInDisplay hung(UniqueCaption(L"hung"), 0, 2500);
  DWORD start = GetTickCount();
  EXPECT_NE(ErrorOf([&] { ShowDisplay(hung.Handle(), 300); }).find("no answer within 300 ms"), std::string::npos);
  EXPECT_LT(GetTickCount() - start, 2000u);

  HWND gone;
  {
    StandInDisplay display(UniqueCaption(L"gone"));
    gone = display.Handle();
  }
  EXPECT_NE(ErrorOf([&] { SendCopyData(gone, CHECK_DATA_TAG, L"x", 300); }).find("the window is gone"),
            std::string::npos);
  EXPECT_THROW(PostClose(gone), Exception);
}

TEST(HostWindows, AdvertWindowCountsSceneEndedWhileTheHostWaits) {
  AdvertWindow advert(L"ZebHostTestAdvert-" + std::to_wstring(GetCurrentProcessId()));
  ASSERT_EQ(FindWindowW(nullptr, L"ZebAdvert"), advert.Handle());
  std::thread scene([] {
    HWND host = FindWindowW(nullptr, L"ZebAdvert");
    SendNotifyMessageW(host, WM_SCENE_ENDED, 0, 0);
    SendNotifyMessageW(host, WM_SCENE_ENDED, 0, 0);
    SendNotifyMessageW(host, WM_SCENE_ENDED + 1, 0, 0);
  });
  scene.join();
  EXPECT_EQ(advert.SceneEndedCount(), 0);  // nothing runs until the host's loop turns
  Wait(200);
  EXPECT_EQ(advert.SceneEndedCount(), 2);
}

TEST(HostUdp, ADatagramArrivesByteForByteWithItsSenderPort) {
  UdpReceiver receiver(0);
  ASSERT_NE(receiver.Port(), 0);
  EXPECT_FALSE(receiver.Receive(100).has_value());

  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(receiver.Port());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const std::wstring text =
      L"1002003<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"Orderlume\" Scenario=\"0\" Check=\"1\" />";
  const std::vector<unsigned char> bytes = Utf16Bytes(text);
  ASSERT_EQ(bytes.size(), 186u);
  ASSERT_EQ(sendto(s, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to),
            186);
  sockaddr_in from{};
  int len = sizeof from;
  getsockname(s, reinterpret_cast<sockaddr*>(&from), &len);

  std::optional<Datagram> got = receiver.Receive(3000);
  closesocket(s);
  WSACleanup();
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, bytes);
  EXPECT_EQ(got->senderPort, ntohs(from.sin_port));
  EXPECT_EQ(DecodeDatagram(got->bytes), text);
  EXPECT_NE(DescribeDatagram(*got).find(L": 186 bytes (0xBA)\n1002003<?xml"), std::wstring::npos);
  EXPECT_EQ(DecodeDatagram({'a', 0, 0, 0, 'b'}), std::wstring(L"a\0", 2));

  EXPECT_NE(ErrorOf([&] { UdpReceiver second(receiver.Port()); }).find("binding 127.0.0.1:"), std::string::npos);
}

TEST(HostFiles, Utf8FilesReadAsUtf16) {
  TempDir dir;
  WriteText(dir / L"bom.xml", "\xEF\xBB\xBF<a>\xD0\x96</a>");
  WriteText(dir / L"plain.xml", "<b/>\xF0\x9F\x8D\x95");
  WriteText(dir / L"empty.xml", "");
  EXPECT_EQ(ReadUtf8File(dir / L"bom.xml"), L"<a>\u0416</a>");
  EXPECT_EQ(ReadUtf8File(dir / L"plain.xml"), L"<b/>\xD83C\xDF55");
  EXPECT_EQ(ReadUtf8File(dir / L"empty.xml"), L"");
  EXPECT_NE(ErrorOf([&] { ReadUtf8File(dir / L"missing.xml"); }).find("cannot read"), std::string::npos);
}

TEST(HostScene, LoaderResolvesTheSevenExportsAndNamesWhatIsMissing) {
  const std::wstring folder = ExecutableFolder();
  {
    SceneLibrary scene(folder + L"host_fake_scene.dll");
    const SceneExports& e = scene.Exports();
    e.SceneCreate();
    e.SceneParameters(L"<P/>", L"<M/>");
    e.SceneAnimationsStart(TRUE);
    e.SceneAnimationsStop();
    EXPECT_EQ(e.SceneScreenshot(), nullptr);
    e.SceneDestroy();
    EXPECT_STREQ(e.SceneDefaultParameters(), L"create;parameters <P/> <M/>;start 1;stop;screenshot;destroy;");
  }
  EXPECT_NE(ErrorOf([&] { SceneLibrary missing(folder + L"no_such_scene.dll"); }).find("cannot load \""),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] { SceneLibrary other(L"kernel32.dll"); }).find("does not export SceneScreenshot"),
            std::string::npos);
}

}  // namespace
