// Job files of a file port: "<yyyymmdd>-<hhmmss>-<process>-<n>.prn" in the
// port's folder, created exclusively, so that two processes (or two channels
// of one process) never write into one file and no file is ever replaced. A
// relative folder is taken from the spool library's own folder, where the
// installation keeps its output folder.
#include <atomic>
#include <cstdio>

#include "libs/spool/port_sink.h"
#include "libs/spool/proof_port.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace spool {
namespace {

constexpr int kNameTries = 1000;
std::atomic<unsigned> g_jobCounter{0};

bool isAbsolute(const char* folder) {
  if (platform::isSeparator(folder[0])) return true;
#if defined(_WIN32)
  return folder[0] && folder[1] == ':';
#else
  return false;
#endif
}

bool resolveFolder(const char* folder, char* out, std::size_t capacity) {
  if (isAbsolute(folder)) return platform::copyString(out, capacity, folder);
  char library[platform::kMaxPath];
  char home[platform::kMaxPath];
  if (!platform::moduleFileName(reinterpret_cast<const void*>(&resolveFolder), library, sizeof library)) return false;
  if (!platform::folderPart(library, home, sizeof home)) return false;
  return platform::joinPath(out, capacity, home, folder);
}

bool openJobFile(const char* folderText, PortSink* sink) {
  char folder[platform::kMaxPath];
  if (!resolveFolder(folderText, folder, sizeof folder) || !platform::isFolder(folder)) return false;
  const platform::LocalTime now = platform::localNow();
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    char name[80];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%lu-%u.prn", now.year, now.month, now.day, now.hour,
                  now.minute, now.second, currentProcessId(), ++g_jobCounter);
    if (!platform::joinPath(sink->path, sizeof sink->path, folder, name)) return false;
    if (createNewFile(sink->path, &sink->handle)) return true;
    if (platform::pathExists(sink->path)) continue;  // taken: the next number
    break;
  }
  sink->path[0] = '\0';
  return false;
}

}  // namespace

bool openSink(const PortTarget& target, const char* jobName, PortSink* sink) {
  *sink = PortSink{};
  bool opened = false;
  switch (target.kind) {
    case PortKind::kFolder:
      opened = openJobFile(target.folder, sink);
      break;
    case PortKind::kTcp:
      opened = connectTcp(target.host, target.port, kConnectTimeoutMs, &sink->handle);
      break;
    case PortKind::kPrinter:
      opened = openPrinterJob(target.printer, jobName, &sink->handle);
      break;
    case PortKind::kProof:
      opened = proofIsOpen(target.proof);
      sink->handle = target.proof;
      break;
    case PortKind::kNone:
      break;
  }
  if (!opened) {
    *sink = PortSink{};
    return false;
  }
  sink->kind = target.kind;
  return true;
}

bool writeSink(PortSink* sink, const void* data, std::size_t size) {
  if (size == 0) return sink->kind != PortKind::kNone;
  switch (sink->kind) {
    case PortKind::kFolder:
      return writeFileAll(sink->handle, data, size);
    case PortKind::kTcp:
      return sendAll(sink->handle, data, size);
    case PortKind::kPrinter:
      return writePrinterJob(sink->handle, data, size);
    case PortKind::kProof:
      return writeProof(static_cast<int>(sink->handle), data, size);
    case PortKind::kNone:
      break;
  }
  return false;
}

bool closeSink(PortSink* sink) {
  bool closed = false;
  switch (sink->kind) {
    case PortKind::kFolder:
      closed = closeFileHandle(sink->handle);
      break;
    case PortKind::kTcp:
      closed = closeSocket(sink->handle);
      break;
    case PortKind::kPrinter:
      closed = closePrinterJob(sink->handle);
      break;
    case PortKind::kProof:
      closed = true;
      break;
    case PortKind::kNone:
      return false;
  }
  *sink = PortSink{};
  return closed;
}

}  // namespace spool
