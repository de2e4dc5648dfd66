// Job files of a file port: "<yyyymmdd>-<hhmmss>-<process>-<n>.prn" in the
// port's folder, created exclusively, so that two processes (or two channels
// of one process) never write into one file and no file is ever replaced. A
// relative folder is taken from the spool library's own folder, where the
// installation keeps its output folder. The file is written as
// "<name>.prn.part" and renamed when its job ended whole.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "libs/spool/blocking_writer.h"
#include "libs/spool/port_sink.h"
#include "libs/spool/proof_port.h"
#include "libs/spool/timed_call.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace spool {
namespace {

constexpr int kNameTries = 1000;
std::atomic<unsigned> g_jobCounter{0};

// The job files this process is writing now: a sweep never takes them,
// though their names carry this process's id.
std::mutex g_writingLock;
std::set<std::string> g_writing;

void noteWriting(const char* path, bool writing) {
  std::lock_guard<std::mutex> hold(g_writingLock);
  if (writing)
    g_writing.insert(path);
  else
    g_writing.erase(path);
}

bool writingNow(const std::string& path) {
  std::lock_guard<std::mutex> hold(g_writingLock);
  return g_writing.count(path) != 0;
}

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

struct Opened {
  bool ok = false;
  intptr_t handle = -1;
};

// Creates path within the control's time-out (a stalled share can hold the
// call for minutes). A file the system creates after the wait was given up
// is closed and removed there: only whole jobs stand in the folder.
SendResult createTimed(const char* path, const SendControl& control, intptr_t* handle) {
  Opened opened;
  SendResult verdict = SendResult::kFailed;
  try {
    const std::string name = path;
    const std::function<Opened()> create = [name] {
      Opened r;
      r.ok = createNewFile(name.c_str(), &r.handle);
      return r;
    };
    const std::function<void(Opened&)> release = [name](Opened& late) {
      if (!late.ok) return;
      closeFileHandle(late.handle);
      platform::deleteFile(name.c_str());
    };
    verdict = callTimed<Opened>(create, control, release, &opened);
  } catch (...) {
    return SendResult::kFailed;
  }
  if (verdict != SendResult::kSent) return verdict;
  if (!opened.ok) return SendResult::kFailed;
  *handle = opened.handle;
  return SendResult::kSent;
}

// Starts a printer's job within the control's time-out; a job the spooler
// starts after the wait was given up is aborted there.
bool startPrinterJobTimed(const char* printer, const char* jobName, const SendControl& control, intptr_t* handle) {
  Opened opened;
  try {
    const std::string printerName = printer;
    const std::string job = jobName ? jobName : "";
    const std::function<Opened()> start = [printerName, job] {
      Opened r;
      r.ok = openPrinterJob(printerName.c_str(), job.c_str(), &r.handle);
      return r;
    };
    const std::function<void(Opened&)> release = [](Opened& late) {
      if (late.ok) abortPrinterJob(late.handle);
    };
    if (callTimed<Opened>(start, control, release, &opened) != SendResult::kSent || !opened.ok) return false;
  } catch (...) {
    return false;
  }
  *handle = opened.handle;
  return true;
}

bool openJobFile(const char* folderText, PortSink* sink, const SendControl& control) {
  char folder[platform::kMaxPath];
  if (!resolveFolder(folderText, folder, sizeof folder) || !platform::isFolder(folder)) return false;
  const platform::LocalTime now = platform::localNow();
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    char name[80];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%lu-%u.prn", now.year, now.month, now.day, now.hour,
                  now.minute, now.second, currentProcessId(), ++g_jobCounter);
    if (!platform::joinPath(sink->whole, sizeof sink->whole, folder, name) ||
        std::snprintf(sink->path, sizeof sink->path, "%s%s", sink->whole, kPartEnding) >=
            static_cast<int>(sizeof sink->path))
      break;
    if (platform::pathExists(sink->whole)) continue;
    const SendResult verdict = createTimed(sink->path, control, &sink->handle);
    if (verdict == SendResult::kSent) {
      noteWriting(sink->path, true);
      return true;
    }
    if (verdict == SendResult::kFailed && platform::pathExists(sink->path)) continue;  // taken: the next number
    break;
  }
  sink->path[0] = sink->whole[0] = '\0';
  return false;
}

