// The fault bench: an installation (a printer folder with the built RX3, its
// device registry and settings), a loaded job, and real prints through
// vellox's progress hooks, Draw's jPdevPrint, RX3 and SPOOL.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Draw.h"
#include "platform/scratch_folder.h"
#include "plugin_folder.h"
#include "support/file_size_limit.h"

namespace fault_bench {

struct Outcome {
  int result = 99;            // jPdevPrint's
  std::string reason;         // jPdevGetLastError's (CP932)
  long long ms = 0;           // the print's wall time
  long long cancelledAt = 0;  // monotonic ms of the cancel, 0 = none
  long long endedAt = 0;
  long long pageEndedAt = 0;  // when vellox's progress display was told the page ended
};

class Bench {
 public:
  Bench();
  ~Bench();
  bool ready() const { return ready_; }
  // The machine's port and its time-out in seconds (0: the default).
  void usePort(const std::string& portText, int timeoutSeconds);
  std::string outputFolder() const { return out_.path(); }
  // The installation's spool choice, stored as the port dialog stores it.
  bool setSpoolMode(int mode);
  // Prints the loaded job; cancelWhen, asked every few milliseconds on a
  // second thread, makes the window's cancel (vellox's stopProgress).
  Outcome print(const std::function<bool()>& cancelWhen = nullptr);
  // The machine's ink account: picolitres used in all.
  int64_t inkUsed();
  std::vector<std::string> outputFiles() const;
  // Files of the printer folder beyond the installation's own (spool files).
  std::vector<std::string> strayFiles() const;

 private:
  draw_test::PluginFolder printer_;
  testing_support::ScratchFolder out_, jobs_;
  int32_t document_ = 0;
  jDEVICE device_ = nullptr;
  void* setting_ = nullptr;
  bool ready_ = false;
};

using FileSizeLimit = test_support::FileSizeLimit;

// The frame that ends a job the printer was cut off from.
const std::vector<uint8_t>& abortTrailer();

}  // namespace fault_bench
