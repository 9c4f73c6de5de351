// The registration socket's WinSock steps and its close at shut-down: a bound socket named for the
// datagram, no end requested when every step works, the shut-down lines, and one close only, whether
// the shut-down ran or the owner simply went away.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "display/RegistrationSocket.h"
#include "shared/Logging.h"

namespace {

// Whether `s` is a socket that WinSock still knows (it needs no binding for this).
bool IsOpen(SOCKET s) {
  int type = 0;
  int length = sizeof type;
  return getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0;
}

class RegistrationSocket : public ::testing::Test {
 protected:
  // A WinSock start-up of the test's own, so that sockets can be asked about after a shut-down.
  void SetUp() override {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &wsa), 0);
    ResetGlobalLogForTests();
    GlobalLog = new TLogFile(dir_ / L"Orderlume.log", 50000, 3, 1, 10, false);
  }
  void TearDown() override {
    ResetGlobalLogForTests();
    WSACleanup();
  }
  std::wstring Log() const { return ReadUtf16File(dir_ / L"Orderlume.01.log"); }

  TempDir dir_;
  int endRequests_ = 0;
};

TEST_F(RegistrationSocket, OpenedBoundAndClosedAtShutDown) {
  OwnedRegistration r;
  OpenRegistrationSocket(r, [this] { ++endRequests_; });
  EXPECT_EQ(endRequests_, 0);
  ASSERT_TRUE(r.Socket);
  EXPECT_EQ(r.RegistrationSocket, r.Socket.Get());
  sockaddr_in local{};
  int length = sizeof local;
  ASSERT_EQ(getsockname(r.RegistrationSocket, reinterpret_cast<sockaddr*>(&local), &length), 0);
  EXPECT_NE(local.sin_port, 0) << "bound to a port that the system picked";
  EXPECT_EQ(Log().find(L"[ERROR]"), std::wstring::npos);

  const SOCKET made = r.RegistrationSocket;
  CloseRegistrationSocket(r);
  EXPECT_FALSE(IsOpen(made));
  EXPECT_FALSE(r.Socket);
  EXPECT_EQ(r.RegistrationSocket, INVALID_SOCKET);
  const std::wstring log = Log();
  const size_t before = log.find(L"[NOTE] > closing socket\r\n");
  ASSERT_NE(before, std::wstring::npos);
  EXPECT_NE(log.find(L"[NOTE] < closing socket\r\n", before), std::wstring::npos);
}

TEST_F(RegistrationSocket, ClosedOnceWhetherOrNotTheShutDownRan) {
  SOCKET made;
  {
    OwnedRegistration r;
    OpenRegistrationSocket(r, [this] { ++endRequests_; });
    made = r.RegistrationSocket;
  }
  EXPECT_FALSE(IsOpen(made)) << "the owner closes what the shut-down did not";

  SOCKET later;
  {
    OwnedRegistration r;
    OpenRegistrationSocket(r, [this] { ++endRequests_; });
    CloseRegistrationSocket(r);
    // A socket made after the shut-down may get the same handle value: it is not closed again.
    later = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_TRUE(IsOpen(later));
  }
  EXPECT_TRUE(IsOpen(later));
  closesocket(later);
  EXPECT_EQ(endRequests_, 0);
}

}  // namespace
