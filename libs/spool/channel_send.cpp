// Sending a channel's bytes to its port, and what a cancel does to a send:
// the printer is never left inside a job. The send goes on to the next place
// the driver marked as safe to cut (the end of a raster line or a frame), the
// driver's cancel tail (its abort frame and job end) follows, and the
// channel stops. The host's hook is asked only while the port keeps the send
// waiting; a cancel never shortens the time the printer gets to take the
// tail.
#include <algorithm>
#include <cstring>

#include "SPOOL.h"
#include "libs/spool/channel.h"
#include "platform/clock.h"

namespace spool {

const char* const kReasonTimedOut = "ﾌﾟﾘﾝﾀがﾃﾞｰﾀを受け取りません（ﾎﾟｰﾄのﾀｲﾑｱｳﾄ）。";
const char* const kReasonPortFailed = "ﾎﾟｰﾄに出力できませんでした。";
const char* const kReasonCancelled = "ﾌﾟﾘﾝﾄは中断されました。";
const char* const kReasonSpoolLimit = "ｽﾌﾟｰﾙﾌｧｲﾙがｻｲｽﾞの上限を超えました。";
const char* const kReasonSpoolWrite = "ｽﾌﾟｰﾙﾌｧｲﾙに書き込めませんでした（ﾃﾞｨｽｸがいっぱいです）。";
const char* const kReasonSpoolTimedOut = "ｽﾌﾟｰﾙﾌｧｲﾙに書き込めません（ﾀｲﾑｱｳﾄ）。";
const char* const kReasonSpoolRead = "ｽﾌﾟｰﾙﾌｧｲﾙを読めませんでした。";
const char* const kReasonSpoolReadTimedOut = "ｽﾌﾟｰﾙﾌｧｲﾙを読めません（ﾀｲﾑｱｳﾄ）。";
const char* const kReasonNotTaken = "ﾌﾟﾘﾝﾀがﾃﾞｰﾀを最後まで受け取りませんでした。";
const char* const kReasonOutOfMemory = "ﾒﾓﾘが足りません。";

namespace {

// Pieces small enough that a cancel waits for little more than one line.
constexpr std::size_t kPiece = 64 * 1024;

thread_local char t_reason[256];

// The first boundary at or after offset, or null.
const Boundary* boundaryFrom(const Channel* channel, uint64_t offset) {
  auto it = std::lower_bound(channel->boundaries.begin(), channel->boundaries.end(), offset,
                             [](const Boundary& b, uint64_t o) { return b.offset < o; });
  return it == channel->boundaries.end() ? nullptr : &*it;
}

const char* sinkReason(const Channel* channel, SendResult result) {
  if (result == SendResult::kTimedOut) return kReasonTimedOut;
  return portFailureText(channel->sink.kind, PortStep::kWrite);
}

// Between pieces of a send that has lasted a slice or more the host is
// asked too, at most once a slice: a printer that is slow but never quite
// blocks must not hide a cancel. A quick send never asks.
void askBetweenPieces(Channel* channel, long long began) {
  if (channel->cancelled || channel->cancelRequested || !channel->keepGoing) return;
  const long long now = platform::monotonicMilliseconds();
  if (now - began < kWaitSliceMs || now - channel->lastAskMs < kWaitSliceMs) return;
  channel->lastAskMs = now;
  noteCancel(channel);
}

bool sendPiece(Channel* channel, const uint8_t* data, std::size_t size) {
  SendControl control;
  control.timeoutMs = channel->timeoutMs;
  control.keepGoing = channel->cancelled ? nullptr : &noteCancel;
  control.data = channel;
  const SendResult result = writeSink(&channel->sink, data, size, control);
  if (result == SendResult::kSent) return true;
  failChannel(channel, sinkReason(channel, result));
  return false;
}

// Ends a cancelled job at a boundary: its tail when the printer is inside a
// job there, then nothing more.
bool cutHere(Channel* channel, const Boundary& at) {
  channel->cancelled = true;
  bool sent = true;
  if (!at.jobComplete && !channel->cancelTail.empty())
    sent = sendPiece(channel, channel->cancelTail.data(), channel->cancelTail.size());
  failChannel(channel, kReasonCancelled);
  return sent;
}

}  // namespace

int noteCancel(void* data) {
  auto* channel = static_cast<Channel*>(data);
  if (!channel->cancelRequested && channel->keepGoing && channel->keepGoing(channel->keepGoingData) != 1)
    channel->cancelRequested = true;
  return 1;
}

void clearFailureText() {
  t_reason[0] = '\0';
}

void noteFailureText(const char* reason) {
  platform::copyTruncated(t_reason, sizeof t_reason, reason);
}

void failChannel(Channel* channel, const char* reason) {
  if (channel->status == 1 && reason) platform::copyTruncated(t_reason, sizeof t_reason, reason);
  channel->status = 0;
}

void trimBoundaries(Channel* channel, uint64_t end) {
  auto& b = channel->boundaries;
  while (b.size() > 1 && b.back().offset > end) b.pop_back();
}

bool sendStream(Channel* channel, const uint8_t* data, std::size_t size, uint64_t at) {
  std::size_t done = 0;
  const long long began = platform::monotonicMilliseconds();
  while (done < size) {
    askBetweenPieces(channel, began);
    std::size_t piece = std::min(kPiece, size - done);
    if (channel->cancelRequested) {
      const Boundary* next = boundaryFrom(channel, at + done);
      if (next && next->offset == at + done) {
        cutHere(channel, *next);
        return false;
      }
      // Only a marked place is a cut: without one in this range (the last
      // line of a spool file's read piece, say) all of it goes, and the
      // next range or the stream's end cuts.
      if (next && next->offset < at + size)
        piece = std::min<std::size_t>(piece, static_cast<std::size_t>(next->offset - (at + done)));
    }
    if (!sendPiece(channel, data + done, piece)) return false;
    done += piece;
  }
  const Boundary* end = channel->cancelRequested ? boundaryFrom(channel, at + size) : nullptr;
  if (end && end->offset == at + size) {
    cutHere(channel, *end);
    return false;
  }
  return true;
}

void endCancelledStream(Channel* channel, uint64_t end) {
  if (!channel->cancelRequested || channel->cancelled || channel->status != 1) return;
  const Boundary* last = boundaryFrom(channel, end);
  cutHere(channel, last && last->offset == end ? *last : Boundary{end, false});
}

}  // namespace spool

JSPOOL_API int jSplTakeFailureText(char* text, int size) {
  const int length = static_cast<int>(std::strlen(spool::t_reason));
  if (text && size > 0) platform::copyTruncated(text, static_cast<std::size_t>(size), spool::t_reason);
  spool::t_reason[0] = '\0';
  return length;
}
