// A TCP listener on 127.0.0.1 for the channel tests: it accepts one
// connection and collects what arrives until the sender closes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

namespace spool_test {

// What the listener does with the connection it accepts.
enum class Peer {
  kCollect,  // reads everything until the sender closes
  kStall,    // accepts and never reads, until the listener is destroyed
  kDrop,     // reads dropAfter bytes, then closes the connection
};

class LoopbackListener {
 public:
  explicit LoopbackListener(Peer peer = Peer::kCollect, std::size_t dropAfter = 0);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int port() const { return port_; }
  // Waits for the sender to close and returns everything received.
  std::vector<uint8_t> received();

 private:
  intptr_t listener_ = -1;
  int port_ = 0;
  std::thread worker_;
  std::vector<uint8_t> bytes_;
  std::atomic<bool> stop_{false};
};

// A loopback port on which nobody listens (bound, then released).
int deadLoopbackPort();

}  // namespace spool_test
