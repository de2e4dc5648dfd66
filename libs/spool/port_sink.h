// The open destination of one channel: a new job file in a folder, a TCP
// connection, or (Windows) a raw job of an installed printer. The system
// calls behind it live in port_sink_posix.cpp and port_sink_win32.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "libs/spool/port_text.h"
#include "libs/spool/send_control.h"

namespace spool {

class BlockingWriter;

struct PortSink {
  PortKind kind = PortKind::kNone;
  intptr_t handle = -1;  // file descriptor, HANDLE, socket or printer handle
  char path[260] = {};   // kFolder: the job file made for this channel, under its temporary name
  char whole[260] = {};  // kFolder: the name it gets once the job ended whole
  // Files and printers: their blocking writes run on a thread of this sink.
  std::shared_ptr<BlockingWriter> writer;
  // A send that timed out or was cancelled: the port is given up, and its
  // handle is closed without finishing the job.
  bool abandoned = false;
};

// How long a TCP connect may take before the port counts as dead.
constexpr int kConnectTimeoutMs = 5000;

// Opens the destination; false (sink closed) when it cannot be reached, or
// not within the time-out of control (a job file, a printer's job).
// jobName only names the job where the destination keeps names (printers).
bool openSink(const PortTarget& target, const char* jobName, PortSink* sink, const SendControl& control);
// Writes all bytes, waiting on a port that takes none in slices: a time-out
// or a cancel abandons the sink; any other failure (a full disk, a closed
// connection) is kFailed.
SendResult writeSink(PortSink* sink, const void* data, std::size_t size, const SendControl& control);
// Ends the job at the destination and releases it; false when the end failed,
// the printer did not take every byte within the time-out, or the sink was
// abandoned.
bool closeSink(PortSink* sink, const SendControl& control);

// A file port's job file is written under its name with this ending and
// given its name only when the job ended whole: a crash mid-job never leaves
// a file that looks like a print.
constexpr char kPartEnding[] = ".part";
// Removes the job files of file ports that a crash left unfinished: names of
// our own form in the folder of the port text that no process holds open
// (where the system tells), else whose writing process (named in the file's
// name) no longer runs, or, for one that runs (it may be another program
// that reuses the id, or one printing now), not written for
// olderThanSeconds. Never a file this process is writing. How many went.
int sweepPartFiles(const char* portText, int olderThanSeconds);

// The operator's text of a port's failure at one step of a job.
enum class PortStep { kOpen, kWrite, kClose };
const char* portFailureText(PortKind kind, PortStep step);

// ---- system calls (one implementation per platform) ------------------------

// Creates path only if it does not exist yet; false otherwise.
bool createNewFile(const char* path, intptr_t* handle);
bool writeFileAll(intptr_t handle, const void* data, std::size_t size);
bool closeFileHandle(intptr_t handle);
// The socket comes back non-blocking.
bool connectTcp(const char* host, int port, int timeoutMs, intptr_t* socket);
// Bytes taken (> 0), 0 when the socket takes none now, -1 on failure.
long sendSome(intptr_t socket, const void* data, std::size_t size);
// 1 when the socket can take bytes, 0 when it still cannot after timeoutMs,
// -1 on failure.
int waitWritable(intptr_t socket, int timeoutMs);
// Resets the connection (an abandoned job).
void resetSocket(intptr_t socket);
// Finishes the connection: no more bytes from us, then waits until the
// printer has acknowledged every byte (or closed its side after taking
// them), within the time-out counted from the last sign of progress.
// false (connection reset) when it did not.
bool finishSocket(intptr_t socket, const SendControl& control);
// The send queue of a connection kept small, so that a cut job ends soon.
constexpr int kSocketSendBuffer = 32 * 1024;
bool openPrinterJob(const char* printer, const char* jobName, intptr_t* handle);
bool writePrinterJob(intptr_t handle, const void* data, std::size_t size);
bool closePrinterJob(intptr_t handle);
// Drops the job unprinted and releases the printer.
bool abortPrinterJob(intptr_t handle);
unsigned long currentProcessId();
// A process of that id runs now (false when it cannot be told: it may be
// another's, out of reach).
bool processRunning(unsigned long id);
// Whether some process holds the file open: 1 yes, 0 no, -1 the system
// cannot tell (POSIX keeps no such record for a plain open).
int heldOpen(const char* path);

}  // namespace spool
