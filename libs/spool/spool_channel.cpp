// SPOOL: the byte channel from a printer driver to its port.
//
// How this library works (the choices left to it):
// - Handles are tokens, never addresses: slot number and generation of a
//   table of open channels. A handle that was closed, never issued or
//   belongs to nobody finds no channel and every call on it fails (0); it is
//   never dereferenced.
// - Ports (port_text.h): "FILE:<folder>" or an existing folder makes one new
//   job file per channel in that folder, created exclusively under a unique
//   name ("<date>-<time>-<process>-<n>.prn"), never replacing a file; a
//   relative folder lies beside this library. "<host>:<port>" is a raw TCP
//   printer port, connected at open with a 5-second time-out. Any other text
//   names an installed Windows printer, fed through the spooler's RAW data
//   type (there are none on POSIX). A port that cannot be reached fails
//   jSplOpen; creating a job file and starting a printer's job are waited
//   for within the port's time-out.
// - Writing: jSplWrite_* append to a memory buffer, so single bytes are
//   cheap; jSplWritePrinter hands the buffer on. A buffer that grows past
//   4 MB without being handed on passes its part before the abort point on
//   by itself (all of it when there is no abort point).
// - Spool mode (spoolMode 1 or 2 with a spool path): handed-on bytes go to
//   the spool file, which jSplEnd then sends to the port and deletes. Its
//   open, writes, close and reads run on threads of their own, timed like
//   a port's; a file a thread given up still holds goes once it lets go. The
//   size limit (spoolLimitMB, 1..1000; 0 = none) counts the spool file and
//   the buffer: a write that would take them past it is refused and the
//   status drops, so a runaway job neither fills the disk nor the memory. Spool mode without a path writes straight to
//   the port.
// - Waiting: a port that takes no byte is waited on in slices of 100 ms. It
//   fails the job once it has taken nothing for its time-out (60 s, or its
//   TIMEOUT line in the device registry). The port is then given up: its
//   connection is reset, and a write still blocked inside the system is left
//   to a thread that closes the handle when the system lets go of it.
// - Cancel (channel_send.cpp): while a send waits, the continue hook
//   (jSplSetContinueHook: the driver asks its host there) is asked about
//   every 100 ms. An answer other than 1 cancels the job, but never leaves
//   the printer inside it: the send goes on to the next place the driver
//   marked as safe to cut (jSplMarkBoundary), the driver's cancel tail (its
//   abort frame and job end) follows, and the channel stops (status 0). Only
//   a printer that then takes nothing for the time-out is reset.
// - Failures are kept in the port's own words for the calling thread
//   (jSplTakeFailureText), so that the host can tell the operator why.
// - Spool mode, failed send: the spool file is removed all the same. It is
//   a private copy of a job whose source the host still holds; kept, it
//   would only fill the driver's folder (a full disk may be why it failed).
// - A TCP job has gone out only when the printer acknowledged every byte
//   (port_sink_*.cpp): the end waits for that within the time-out.
// - Status: 1 until a write, send or spool limit fails; then 0 for good,
//   and later writes are dropped. A channel ended with status 0 on a file
//   port removes its incomplete job file, so an output folder only ever
//   holds whole jobs.
// - Abort: jSplSetAbortPoint marks the current end of the buffer; jSplAbort
//   drops what was appended after that mark and not yet handed on, so that a
//   frame written next follows a clean boundary. The handle stays usable.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "SPOOL.h"
#include "libs/spool/channel.h"
#include "libs/spool/device_registry.h"
#include "libs/spool/port_sink.h"
#include "libs/spool/port_text.h"
#include "libs/spool/proof_port.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace spool {
namespace {

constexpr int kSlots = 64;
constexpr std::size_t kAutoHandOn = 4u * 1024 * 1024;
constexpr int32_t kMaxLimitMB = 1000;

std::mutex g_tableLock;
Channel* g_slots[kSlots];
uintptr_t g_generation = 0;

// Token layout: (generation * kSlots + slot) + 1, never 0.
Channel* find(jSPOOL handle) {
  const uintptr_t token = reinterpret_cast<uintptr_t>(handle);
  if (token == 0) return nullptr;
  const std::size_t slot = (token - 1) % kSlots;
  std::lock_guard<std::mutex> hold(g_tableLock);
  Channel* channel = g_slots[slot];
  return channel && channel->token == token ? channel : nullptr;
}

bool enter(Channel* channel) {
  std::lock_guard<std::mutex> hold(g_tableLock);
  for (int slot = 0; slot < kSlots; ++slot) {
    if (g_slots[slot]) continue;
    ++g_generation;
    // Keep tokens within 31 bits so that they survive any int conversion.
    g_generation %= uintptr_t{0x7FFFFFFF} / kSlots;
    channel->token = g_generation * kSlots + static_cast<uintptr_t>(slot) + 1;
    g_slots[slot] = channel;
    return true;
  }
  return false;
}

void leave(Channel* channel) {
  std::lock_guard<std::mutex> hold(g_tableLock);
  for (Channel*& slot : g_slots)
    if (slot == channel) slot = nullptr;
}

bool terminatedField(const char* field, std::size_t size) {
  return std::memchr(field, '\0', size) != nullptr;
}

bool blockIsSound(const jSplOpenBlock* block) {
  return block && terminatedField(block->jobName, sizeof block->jobName) &&
         terminatedField(block->deviceName, sizeof block->deviceName) &&
         terminatedField(block->portName, sizeof block->portName) &&
         terminatedField(block->spoolPath, sizeof block->spoolPath);
}

void dropPending(Channel* channel) {
  channel->pending.clear();
  channel->abortPoint = 0;
}

// Hands the first count buffered bytes on to the spool file or the port.
void handOn(Channel* channel, std::size_t count) {
  if (count == 0 || channel->status != 1) return;
  if (channel->spooling) {
    if (channel->spoolLimit != 0 && channel->spooled + count > channel->spoolLimit) {
      failChannel(channel, kReasonSpoolLimit);
    } else if (writeSpool(channel, channel->pending.data(), count)) {
      channel->spooled += count;
    }
  } else {
    sendStream(channel, channel->pending.data(), count, channel->handedOn);
  }
  if (channel->status != 1) {
    dropPending(channel);
    return;
  }
  channel->pending.erase(channel->pending.begin(), channel->pending.begin() + static_cast<std::ptrdiff_t>(count));
  channel->abortPoint = channel->abortPoint > count ? channel->abortPoint - count : 0;
  channel->handedOn += count;
  if (!channel->spooling) {
    // Boundaries already passed can no longer be cut at.
    auto& b = channel->boundaries;
    auto first = std::lower_bound(b.begin(), b.end(), channel->handedOn,
                                  [](const Boundary& x, uint64_t o) { return x.offset < o; });
    b.erase(b.begin(), first);
  }
}

// How much a buffer grown too big passes on by itself: up to its abort
// point, else up to its last boundary, so that a cancel can still cut
// cleanly; else all of it.
std::size_t autoHandOnCount(const Channel* channel) {
  if (channel->abortPoint) return channel->abortPoint;
  if (!channel->boundaries.empty() && channel->boundaries.back().offset > channel->handedOn)
    return static_cast<std::size_t>(channel->boundaries.back().offset - channel->handedOn);
  return channel->pending.size();
}

// Marks the current end of the stream; a mark where one already lies keeps
// the stronger meaning (a job's end).
void markBoundary(Channel* channel, bool jobComplete) {
  const uint64_t end = channel->handedOn + channel->pending.size();
  auto& b = channel->boundaries;
  try {
    if (!b.empty() && b.back().offset == end)
      b.back().jobComplete = b.back().jobComplete || jobComplete;
    else
      b.push_back(Boundary{end, jobComplete});
  } catch (...) {
    // Without the mark a cancel cuts at the next one: still clean.
  }
}

int append(jSPOOL handle, const void* data, std::size_t size) {
  Channel* channel = find(handle);
  if (!channel || channel->ended || channel->status != 1) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  // A spool file that would outgrow its limit stops the job now, before
  // the buffer grows any further.
  if (channel->spooling && channel->spoolLimit &&
      channel->spooled + channel->pending.size() + size > channel->spoolLimit) {
    failChannel(channel, kReasonSpoolLimit);
    dropPending(channel);
    return 0;
  }
  try {
    channel->pending.insert(channel->pending.end(), bytes, bytes + size);
  } catch (...) {
    // Out of memory: the job cannot be completed, and nothing may escape
    // into the caller's module.
    failChannel(channel, kReasonOutOfMemory);
    dropPending(channel);
    return 0;
  }
  if (channel->pending.size() > kAutoHandOn) handOn(channel, autoHandOnCount(channel));
  return channel->status == 1 ? 1 : 0;
}

void finish(Channel* channel) {
  if (channel->ended) return;
  channel->ended = true;
  handOn(channel, channel->pending.size());
  if (channel->spooling && channel->status == 1 && sendSpoolFile(channel))
    endCancelledStream(channel, channel->spooled);
  if (!channel->spooling) endCancelledStream(channel, channel->handedOn);
  dropSpoolFile(channel);
  char jobFile[platform::kMaxPath];
  char wholeName[platform::kMaxPath];
  std::memcpy(jobFile, channel->sink.path, sizeof jobFile);
  std::memcpy(wholeName, channel->sink.whole, sizeof wholeName);
  const PortKind kind = channel->sink.kind;
  const bool fileJob = kind == PortKind::kFolder;
  // A writer given up may still hold the job file: it goes once it lets go.
  const std::shared_ptr<BlockingWriter> writer = channel->sink.writer;
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  if (!closeSink(&channel->sink, control)) failChannel(channel, portFailureText(kind, PortStep::kClose));
  // The job ended whole: only now does its file get a print's name.
  if (fileJob && channel->status == 1 && !platform::moveFile(jobFile, wholeName))
    failChannel(channel, portFailureText(kind, PortStep::kClose));
  if (fileJob && channel->status != 1) writer->removeFile(jobFile);
}

}  // namespace
}  // namespace spool

