// The paths a job list holds, for the folder scans to tell a listed file
// from a new one, letter case folded as the scans compare paths. It is kept
// from scan to scan: a scan of a folder whose files are all listed already
// allocates nothing for it (a table built anew each time, with a string per
// path, made the refresh tick's cost grow faster than the folder).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/jobs/job_record.h"

namespace vlx {

class ListedIndex {
 public:
  // The records of the list after head, and nothing else.
  void rebuild(const JobRecord* head);
  void add(const JobRecord* record);
  bool contains(const char* path) const;

 private:
  struct Slot {
    std::uint64_t hash = 0;
    const JobRecord* record = nullptr;  // null: a free slot
  };
  void place(std::uint64_t hash, const JobRecord* record);
  void grow();

  std::vector<Slot> slots_;  // open addressing; a power of two, at most half full
  std::size_t count_ = 0;
};

// A path's hash with single-byte letters folded to lower case (double-byte
// characters as they are), and the comparison that goes with it.
std::uint64_t foldedHash(const char* path);
bool sameFolded(const char* a, const char* b);

}  // namespace vlx
