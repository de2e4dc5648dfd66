#include "libs/spool/blocking_writer.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "libs/spool/held_file.h"

namespace spool {

// Shared by the channel and the thread: a thread that was given up may
// outlive its writer.
struct BlockingWriter::State {
  std::mutex lock;
  std::condition_variable wake;
  std::vector<uint8_t> data;
  bool work = false;
  bool done = false;
  bool ok = false;
  bool quit = false;
  bool closeOnQuit = false;  // quit by closing the handle here
  bool closed = false;
  bool closeDone = false;
  bool givenUp = false;
  unsigned long long pieces = 0;  // grows with every piece the port took
  intptr_t handle = -1;
  WriteFn writeFn = nullptr;
  CloseFn closeFn = nullptr;
  CloseFn abandonFn = nullptr;
  HeldFile file;  // released by the thread once it closed the handle
};

namespace {

// Pieces small enough that a slow port still shows that it takes bytes.
constexpr std::size_t kPiece = 64 * 1024;

void run(std::shared_ptr<BlockingWriter::State> s) {
  std::unique_lock<std::mutex> hold(s->lock);
  for (;;) {
    s->wake.wait(hold, [&] { return s->work || s->quit; });
    if (!s->work && s->closeOnQuit) {
      // Closing may block as long as a write (a stalled share, a printer
      // that will not end its job): here, the channel waits for it timed.
      hold.unlock();
      const bool closed = s->closeFn(s->handle);
      hold.lock();
      s->closed = closed;
      s->closeDone = true;
      s->wake.notify_all();
      hold.unlock();
      s->file.letGo();
      return;
    }
    if (!s->work) return;  // quit: the writer closes the handle
    std::vector<uint8_t> data;
    data.swap(s->data);
    s->work = false;
    bool ok = true;
    for (std::size_t at = 0; ok && at < data.size() && !s->givenUp; at += kPiece) {
      const std::size_t piece = data.size() - at < kPiece ? data.size() - at : kPiece;
      hold.unlock();
      ok = s->writeFn(s->handle, data.data() + at, piece);
      hold.lock();
      ++s->pieces;
      s->wake.notify_all();
    }
    s->ok = ok;
    s->done = true;
    s->wake.notify_all();
    if (s->givenUp) {
      hold.unlock();
      s->abandonFn(s->handle);
      s->file.letGo();
      return;
    }
  }
}

}  // namespace

std::shared_ptr<BlockingWriter> BlockingWriter::start(intptr_t handle, WriteFn write, CloseFn close, CloseFn abandon) {
  std::shared_ptr<BlockingWriter> writer(new (std::nothrow) BlockingWriter());
  if (!writer) return nullptr;
  try {
    writer->state_ = std::make_shared<State>();
    writer->state_->handle = handle;
    writer->state_->writeFn = write;
    writer->state_->closeFn = close;
    writer->state_->abandonFn = abandon;
    writer->thread_ = new std::thread(run, writer->state_);
  } catch (...) {
    // No thread: the caller keeps the handle and refuses the port.
    return nullptr;
  }
  return writer;
}

BlockingWriter::~BlockingWriter() {
  close();
}

SendResult BlockingWriter::write(const void* data, std::size_t size, const SendControl& control) {
  if (givenUp_ || closed_) return SendResult::kFailed;
  State& s = *state_;
  std::unique_lock<std::mutex> hold(s.lock);
  try {
    const auto* bytes = static_cast<const uint8_t*>(data);
    s.data.assign(bytes, bytes + size);
  } catch (...) {
    return SendResult::kFailed;
  }
  s.work = true;
  s.done = false;
  s.wake.notify_all();
  SendClock clock(control);
  unsigned long long seen = s.pieces;
  while (!s.done) {
    s.wake.wait_for(hold, std::chrono::milliseconds(kWaitSliceMs));
    if (s.done) break;
    if (s.pieces != seen) {
      seen = s.pieces;
      clock.progressed();
    }
    hold.unlock();
    const SendResult verdict = clock.check();  // may call the host: not under the lock
    hold.lock();
    if (s.done || verdict == SendResult::kSent) continue;
    s.givenUp = true;
    givenUp_ = true;
    auto* thread = static_cast<std::thread*>(thread_);
    thread->detach();
    delete thread;
    thread_ = nullptr;
    return verdict;
  }
  return s.ok ? SendResult::kSent : SendResult::kFailed;
}

bool BlockingWriter::close() {
  SendControl control;
  return close(control);
}

bool BlockingWriter::close(const SendControl& control) {
  if (closed_) return false;
  closed_ = true;
  if (givenUp_) return false;
  auto* thread = static_cast<std::thread*>(thread_);
  thread_ = nullptr;
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->quit = true;
  state_->closeOnQuit = true;
  state_->wake.notify_all();
  SendClock clock(control);
  while (!state_->closeDone) {
    state_->wake.wait_for(hold, std::chrono::milliseconds(kWaitSliceMs));
    if (state_->closeDone) break;
    hold.unlock();
    const SendResult verdict = clock.check();
    hold.lock();
    if (!state_->closeDone && verdict != SendResult::kSent) {
      // Given up: the thread still closes the handle when the system lets go.
      givenUp_ = true;
      thread->detach();
      delete thread;
      return false;
    }
  }
  const bool closed = state_->closed;
  hold.unlock();
  thread->join();
  delete thread;
  return closed;
}

}  // namespace spool

namespace spool {

void BlockingWriter::removeFile(const char* path) {
  state_->file.remove(path);
}

}  // namespace spool
