#include "halftone_reference.h"

#include <cstring>

#include "driver/raster/separation.h"

namespace raster_test {
namespace {

struct Shares {
  int b;
  int a;
};

Shares sharesFor(int v) {
  if (v <= 16) return {5, 1};
  if (v <= 32) return {5, 2};
  if (v <= 64) return {5, 3};
  if (v <= 128) return {6, 3};
  if (v <= 192) return {7, 3};
  if (v <= 320) return {7, 1};
  return {7, 2};
}

int scaledNoise(int r, int v, bool fourInks) {
  if (fourInks) {
    if (v < 64) return r / 2;
    if (v <= 127) return r;
  } else if (v < 128) {
    return r;
  }
  if (v <= 191) return 2 * r;
  return 3 * r;
}

// The sweep over a line whose inks are in place: kindOf(x) is 0 (nothing
// drawn), 1 (paper white) or another value (inks at slotOf(x)).
template <typename KindOf, typename SlotOf>
void diffuse(EngineState& e, int p, int count, bool fourInks, KindOf kindOf, SlotOf slotOf, uint64_t totals[8]) {
  const int inks = fourInks ? 4 : 8;
  int32_t pending[8] = {};
  for (int j = 0; j < 8; ++j) {
    e.carries[j] = 0;
    totals[j] = 0;
  }
  for (int i = 0; i < count; ++i) {
    const int x = p == 0 ? i : count - 1 - i;
    int16_t* error = &e.errorLine[(x + 1) * 8];
    const int kind = kindOf(x);
    if (kind == 0) {
      for (int j = 0; j < inks; ++j) {
        error[j] = static_cast<int16_t>((x % 8) * 16 + (fourInks ? 64 : 128));
        e.carries[j] = fourInks ? 240 : 300;
      }
      continue;
    }
    if (kind == 1) {
      for (int j = 0; j < 8; ++j) {
        error[j] = 0;
        e.carries[j] = 0;
      }
      continue;
    }
    const int16_t* slot = slotOf(x);
    for (int j = 0; j < inks; ++j) {
      const int v = slot[j];
      if (v <= 0) {
        error[j] = 0;
        e.carries[j] = 0;
        continue;
      }
      int r = e.noise[e.noisePos];
      e.noisePos = e.noisePos == 4198 ? 0 : e.noisePos + 1;
      r = scaledNoise(r, v, fourInks);
      int t = error[j] + e.carries[j] + v;
      int code = 0;
      if (t > r + 2032) {
        code = 3;
        totals[j] += e.dropletLarge;
        t -= 4080;
      } else if (t > r + 1024) {
        code = 2;
        totals[j] += e.dropletMedium;
        t -= 2048;
      } else if (t > r + 512) {
        code = 1;
        totals[j] += e.dropletSmall;
        t -= 1024;
      }
      e.dotPlanes[(x / 4) * 8 + j] |= static_cast<uint8_t>(code << (6 - 2 * (x % 4)));
      const Shares s = sharesFor(v);
      const int below = t * s.b / 16;
      const int ahead = t * s.a / 16;
      error[j] = static_cast<int16_t>(pending[j] + below);
      pending[j] = ahead;
      e.carries[j] = t - below - ahead;
    }
  }
}

}  // namespace

void referenceHalftone(MachineState* state, int line, const rx3::ConvertedPixel* pixels, int count, bool fourInks,
                       uint64_t totals[8]) {
  EngineState& e = state->engine;
  const int p = line % 2;
  e.lineParity = p;
  const rx3::SeparationParams params = rx3::separationParams(e);

  for (int x = 0; x < count; ++x) {
    const rx3::ConvertedPixel& px = pixels[x];
    if (px.drawn == 0) continue;
    int16_t* slot = &e.separation[(x * 2 + p) * 8];
    if (px.kind == 4) {
      if (fourInks) {
        std::memset(slot, 0, 16);
        rx3::separateFour(params, px.values, slot);
      } else {
        rx3::separateEight(params, px.values, slot);
      }
    } else if (px.kind == 1) {
      std::memset(slot, 0, 16);
    }
  }

  const auto slotOf = [&](int x) { return &e.separation[(x * 2 + p) * 8]; };
  const auto kindOf = [&](int x) {
    const rx3::ConvertedPixel& px = pixels[x];
    if (px.kind == 0 || px.drawn == 0) {
      std::memset(slotOf(x), 0, 16);
      return 0;
    }
    return px.kind == 1 ? 1 : 2;
  };
  diffuse(e, p, count, fourInks, kindOf, slotOf, totals);
}

void referenceDiffuse(MachineState* state, int line, const int16_t* inks, const uint8_t* kinds, int count,
                      bool fourInks, uint64_t totals[8]) {
  EngineState& e = state->engine;
  e.lineParity = line % 2;
  diffuse(
      e, line % 2, count, fourInks, [&](int x) { return static_cast<int>(kinds[x]); },
      [&](int x) { return inks + x * 8; }, totals);
}

}  // namespace raster_test
