// The host's end of the registration datagrams: a loopback UDP socket that waits for one datagram
// at a time, and the datagram's text for the console.
#include <winsock2.h>

#include "HostLib.h"

#include <cstdio>

#include "core/Exception.h"
#include "core/Utf.h"

namespace zebhost {
namespace {

Exception SocketError(const char* what) {
  return Exception(Ascii(std::string(what) + " failed (WinSock error " + std::to_string(WSAGetLastError()) + ")"));
}

}  // namespace

UdpReceiver::UdpReceiver(unsigned short port) : socket_(INVALID_SOCKET) {
  WSADATA data;
  if (int rc = WSAStartup(MAKEWORD(2, 2), &data); rc != 0)
    throw Exception(Ascii("WSAStartup failed (error " + std::to_string(rc) + ")"));
  SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) {
    Exception e = SocketError("socket");
    WSACleanup();
    throw e;
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof addr;
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    Exception e = SocketError(("binding 127.0.0.1:" + std::to_string(port)).c_str());
    closesocket(s);
    WSACleanup();
    throw e;
  }
  socket_ = s;
  port_ = ntohs(addr.sin_port);
}

UdpReceiver::~UdpReceiver() {
  closesocket(static_cast<SOCKET>(socket_));
  WSACleanup();
}

std::optional<Datagram> UdpReceiver::Receive(DWORD timeoutMs) {
  SOCKET s = static_cast<SOCKET>(socket_);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
  int ready = ::select(0, &readable, nullptr, nullptr, &tv);
  if (ready < 0) throw SocketError("select");
  if (ready == 0) return std::nullopt;
  std::vector<unsigned char> buffer(65536);
  sockaddr_in from{};
  int fromLen = sizeof from;
  int n = ::recvfrom(s, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0,
                     reinterpret_cast<sockaddr*>(&from), &fromLen);
  if (n < 0) throw SocketError("recvfrom");
  buffer.resize(static_cast<size_t>(n));
  return Datagram{std::move(buffer), ntohs(from.sin_port)};
}

std::wstring DecodeDatagram(const std::vector<unsigned char>& bytes) {
  std::wstring text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
  return text;
}

std::wstring DescribeDatagram(const Datagram& d) {
  wchar_t head[96];
  swprintf(head, 96, L"datagram from port %u: %u bytes (0x%X)", static_cast<unsigned>(d.senderPort),
           static_cast<unsigned>(d.bytes.size()), static_cast<unsigned>(d.bytes.size()));
  return std::wstring(head) + L"\n" + DecodeDatagram(d.bytes);
}

}  // namespace zebhost
