// The registration datagram on a real UDP socket: exact bytes, destination port, failure lines.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "display/Registration.h"
#include "shared/Logging.h"

namespace {

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &wsa), 0);
    receiver_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(bind(receiver_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    int len = sizeof a;
    getsockname(receiver_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    DWORD timeout = 2000;
    setsockopt(receiver_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);

    target_.RegistrationSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    bind(target_.RegistrationSocket, reinterpret_cast<sockaddr*>(&any), sizeof any);
    target_.RegHost = "127.0.0.1";

    ResetGlobalLogForTests();
    GlobalLog = new TLogFile(dir_ / L"Orderlume.log", 50000, 3, 1, 10, false);
  }
  void TearDown() override {
    ResetGlobalLogForTests();
    closesocket(receiver_);
    closesocket(target_.RegistrationSocket);
    WSACleanup();
  }
  std::string Receive() {
    char buf[1024];
    int n = recv(receiver_, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, n) : std::string();
  }
  std::wstring Log() { return ReadUtf16File(dir_ / L"Orderlume.01.log"); }

  TempDir dir_;
  SOCKET receiver_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  RegistrationTarget target_;
};

TEST(RegistrationText, BothPrograms) {
  const std::wstring orderlume = RegistrationText(L"Orderlume", false);
  EXPECT_EQ(orderlume, L"1002003<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                       L"<Item Name=\"Orderlume\" Scenario=\"0\" Check=\"1\" />");
  EXPECT_EQ(orderlume.size() * 2, 186u);
  EXPECT_EQ(RegistrationText(L"Slipview", true).size() * 2, 184u);
  EXPECT_NE(RegistrationText(L"Slipview", true).find(L"Scenario=\"1\""), std::wstring::npos);
}

TEST_F(RegistrationTest, SendsTheTextAsUtf16ToTheLow16BitsOfThePort) {
  target_.RegPort = port_ + 65536;  // only the low 16 bits count
  const std::wstring text = RegistrationText(L"Orderlume", false);
  SendRegistration(target_, text);
  std::string got = Receive();
  auto expected = Utf16Bytes(text);
  ASSERT_EQ(got.size(), 186u);
  EXPECT_EQ(std::vector<unsigned char>(got.begin(), got.end()), expected);
  EXPECT_NE(Log().find(L"[NOTE] Socket registration sent \r\n"), std::wstring::npos);
}

TEST_F(RegistrationTest, FailureLines) {
  struct Case { const char* host; bool validSocket; const wchar_t* line; } cases[] = {
      {"localhost", true, L"[ERROR] localhost is not an address\r\n"},
      {"", true, L"[ERROR]  is not an address\r\n"},
      {"255.255.255.255", true, L"[ERROR] 255.255.255.255 is not an address\r\n"},
      {"127.0.0.1", false, L"[ERROR] Socket sending registration fail: 10038\r\n"},
  };
  for (auto& c : cases) {
    target_.RegHost = c.host;
    target_.RegPort = port_;
    SOCKET saved = target_.RegistrationSocket;
    if (!c.validSocket) target_.RegistrationSocket = INVALID_SOCKET;
    SendRegistration(target_, RegistrationText(L"Orderlume", false));
    target_.RegistrationSocket = saved;
    EXPECT_NE(Log().find(c.line), std::wstring::npos) << c.host;
  }
  EXPECT_EQ(Receive(), "") << "nothing is sent in any of these cases";
}

}  // namespace
