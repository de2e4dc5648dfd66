// Speed of the raster path of RX3, from rendered pixels to bytes at the port.
//
//   raster-bench [name filter] [--image=<file> [--page-mm=<w>x<h>]] [--page-inches=<n>]
//   raster-bench ... [--hand-over=always]  (pipelined runs hand every row
//                                            over, as before rows cheap to
//                                            make stayed with the caller)
//   raster-bench --load-table[=<rounds>] [--before=<other raster-bench>]
//                [--page-inches=<n>]
//
// Every run is measured at the normal priority (a process started above it
// is put back first): wall time and processor time of all threads.
// --load-table runs the page loop's photograph and flat pages, pipelined
// and on one thread, each in a child process, under no load, 1, 2 and 6
// busy processes and a parallel build (make -j4 of a generated project in
// load-build/ beside the program), the runs of each load taking turns, and
// prints the medians side by side and the median of each round's ratio
// of the two (with another build's pipelined run beside them when --before
// is given).
//
//   PageLoop/<dpi>/<inkSet>/<content>/<pipelined>
//                                       whole pages of 17 x 4 inches (or
//                                       --page-inches) through the page loop
//                                       in bands of an inch: band render of
//                                       1024-dot photographic tiles placed
//                                       1:1, conversion, separation,
//                                       diffusion and writing (shared with
//                                       a second thread when pipelined is 1);
//                                       content 3 is the --image stretched
//                                       over the page (of --page-mm when
//                                       given), as a job of it prints
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
#include "bench_setup.h"
#include "load_table.h"
#include "mini_benchmark.h"
#include "part_runs.h"

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
#include "driver/raster/pipeline_choice.h"
#include "driver/raster/raster_writer.h"
#include "driver/raster/row_pipeline.h"
#include "driver/raster/separation.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace {

using namespace raster_bench;

int g_pageInches = 4;
float g_pageMm[2] = {0, 0};  // the page loop's page of the image, when given