using spool::Channel;

JSPOOL_API jSPOOL jSplOpen(const jSplOpenBlock* block) {
  spool::clearFailureText();
  if (!spool::blockIsSound(block)) return nullptr;
  const spool::PortTarget target = spool::readPortText(block->portName);
  if (target.kind == spool::PortKind::kNone) {
    spool::noteFailureText(spool::portFailureText(target.kind, spool::PortStep::kOpen));
    return nullptr;
  }
  auto* channel = new (std::nothrow) Channel();
  if (!channel) return nullptr;
  const int32_t limit = block->spoolLimitMB < 0                    ? 0
                        : block->spoolLimitMB > spool::kMaxLimitMB ? spool::kMaxLimitMB
                                                                   : block->spoolLimitMB;
  channel->spoolLimit = static_cast<uint64_t>(limit) * 1024 * 1024;
  char registry[platform::kMaxPath];
  if (spool::registryPath(registry, sizeof registry))
    channel->timeoutMs = spool::portTimeoutMs(registry, block->portName);
  if ((block->spoolMode == 1 || block->spoolMode == 2) && block->spoolPath[0] &&
      !spool::startSpoolFile(channel, block->spoolPath)) {
    delete channel;
    return nullptr;
  }
  spool::SendControl control;
  control.timeoutMs = channel->timeoutMs;
  const bool opened = spool::openSink(target, block->jobName, &channel->sink, control);
  if (!opened) spool::noteFailureText(spool::portFailureText(target.kind, spool::PortStep::kOpen));
  if (!opened || !spool::enter(channel)) {
    if (channel->sink.kind != spool::PortKind::kNone) {
      const bool fileJob = channel->sink.kind == spool::PortKind::kFolder;
      char jobFile[platform::kMaxPath];
      std::memcpy(jobFile, channel->sink.path, sizeof jobFile);
      const std::shared_ptr<spool::BlockingWriter> writer = channel->sink.writer;
      spool::closeSink(&channel->sink, control);
      if (fileJob) writer->removeFile(jobFile);
    }
    spool::dropSpoolFile(channel);
    delete channel;
    return nullptr;
  }
  return reinterpret_cast<jSPOOL>(channel->token);
}