// A run of digits (count of them, or any number for 0) and the character
// after it; p moves past both.
bool digitsThen(const char*& p, int count, char after) {
  int n = 0;
  while (*p >= '0' && *p <= '9') ++p, ++n;
  if (n == 0 || (count && n != count) || *p != after) return false;
  ++p;
  return true;
}

// "<8 digits>-<6 digits>-<process>-<digits>.prn.part": a name openJobFile
// makes, and nothing else; *writer the process named in it.
bool isPartName(const char* name, unsigned long* writer) {
  const char* p = name;
  if (!digitsThen(p, 8, '-') || !digitsThen(p, 6, '-')) return false;
  *writer = std::strtoul(p, nullptr, 10);
  return digitsThen(p, 0, '-') && digitsThen(p, 0, '.') && platform::equalNoCase(p, "prn.part");
}

// A TCP send: the socket is non-blocking, so a port that takes nothing is
// waited on in slices, each checking the time-out and the hook.
SendResult sendTimed(intptr_t socket, const void* data, std::size_t size, const SendControl& control) {
  const char* bytes = static_cast<const char*>(data);
  SendClock clock(control);
  while (size > 0) {
    const long put = sendSome(socket, bytes, size);
    if (put < 0) return SendResult::kFailed;
    if (put > 0) {
      bytes += put;
      size -= static_cast<std::size_t>(put);
      clock.progressed();
      continue;
    }
    if (waitWritable(socket, kWaitSliceMs) < 0) return SendResult::kFailed;
    const SendResult verdict = clock.check();
    if (verdict != SendResult::kSent) return verdict;
  }
  return SendResult::kSent;
}

}  // namespace

const char* portFailureText(PortKind kind, PortStep step) {
  struct Texts {
    PortKind kind;
    const char* text[3];  // by PortStep
  };
  // The last row speaks of any port.
  static const Texts kTexts[] = {
      {PortKind::kFolder,
       {"出力ﾌｧｲﾙを作れませんでした。", "出力ﾌｧｲﾙに書き込めませんでした（ﾃﾞｨｽｸがいっぱいです）。",
        "出力ﾌｧｲﾙを閉じられませんでした。"}},
      {PortKind::kTcp,
       {"ﾌﾟﾘﾝﾀに接続できませんでした。", "ﾌﾟﾘﾝﾀとの接続が切れました。", "ﾌﾟﾘﾝﾀがﾃﾞｰﾀを最後まで受け取りませんでした。"}},
      {PortKind::kPrinter,
       {"ﾌﾟﾘﾝﾀのｼﾞｮﾌﾞを開始できませんでした。", "ﾌﾟﾘﾝﾀにﾃﾞｰﾀを送れませんでした。",
        "ﾌﾟﾘﾝﾀのｼﾞｮﾌﾞを終了できませんでした。"}},
      {PortKind::kNone, {"ﾎﾟｰﾄを開けませんでした。", "ﾎﾟｰﾄに出力できませんでした。", "ﾎﾟｰﾄを閉じられませんでした。"}},
  };
  const Texts* row = kTexts;
  while (row->kind != kind && row->kind != PortKind::kNone) ++row;
  return row->text[static_cast<int>(step)];
}

