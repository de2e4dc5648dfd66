// Speed of the raster path of RX3, from rendered pixels to bytes at the port.
//
//   Line/<dpi>/<inkSet>/<content>       one line: band colour conversion, then
//                                       the raster line writer (separation,
//                                       halftoning, packing, ESC/P rows) into
//                                       a real spool channel on a file port
//   Page/<dpi>/<inkSet>/<content>       a whole page of 17 x 4 inches: buffers
//                                       set up, every line converted and
//                                       written, flushed, buffers released,
//                                       channel opened and ended
//   Halftone/<dpi>/<inkSet>/<content>   separation, halftoning and packing
//                                       only (records converted beforehand)
//   Convert/<dpi>/<content>             the band colour conversion only
//
// dpi is the horizontal resolution (lines are 720 per inch); ink set 0 is
// eight inks, 2 four; content 0 is a photograph placed at 300 ppi, 1 one
// with a different value at every dot, 2 flat colour areas. Rates are
// megapixels per second (Mpx/s). Rendering is not timed: 64 rendered rows
// are made once and cycled, as the render context would hand them over.
// The job files go to a folder beside the program and are deleted as the
// benchmark goes, outside the timing.
#if RASTER_BENCH_GOOGLE
#include <benchmark/benchmark.h>
#else
#include "mini_benchmark.h"
#endif

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
#include "driver/raster/packbits.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/raster_writer.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

using raster_bench::Content;

constexpr int kInches = 17;
constexpr int kRowsKept = 64;  // distinct rendered rows cycled through

