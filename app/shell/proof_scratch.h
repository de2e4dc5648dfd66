// The soft proof's packed stream waits in a temporary file of its own in the
// printer folder, beside the dry run's scratch account, and is read back one
// band at a time. The file goes when its holder does (the proof window
// closes, or the run is cancelled or fails); files left by a crash are
// swept at the next start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/path.h"

namespace vlx {

// "<prefix><1 to 4 hex digits>.TMP": the names the proof's files are given.
constexpr char kProofScratchPrefix[] = "VSP";

class ProofScratch {
 public:
  ProofScratch() = default;
  ~ProofScratch() { remove(); }
  ProofScratch(const ProofScratch&) = delete;
  ProofScratch& operator=(const ProofScratch&) = delete;

  // Makes a new file in folder, open for writing and reading back.
  bool create(const char* folder);
  // Appends; false, and for good, once a write has failed (a full disk).
  bool write(const void* data, size_t size);
  // Everything written is on disk: false when any of it is not.
  bool flush();
  uint64_t size() const { return size_; }
  std::FILE* file() const { return file_; }
  const char* path() const { return path_; }
  // Closes and deletes the file (nothing when there is none).
  void remove();

 private:
  char path_[platform::kMaxPath] = {};
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  bool failed_ = false;
};

// True for a file name a proof's file is given (letter case aside).
bool isProofScratchName(const char* name);

// Deletes the proof files that a run ended by a crash left in folder: only
// plain files named as above, never a folder, and never anything a link
// leads to. Returns how many went.
int sweepProofScratch(const char* folder);

}  // namespace vlx
