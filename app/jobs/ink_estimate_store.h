// The ink estimates kept across restarts: a small text file of the
// installation folder, one line per job file (its size, its write time, the
// estimate and the account it was set against, its path), saved whole
// through the atomic write service. A line that does not read back is
// skipped; so is a file of another layout.
#pragma once

#include <string>
#include <vector>

#include "app/jobs/ink_estimate.h"
#include "platform/file.h"

namespace vlx {

struct StoredEstimate {
  std::string path;
  std::uint64_t size = 0;
  platform::LocalTime written{};
  InkEstimate estimate{};
};

std::string formatEstimates(const std::vector<StoredEstimate>& estimates);
std::vector<StoredEstimate> parseEstimates(const std::string& text);

// False when the file could not be written (the old one then stays).
bool saveEstimates(const char* path, const std::vector<StoredEstimate>& estimates);
// Nothing for a missing or unreadable file.
std::vector<StoredEstimate> loadEstimates(const char* path);

}  // namespace vlx
