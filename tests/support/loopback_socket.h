// The sockets of the tests' loopback printers, one spelling for Windows and
// POSIX: the handle type, its invalid value, close, and the start-up that
// Windows needs once per process.
#pragma once

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace test_socket {

#if defined(_WIN32)
using Socket = SOCKET;
inline constexpr Socket kNoSocket = INVALID_SOCKET;
inline void closeSock(Socket s) {
  closesocket(s);
}
inline void startSockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
#else
using Socket = int;
inline constexpr Socket kNoSocket = -1;
inline void closeSock(Socket s) {
  ::close(s);
}
inline void startSockets() {}
#endif

}  // namespace test_socket
