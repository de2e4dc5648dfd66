// The set-up the raster benchmark's runs share: the colour transform, a
// machine state as for a document, a spool channel on a file port of its own,
// rows rendered outside the timing and rows of converted records.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Device.h"
#include "SPOOL.h"
#include "bench_content.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/halftone.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/raster_writer.h"
#include "mini_benchmark.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace raster_bench {

constexpr int kInches = 17;
constexpr int kRowsAtOnce = 16;  // lines rendered together outside the timing

inline Content contentOf(int64_t n) {
  return static_cast<Content>(n);
}

struct Transform {
  jCMS handle = nullptr;
  Transform() {
    ColorProfile profile;
    jColorProfileInit(&profile);
    profile.colorMode = 0;
    handle = jColorCmsSetupEx(&profile, RgbToCmykFunc16);
  }
  ~Transform() { jColorCmsRelease(handle); }
};

// The colour transform of every run; null (with a message) when it cannot
// be set up.
inline jCMS transformOrFail(benchmark::State& state) {
  static Transform transform;
  if (!transform.handle) state.SkipWithError("the colour transform could not be set up");
  return transform.handle;
}

// A machine state set up as for a document with default ink limit.
struct Page {
  std::unique_ptr<MachineState> state{new MachineState()};
  Page(int dpi, int inkSet, int width) {
    std::memset(state.get(), 0, sizeof(MachineState));
    state->xResolution = state->yResolution = dpi;
    state->inkSet = inkSet;
    EngineState& e = state->engine;
    e.lightCyanDensity = e.lightMagentaDensity = 30;
    e.lightLightBlackDensity = 17;
    e.lightBlackDensity = 50;
    e.inkLimitTotal = 400;
    e.printing = 1;
    rx3::setNoiseSeed(1);
    rx3::setupPageBuffers(state.get(), width, 1000000);
  }
  ~Page() { rx3::releasePageBuffers(state.get()); }
};

// A spool channel on a file port in a folder of its own beside the program
// (whatever the current folder); each reopen ends the job and deletes its
// file.
class Channel {
 public:
  Channel() {
    char program[platform::kMaxPath];
    char home[platform::kMaxPath];
    if (!platform::moduleFileName(nullptr, program, sizeof program) ||
        !platform::folderPart(program, home, sizeof home) ||
        !platform::joinPath(folder_, sizeof folder_, home, "raster-bench-out")) {
      error_ = "the program's folder is not known";
      return;
    }
    if (!platform::isFolder(folder_) && !platform::createFolder(folder_)) {
      error_ = std::string("cannot make the folder ") + folder_;
      return;
    }
    open();
  }
  ~Channel() {
    close();
    if (folder_[0]) platform::removeFolder(folder_);
  }
  jSPOOL handle() const { return handle_; }
  // Empty when the channel is open, else why not.
  const std::string& error() const { return error_; }
  bool reopen() {
    close();
    open();
    return handle_ != nullptr;
  }

 private:
  void open() {
    jSplOpenBlock block;
    std::memset(&block, 0, sizeof block);
    std::snprintf(block.jobName, sizeof block.jobName, "raster-bench");
    const std::string port = std::string("FILE:") + folder_;
    if (!platform::copyString(block.portName, sizeof block.portName, port.c_str())) {
      error_ = "the port name is too long: " + port;
      return;
    }
    block.one = 1;
    handle_ = jSplOpen(&block);
    error_ = handle_ ? "" : std::string("no spool channel on ") + block.portName;
  }
  void close() {
    if (!handle_) return;
    jSplWritePrinter(handle_);
    jSplEnd(handle_);
    jSplClose(handle_);
    handle_ = nullptr;
    std::vector<std::string> files;
    platform::listFolder(folder_, [&](const platform::FolderEntry& e) {
      if (!e.isDirectory) files.push_back(e.name);
      return true;
    });
    for (const std::string& f : files) {
      char path[platform::kMaxPath];
      if (platform::joinPath(path, sizeof path, folder_, f.c_str())) platform::deleteFile(path);
    }
  }
  char folder_[platform::kMaxPath] = {};
  std::string error_;
  jSPOOL handle_ = nullptr;
};

// Rows of rendered pixels handed out one line after another, each line
// rendered afresh: kRowsAtOnce of them at a time, outside the timing.
class Rows {
 public:
  Rows(Content content, int dpi, int width)
      : source_(content, dpi, width), rowBytes_(static_cast<size_t>(width) * 8), pixels_(rowBytes_ * kRowsAtOnce) {}
  bool ready() const { return source_.ready(); }
  uint8_t* row(benchmark::State& state, int line) {
    if (line < first_ || line >= first_ + kRowsAtOnce) {
      state.PauseTiming();
      first_ = line;
      for (int i = 0; i < kRowsAtOnce; ++i) source_.render(line + i, pixels_.data() + rowBytes_ * i);
      state.ResumeTiming();
    }
    return pixels_.data() + rowBytes_ * static_cast<size_t>(line - first_);
  }

 private:
  RowSource source_;
  size_t rowBytes_;
  std::vector<uint8_t> pixels_;
  int first_ = -kRowsAtOnce - 1;
};

// The set-up shared by the runs that write to a channel; false (the state
// told why) when any part of it failed.
inline bool ready(benchmark::State& state, const Rows& rows, const Channel& channel) {
  if (!rows.ready()) {
    state.SkipWithError("no image: give one with --image=<file>");
    return false;
  }
  if (!channel.error().empty()) {
    state.SkipWithError(channel.error().c_str());
    return false;
  }
  return true;
}

// The set-up of the runs that convert and write lines of the content into
// a channel, page after page or line after line: ok is false (the state
// told why) when any part of it failed.
struct LineRig {
  int width;
  jCMS transform;
  Content content;
  Rows rows;
  Channel channel;
  std::vector<rx3::ConvertedPixel> records;
  Page page;
  DeviceRecord record{};
  bool ok;
  explicit LineRig(benchmark::State& state)
      : width(kInches * static_cast<int>(state.range(0))),
        transform(transformOrFail(state)),
        content(contentOf(state.range(2))),
        rows(content, static_cast<int>(state.range(0)), width),
        records(static_cast<size_t>(width)),
        page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), width) {
    std::memset(&record, 0, sizeof record);
    record.state = page.state.get();
    ok = transform && ready(state, rows, channel);
  }
  // Converts and writes one line; false when the channel stopped taking it.
  bool line(benchmark::State& state, int y) {
    rx3::convertBand(transform, 0, rows.row(state, y), records.data(), width);
    return rx3::writeRasterLine(&record, y, records.data(), width) == 1;
  }
};

// Four rows of records, converted from the content as the page loop would;
// none (the benchmark skipped, saying why) without a transform or image.
inline std::vector<std::vector<rx3::ConvertedPixel>> convertedRows(benchmark::State& state, Content content, int dpi,
                                                                   int width) {
  const jCMS transform = transformOrFail(state);
  RowSource source(content, dpi, width);
  if (!transform || !source.ready()) {
    if (transform) state.SkipWithError("no image: give one with --image=<file>");
    return {};
  }
  std::vector<uint8_t> rendered(static_cast<size_t>(width) * 8);
  std::vector<std::vector<rx3::ConvertedPixel>> rows(4);
  for (int y = 0; y < 4; ++y) {
    source.render(y, rendered.data());
    rows[static_cast<size_t>(y)].resize(static_cast<size_t>(width));
    rx3::convertBand(transform, 0, rendered.data(), rows[static_cast<size_t>(y)].data(), width);
  }
  return rows;
}

}  // namespace raster_bench
