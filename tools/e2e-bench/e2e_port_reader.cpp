#include "e2e_port_reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <vector>

#include "platform/folders.h"

namespace e2e {
namespace {

double now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

PortReader::~PortReader() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

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
  thread_ = std::thread([this] { serve(); });
  return true;
}

void PortReader::arm() {
  first_ = 0;
  last_ = 0;
  bytes_ = 0;
  done_ = false;
  if (!folder_.empty()) {
    if (thread_.joinable()) thread_.join();
    stop_ = false;
    thread_ = std::thread([this] { watchFolder(); });
  }
}

// The printer: one connection at a time, read to its end.
void PortReader::serve() {
  std::vector<char> buffer(1 << 20);
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    for (;;) {
      pollfd c{connection, POLLIN, 0};
      if (poll(&c, 1, 100) <= 0) {
        if (stop_) break;
        continue;
      }
      const ssize_t got = read(connection, buffer.data(), buffer.size());
      if (got <= 0) break;
      const double t = now();
      if (bytes_ == 0) first_ = t;
      last_ = t;
      bytes_ += got;
    }
    close(connection);
    done_ = true;
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
      const double t = now();
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
  } else {
    for (int waited = 0; !done_ && waited < timeoutMs; waited += 5) {
      timespec pause{0, 5000000};
      nanosleep(&pause, nullptr);
    }
  }
  return PortTimes{first_, last_, bytes_};
}

}  // namespace e2e
