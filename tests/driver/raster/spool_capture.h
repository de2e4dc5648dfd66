// A real spool channel on a file port in a scratch folder: what the
// writers send can be read back byte for byte once the channel is ended.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SPOOL.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace raster_test {

class SpoolCapture {
 public:
  SpoolCapture() : folder_("raster") {
    jSplOpenBlock block;
    std::memset(&block, 0, sizeof block);
    std::snprintf(block.jobName, sizeof block.jobName, "raster test");
    std::snprintf(block.portName, sizeof block.portName, "FILE:%s", folder_.path().c_str());
    block.one = 1;
    handle_ = jSplOpen(&block);
    EXPECT_NE(nullptr, handle_);
  }
  ~SpoolCapture() { close(); }
  SpoolCapture(const SpoolCapture&) = delete;
  SpoolCapture& operator=(const SpoolCapture&) = delete;

  jSPOOL handle() const { return handle_; }

  // Bytes handed on to the port so far (nothing buffered in the channel).
  std::vector<uint8_t> handedOn() const {
    std::vector<uint8_t> bytes;
    platform::listFolder(folder_.path().c_str(), [&](const platform::FolderEntry& e) {
      if (e.isDirectory) return true;
      std::FILE* f = std::fopen(folder_.join(e.name).c_str(), "rb");
      if (!f) return true;
      int c;
      while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
      std::fclose(f);
      return false;
    });
    return bytes;
  }

  // Ends and closes the channel, then returns the whole job.
  std::vector<uint8_t> finish() {
    if (handle_) jSplWritePrinter(handle_);
    close();
    return handedOn();
  }

  void close() {
    if (!handle_) return;
    jSplEnd(handle_);
    jSplClose(handle_);
    handle_ = nullptr;
  }

 private:
  testing_support::ScratchFolder folder_;
  jSPOOL handle_ = nullptr;
};

}  // namespace raster_test
