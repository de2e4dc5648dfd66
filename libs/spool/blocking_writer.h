// The writes of a file or printer port, which block inside the system (a
// stalled network share, a printer that takes nothing), run on a thread of
// their own, so that the channel can wait for them in slices and give up on
// a time-out or a cancel. A writer given up keeps its thread and handle:
// the thread releases the handle once the blocked call returns, so the
// handle is never closed while still in use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "libs/spool/send_control.h"

namespace spool {

class BlockingWriter {
 public:
  using WriteFn = bool (*)(intptr_t handle, const void* data, std::size_t size);
  using CloseFn = bool (*)(intptr_t handle);

  // Null when no thread can be started. close ends the job at the port;
  // abandon releases the handle of a job given up (a printer's job is
  // aborted rather than printed in part).
  static std::shared_ptr<BlockingWriter> start(intptr_t handle, WriteFn write, CloseFn close, CloseFn abandon);
  ~BlockingWriter();
  BlockingWriter(const BlockingWriter&) = delete;
  BlockingWriter& operator=(const BlockingWriter&) = delete;

  // Writes all bytes; a time-out or a cancel gives the writer up.
  SendResult write(const void* data, std::size_t size, const SendControl& control);
  // Ends the thread and closes the handle; false when the close failed or
  // the writer was given up (its thread closes the handle later).
  bool close();
  // The same, waiting for the close within the time-out of control (its
  // hook is not asked: a job's end is not cancelled).
  bool close(const SendControl& control);
  // Removes the writer's file now, or, when a thread given up still holds
  // it, as soon as that thread lets go of the handle.
  void removeFile(const char* path);

  struct State;

 private:
  BlockingWriter() = default;
  std::shared_ptr<State> state_;
  void* thread_ = nullptr;  // std::thread, kept out of this header
  bool givenUp_ = false;
  bool closed_ = false;
};

}  // namespace spool
