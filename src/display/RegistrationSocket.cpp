#include "display/RegistrationSocket.h"

#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {
void Failed(const wchar_t* line, const std::function<void()>& requestEnd) {
  WriteLogNoRaise(line, 1, true);
  requestEnd();
}
}  // namespace

int32_t StartDisplayUnit(const std::wstring& logName, RegistrationTarget& registration) {
  const int32_t level = ReadSettingInteger(L"LOGFILE", L"Log", 1);
  InitLog(logName, level);
  registration.RegHost = ToAnsi(ToU16(ReadSettingString(L"REGSOCKET", L"Host", L"127.0.0.1")));
  registration.RegPort = ReadSettingInteger(L"REGSOCKET", L"Port", 2489);
  return level;
}

void OpenRegistrationSocket(OwnedRegistration& registration, const std::function<void()>& requestEnd) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) Failed(L"WinSock initializing failed", requestEnd);
  registration.Socket.Reset(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  registration.RegistrationSocket = registration.Socket.Get();
  if (!registration.Socket) Failed(L"Socket creation failed", requestEnd);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = 0;
  local.sin_addr.s_addr = INADDR_ANY;
  if (bind(registration.RegistrationSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
    Failed(L"Socket binding failed", requestEnd);
  int length = sizeof local;
  if (getsockname(registration.RegistrationSocket, reinterpret_cast<sockaddr*>(&local), &length) != 0)
    Failed(L"Socket getsockname failed", requestEnd);
}

void CloseRegistrationSocket(OwnedRegistration& registration) {
  WriteLog(L"> closing socket", 3, true);
  registration.Socket.Reset();
  registration.RegistrationSocket = INVALID_SOCKET;
  WSACleanup();
  WriteLog(L"< closing socket", 3, true);
}
