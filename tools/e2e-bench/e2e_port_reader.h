// The far end of the benchmark's port: a loopback TCP printer that reads
// every byte of a connection, or a watch on a file port's folder; either
// tells when the first and the last byte of a job arrived.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace e2e {

struct PortTimes {
  double first = 0;  // monotonic seconds; 0 when nothing arrived
  double last = 0;
  long long bytes = 0;
};

class PortReader {
 public:
  PortReader() = default;                                                  // a TCP printer (listen() first)
  explicit PortReader(std::string folder) : folder_(std::move(folder)) {}  // a file port's folder
  ~PortReader();
  PortReader(const PortReader&) = delete;
  PortReader& operator=(const PortReader&) = delete;

  // Listens on 127.0.0.1 at a free port number; false when it cannot.
  bool listen();
  int portNumber() const { return port_; }
  // Starts watching for one job.
  void arm();
  // The job's times once it ended (the connection closed, or for a folder
  // the print returned), waiting at most timeoutMs.
  PortTimes wait(int timeoutMs);

 private:
  void watchFolder();
  void serve();

  std::string folder_;
  int listener_ = -1;
  int printer_ = 0;  // the TCP printer's process
  int times_ = -1;   // the pipe its times come through
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<double> first_{0}, last_{0};
  std::atomic<long long> bytes_{0};
};

}  // namespace e2e
