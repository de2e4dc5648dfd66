// Every fast path of the raster engine must leave the job stream byte for
// byte as the plain algorithm makes it: whole small pages through the
// plug-in's exports, over every resolution, ink set, colour mode and a few
// machine settings, with the vector halftoner and the pipeline's second thread
// each on and off.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/raster/halftone.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/page_steps.h"
#include "driver/raster/pipeline_choice.h"
#include "driver/raster/row_pipeline.h"
#include "page_bench.h"

namespace {

using raster_test::Bytes;
using raster_test::Machine;
using raster_test::PageBench;

// Which fast paths a page is printed with.
struct Paths {
  const char* name;
  bool vector;
  bool pipeline;
  int helperStall = 0;     // milliseconds the pipeline's helper sleeps holding each strip
  bool takeTurns = false;  // rows alone and tries of the pipeline in turn
};

const Paths kPlain = {"plain", false, false};
// The stalled helper stands for one the system does not run: the caller
// makes its strips again.
const Paths kFast[] = {{"vector", true, false},
                       {"pipeline", false, true},
                       {"vector and pipeline", true, true},
                       {"vector and pipeline, helper stalled", true, true, 3},
                       {"vector, rows alone and tries of the pipeline in turn", true, true, 0, true}};

// Sets the engine's path switches and a fixed noise seed for a scope, and
// back to the defaults.
struct PathChoice {
  explicit PathChoice(const Paths& p) {
    rx3::allowVectorHalftone(p.vector);
    rx3::allowRowPipeline(p.pipeline);
    rx3::stallPipelineHelper(p.helperStall);
    // Pages this small are never dear enough to make for a second thread:
    // their rows go to the pipeline after the first chunk all the same.
    rx3::HandOverChoice::force(!p.pipeline   ? rx3::HandOverChoice::Forced::kNo
                               : p.takeTurns ? rx3::HandOverChoice::Forced::kTakeTurns
                                             : rx3::HandOverChoice::Forced::kAlways);
    rx3::setNoiseSeed(20261208);
    rx3::setRenderChunkRows(5);  // chunk borders inside the page
  }
  const bool pipelineDefault = rx3::rowPipelineAllowed();
  ~PathChoice() {
    rx3::allowVectorHalftone(true);
    rx3::allowRowPipeline(pipelineDefault);
    rx3::stallPipelineHelper(0);
    rx3::HandOverChoice::force(rx3::HandOverChoice::Forced::kNo);
    rx3::seedNoiseFromClock();
    rx3::setRenderChunkRows(0);
  }
};

uint32_t mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  return x ^ (x >> 16);
}

// A photograph-like image with a different value at almost every pixel:
// smooth ramps and a strong grain, pure white and deep shadows included.
std::vector<uint8_t> photoImage(int width, int height, int channels) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * channels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        const int ramp = (x * 255 / width + y * (c + 1) * 7) % 256;
        const int grain = static_cast<int>(mix(static_cast<uint32_t>((y * width + x) * 4 + c)) % 61) - 30;
        const int v = ramp + grain;
        pixels[(static_cast<size_t>(y) * width + x) * channels + c] = static_cast<uint8_t>(v < 0     ? 0
                                                                                           : v > 255 ? 255
                                                                                                     : v);
      }
  return pixels;
}

// One page of 0.1 x 0.05 inches: an RGB photograph on the left, a CMYK
// photograph and a flat fill on the right, paper white and a strip with
// nothing drawn between them.
Bytes printPage(const Machine& machine, int colorMode, const Paths& paths) {
  PathChoice choice(paths);
  PageBench bench(machine);
  bench.state->profile.colorMode = colorMode;
  EXPECT_TRUE(bench.openDocument());
  const int width = machine.xResolution / 10, height = machine.yResolution / 20;
  static std::vector<uint8_t> rgb, cmyk;
  rgb = photoImage(width / 2, height, 3);
  cmyk = photoImage(width / 4, height / 2, 4);
  bench.setDrawing(0, 0, width - 1, height - 1);
  bench.addFill(width / 2 + 3, height / 2, width, height, 30, 160, 220);
  jGdcItem photo{};
  photo.kind = J_GDC_RGB_IMAGE;
  photo.x0 = 0;
  photo.y0 = 0;
  photo.x1 = width / 2;
  photo.y1 = height;
  photo.width = width / 2;
  photo.height = height;
  photo.pixels = rgb.data();
  jGdcItem printed = photo;
  printed.kind = J_GDC_CMYK_IMAGE;
  printed.x0 = width / 2 + 3;
  printed.x1 = width;
  printed.y1 = height / 2;
  printed.width = width / 4;
  printed.height = height / 2;
  printed.pixels = cmyk.data();
  bench.items.push_back(photo);
  bench.items.push_back(printed);
  bench.scene.count = static_cast<int32_t>(bench.items.size());
  bench.scene.items = bench.items.data();
  bench.drawing.scene = &bench.scene;
  EXPECT_EQ(1, bench.startPage(0, 0, 0.1f, 0.05f));
  EXPECT_EQ(1, bench.drawPage(0, 0, 0.1f, 0.05f));
  EXPECT_EQ(1, bench.endPage(0));
  return bench.finish();
}

TEST(PageIdentity, EveryFastPathPrintsThePlainAlgorithmsBytes) {
  const int kResolutions[][2] = {{720, 720}, {1440, 720}, {1440, 1440}};
  const int kColorModes[] = {0, 254};
  for (const auto& resolution : kResolutions)
    for (int inkSet = 0; inkSet <= 2; ++inkSet)
      for (int colorMode : kColorModes)
        for (int variant = 0; variant < 2; ++variant) {
          Machine machine;
          machine.inchUnits = 1;
          machine.xResolution = resolution[0];
          machine.yResolution = resolution[1];
          machine.inkSet = inkSet;
          machine.marginMode = variant;
          machine.bidirectional = 1 - variant;
          const std::string what = std::to_string(resolution[0]) + "x" + std::to_string(resolution[1]) + " inks " +
                                   std::to_string(inkSet) + " mode " + std::to_string(colorMode) + " variant " +
                                   std::to_string(variant);
          const Bytes plain = printPage(machine, colorMode, kPlain);
          ASSERT_GT(plain.size(), 1000u) << what;
          for (const Paths& fast : kFast) {
            const rx3::PipelineCounters before = rx3::pipelineCounters();
            const Bytes bytes = printPage(machine, colorMode, fast);
            const rx3::PipelineCounters after = rx3::pipelineCounters();
            if (fast.takeTurns) {
              EXPECT_GT(after.keptRows, before.keptRows) << what << ": rows made alone";
              EXPECT_GT(after.helperStrips + after.callerStrips, before.helperStrips + before.callerStrips)
                  << what << ": rows through the pipeline";
            }
            ASSERT_EQ(plain.size(), bytes.size()) << what << " with " << fast.name;
            ASSERT_TRUE(plain == bytes) << what << " with " << fast.name;
          }
        }
}

}  // namespace
