// The open destination of one channel: a new job file in a folder, a TCP
// connection, or (Windows) a raw job of an installed printer. The system
// calls behind it live in port_sink_posix.cpp and port_sink_win32.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "libs/spool/port_text.h"

namespace spool {

struct PortSink {
  PortKind kind = PortKind::kNone;
  intptr_t handle = -1;  // file descriptor, HANDLE, socket or printer handle
  char path[260] = {};   // kFolder: the job file made for this channel
};

// How long a TCP connect may take before the port counts as dead.
constexpr int kConnectTimeoutMs = 5000;

// Opens the destination; false (sink closed) when it cannot be reached.
// jobName only names the job where the destination keeps names (printers).
bool openSink(const PortTarget& target, const char* jobName, PortSink* sink);
// Writes all bytes; false on any failure (full disk, closed connection).
bool writeSink(PortSink* sink, const void* data, std::size_t size);
// Ends the job at the destination and releases it; false when the end failed.
bool closeSink(PortSink* sink);

// ---- system calls (one implementation per platform) ------------------------

// Creates path only if it does not exist yet; false otherwise.
bool createNewFile(const char* path, intptr_t* handle);
bool writeFileAll(intptr_t handle, const void* data, std::size_t size);
bool closeFileHandle(intptr_t handle);
bool connectTcp(const char* host, int port, int timeoutMs, intptr_t* socket);
bool sendAll(intptr_t socket, const void* data, std::size_t size);
bool closeSocket(intptr_t socket);
bool openPrinterJob(const char* printer, const char* jobName, intptr_t* handle);
bool writePrinterJob(intptr_t handle, const void* data, std::size_t size);
bool closePrinterJob(intptr_t handle);
unsigned long currentProcessId();

}  // namespace spool
