// A file whose handle a thread that was given up may still hold (a write,
// read or close blocked inside the system). Removing it then fails on
// Windows, or leaves its name standing until the handle goes: the removal
// is done once the thread lets go, so that a job given up never stays in a
// folder.
#pragma once

#include <mutex>
#include <string>

namespace spool {

class HeldFile {
 public:
  // The thread closed its handle: a removal asked for meanwhile is done now.
  void letGo();
  // Removes path now when it can, else once the thread lets go.
  void remove(const char* path);

 private:
  std::mutex lock_;
  bool letGo_ = false;
  std::string pending_;
};

}  // namespace spool
