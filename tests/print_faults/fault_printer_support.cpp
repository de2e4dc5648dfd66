#include "fault_printer.h"

#include "platform/clock.h"

#include "support/loopback_socket.h"

#if !defined(_WIN32)
#include <sys/ioctl.h>
#endif

namespace fault_bench {
namespace {

using test_socket::closeSock;
using test_socket::kNoSocket;
using test_socket::Socket;
using test_socket::startSockets;

// A small receive window, as a printer's: what the printer has not read
// soon stops being acknowledged.
constexpr int kReceiveBuffer = 32 * 1024;
constexpr std::size_t kReadPiece = 8 * 1024;
constexpr std::size_t kBurstPiece = 64 * 1024;
constexpr double kBurstMs = 50;

// Waits up to ms for the socket to have something to read; false on none.
bool readable(Socket s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval wait{0, ms * 1000};
  return ::select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &wait) > 0;
}

// Bytes waiting in the receive queue, -1 when the socket cannot tell.
long queued(Socket s) {
#if defined(_WIN32)
  u_long count = 0;
  return ::ioctlsocket(s, FIONREAD, &count) == 0 ? static_cast<long>(count) : -1;
#else
  int count = 0;
  return ::ioctl(s, FIONREAD, &count) == 0 ? count : -1;
#endif
}

}  // namespace

FaultPrinter::FaultPrinter(PrinterBehaviour behaviour) : behaviour_(behaviour) {
  startSockets();
  Socket s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s == kNoSocket) return;
  const int window = kReceiveBuffer;
  ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&window), sizeof window);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::listen(s, 1) != 0) {
    closeSock(s);
    return;
  }
  port_ = ntohs(address.sin_port);
  listener_ = static_cast<intptr_t>(s);
  worker_ = std::thread([this, s] { serve(static_cast<intptr_t>(s)); });
}

FaultPrinter::~FaultPrinter() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  if (listener_ != -1) closeSock(static_cast<Socket>(listener_));
}

std::string FaultPrinter::portText() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::size_t FaultPrinter::receivedCount() {
  std::lock_guard<std::mutex> hold(lock_);
  return bytes_.size();
}

bool FaultPrinter::waitSettled(int ms) {
  const long long until = platform::monotonicMilliseconds() + ms;
  while (!settled_ && platform::monotonicMilliseconds() < until) platform::sleepMilliseconds(5);
  return settled_;
}

std::vector<uint8_t> FaultPrinter::received() {
  std::lock_guard<std::mutex> hold(lock_);
  return bytes_;
}

void FaultPrinter::serve(intptr_t listener) {
  const Socket s = static_cast<Socket>(listener);
  while (!stop_ && !readable(s, 20)) {
  }
  Socket connection = stop_ ? kNoSocket : ::accept(s, nullptr, nullptr);
  if (connection == kNoSocket) {
    settled_ = true;
    return;
  }
  // A set speed that holds however late this thread is woken (a loaded
  // machine, Wine): reading is paid for against the clock, at most a burst
  // of kBurstMs behind it, and time spent waiting for bytes earns no credit.
  double paidUntil = static_cast<double>(platform::monotonicMilliseconds());
  const double msPerByte = behaviour_.bytesPerSecond > 0 ? 1000.0 / static_cast<double>(behaviour_.bytesPerSecond) : 0;
  std::size_t total = 0;
  long waiting = 0;
  char chunk[kBurstPiece];
  while (!stop_) {
    if (total >= behaviour_.readLimit) {
      settled_ = true;
      if (behaviour_.dropAtLimit) break;
      // Holds the connection and reads nothing, watching its queue fill.
      const long now = queued(connection);
      if (now != waiting) lastArrivalMs_ = platform::monotonicMilliseconds();
      waiting = now;
      platform::sleepMilliseconds(10);
      continue;
    }
    std::size_t want = sizeof chunk;
    if (msPerByte > 0) {
      const double now = static_cast<double>(platform::monotonicMilliseconds());
      if (paidUntil < now - kBurstMs) paidUntil = now - kBurstMs;
      const auto allowed = static_cast<std::size_t>((now - paidUntil) / msPerByte);
      if (allowed < kReadPiece) {
        platform::sleepMilliseconds(1 + static_cast<int>(static_cast<double>(kReadPiece - allowed) * msPerByte));
        continue;
      }
      if (allowed < want) want = allowed;
    }
    if (!readable(connection, 20)) {
      paidUntil = static_cast<double>(platform::monotonicMilliseconds());
      continue;
    }
    if (behaviour_.readLimit - total < want) want = behaviour_.readLimit - total;
    const int got = static_cast<int>(::recv(connection, chunk, static_cast<int>(want), 0));
    if (got == 0) sawEnd_ = true;
    if (got <= 0) break;
    lastArrivalMs_ = platform::monotonicMilliseconds();
    if (total == 0) firstByteMs_ = lastArrivalMs_.load();
    paidUntil += got * msPerByte;
    total += static_cast<std::size_t>(got);
    std::lock_guard<std::mutex> hold(lock_);
    bytes_.insert(bytes_.end(), chunk, chunk + got);
  }
  closeSock(connection);
  settled_ = true;
}

}  // namespace fault_bench
