#pragma once
// A WinSock socket that closes itself (closesocket) when it dies.
#include <winsock2.h>

#include "win/Handles.h"

namespace win {

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(Handle s) noexcept { closesocket(s); }
};
using UniqueSocket = Unique<SocketTraits>;

}  // namespace win