int sweepPartFiles(const char* portText, int olderThanSeconds) {
  const PortTarget target = readPortText(portText);
  char folder[platform::kMaxPath];
  if (target.kind != PortKind::kFolder || !resolveFolder(target.folder, folder, sizeof folder)) return 0;
  std::vector<std::pair<std::string, unsigned long>> parts;
  platform::listFolder(folder, [&](const platform::FolderEntry& entry) {
    unsigned long writer = 0;
    if (!entry.isDirectory && isPartName(entry.name, &writer)) parts.emplace_back(entry.name, writer);
    return true;
  });
  int removed = 0;
  for (const auto& [name, writer] : parts) {
    char path[platform::kMaxPath];
    if (!platform::joinPath(path, sizeof path, folder, name.c_str())) continue;
    if (writingNow(path)) continue;
    // Where the system tells, a file nobody holds open is nobody's job: its
    // writer keeps it open from the first byte to the rename.
    const int held = heldOpen(path);
    std::int64_t age = 0;
    // Else by the writer's id. A process started anew may have the id of the
    // one that crashed (Wine hands out its ids afresh): this process's own
    // files are only those it is writing now.
    const bool mine = writer == currentProcessId();
    const bool left = held >= 0 ? held == 0
                                : mine || !processRunning(writer) ||
                                      (platform::secondsSinceWritten(path, &age) && age >= olderThanSeconds);
    if (left && platform::deleteFile(path)) ++removed;
  }
  return removed;
}

bool openSink(const PortTarget& target, const char* jobName, PortSink* sink, const SendControl& control) {
  *sink = PortSink{};
  bool opened = false;
  switch (target.kind) {
    case PortKind::kFolder:
      opened = openJobFile(target.folder, sink, control);
      if (opened) sink->writer = BlockingWriter::start(sink->handle, &writeFileAll, &closeFileHandle, &closeFileHandle);
      if (opened && !sink->writer) {
        closeFileHandle(sink->handle);
        platform::deleteFile(sink->path);
        noteWriting(sink->path, false);
        opened = false;
      }
      break;
    case PortKind::kTcp:
      opened = connectTcp(target.host, target.port, kConnectTimeoutMs, &sink->handle);
      break;
    case PortKind::kPrinter:
      opened = startPrinterJobTimed(target.printer, jobName, control, &sink->handle);
      if (opened)
        sink->writer = BlockingWriter::start(sink->handle, &writePrinterJob, &closePrinterJob, &abortPrinterJob);
      if (opened && !sink->writer) {
        closePrinterJob(sink->handle);
        opened = false;
      }
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

SendResult writeSink(PortSink* sink, const void* data, std::size_t size, const SendControl& control) {
  if (sink->kind == PortKind::kNone || sink->abandoned) return SendResult::kFailed;
  if (size == 0) return SendResult::kSent;
  SendResult result = SendResult::kFailed;
  switch (sink->kind) {
    case PortKind::kFolder:
    case PortKind::kPrinter:
      result = sink->writer->write(data, size, control);
      break;
    case PortKind::kTcp:
      result = sendTimed(sink->handle, data, size, control);
      break;
    case PortKind::kProof:
      result = writeProof(static_cast<int>(sink->handle), data, size) ? SendResult::kSent : SendResult::kFailed;
      break;
    case PortKind::kNone:
      break;
  }
  if (result == SendResult::kTimedOut || result == SendResult::kCancelled) sink->abandoned = true;
  return result;
}

bool closeSink(PortSink* sink, const SendControl& control) {
  bool closed = false;
  switch (sink->kind) {
    case PortKind::kFolder:
    case PortKind::kPrinter:
      closed = sink->writer->close(control);
      break;
    case PortKind::kTcp:
      if (sink->abandoned) {
        resetSocket(sink->handle);
      } else {
        closed = finishSocket(sink->handle, control);
      }
      break;
    case PortKind::kProof:
      closed = true;
      break;
    case PortKind::kNone:
      return false;
  }
  closed = closed && !sink->abandoned;
  if (sink->kind == PortKind::kFolder) noteWriting(sink->path, false);
  *sink = PortSink{};
  return closed;
}

}  // namespace spool