Content contentOf(int64_t n) {
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

// A spool channel on a file port in a folder of its own; each reopen ends
// the job and deletes its file.
class Channel {
 public:
  Channel() {
    std::snprintf(folder_, sizeof folder_, "raster-bench-out");
    platform::createFolder(folder_);
    open();
  }
  ~Channel() {
    close();
    platform::removeFolder(folder_);
  }
  jSPOOL handle() const { return handle_; }
  void reopen() {
    close();
    open();
  }

 private:
  void open() {
    jSplOpenBlock block;
    std::memset(&block, 0, sizeof block);
    std::snprintf(block.jobName, sizeof block.jobName, "raster-bench");
    std::snprintf(block.portName, sizeof block.portName, "FILE:%s", folder_);
    block.one = 1;
    handle_ = jSplOpen(&block);
    if (!handle_) std::fprintf(stderr, "raster-bench: no spool channel on %s\n", block.portName);
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
  char folder_[64];
  jSPOOL handle_ = nullptr;
};

std::vector<std::vector<uint8_t>> renderedRows(Content content, int dpi, int width) {
  std::vector<std::vector<uint8_t>> rows(kRowsKept, std::vector<uint8_t>(static_cast<size_t>(width) * 8));
  for (int y = 0; y < kRowsKept; ++y) raster_bench::renderRow(content, dpi, y, width, rows[y].data());
  return rows;
}

std::vector<std::vector<rx3::ConvertedPixel>> convertedRows(Content content, int dpi, int width) {
  static Transform transform;
  std::vector<uint8_t> rendered(static_cast<size_t>(width) * 8);
  // Fewer rows than the other runs: this run times the halftoner on
  // records fresh in the cache, as the conversion leaves them.
  std::vector<std::vector<rx3::ConvertedPixel>> rows(4);
  for (int y = 0; y < 4; ++y) {
    raster_bench::renderRow(content, dpi, y, width, rendered.data());
    rows[y].resize(static_cast<size_t>(width));
    rx3::convertBand(transform.handle, 0, rendered.data(), rows[y].data(), width);
  }
  return rows;
}

void Halftone(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const int width = kInches * dpi;
  const auto rows = convertedRows(content, dpi, width);
  Page page(dpi, inkSet, width);
  EngineState& e = page.state->engine;
  const int planes = inkSet == 2 ? 4 : 8;
  int line = 0;
  size_t packed = 0;
  for (auto _ : state) {
    const auto& row = rows[static_cast<size_t>(line % 4)];
    std::memset(e.dotPlanes, 0, static_cast<size_t>(e.rowBytes) * 8);
    uint64_t totals[8];
    if (planes == 4)
      rx3::halftoneLineFour(page.state.get(), line, row.data(), width, totals);
    else
      rx3::halftoneLineEight(page.state.get(), line, row.data(), width, totals);
    for (int j = 0; j < planes; ++j)
      packed += static_cast<size_t>(rx3::packRow(e.dotPlanes + j, 8, e.rowBytes, e.packBuffer));
    ++line;
  }
  benchmark::DoNotOptimize(packed);
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

// One line after another into one channel; the channel is flushed every
// 100 lines, as vertical skips would, and its job file dropped every 5000.
void Line(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const int width = kInches * dpi;
  static Transform transform;
  auto rendered = renderedRows(content, dpi, width);
  std::vector<rx3::ConvertedPixel> records(static_cast<size_t>(width));
  Channel channel;
  Page page(dpi, inkSet, width);
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  record.state = page.state.get();
  page.state->engine.spoolHandle = channel.handle();
  int line = 0;
  for (auto _ : state) {
    rx3::convertBand(transform.handle, 0, rendered[static_cast<size_t>(line % kRowsKept)].data(), records.data(),
                     width);
    if (rx3::writeRasterLine(&record, line, records.data(), width) != 1) {
      state.SkipWithError("the channel stopped");
      break;
    }
    ++line;
    if (line % 100 == 0) rx3::writeVerticalSkip(&record, 0);
    if (line % 5000 == 0) {
      state.PauseTiming();
      channel.reopen();
      page.state->engine.spoolHandle = channel.handle();
      state.ResumeTiming();
    }
  }
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

// Whole pages of 17 x 4 inches, each its own job.
void PageRun(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const int width = kInches * dpi;
  const int height = 4 * 720;
  static Transform transform;
  auto rendered = renderedRows(content, dpi, width);
  std::vector<rx3::ConvertedPixel> records(static_cast<size_t>(width));
  Channel channel;
  Page page(dpi, inkSet, width);
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  record.state = page.state.get();
  int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    channel.reopen();
    state.ResumeTiming();
    page.state->engine.spoolHandle = channel.handle();
    rx3::setupPageBuffers(page.state.get(), width, height);
    for (int line = 0; line < height; ++line) {
      rx3::convertBand(transform.handle, 0, rendered[static_cast<size_t>(line % kRowsKept)].data(), records.data(),
                       width);
      rx3::writeRasterLine(&record, line, records.data(), width);
    }
    rx3::writeVerticalSkip(&record, 0);
    rx3::releasePageBuffers(page.state.get());
    ++pages;
  }
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(pages) * width * height / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

void Convert(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const Content content = contentOf(state.range(1));
  const int width = kInches * dpi;
  static Transform transform;
  std::vector<std::vector<uint8_t>> rendered(kRowsKept, std::vector<uint8_t>(static_cast<size_t>(width) * 8));
  for (int y = 0; y < kRowsKept; ++y) raster_bench::renderRow(content, dpi, y, width, rendered[y].data());
  std::vector<rx3::ConvertedPixel> out(static_cast<size_t>(width));
  int line = 0;
  for (auto _ : state) {
    rx3::convertBand(transform.handle, 0, rendered[static_cast<size_t>(line % kRowsKept)].data(), out.data(), width);
    ++line;
  }
  benchmark::DoNotOptimize(out.data());
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

}  // namespace

BENCHMARK(Line)
    ->Args({720, 0, 0})
    ->Args({720, 0, 1})
    ->Args({720, 0, 2})
    ->Args({720, 2, 0})
    ->Args({720, 2, 2})
    ->Args({1440, 0, 0})
    ->Args({1440, 0, 2})
    ->Args({1440, 2, 0})
    ->Args({1440, 2, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PageRun)
    ->Args({720, 0, 0})
    ->Args({720, 0, 2})
    ->Args({720, 2, 0})
    ->Args({720, 2, 2})
    ->Args({1440, 0, 0})
    ->Args({1440, 0, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Halftone)
    ->Args({720, 0, 0})
    ->Args({720, 0, 1})
    ->Args({720, 0, 2})
    ->Args({720, 2, 0})
    ->Args({720, 2, 2})
    ->Args({1440, 0, 0})
    ->Args({1440, 0, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Convert)->Args({720, 0})->Args({720, 1})->Args({720, 2})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
