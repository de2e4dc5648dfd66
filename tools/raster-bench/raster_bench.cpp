// Speed of the raster path of RX3, from rendered pixels to bytes at the port.
//
//   raster-bench [name filter] [--image=<file>] [--page-inches=<n>]
//
//   PageLoop/<dpi>/<inkSet>/<content>/<pipelined>
//                                       whole pages of 17 x 4 inches (or
//                                       --page-inches) through the page loop
//                                       in bands of an inch: band render of
//                                       1024-dot photographic tiles placed
//                                       1:1, conversion, separation,
//                                       diffusion and writing (shared with
//                                       a second thread when pipelined is 1)
//   PageRun/<dpi>/<inkSet>/<content>    whole pages of 17 x 4 inches (or
//                                       --page-inches), each its own job:
//                                       buffers set up, every line converted
//                                       and written, flushed, buffers
//                                       released, channel opened and ended
//   Line/<dpi>/<inkSet>/<content>       one line: band colour conversion, then
//                                       the raster line writer (separation,
//                                       halftoning, packing, ESC/P rows) into
//                                       a real spool channel on a file port
//   Halftone/<dpi>/<inkSet>/<content>   separation, halftoning and packing
//                                       only (records converted beforehand)
//   Separate/<dpi>/<inkSet>/<content>/<row>
//                                       the ink separation of a line only
//                                       (records converted beforehand): row
//                                       0 pixel by pixel through the
//                                       per-pixel functions, a run of equal
//                                       values once, 1 the row pass
//   Convert/<dpi>/<content>             the band colour conversion only
//
// dpi is the horizontal resolution (lines are 720 per inch); ink set 0 is
// eight inks, 2 four; content 1 is a photograph with a different value at
// almost every dot (the headline case), 0 one placed at 300 ppi, 2 flat
// colour areas, 3 the image file given with --image, repeated across the
// page at one pixel a dot (PNG, PPM, JPEG or BMP). Every line is rendered
// afresh, a few lines at a time outside the timing, as the render context
// would hand them over. Rates are megapixels per second (Mpx/s) per wall
// second and per processor second of the whole process.
//
// The job files go to a folder beside the program and are deleted as the
// benchmark goes, outside the timing. A set-up that fails (no colour
// transform, no spool channel, a channel that stops) fails the benchmark:
// the program says why and exits with 1.
#include "mini_benchmark.h"

#include <cstdio>
#include <cstdlib>
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
#include "driver/raster/page_steps.h"
#include "driver/raster/raster_writer.h"
#include "driver/raster/row_pipeline.h"
#include "driver/raster/separation.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace {

using raster_bench::Content;
using raster_bench::RowSource;

constexpr int kInches = 17;
constexpr int kRowsAtOnce = 16;  // lines rendered together outside the timing

int g_pageInches = 4;

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