// Whole pages of 17 inches by g_pageInches, each its own job.
void PageRun(benchmark::State& state) {
  LineRig rig(state);
  if (!rig.ok) return;
  const int height = g_pageInches * 720;
  int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = rig.channel.reopen();
    state.ResumeTiming();
    if (!open) {
      state.SkipWithError(rig.channel.error().c_str());
      break;
    }
    rig.page.state->engine.spoolHandle = rig.channel.handle();
    rx3::setupPageBuffers(rig.page.state.get(), rig.width, height);
    bool written = true;
    for (int line = 0; line < height && written; ++line) written = rig.line(state, line);
    written = written && rx3::writeVerticalSkip(&rig.record, 0) == 1;
    rx3::releasePageBuffers(rig.page.state.get());
    if (!written) {
      state.SkipWithError("the page was not written whole");
      break;
    }
    ++pages;
  }
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(pages) * rig.width * height / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(rig.content));
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
    finish(width, height);
  }
  // The loaded image stretched over the whole page, as a job of it prints.
  TiledScene(int width, int height) {
    int w = 0, h = 0;
    const std::vector<uint8_t>& rgb = RowSource::imagePixels(&w, &h);
    jGdcItem item{};
    item.kind = J_GDC_RGB_IMAGE;
    item.x1 = width;
    item.y1 = height;
    item.width = w;
    item.height = h;
    item.pixels = const_cast<uint8_t*>(rgb.data());
    items.push_back(item);
    finish(width, height);
  }
  void finish(int width, int height) {
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
  const bool image = content == Content::kImage;
  const bool pageMm = image && g_pageMm[0] > 0;
  const int width = pageMm ? static_cast<int>(g_pageMm[0] / 25.4f * static_cast<float>(dpi) + 0.5f) : kInches * dpi;
  const int height = pageMm ? static_cast<int>(g_pageMm[1] / 25.4f * 720 + 0.5f) : g_pageInches * 720;
  const jCMS transform = transformOrFail(state);
  Channel channel;
  if (!transform) return;
  if (!channel.error().empty()) {
    state.SkipWithError(channel.error().c_str());
    return;
  }
  if (content == Content::kPhoto) {
    state.SkipWithError("the page loop run takes the distinct photograph, flat colour or an image");
    return;
  }
  TiledScene scene = image ? TiledScene(width, height) : TiledScene(content, dpi, width, height);
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
  const rx3::PipelineCounters before = rx3::pipelineCounters();
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
    const float widthInches = static_cast<float>(width) / static_cast<float>(dpi);
    const float heightInches = static_cast<float>(height) / 720;
    for (int band = (height + 719) / 720; band > 0 && written; --band) {
      const float top = band * 720 > height ? heightInches : static_cast<float>(band);
      written = rx3::drawPage(&context, rx3::UnitRect{0, static_cast<float>(band - 1), widthInches, top}) == 1;
    }
    written = written && e.currentLine == height && rx3::writeVerticalSkip(&record, 0) == 1;
    if (!written) {
      state.SkipWithError("the page was not written whole");
      break;
    }
    ++pages;
  }
  rx3::endRowPipeline(page.state.get());
  rx3::PipelineCounters counters = rx3::pipelineCounters();
  counters.helperStrips -= before.helperStrips;
  counters.callerStrips -= before.callerStrips;
  counters.madeAgain -= before.madeAgain;
  counters.waitedNs -= before.waitedNs;
  counters.keptRows -= before.keptRows;
  const int64_t strips = counters.helperStrips + counters.callerStrips;
  const double rows = static_cast<double>(pages) * height;
  char shares[160] = "";
  if (pipelined)
    std::snprintf(shares, sizeof shares,
                  " (helper %.0f%% of strips, %lld made again, caller waited %.0f ms, %.0f%% of rows kept by the "
                  "caller)",
                  strips > 0 ? 100.0 * static_cast<double>(counters.helperStrips) / static_cast<double>(strips) : 0.0,
                  static_cast<long long>(counters.madeAgain), static_cast<double>(counters.waitedNs) / 1e6,
                  rows > 0 ? 100.0 * static_cast<double>(counters.keptRows) / rows : 0.0);
  rx3::allowRowPipeline(wasAllowed);
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(pages) * width * height / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(std::string(raster_bench::contentName(content)) + (pipelined ? " pipelined" : " one thread") + shares);
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
// The runs that convert and write whole lines share their cases.
void lineCases(benchmark::internal::Registered* r) {
  const int64_t cases[][3] = {{720, 0, 1}, {720, 0, 0}, {720, 0, 2}, {720, 2, 1}, {1440, 0, 1}, {1440, 0, 2}};
  for (const auto& c : cases) r->Args({c[0], c[1], c[2]});
}
BENCHMARK(PageRun)->Apply(lineCases)->Unit(benchmark::kMillisecond);
BENCHMARK(Line)->Apply(lineCases)->Unit(benchmark::kMillisecond);
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
  std::string filter, before;
  int loadRounds = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--image=", 0) == 0) {
      std::string error;
      if (!RowSource::loadImage(arg.c_str() + 8, &error)) {
        std::fprintf(stderr, "raster-bench: %s\n", error.c_str());
        return 1;
      }
      for (auto* r : benchmark::internal::registry()) {
        if (r->name == "PageLoop") {  // the image stretched over the page
          for (const int64_t dpi : {720, 1440})
            for (const int64_t pipelined : {1, 0}) r->Args({dpi, 0, 3, pipelined});
          continue;
        }
        const bool convert = r->name == "Convert";
        if (r->name == "Separate") {
          r->Args({720, 0, 3, 0});
          r->Args({720, 0, 3, 1});
          continue;
        }
        r->Args(convert ? std::vector<int64_t>{720, 3} : std::vector<int64_t>{720, 0, 3});
        if (!convert) r->Args({1440, 0, 3});
      }
    } else if (arg.rfind("--load-table", 0) == 0) {
      loadRounds = arg.size() > 13 && arg[12] == '=' ? std::atoi(arg.c_str() + 13) : 3;
      if (loadRounds < 1 || loadRounds > 20) {
        std::fprintf(stderr, "raster-bench: --load-table takes 1 to 20 rounds\n");
        return 1;
      }
    } else if (arg.rfind("--before=", 0) == 0) {
      before = arg.substr(9);
    } else if (arg.rfind("--page-mm=", 0) == 0) {
      if (std::sscanf(arg.c_str() + 10, "%fx%f", &g_pageMm[0], &g_pageMm[1]) != 2 || !(g_pageMm[0] >= 10) ||
          !(g_pageMm[1] >= 10) || g_pageMm[0] > 3000 || g_pageMm[1] > 50000) {
        std::fprintf(stderr, "raster-bench: --page-mm takes <width>x<height> in millimetres\n");
        return 1;
      }
    } else if (arg.rfind("--page-inches=", 0) == 0) {
      g_pageInches = std::atoi(arg.c_str() + 14);
      if (g_pageInches < 1 || g_pageInches > 2000) {
        std::fprintf(stderr, "raster-bench: --page-inches takes 1 to 2000\n");
        return 1;
      }
    } else if (arg == "--hand-over=always") {
      // Every row through the pipeline, whatever it costs.
      rx3::HandOverChoice::force(rx3::HandOverChoice::Forced::kAlways);
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "raster-bench: unknown option %s\n", arg.c_str());
      return 1;
    } else {
      filter = arg;
    }
  }
  // Wall figures mean what a shop sees only at the priority it runs at.
  if (!raster_bench::runAtNormalPriority()) return 1;
  if (loadRounds > 0) {
    char program[platform::kMaxPath];
    if (!platform::moduleFileName(nullptr, program, sizeof program)) return 1;
    return raster_bench::runLoadTable(program, before, loadRounds, g_pageInches);
  }
  const int status = benchmark::internal::runAll(filter);
  if (status != 0) std::fprintf(stderr, "raster-bench: a benchmark failed\n");
  return status;
}
