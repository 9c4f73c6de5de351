#include "display/Registration.h"

#include <windows.h>

#include <cstring>

#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

std::wstring RegistrationText(const std::wstring& name, bool takesScenarios) {
  // The numbers 1, 2 and 3 in the patterns "0", "000" and "000".
  const std::wstring prefix = L"1002003";
  return prefix + L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"" + name + L"\" Scenario=\"" +
         (takesScenarios ? L"1" : L"0") + L"\" Check=\"1\" />";
}

void SendRegistration(const RegistrationTarget& target, const std::wstring& text) {
  sockaddr_in to;
  std::memset(&to, 0, sizeof to);
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(target.RegPort & 0xFFFF));
  to.sin_addr.s_addr = inet_addr(target.RegHost.c_str());
  if (to.sin_addr.s_addr == INADDR_NONE) {
    // 255.255.255.255 fails here too: its value is the failure value.
    const std::wstring host = ToW(FromAnsi(target.RegHost));
    WriteLog(host + L" is not an address", 1, true);
    return;
  }
  try {
    int sent = sendto(target.RegistrationSocket, reinterpret_cast<const char*>(text.data()),
                      static_cast<int>(text.size() * sizeof(wchar_t)), 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
      WriteLog(L"Socket sending registration fail: " + std::to_wstring(WSAGetLastError()), 1, true);
    } else {
      WriteLog(L"Socket registration sent ", 3, true);
    }
  } catch (...) {
    WriteLogNoRaise(L"Sending registration failed", 1, true);
  }
}
