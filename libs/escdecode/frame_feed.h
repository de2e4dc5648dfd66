// A stream decoded as it is made: a producer that pushes its bytes (a dry
// run's write callback) hands them to the feed, and a thread of the feed's
// own pulls them through the decoder, visiting each frame. The two meet in a
// bounded buffer, so the frames pass while the stream is made and neither
// side ever holds the whole stream.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "libs/escdecode/escp_decoder.h"

namespace escp {

class FrameFeed {
 public:
  using Visit = std::function<bool(const Frame&)>;

  // Starts the decoding thread; visit runs on it, frame by frame.
  explicit FrameFeed(Visit visit, size_t capacity = size_t{4} << 20);
  // Ends the decoding as a cancel does and waits for its thread.
  ~FrameFeed();
  FrameFeed(const FrameFeed&) = delete;
  FrameFeed& operator=(const FrameFeed&) = delete;

  // Hands bytes over, waiting while the buffer is full. False once the
  // decoding has stopped (a problem, or visit said so) or cancel is set.
  bool write(const void* data, size_t size, const std::atomic<int>* cancel);
  // The stream's end: waits until the rest is decoded. True when the whole
  // stream was; otherwise false with the problem (no message when visit
  // stopped it or on a cancel).
  bool finish(Problem* problem, const std::atomic<int>* cancel);

 private:
  long long read(uint8_t* into, size_t max);
  void decode();
  void abort();

  Visit visit_;
  std::vector<uint8_t> ring_;
  size_t head_ = 0;  // next byte to read
  size_t held_ = 0;  // bytes waiting
  bool closed_ = false;
  bool aborted_ = false;
  bool ended_ = false;  // the decoding thread has nothing more to do
  bool whole_ = false;
  Problem problem_{0, {}};
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace escp
