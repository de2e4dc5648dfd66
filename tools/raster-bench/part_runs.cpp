// The runs over parts of the raster path: halftoning and packing, the line
// writer into a channel, the separation alone and the band conversion alone.
#include "part_runs.h"

#include <cstring>
#include <vector>

#include "bench_setup.h"
#include "driver/raster/packbits.h"
#include "driver/raster/page_steps.h"
#include "driver/raster/raster_writer.h"
#include "driver/raster/separation.h"

namespace raster_bench {
namespace {
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

}  // namespace

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
  LineRig rig(state);
  if (!rig.ok) return;
  rig.page.state->engine.spoolHandle = rig.channel.handle();
  int line = 0;
  for (auto _ : state) {
    if (!rig.line(state, line)) {
      state.SkipWithError("the channel stopped taking lines");
      break;
    }
    ++line;
    if (line % 100 == 0) rx3::writeVerticalSkip(&rig.record, 0);
    if (line % 5000 == 0) {
      state.PauseTiming();
      const bool open = rig.channel.reopen();
      rig.page.state->engine.spoolHandle = rig.channel.handle();
      state.ResumeTiming();
      if (!open) {
        state.SkipWithError(rig.channel.error().c_str());
        break;
      }
    }
  }
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(line) * rig.width / 1e6, benchmark::Counter::kIsRate);
  state.SetLabel(raster_bench::contentName(rig.content));
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

}  // namespace raster_bench
