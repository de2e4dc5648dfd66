// System calls of the ports on POSIX. There are no installed printers here:
// a printer port fails to open.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "libs/spool/port_sink.h"
#include "libs/spool/timed_call.h"

namespace spool {
namespace {

bool writeDescriptor(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t put = ::write(fd, bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

void releaseAddresses(struct addrinfo* list) {
  if (list) ::freeaddrinfo(list);
}

bool connectOne(const struct addrinfo* address, int timeoutMs, int* out) {
  int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
  if (fd < 0) return false;
  const int flags = ::fcntl(fd, F_GETFL, 0);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int result = ::connect(fd, address->ai_addr, address->ai_addrlen);
  if (result != 0 && errno == EINPROGRESS) {
    struct pollfd wait {
      fd, POLLOUT, 0
    };
    int ready;
    do {
      ready = ::poll(&wait, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    int error = 0;
    socklen_t length = sizeof error;
    if (ready == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) result = 0;
  }
  if (result != 0) {
    ::close(fd);
    return false;
  }
  // Left non-blocking: every send waits in slices (sendSome, waitWritable).
  const int sendBuffer = kSocketSendBuffer;
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
  *out = fd;
  return true;
}

}  // namespace

bool createNewFile(const char* path, intptr_t* handle) {
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  *handle = fd;
  return true;
}

bool writeFileAll(intptr_t handle, const void* data, std::size_t size) {
  return writeDescriptor(static_cast<int>(handle), data, size);
}

bool closeFileHandle(intptr_t handle) {
  return ::close(static_cast<int>(handle)) == 0;
}

bool connectTcp(const char* host, int port, int timeoutMs, intptr_t* socket) {
  char service[8];
  std::snprintf(service, sizeof service, "%d", port);
  struct addrinfo hints {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  // The lookup has no time-out of its own: it gets the connect's.
  struct addrinfo* found = nullptr;
  const std::string name = host;
  const std::string number = service;
  const std::function<struct addrinfo*()> lookup = [ name, number, hints ]() -> struct addrinfo* {
    struct addrinfo* list = nullptr;
    return ::getaddrinfo(name.c_str(), number.c_str(), &hints, &list) == 0 ? list : nullptr;
  };
  const std::function<void(struct addrinfo*&)> release = [](struct addrinfo*& list) { releaseAddresses(list); };
  if (!callTimed<struct addrinfo*>(lookup, timeoutMs, release, &found) || !found) return false;
  bool connected = false;
  for (struct addrinfo* a = found; a && !connected; a = a->ai_next) {
    int fd = -1;
    if (connectOne(a, timeoutMs, &fd)) {
      *socket = fd;
      connected = true;
    }
  }
  ::freeaddrinfo(found);
  return connected;
}

long sendSome(intptr_t socket, const void* data, std::size_t size) {
  for (;;) {
    const ssize_t put = ::send(static_cast<int>(socket), data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (put > 0) return static_cast<long>(put);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
    return -1;
  }
}

int waitWritable(intptr_t socket, int timeoutMs) {
  struct pollfd wait {
    static_cast<int>(socket), POLLOUT, 0
  };
  const int ready = ::poll(&wait, 1, timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  if (ready == 0) return 0;
  return (wait.revents & (POLLERR | POLLNVAL)) ? -1 : 1;
}

void resetSocket(intptr_t socket) {
  const int fd = static_cast<int>(socket);
  struct linger reset {
    1, 0
  };
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  ::close(fd);
}

bool finishSocket(intptr_t socket, const SendControl& control) {
  const int fd = static_cast<int>(socket);
  ::shutdown(fd, SHUT_WR);
  SendClock clock(control);
  int unacknowledged = -1;
  for (;;) {
    // Sent but not yet acknowledged: the printer has every byte at 0.
    int queued = 0;
    if (::ioctl(fd, SIOCOUTQ, &queued) == 0) {
      if (queued == 0) break;
      if (unacknowledged < 0 || queued < unacknowledged) clock.progressed();
      unacknowledged = queued;
    }
    struct pollfd wait {
      fd, POLLIN, 0
    };
    const int ready = ::poll(&wait, 1, kWaitSliceMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0) {
      char answer[512];  // what a printer says back is not ours to read
      const ssize_t got = ::recv(fd, answer, sizeof answer, MSG_DONTWAIT);
      if (got == 0) break;  // the printer closed its side
      if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        resetSocket(socket);
        return false;
      }
    }
    if (clock.check() != SendResult::kSent) {
      resetSocket(socket);
      return false;
    }
  }
  int queued = 0;
  const bool taken = ::ioctl(fd, SIOCOUTQ, &queued) == 0 && queued == 0;
  if (!taken) {
    resetSocket(socket);
    return false;
  }
  return ::close(fd) == 0;
}

bool openPrinterJob(const char*, const char*, intptr_t*) {
  return false;
}
bool writePrinterJob(intptr_t, const void*, std::size_t) {
  return false;
}
bool closePrinterJob(intptr_t) {
  return false;
}
bool abortPrinterJob(intptr_t) {
  return false;
}

unsigned long currentProcessId() {
  return static_cast<unsigned long>(::getpid());
}

int heldOpen(const char*) {
  return -1;
}

bool processRunning(unsigned long id) {
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace spool
