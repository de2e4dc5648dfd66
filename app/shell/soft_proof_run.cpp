#include "app/shell/soft_proof_run.h"

#include <condition_variable>
#include <mutex>

#include "platform/thread_priority.h"

namespace vlx {

struct ProofRun::Shared {
  Shared(ProofProducer p, std::string folder, int cells)
      : producer(std::move(p)), scratchFolder(std::move(folder)), overviewCells(cells) {}
  ProofProducer producer;
  std::string scratchFolder;
  int overviewCells;
  std::atomic<int> cancel{0};
  std::atomic<uint64_t> bytes{0};
  // Written by the thread until it sets done; read after.
  ProofResult result = ProofResult::kFailed;
  ProofPicture picture;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
};

ProofRun::ProofRun(ProofProducer producer, std::string scratchFolder, int overviewCells, std::function<void()> ended)
    : shared_(std::make_shared<Shared>(std::move(producer), std::move(scratchFolder), overviewCells)) {
  thread_ = std::thread([shared = shared_, ended = std::move(ended)] {
    platform::lowerThisThreadPriority();
    shared->result = makeProofPicture(shared->producer, shared->scratchFolder.c_str(), shared->cancel, &shared->bytes,
                                      shared->overviewCells, &shared->picture);
    {
      std::lock_guard<std::mutex> hold(shared->lock);
      shared->done = true;
    }
    shared->ended.notify_all();
    if (ended) ended();
  });
}

uint64_t ProofRun::bytes() const {
  return shared_->bytes.load();
}

ProofResult ProofRun::finish(ProofPicture* picture) {
  if (thread_.joinable()) thread_.join();
  *picture = std::move(shared_->picture);
  return shared_->result;
}

void ProofRun::stop(int boundMs) {
  shared_->cancel = 1;
  if (!thread_.joinable()) return;
  std::unique_lock<std::mutex> hold(shared_->lock);
  const bool ended =
      shared_->ended.wait_for(hold, std::chrono::milliseconds(boundMs), [this] { return shared_->done; });
  hold.unlock();
  if (ended)
    thread_.join();
  else
    thread_.detach();
}

}  // namespace vlx
