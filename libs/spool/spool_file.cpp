// The spool file of a channel in spool mode: opened, written and closed on
// threads of its own, timed like a port, then read back (timed too) and sent
// to the port. A thread given up keeps its handle until the system lets go;
// the file is removed then.
#include <functional>
#include <string>

#include "libs/spool/channel.h"
#include "libs/spool/timed_call.h"
#include "platform/file.h"
#include "platform/folders.h"

namespace spool {

namespace {

// Read back in large pieces: each read is a call on a thread of its own.
constexpr std::size_t kReadChunk = 1024 * 1024;

SendControl spoolControl(Channel* channel) {
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  control.keepGoing = channel->keepGoing;
  control.data = channel->keepGoingData;
  return control;
}

const char* verdictReason(SendResult result, const char* timedOut, const char* failed) {
  return result == SendResult::kCancelled ? kReasonCancelled : result == SendResult::kTimedOut ? timedOut : failed;
}

// Opens path within the control's time-out; null when it failed, timed out
// or was cancelled (verdict tells which). A handle the system hands out
// after that is closed on the opening thread.
platform::FileHandle openTimed(const char* path, platform::OpenMode mode, const SendControl& control,
                               SendResult* verdict) {
  platform::FileHandle file = nullptr;
  try {
    const std::string name = path;
    const std::function<platform::FileHandle()> open = [name, mode] { return platform::openFile(name.c_str(), mode); };
    const std::function<void(platform::FileHandle&)> release = [](platform::FileHandle& late) {
      if (late) platform::closeFile(late);
    };
    *verdict = callTimed<platform::FileHandle>(open, control, release, &file);
  } catch (...) {
    *verdict = SendResult::kFailed;
  }
  if (*verdict == SendResult::kSent && !file) *verdict = SendResult::kFailed;
  return *verdict == SendResult::kSent ? file : nullptr;
}

// Reads the next piece of the spool file into the channel's buffer within
// the time-out. Before any byte went to the printer a cancel ends the read;
// after that it is only noted, so that the send cuts the job at its next
// boundary. A read given up takes the file handle with it.
int64_t readTimed(Channel* channel, uint64_t sentSoFar, SendResult* verdict) {
  SendControl control = spoolControl(channel);
  if (sentSoFar > 0 && control.keepGoing) {
    control.keepGoing = &noteCancel;
    control.data = channel;
  }
  struct Piece {
    int64_t got = -1;
  };
  Piece piece;
  try {
    const std::shared_ptr<std::vector<uint8_t>> buffer = channel->readBuffer;
    const platform::FileHandle file = channel->spoolFile;
    const std::shared_ptr<HeldFile> held = channel->spoolReadHeld;
    const std::function<Piece()> read = [buffer, file] {
      return Piece{platform::readFile(file, buffer->data(), buffer->size())};
    };
    const std::function<void(Piece&)> release = [file, held](Piece&) {
      platform::closeFile(file);
      held->letGo();
    };
    *verdict = callTimed<Piece>(read, control, release, &piece);
  } catch (...) {
    *verdict = SendResult::kFailed;
  }
  if (*verdict == SendResult::kTimedOut || *verdict == SendResult::kCancelled) channel->spoolFile = nullptr;
  if (*verdict == SendResult::kSent && piece.got < 0) *verdict = SendResult::kFailed;
  return piece.got;
}

// Ends the spool file's writing; false when it could not be closed in time.
bool closeSpoolWriter(Channel* channel) {
  if (!channel->spoolWriter) return true;
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  return channel->spoolWriter->close(control);
}

}  // namespace

bool writeSpoolFile(intptr_t file, const void* data, std::size_t size) {
  return platform::writeAll(reinterpret_cast<platform::FileHandle>(file), data, size);
}

bool closeSpoolFile(intptr_t file) {
  platform::closeFile(reinterpret_cast<platform::FileHandle>(file));
  return true;
}

bool startSpoolFile(Channel* channel, const char* path) {
  platform::copyString(channel->spoolPath, sizeof channel->spoolPath, path);
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  SendResult verdict = SendResult::kFailed;
  platform::FileHandle file = openTimed(channel->spoolPath, platform::OpenMode::CreateAlways, control, &verdict);
  if (file) {
    channel->spoolWriter =
        BlockingWriter::start(reinterpret_cast<intptr_t>(file), &writeSpoolFile, &closeSpoolFile, &closeSpoolFile);
    if (!channel->spoolWriter) {
      platform::closeFile(file);
      platform::deleteFile(channel->spoolPath);
      verdict = SendResult::kFailed;
    }
  }
  if (!channel->spoolWriter) {
    noteFailureText(verdictReason(verdict, kReasonSpoolTimedOut, kReasonSpoolWrite));
    return false;
  }
  channel->spooling = true;
  return true;
}

// Nothing of a spooled job has reached the printer yet: a cancel while the
// spool file is written simply ends the job.
bool writeSpool(Channel* channel, const uint8_t* data, std::size_t count) {
  const SendResult result = channel->spoolWriter->write(data, count, spoolControl(channel));
  if (result == SendResult::kSent) return true;
  failChannel(channel, verdictReason(result, kReasonSpoolTimedOut, kReasonSpoolWrite));
  return false;
}

// Sends the finished spool file to the port.
bool sendSpoolFile(Channel* channel) {
  if (!closeSpoolWriter(channel)) {
    failChannel(channel, kReasonSpoolTimedOut);
    return false;
  }
  try {
    channel->readBuffer = std::make_shared<std::vector<uint8_t>>(kReadChunk);
    channel->spoolReadHeld = std::make_shared<HeldFile>();
  } catch (...) {
    failChannel(channel, kReasonOutOfMemory);
    return false;
  }
  // Others may delete it meanwhile: a read given up must not keep the file
  // from being removed.
  SendResult verdict = SendResult::kFailed;
  channel->spoolFile = openTimed(channel->spoolPath, platform::OpenMode::ReadAnyShare, spoolControl(channel), &verdict);
  if (!channel->spoolFile) {
    failChannel(channel, verdictReason(verdict, kReasonSpoolReadTimedOut, kReasonSpoolRead));
    return false;
  }
  uint64_t at = 0;
  for (;;) {
    const int64_t got = readTimed(channel, at, &verdict);
    if (verdict != SendResult::kSent) {
      failChannel(channel, verdictReason(verdict, kReasonSpoolReadTimedOut, kReasonSpoolRead));
      return false;
    }
    if (got == 0) return true;
    if (!sendStream(channel, channel->readBuffer->data(), static_cast<std::size_t>(got), at)) return false;
    at += static_cast<uint64_t>(got);
  }
}

void dropSpoolFile(Channel* channel) {
  closeSpoolWriter(channel);
  if (channel->spoolFile) platform::closeFile(channel->spoolFile);
  channel->spoolFile = nullptr;
  if (channel->spooling) {
    if (channel->spoolWriter)
      channel->spoolWriter->removeFile(channel->spoolPath);
    else
      platform::deleteFile(channel->spoolPath);
    if (channel->spoolReadHeld) channel->spoolReadHeld->remove(channel->spoolPath);
  }
  channel->spoolWriter.reset();
  channel->spoolReadHeld.reset();
}

}  // namespace spool
