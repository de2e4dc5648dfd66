// The open block the spool tests hand jSplOpen: a channel to `port`, spooled
// through a file at spoolPath in spoolMode when a path is given.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "SPOOL.h"

namespace spool_test {

inline jSplOpenBlock blockFor(const std::string& port, const std::string& spoolPath = std::string(),
                              int spoolMode = 1) {
  jSplOpenBlock block;
  std::memset(&block, 0, sizeof block);
  std::snprintf(block.jobName, sizeof block.jobName, "spool test");
  std::snprintf(block.portName, sizeof block.portName, "%s", port.c_str());
  if (!spoolPath.empty()) {
    std::snprintf(block.spoolPath, sizeof block.spoolPath, "%s", spoolPath.c_str());
    block.spoolMode = spoolMode;
  }
  block.one = 1;
  return block;
}

}  // namespace spool_test
