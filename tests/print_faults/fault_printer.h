// A printer on 127.0.0.1 with a port number of its own, for the fault
// bench: it takes one job and reads it at a set speed, or stalls, stops
// reading after some bytes, or drops the connection there. A job that ends
// (the sender closes) is answered by closing, as a raw printer port does.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fault_bench {

struct PrinterBehaviour {
  long bytesPerSecond = 0;           // 0: as fast as the bytes come
  std::size_t readLimit = SIZE_MAX;  // stops reading after this many bytes
  bool dropAtLimit = false;          // and then drops the connection
};

class FaultPrinter {
 public:
  explicit FaultPrinter(PrinterBehaviour behaviour);
  ~FaultPrinter();
  FaultPrinter(const FaultPrinter&) = delete;
  FaultPrinter& operator=(const FaultPrinter&) = delete;

  // "127.0.0.1:<port>", as the port text of a device.
  std::string portText() const;
  std::size_t receivedCount();
  std::vector<uint8_t> received();
  // Whether the sender ended the job (closed its side) and the printer read it all.
  bool sawJobEnd() const { return sawEnd_; }
  // When the first byte arrived (monotonic ms), 0 before.
  long long firstByteMs() const { return firstByteMs_; }
  // When bytes last reached the printer's receive queue, read or not
  // (monotonic ms), 0 before: a sender that then takes nothing fails the job
  // a time-out later.
  long long lastArrivalMs() const { return lastArrivalMs_; }
  // Waits up to ms for the printer to have read all it will read: the
  // connection ended, or it reached its read limit. A sender that finished
  // only knows the printer acknowledged its bytes; a slow printer may still
  // hold some of them unread in its receive buffer.
  bool waitSettled(int ms);

 private:
  void serve(intptr_t listener);
  PrinterBehaviour behaviour_;
  intptr_t listener_ = -1;
  int port_ = 0;
  std::thread worker_;
  std::mutex lock_;
  std::vector<uint8_t> bytes_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> sawEnd_{false};
  std::atomic<bool> settled_{false};
  std::atomic<long long> firstByteMs_{0};
  std::atomic<long long> lastArrivalMs_{0};
};

}  // namespace fault_bench
