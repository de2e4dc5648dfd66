#include "e2e_port_reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include <vector>

#include "platform/clock.h"
#include "platform/folders.h"

namespace e2e {

PortReader::~PortReader() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (printer_ > 0) {
    kill(printer_, SIGKILL);
    waitpid(printer_, nullptr, 0);
  }
  if (times_ >= 0) close(times_);
  if (listener_ >= 0) close(listener_);
}

// The printer is a process of its own in a session of its own, as a real
// one is a machine of its own: it does not share this process's time.
bool PortReader::listen() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 4) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    return false;
  port_ = ntohs(address.sin_port);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  printer_ = fork();
  if (printer_ == 0) {
    setsid();
    close(pipeEnds[0]);
    times_ = pipeEnds[1];
    serve();
    _exit(0);
  }
  close(pipeEnds[1]);
  times_ = pipeEnds[0];
  return printer_ > 0;
}

void PortReader::arm() {
  first_ = 0;
  last_ = 0;
  bytes_ = 0;
  if (!folder_.empty()) {
    if (thread_.joinable()) thread_.join();
    stop_ = false;
    thread_ = std::thread([this] { watchFolder(); });
  }
}

// The printer: one connection at a time, read to its end; the times of its
// first and last byte and the count go back through the pipe.
void PortReader::serve() {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    if (getppid() == 1) return;  // the benchmark is gone
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    double first = 0, last = 0;
    long long bytes = 0;
    for (;;) {
      // A printer on a network acknowledges every second segment; over
      // loopback a segment is 64 KB, as large as the port's send buffer,
      // and a delayed acknowledgement (40 ms) would stall every send. The
      // system clears the option again as it pleases, so before each read.
      const int quick = 1;
      setsockopt(connection, IPPROTO_TCP, TCP_QUICKACK, &quick, sizeof quick);
      const ssize_t got = read(connection, buffer.data(), buffer.size());
      if (got <= 0) break;
      last = platform::monotonicSeconds();
      if (bytes == 0) first = last;
      bytes += got;
    }
    close(connection);
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%.6f %.6f %lld\n", first, last, bytes);
    if (write(times_, line, static_cast<size_t>(length)) != length) return;
  }
}

// The file port: the sizes of the folder's files, every millisecond.
void PortReader::watchFolder() {
  while (!stop_) {
    long long total = 0;
    platform::listFolder(folder_.c_str(), [&](const platform::FolderEntry& e) {
      struct stat st {};
      if (!e.isDirectory && stat((folder_ + "/" + e.name).c_str(), &st) == 0) total += st.st_size;
      return true;
    });
    if (total != bytes_) {
      const double t = platform::monotonicSeconds();
      if (bytes_ == 0) first_ = t;
      last_ = t;
      bytes_ = total;
    }
    timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
}

PortTimes PortReader::wait(int timeoutMs) {
  if (!folder_.empty()) {
    // The print has returned: one more look takes the file's last bytes.
    timespec pause{0, 5000000};
    nanosleep(&pause, nullptr);
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return PortTimes{first_, last_, bytes_};
  }
  PortTimes times;
  pollfd p{times_, POLLIN, 0};
  char line[128] = {};
  if (poll(&p, 1, timeoutMs) > 0 && read(times_, line, sizeof line - 1) > 0)
    std::sscanf(line, "%lf %lf %lld", &times.first, &times.last, &times.bytes);
  return times;
}

}  // namespace e2e
