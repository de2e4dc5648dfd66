// The spool file of a channel in spool mode: written and closed on a writer
// thread, timed like a port, then read back and sent to the port.
#include "libs/spool/channel.h"
#include "platform/file.h"
#include "platform/folders.h"

namespace spool {

namespace {

constexpr std::size_t kSendChunk = 64 * 1024;

SendControl spoolControl(Channel* channel) {
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  control.keepGoing = channel->keepGoing;
  control.data = channel->keepGoingData;
  return control;
}

// Ends the spool file's writing; false when it could not be closed in time.
bool closeSpoolWriter(Channel* channel) {
  if (!channel->spoolWriter) return true;
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  const bool closed = channel->spoolWriter->close(control);
  channel->spoolWriter.reset();
  return closed;
}

}  // namespace

bool writeSpoolFile(intptr_t file, const void* data, std::size_t size) {
  return platform::writeAll(reinterpret_cast<platform::FileHandle>(file), data, size);
}

bool closeSpoolFile(intptr_t file) {
  platform::closeFile(reinterpret_cast<platform::FileHandle>(file));
  return true;
}

// Nothing of a spooled job has reached the printer yet: a cancel while the
// spool file is written simply ends the job.
bool writeSpool(Channel* channel, const uint8_t* data, std::size_t count) {
  const SendResult result = channel->spoolWriter->write(data, count, spoolControl(channel));
  if (result == SendResult::kSent) return true;
  failChannel(channel, result == SendResult::kCancelled  ? kReasonCancelled
                       : result == SendResult::kTimedOut ? kReasonSpoolTimedOut
                                                         : kReasonSpoolWrite);
  return false;
}

// Sends the finished spool file to the port.
bool sendSpoolFile(Channel* channel) {
  if (!closeSpoolWriter(channel)) {
    failChannel(channel, kReasonSpoolTimedOut);
    return false;
  }
  channel->spoolFile = platform::openFile(channel->spoolPath, platform::OpenMode::ReadShared);
  if (!channel->spoolFile) {
    failChannel(channel, kReasonSpoolRead);
    return false;
  }
  static thread_local uint8_t chunk[kSendChunk];
  uint64_t at = 0;
  for (;;) {
    const int64_t got = platform::readFile(channel->spoolFile, chunk, sizeof chunk);
    if (got < 0) {
      failChannel(channel, kReasonSpoolRead);
      return false;
    }
    if (got == 0) return true;
    if (!sendStream(channel, chunk, static_cast<std::size_t>(got), at)) return false;
    at += static_cast<uint64_t>(got);
  }
}

void dropSpoolFile(Channel* channel) {
  closeSpoolWriter(channel);
  if (channel->spoolFile) platform::closeFile(channel->spoolFile);
  channel->spoolFile = nullptr;
  if (channel->spooling) platform::deleteFile(channel->spoolPath);
}

}  // namespace spool
