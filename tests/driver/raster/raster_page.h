// A machine state with its page buffers, as the engine holds it during a
// page, for the raster unit tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "driver/machines/machine_state.h"
#include "driver/raster/page_buffers.h"

namespace raster_test {

// Densities and limit that a document starts with (ink limit 157 %).
inline void setDocumentDefaults(MachineState* state) {
  state->engine.lightCyanDensity = 30;
  state->engine.lightMagentaDensity = 30;
  state->engine.lightLightBlackDensity = 17;
  state->engine.lightBlackDensity = 50;
  state->engine.inkLimitTotal = (157 * 255 + 50) / 100;
}

struct PageState {
  std::unique_ptr<MachineState> state{new MachineState()};

  explicit PageState(int width, int inkSet = 0, int xResolution = 720, uint32_t seed = 1234) {
    std::memset(state.get(), 0, sizeof(MachineState));
    state->xResolution = xResolution;
    state->yResolution = 720;
    state->inkSet = inkSet;
    setDocumentDefaults(state.get());
    state->engine.printing = 1;
    rx3::setNoiseSeed(seed);
    EXPECT_EQ(1, rx3::setupPageBuffers(state.get(), width, 100));
  }
  ~PageState() { rx3::releasePageBuffers(state.get()); }
  PageState(const PageState&) = delete;
  PageState& operator=(const PageState&) = delete;

  EngineState& engine() { return state->engine; }
  int16_t error(int x, int ink) { return engine().errorLine[(x + 1) * 8 + ink]; }
  int16_t slot(int x, int parity, int ink) { return engine().separation[(x * 2 + parity) * 8 + ink]; }
  // Dot code (0..3) of pixel x in plane j.
  int dot(int x, int plane) {
    const uint8_t byte = engine().dotPlanes[(x / 4) * 8 + plane];
    return (byte >> (6 - 2 * (x % 4))) & 3;
  }
  void clearDots() { std::memset(engine().dotPlanes, 0, static_cast<size_t>(engine().rowBytes) * 8); }
};

}  // namespace raster_test
