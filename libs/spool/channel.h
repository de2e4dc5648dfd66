// One open channel of the spool library, shared by the channel's exports
// (spool_channel.cpp) and its sending (channel_send.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "libs/spool/blocking_writer.h"
#include "libs/spool/held_file.h"
#include "libs/spool/port_sink.h"
#include "platform/file.h"
#include "platform/path.h"

namespace spool {

// A place in the job's stream where the printer may be left: inside a job
// (a cut there needs the cancel tail) or between jobs.
struct Boundary {
  uint64_t offset;
  bool jobComplete;
};

struct Channel {
  uintptr_t token = 0;
  PortSink sink;
  int status = 1;
  bool ended = false;
  bool spooling = false;
  // The spool file: written on a thread of its writer (a stalled disk or
  // share is waited on timed), read back for the send, each read timed.
  std::shared_ptr<BlockingWriter> spoolWriter;
  platform::FileHandle spoolFile = nullptr;
  std::shared_ptr<HeldFile> spoolReadHeld;  // a read given up holds the file
  std::shared_ptr<std::vector<uint8_t>> readBuffer;
  char spoolPath[platform::kMaxPath] = {};
  uint64_t spooled = 0;
  uint64_t spoolLimit = 0;  // bytes; 0 = none
  std::vector<uint8_t> pending;
  std::size_t abortPoint = 0;
  uint64_t handedOn = 0;  // stream offset of pending[0]
  std::vector<Boundary> boundaries{{0, true}};
  std::vector<uint8_t> cancelTail;
  int (*keepGoing)(void* data) = nullptr;  // the host's continue hook
  void* keepGoingData = nullptr;
  long long lastAskMs = 0;       // when the hook was last asked between pieces
  bool cancelRequested = false;  // the hook answered other than 1
  bool cancelled = false;        // the job was cut and its tail sent
  int timeoutMs = kDefaultSendTimeoutMs;
};

// Sends size bytes that begin at stream offset `at` to the port. A cancel
// asked for meanwhile stops the send at the next boundary, sends the cancel
// tail there and stops the channel. false when the port failed (status and
// reason set).
bool sendStream(Channel* channel, const uint8_t* data, std::size_t size, uint64_t at);
// A cancel noted after the stream's last marked place: the job ends at the
// stream's end, with the cancel tail unless a job ends there.
void endCancelledStream(Channel* channel, uint64_t end);
// The spool file (spool_file.cpp): the writer thread's half of a spooled
// job, the send of the finished file, and its removal.
bool writeSpoolFile(intptr_t file, const void* data, std::size_t size);
bool closeSpoolFile(intptr_t file);
// Opens the spool file at path for writing within the channel's time-out;
// false (the failure's text noted) when it cannot.
bool startSpoolFile(Channel* channel, const char* path);
bool writeSpool(Channel* channel, const uint8_t* data, std::size_t count);
bool sendSpoolFile(Channel* channel);
void dropSpoolFile(Channel* channel);

// The hook as a send sees it: the host's cancel is noted on the channel
// (cancelRequested), never acted on inside the wait, so that the channel
// always knows how far the printer got. Always 1.
int noteCancel(void* data);

// Records why the channel stopped, once: the first reason is the cause.
void failChannel(Channel* channel, const char* reason);
// This thread's text of its last failure: cleared when a channel opens,
// set when one cannot open.
void clearFailureText();
void noteFailureText(const char* reason);
// Drops boundaries that lie past the stream's end (after an abort).
void trimBoundaries(Channel* channel, uint64_t end);

// The texts of the port's failures, as the operator reads them.
extern const char* const kReasonTimedOut;
extern const char* const kReasonPortFailed;
extern const char* const kReasonCancelled;
extern const char* const kReasonSpoolLimit;
extern const char* const kReasonSpoolWrite;
extern const char* const kReasonSpoolTimedOut;
extern const char* const kReasonSpoolRead;
extern const char* const kReasonSpoolReadTimedOut;
extern const char* const kReasonNotTaken;
extern const char* const kReasonOutOfMemory;

}  // namespace spool