// The colour transform of every run; null (with a message) when it cannot
// be set up.
jCMS transformOrFail(benchmark::State& state) {
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
bool ready(benchmark::State& state, const Rows& rows, const Channel& channel) {
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

// Four rows of records, converted from the content as the page loop would;
// none (the benchmark skipped, saying why) without a transform or image.
std::vector<std::vector<rx3::ConvertedPixel>> convertedRows(benchmark::State& state, Content content, int dpi,
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

void Halftone(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const int width = kInches * dpi;
  // Few rows: this run times the halftoner on records fresh in the cache,
  // as the conversion leaves them.
  const std::vector<std::vector<rx3::ConvertedPixel>> rows = convertedRows(state, content, dpi, width);
  if (rows.empty()) return;
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
  const jCMS transform = transformOrFail(state);
  Rows rows(content, dpi, width);
  Channel channel;
  if (!transform || !ready(state, rows, channel)) return;
  std::vector<rx3::ConvertedPixel> records(static_cast<size_t>(width));
  Page page(dpi, inkSet, width);
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  record.state = page.state.get();
  page.state->engine.spoolHandle = channel.handle();
  int line = 0;
  for (auto _ : state) {
    rx3::convertBand(transform, 0, rows.row(state, line), records.data(), width);
    if (rx3::writeRasterLine(&record, line, records.data(), width) != 1) {
      state.SkipWithError("the channel stopped taking lines");
      break;
    }
    ++line;
    if (line % 100 == 0) rx3::writeVerticalSkip(&record, 0);
    if (line % 5000 == 0) {
      state.PauseTiming();
      const bool open = channel.reopen();
      page.state->engine.spoolHandle = channel.handle();
      state.ResumeTiming();
      if (!open) {
        state.SkipWithError(channel.error().c_str());
        break;
      }
    }
  }
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

// Whole pages of 17 inches by g_pageInches, each its own job.
void PageRun(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const int width = kInches * dpi;
  const int height = g_pageInches * 720;
  const jCMS transform = transformOrFail(state);
  Rows rows(content, dpi, width);
  Channel channel;
  if (!transform || !ready(state, rows, channel)) return;
  std::vector<rx3::ConvertedPixel> records(static_cast<size_t>(width));
  Page page(dpi, inkSet, width);
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  record.state = page.state.get();
  int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = channel.reopen();
    state.ResumeTiming();
    if (!open) {
      state.SkipWithError(channel.error().c_str());
      break;
    }
    page.state->engine.spoolHandle = channel.handle();
    rx3::setupPageBuffers(page.state.get(), width, height);
    bool written = true;
    for (int line = 0; line < height && written; ++line) {
      rx3::convertBand(transform, 0, rows.row(state, line), records.data(), width);
      written = rx3::writeRasterLine(&record, line, records.data(), width) == 1;
    }
    written = written && rx3::writeVerticalSkip(&record, 0) == 1;
    rx3::releasePageBuffers(page.state.get());
    if (!written) {
      state.SkipWithError("the page was not written whole");
      break;
    }
    ++pages;
  }
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(pages) * width * height / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

// A scene that covers the page with tiles of one photographic image placed
// at one pixel a dot: the band render, the conversion and the writing go
// through the page loop, as the printing-device layer drives it band by
// band. Only the tiles' image is made beforehand.
struct TiledScene {
  static constexpr int kTile = 1024;
  std::vector<uint8_t> pixels;
  std::vector<jGdcItem> items;
  jGdcScene scene{};
  jGdc drawing{};
  TiledScene(Content content, int dpi, int width, int height) {
    RowSource source(content, dpi, kTile);
    std::vector<uint8_t> row(static_cast<size_t>(kTile) * 8);
    pixels.resize(static_cast<size_t>(kTile) * kTile * 3);
    for (int y = 0; y < kTile; ++y) {
      source.render(y, row.data());
      for (int x = 0; x < kTile; ++x)
        std::memcpy(&pixels[(static_cast<size_t>(y) * kTile + x) * 3], &row[static_cast<size_t>(x) * 8], 3);
    }
    for (int y = 0; y < height; y += kTile)
      for (int x = 0; x < width; x += kTile) {
        jGdcItem item{};
        item.kind = J_GDC_RGB_IMAGE;
        item.x0 = x;
        item.y0 = y;
        item.x1 = x + kTile;
        item.y1 = y + kTile;
        item.width = kTile;
        item.height = kTile;
        item.pixels = pixels.data();
        items.push_back(item);
      }
    scene.count = static_cast<int32_t>(items.size());
    scene.items = items.data();
    drawing.x1 = width - 1;
    drawing.y1 = height - 1;
    drawing.hasContent = 1;
    drawing.scene = &scene;
  }
};

// Whole pages through the page loop in bands of one inch, with the
// pipeline's second thread on (last argument 1) or off (0).
void PageLoop(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const int inkSet = static_cast<int>(state.range(1));
  const Content content = contentOf(state.range(2));
  const bool pipelined = state.range(3) != 0;
  const int width = kInches * dpi;
  const int height = g_pageInches * 720;
  const jCMS transform = transformOrFail(state);
  Channel channel;
  if (!transform) return;
  if (!channel.error().empty()) {
    state.SkipWithError(channel.error().c_str());
    return;
  }
  if (content == Content::kImage || content == Content::kPhoto) {
    state.SkipWithError("the page loop run takes the distinct photograph or flat colour");
    return;
  }
  TiledScene scene(content, dpi, width, height);
  Page page(dpi, inkSet, width);
  page.state->yResolution = 720;
  page.state->engine.colorTransform = transform;
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  record.state = page.state.get();
  record.xResolution = dpi;
  record.yResolution = 720;
  record.inchUnits = 1;
  jHostJobContext context;
  std::memset(&context, 0, sizeof context);
  context.device = &record;
  context.drawContext = &scene.drawing;
  const bool wasAllowed = rx3::rowPipelineAllowed();
  rx3::allowRowPipeline(pipelined);
  int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = channel.reopen();
    state.ResumeTiming();
    if (!open) {
      state.SkipWithError(channel.error().c_str());
      break;
    }
    EngineState& e = page.state->engine;
    e.spoolHandle = channel.handle();
    e.printing = 1;
    rx3::releasePageBuffers(page.state.get());
    bool written = rx3::setupPageBuffers(page.state.get(), width, height);
    e.pageRect[0] = e.pageRect[1] = 0;
    e.pageRect[2] = width;
    e.pageRect[3] = height;
    e.currentLine = 0;
    for (int band = g_pageInches; band > 0 && written; --band)
      written = rx3::drawPage(&context, rx3::UnitRect{0, static_cast<float>(band - 1), static_cast<float>(kInches),
                                                      static_cast<float>(band)}) == 1;
    written = written && e.currentLine == height && rx3::writeVerticalSkip(&record, 0) == 1;
    if (!written) {
      state.SkipWithError("the page was not written whole");
      break;
    }
    ++pages;
  }
  rx3::allowRowPipeline(wasAllowed);
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(pages) * width * height / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(std::string(raster_bench::contentName(content)) + (pipelined ? " pipelined" : " one thread"));
}

// The separation pass pixel by pixel, as the line pass did it before it
// took whole rows.
void separatePixels(const rx3::SeparationParams& params, const rx3::ConvertedPixel* pixels, int count, int16_t* slots,
                    bool fourInks) {
  int16_t inks[8] = {};
  uint64_t key = 0;
  bool have = false;
  for (int x = 0; x < count; ++x) {
    const rx3::ConvertedPixel& px = pixels[x];
    int16_t* slot = slots + static_cast<size_t>(x) * 16;
    if (px.kind == rx3::kPixelNothing || px.drawn == 0 || px.kind == rx3::kPixelWhite) {
      std::memset(slot, 0, 16);
      continue;
    }
    if (px.kind != rx3::kPixelInk) continue;
    uint64_t values;
    std::memcpy(&values, px.values, sizeof values);
    if (!have || values != key) {
      if (fourInks)
        rx3::separateFour(params, px.values, inks);
      else
        rx3::separateEight(params, px.values, inks);
      key = values;
      have = true;
    }
    std::memcpy(slot, inks, 16);
  }
}

void Separate(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const bool fourInks = state.range(1) == 2;
  const Content content = contentOf(state.range(2));
  const bool row = state.range(3) != 0;
  const int width = kInches * dpi;
  const std::vector<std::vector<rx3::ConvertedPixel>> rows = convertedRows(state, content, dpi, width);
  if (rows.empty()) return;
  Page page(dpi, fourInks ? 2 : 0, width);
  const rx3::SeparationParams params = rx3::separationParams(page.state->engine);
  std::vector<int16_t> slots(static_cast<size_t>(width) * 16);
  int line = 0;
  for (auto _ : state) {
    const auto& pixels = rows[static_cast<size_t>(line % 4)];
    if (row)
      rx3::separateRow(params, pixels.data(), width, 0, slots.data(), fourInks);
    else
      separatePixels(params, pixels.data(), width, slots.data(), fourInks);
    ++line;
  }
  benchmark::DoNotOptimize(slots.data());
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(std::string(raster_bench::contentName(content)) + (row ? " row" : " pixel by pixel"));
}

void Convert(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const Content content = contentOf(state.range(1));
  const int width = kInches * dpi;
  const jCMS transform = transformOrFail(state);
  Rows rows(content, dpi, width);
  if (!transform) return;
  if (!rows.ready()) {
    state.SkipWithError("no image: give one with --image=<file>");
    return;
  }
  std::vector<rx3::ConvertedPixel> out(static_cast<size_t>(width));
  int line = 0;
  for (auto _ : state) {
    rx3::convertBand(transform, 0, rows.row(state, line), out.data(), width);
    ++line;
  }
  benchmark::DoNotOptimize(out.data());
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(line) * width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(content));
}

}  // namespace

// The headline case first: the photograph with a value of its own at almost
// every dot, through the page loop, pipelined and on one thread.
BENCHMARK(PageLoop)
    ->Args({720, 0, 1, 1})
    ->Args({720, 0, 1, 0})
    ->Args({720, 0, 2, 1})
    ->Args({720, 0, 2, 0})
    ->Args({1440, 0, 1, 1})
    ->Args({1440, 0, 1, 0})
    ->Args({720, 2, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PageRun)
    ->Args({720, 0, 1})
    ->Args({720, 0, 2})
    ->Args({1440, 0, 1})
    ->Args({720, 2, 1})
    ->Args({720, 0, 0})
    ->Args({1440, 0, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Line)
    ->Args({720, 0, 1})
    ->Args({720, 0, 0})
    ->Args({720, 0, 2})
    ->Args({720, 2, 1})
    ->Args({1440, 0, 1})
    ->Args({1440, 0, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Halftone)
    ->Args({720, 0, 1})
    ->Args({720, 0, 2})
    ->Args({720, 2, 1})
    ->Args({1440, 0, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Separate)
    ->Args({720, 0, 1, 0})
    ->Args({720, 0, 1, 1})
    ->Args({720, 2, 1, 0})
    ->Args({720, 2, 1, 1})
    ->Args({720, 0, 2, 0})
    ->Args({720, 0, 2, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Convert)->Args({720, 1})->Args({720, 0})->Args({720, 2})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  std::string filter;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--image=", 0) == 0) {
      std::string error;
      if (!RowSource::loadImage(arg.c_str() + 8, &error)) {
        std::fprintf(stderr, "raster-bench: %s\n", error.c_str());
        return 1;
      }
      for (auto* r : benchmark::internal::registry()) {
        if (r->name == "PageLoop") continue;  // takes generated content only
        const bool convert = r->name == "Convert";
        if (r->name == "Separate") {
          r->Args({720, 0, 3, 0});
          r->Args({720, 0, 3, 1});
          continue;
        }
        r->Args(convert ? std::vector<int64_t>{720, 3} : std::vector<int64_t>{720, 0, 3});
        if (!convert) r->Args({1440, 0, 3});
      }
    } else if (arg.rfind("--page-inches=", 0) == 0) {
      g_pageInches = std::atoi(arg.c_str() + 14);
      if (g_pageInches < 1 || g_pageInches > 2000) {
        std::fprintf(stderr, "raster-bench: --page-inches takes 1 to 2000\n");
        return 1;
      }
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "raster-bench: unknown option %s\n", arg.c_str());
      return 1;
    } else {
      filter = arg;
    }
  }
  const int status = benchmark::internal::runAll(filter);
  if (status != 0) std::fprintf(stderr, "raster-bench: a benchmark failed\n");
  return status;
}
