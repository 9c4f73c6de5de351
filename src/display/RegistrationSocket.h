#pragma once
// The registration socket of a display program: made by the WinSock steps of form creation, owned
// until the unit's shut-down closes it and cleans WinSock up.
#include <winsock2.h>

#include <cstdint>
#include <functional>
#include <string>

#include "display/Registration.h"
#include "win/Sockets.h"

// The destination and socket that SendRegistration uses, and the socket's owner: RegistrationSocket
// names the socket that Socket holds.
struct OwnedRegistration : RegistrationTarget {
  win::UniqueSocket Socket;
};

// The display unit's start-up: the log level (section "LOGFILE", key "Log", default 1) and the log
// started under `logName`, then the registration destination (section "REGSOCKET": "Host", default
// "127.0.0.1", as 8-bit text in the system's code page; "Port", default 2489). Returns the log level.
int32_t StartDisplayUnit(const std::wstring& logName, RegistrationTarget& registration);

// The WinSock steps of form creation, in this order: start WinSock 1.1, make a UDP socket, bind it to
// any local address with a port that the system picks, read its local name (not used further). Each
// step that fails logs its line at level 1 ("WinSock initializing failed", "Socket creation failed",
// "Socket binding failed", "Socket getsockname failed") and calls requestEnd; every step runs
// whatever the earlier ones did, so a WinSock that does not start logs all four lines.
void OpenRegistrationSocket(OwnedRegistration& registration, const std::function<void()>& requestEnd);

// The socket part of the unit's shut-down: "> closing socket", the socket closed (when there is
// one), WinSock cleaned up (also when it never started: the call then fails without consequence),
// "< closing socket".
void CloseRegistrationSocket(OwnedRegistration& registration);