JSPOOL_API int jSplWrite_c(jSPOOL spool, int byte) {
  const uint8_t value = static_cast<uint8_t>(byte);
  return spool::append(spool, &value, 1);
}

JSPOOL_API int jSplWrite_s(jSPOOL spool, const char* text) {
  if (!text) return 0;
  return spool::append(spool, text, std::strlen(text));
}

JSPOOL_API int jSplWrite_buff(jSPOOL spool, const void* data, int length) {
  if (length < 0 || (!data && length > 0)) return 0;
  return spool::append(spool, data, static_cast<std::size_t>(length));
}

JSPOOL_API int jSplWritePrinter(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  if (!channel || channel->ended) return 0;
  // Everything handed on ends where a frame or a skip ended: a place to cut.
  spool::markBoundary(channel, false);
  spool::handOn(channel, channel->pending.size());
  channel->abortPoint = 0;
  return channel->status == 1 ? 1 : 0;
}

JSPOOL_API int jSplGetStatus(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  return channel && !channel->ended && channel->status == 1 ? 1 : 0;
}

JSPOOL_API int jSplDropsBytes(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  return channel && channel->sink.kind == spool::PortKind::kProof &&
                 spool::proofDropsBytes(static_cast<int>(channel->sink.handle))
             ? 1
             : 0;
}

