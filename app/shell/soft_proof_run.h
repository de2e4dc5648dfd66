// A soft proof's dry run on a thread of its own at a low priority. What the
// thread works on is shared with it, so that a run still held up when its
// window goes (a host keeps the printing lock) ends on its own thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/shell/soft_proof.h"

namespace vlx {

class ProofRun {
 public:
  // Starts the run, its stream kept in scratchFolder; `ended` is called on
  // the run's thread once it is done.
  ProofRun(ProofProducer producer, std::string scratchFolder, int overviewCells, std::function<void()> ended);
  ~ProofRun() { stop(0); }
  ProofRun(const ProofRun&) = delete;
  ProofRun& operator=(const ProofRun&) = delete;

  // The stream's length so far.
  uint64_t bytes() const;
  // After `ended`: the run's result, its picture taken over.
  ProofResult finish(ProofPicture* picture);
  // Cancels the run and waits for it within boundMs; a run still held up
  // then goes on alone and ends at its next band or lock slice.
  void stop(int boundMs);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace vlx
