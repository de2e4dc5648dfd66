#include "loopback_support.h"

#include "platform/clock.h"

#include "support/loopback_socket.h"

namespace spool_test {
namespace {

using test_socket::closeSock;
using test_socket::kNoSocket;
using test_socket::Socket;
using test_socket::startSockets;

// A socket bound to 127.0.0.1 on a port the system picks.
Socket bindLoopback(int* port) {
  startSockets();
  Socket s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s == kNoSocket) return kNoSocket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closeSock(s);
    return kNoSocket;
  }
  *port = ntohs(address.sin_port);
  return s;
}

}  // namespace

LoopbackListener::LoopbackListener(Peer peer, std::size_t dropAfter) {
  Socket s = bindLoopback(&port_);
  if (s == kNoSocket) return;
  if (::listen(s, 1) != 0) {
    closeSock(s);
    return;
  }
  listener_ = static_cast<intptr_t>(s);
  worker_ = std::thread([this, s, peer, dropAfter] {
    Socket connection = ::accept(s, nullptr, nullptr);
    if (connection == kNoSocket) return;
    if (peer == Peer::kStall) {
      while (!stop_) platform::sleepMilliseconds(10);
      closeSock(connection);
      return;
    }
    char chunk[65536];
    for (;;) {
      std::size_t want = sizeof chunk;
      if (peer == Peer::kDrop) want = dropAfter - bytes_.size() < want ? dropAfter - bytes_.size() : want;
      if (want == 0) break;
      const int got = static_cast<int>(::recv(connection, chunk, static_cast<int>(want), 0));
      if (got <= 0) break;
      bytes_.insert(bytes_.end(), chunk, chunk + got);
    }
    closeSock(connection);
  });
}

LoopbackListener::~LoopbackListener() {
  stop_ = true;
  if (listener_ != -1) closeSock(static_cast<Socket>(listener_));
  if (worker_.joinable()) worker_.join();
}

std::vector<uint8_t> LoopbackListener::received() {
  if (worker_.joinable()) worker_.join();
  return bytes_;
}

int deadLoopbackPort() {
  int port = 0;
  Socket s = bindLoopback(&port);
  if (s != kNoSocket) closeSock(s);
  return port;
}

}  // namespace spool_test