JSPOOL_API int jSplSetAbortPoint(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  if (!channel || channel->ended) return 0;
  channel->abortPoint = channel->pending.size();
  return 1;
}

JSPOOL_API int jSplAbort(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  if (!channel || channel->ended) return 0;
  channel->pending.resize(channel->abortPoint);
  spool::trimBoundaries(channel, channel->handedOn + channel->pending.size());
  return 1;
}

JSPOOL_API int jSplMarkBoundary(jSPOOL spool, int jobComplete) {
  Channel* channel = spool::find(spool);
  if (!channel || channel->ended) return 0;
  spool::markBoundary(channel, jobComplete != 0);
  return 1;
}

JSPOOL_API int jSplSetCancelTail(jSPOOL spool, const void* data, int length) {
  Channel* channel = spool::find(spool);
  if (!channel || length < 0 || (!data && length > 0)) return 0;
  try {
    const auto* bytes = static_cast<const uint8_t*>(data);
    channel->cancelTail.assign(bytes, bytes + length);
  } catch (...) {
    return 0;
  }
  return 1;
}

JSPOOL_API int jSplSetContinueHook(jSPOOL spool, jSplContinueHook hook, void* data) {
  Channel* channel = spool::find(spool);
  if (!channel) return 0;
  channel->keepGoing = hook;
  channel->keepGoingData = hook ? data : nullptr;
  return 1;
}

JSPOOL_API int jSplEnd(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  if (!channel || channel->ended) return 0;
  spool::finish(channel);
  return channel->status == 1 ? 1 : 0;
}

JSPOOL_API int jSplClose(jSPOOL spool) {
  Channel* channel = spool::find(spool);
  if (!channel) return 0;
  spool::finish(channel);
  spool::leave(channel);
  delete channel;
  return 1;
}
