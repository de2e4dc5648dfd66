// A TCP listener on 127.0.0.1 for the channel tests: it accepts one
// connection and collects what arrives until the sender closes.
#pragma once

#include <cstdint>
#include <thread>
#include <vector>

namespace spool_test {

class LoopbackListener {
 public:
  LoopbackListener();
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
};

// A loopback port on which nobody listens (bound, then released).
int deadLoopbackPort();

}  // namespace spool_test
