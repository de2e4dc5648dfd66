// System calls of the ports on Windows: CreateFileA with CREATE_NEW for job
// files, Winsock for TCP ports, and the print spooler's RAW data type for an
// installed printer.
#include <winsock2.h>
#include <ws2tcpip.h>
// winsock2.h before windows.h.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

#include "libs/spool/port_sink.h"
#include "libs/spool/timed_call.h"

namespace spool {
namespace {

bool startWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

void releaseAddresses(ADDRINFOA* list) {
  if (list) freeaddrinfo(list);
}

bool connectOne(const ADDRINFOA* address, int timeoutMs, SOCKET* out) {
  SOCKET s = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
  if (s == INVALID_SOCKET) return false;
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  int result = ::connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen));
  if (result != 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
    // The connect ends when the socket turns writable (or fails).
    int error = 0;
    int length = sizeof error;
    if (waitWritable(static_cast<intptr_t>(s), timeoutMs) == 1 &&
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 && error == 0)
      result = 0;
  }
  if (result != 0) {
    closesocket(s);
    return false;
  }
  // Left non-blocking: every send waits in slices (sendSome, waitWritable).
  const int sendBuffer = kSocketSendBuffer;
  setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);
  *out = s;
  return true;
}

// Hands on `size` bytes in pieces of at most `most` through put, which
// says how many it took; a failure or a piece not taken at all ends it.
template <class Put>
bool writeInPieces(const void* data, std::size_t size, DWORD most, Put put) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > most ? most : static_cast<DWORD>(size);
    DWORD taken = 0;
    if (!put(bytes, chunk, &taken) || taken == 0) return false;
    bytes += taken;
    size -= taken;
  }
  return true;
}

}  // namespace

// Delete sharing: a job given up while a write of it is still blocked is
// deleted by the channel at once, and the name goes with the writer's handle.
bool createNewFile(const char* path, intptr_t* handle) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  *handle = reinterpret_cast<intptr_t>(file);
  return true;
}

bool writeFileAll(intptr_t handle, const void* data, std::size_t size) {
  return writeInPieces(data, size, 0x10000000u, [handle](const char* bytes, DWORD chunk, DWORD* put) {
    return WriteFile(reinterpret_cast<HANDLE>(handle), bytes, chunk, put, nullptr) != 0;
  });
}

bool closeFileHandle(intptr_t handle) {
  return CloseHandle(reinterpret_cast<HANDLE>(handle)) != 0;
}

bool connectTcp(const char* host, int port, int timeoutMs, intptr_t* socket) {
  if (!startWinsock()) return false;
  char service[8];
  std::snprintf(service, sizeof service, "%d", port);
  ADDRINFOA hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  // The lookup has no time-out of its own: it gets the connect's.
  ADDRINFOA* found = nullptr;
  const std::string name = host;
  const std::string number = service;
  const std::function<ADDRINFOA*()> lookup = [name, number, hints]() -> ADDRINFOA* {
    ADDRINFOA* list = nullptr;
    return getaddrinfo(name.c_str(), number.c_str(), &hints, &list) == 0 ? list : nullptr;
  };
  const std::function<void(ADDRINFOA*&)> release = [](ADDRINFOA*& list) { releaseAddresses(list); };
  if (!callTimed<ADDRINFOA*>(lookup, timeoutMs, release, &found) || !found) return false;
  bool connected = false;
  for (ADDRINFOA* a = found; a && !connected; a = a->ai_next) {
    SOCKET s = INVALID_SOCKET;
    if (connectOne(a, timeoutMs, &s)) {
      *socket = static_cast<intptr_t>(s);
      connected = true;
    }
  }
  freeaddrinfo(found);
  return connected;
}

long sendSome(intptr_t socket, const void* data, std::size_t size) {
  const int chunk = size > 0x100000u ? 0x100000 : static_cast<int>(size);
  const int put = ::send(static_cast<SOCKET>(socket), static_cast<const char*>(data), chunk, 0);
  if (put > 0) return put;
  if (put == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
  return -1;
}

int waitWritable(intptr_t socket, int timeoutMs) {
  const SOCKET s = static_cast<SOCKET>(socket);
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int ready = ::select(0, nullptr, &writable, &failed, &wait);
  if (ready == SOCKET_ERROR || FD_ISSET(s, &failed)) return -1;
  return ready > 0 ? 1 : 0;
}

void resetSocket(intptr_t socket) {
  const SOCKET s = static_cast<SOCKET>(socket);
  linger reset{1, 0};
  setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
  closesocket(s);
}

// Windows tells no count of unacknowledged bytes: the printer has taken
// every byte once it closes its side after our end of data.
bool finishSocket(intptr_t socket, const SendControl& control) {
  const SOCKET s = static_cast<SOCKET>(socket);
  if (::shutdown(s, SD_SEND) != 0) {
    resetSocket(socket);
    return false;
  }
  SendClock clock(control);
  for (;;) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{0, kWaitSliceMs * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) break;
    if (ready > 0) {
      char answer[512];  // what a printer says back is not ours to read
      const int got = ::recv(s, answer, sizeof answer, 0);
      if (got == 0) return closesocket(s) == 0;
      if (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK) break;
      if (got > 0) clock.progressed();
    }
    if (clock.check() != SendResult::kSent) break;
  }
  resetSocket(socket);
  return false;
}

bool openPrinterJob(const char* printer, const char* jobName, intptr_t* handle) {
  HANDLE opened = nullptr;
  if (!OpenPrinterA(const_cast<char*>(printer), &opened, nullptr)) return false;
  char name[64];
  std::snprintf(name, sizeof name, "%s", jobName && jobName[0] ? jobName : "RX3");
  char dataType[] = "RAW";
  DOC_INFO_1A info{name, nullptr, dataType};
  if (StartDocPrinterA(opened, 1, reinterpret_cast<BYTE*>(&info)) == 0) {
    ClosePrinter(opened);
    return false;
  }
  *handle = reinterpret_cast<intptr_t>(opened);
  return true;
}

bool writePrinterJob(intptr_t handle, const void* data, std::size_t size) {
  return writeInPieces(data, size, 0x100000u, [handle](const char* bytes, DWORD chunk, DWORD* put) {
    return WritePrinter(reinterpret_cast<HANDLE>(handle), const_cast<char*>(bytes), chunk, put) != 0;
  });
}

bool closePrinterJob(intptr_t handle) {
  const bool ended = EndDocPrinter(reinterpret_cast<HANDLE>(handle)) != 0;
  return ClosePrinter(reinterpret_cast<HANDLE>(handle)) != 0 && ended;
}

bool abortPrinterJob(intptr_t handle) {
  const bool aborted = AbortPrinter(reinterpret_cast<HANDLE>(handle)) != 0;
  return ClosePrinter(reinterpret_cast<HANDLE>(handle)) != 0 && aborted;
}

unsigned long currentProcessId() {
  return GetCurrentProcessId();
}

int heldOpen(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return 0;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION ? 1 : -1;
}

bool processRunning(unsigned long id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace spool
