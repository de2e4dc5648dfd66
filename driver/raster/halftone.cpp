// Serpentine three-level error diffusion with threshold noise.
//
// Speed without changing a dot: the per-value choices (noise scaling and
// the two diffusion shares) come from one table indexed by the ink value,
// the noise scaled for each value class is tabled once per line, the dot
// level is the count of thresholds passed (the three thresholds are
// nested, so that count is the dot code itself), a pixel's eight dot codes
// go into its group's eight plane bytes as one little-endian word, and the
// droplet volumes are counted from the finished rows, a byte at a time. The plain
// form of the algorithm lives beside the tests, which compare both byte
// for byte.
#include "driver/raster/halftone.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>

#include "driver/raster/halftone_kernel.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/separation.h"

namespace rx3 {
namespace {

constexpr int32_t kFull = 4080;
constexpr int kInks = 8;  // the error line and the slots are 8 wide in both sets
constexpr int32_t kNoiseRange = 64;
static_assert(std::endian::native == std::endian::little, "plane bytes are filled as one little-endian word");

// What an ink value decides: which scaling its noise takes (0: below 64,
// 1: 64..127, 2: 128..191, 3: 192 and above) and its diffusion shares.
struct ValueClass {
  uint8_t noise;
  uint8_t below;
  uint8_t ahead;
};

constexpr std::array<ValueClass, kFull + 1> makeValueClasses() {
  std::array<ValueClass, kFull + 1> table{};
  for (int32_t v = 1; v <= kFull; ++v) {
    ValueClass& c = table[v];
    c.noise = static_cast<uint8_t>(v < 64 ? 0 : v < 128 ? 1 : v < 192 ? 2 : 3);
    for (const DiffusionShare& s : kDiffusionShares) {
      if (v <= s.upTo) {
        c.below = static_cast<uint8_t>(s.below);
        c.ahead = static_cast<uint8_t>(s.belowAhead);
        break;
      }
    }
  }
  return table;
}
constexpr std::array<ValueClass, kFull + 1> kValueClasses = makeValueClasses();

// Noise scaled for each value class: eight inks leave the lighter classes
// unscaled; four inks halve the noise of the lightest class.
struct ScaledNoise {
  int16_t byClass[4][2 * kNoiseRange + 1];
};

ScaledNoise makeScaledNoise(bool fourInks) {
  ScaledNoise s;
  for (int r = -kNoiseRange; r <= kNoiseRange; ++r) {
    s.byClass[0][r + kNoiseRange] = static_cast<int16_t>(fourInks ? r / 2 : r);
    s.byClass[1][r + kNoiseRange] = static_cast<int16_t>(r);
    s.byClass[2][r + kNoiseRange] = static_cast<int16_t>(2 * r);
    s.byClass[3][r + kNoiseRange] = static_cast<int16_t>(3 * r);
  }
  return s;
}

std::atomic<bool> g_vectorAllowed{true};

struct LineWork {
  int32_t carry[kInks];
  int32_t pending[kInks];
};

// Dot counts of one byte of a plane row (four dots), packed as small,
// medium and large counts in bits 0..7, 8..15 and 16..23.
constexpr std::array<uint32_t, 256> makeByteCounts() {
  std::array<uint32_t, 256> table{};
  for (int b = 0; b < 256; ++b)
    for (int shift = 0; shift < 8; shift += 2) {
      const int code = (b >> shift) & 3;
      if (code) table[b] += 1u << (8 * (code - 1));
    }
  return table;
}
constexpr std::array<uint32_t, 256> kByteCounts = makeByteCounts();

// The ink laid down by one plane's row, from its dots.
uint64_t planeInk(const uint8_t* planes, int plane, int rowBytes, const EngineState& e) {
  uint64_t small = 0, medium = 0, large = 0;
  for (int k = 0; k < rowBytes; ++k) {
    const uint32_t c = kByteCounts[planes[static_cast<size_t>(k) * kInks + plane]];
    small += c & 0xFF;
    medium += (c >> 8) & 0xFF;
    large += c >> 16;
  }
  return small * static_cast<uint32_t>(e.dropletSmall) + medium * static_cast<uint32_t>(e.dropletMedium) +
         large * static_cast<uint32_t>(e.dropletLarge);
}

// Separation pass: slot `parity` of every drawn pixel receives its inks;
// a run of equal device values is separated once.
template <int Inks>
void separateLine(MachineState* state, int parity, const ConvertedPixel* pixels, int count) {
  const SeparationParams params = separationParams(state->engine);
  int16_t* slots = state->engine.separation;
  bool cached = false;
  int16_t cacheKey[4] = {};
  int16_t cacheInks[kInks] = {};
  for (int x = 0; x < count; ++x) {
    const ConvertedPixel& px = pixels[x];
    if (px.drawn == 0) continue;
    int16_t* slot = slots + (static_cast<size_t>(x) * 2 + parity) * kInks;
    if (px.kind == kPixelInk) {
      if (!cached || std::memcmp(cacheKey, px.values, sizeof cacheKey) != 0) {
        std::memcpy(cacheKey, px.values, sizeof cacheKey);
        std::memset(cacheInks, 0, sizeof cacheInks);
        if (Inks == 8)
          separateEight(params, px.values, cacheInks);
        else
          separateFour(params, px.values, cacheInks);
        cached = true;
      }
      std::memcpy(slot, cacheInks, sizeof cacheInks);
    } else if (px.kind == kPixelWhite) {
      std::memset(slot, 0, sizeof(int16_t) * kInks);
    }
  }
}

// One pixel's inks; returns the dot codes of the pixel for the 8 planes,
// each already at its bit pair, one byte per plane.
template <int Inks>
inline uint64_t diffusePixel(const int16_t* slot, int16_t* error, int shift, const int8_t* noise, int32_t& noisePos,
                             const ScaledNoise& scaled, LineWork& w) {
  uint64_t dots = 0;
  for (int j = 0; j < Inks; ++j) {
    const int32_t v = slot[j];
    if (v <= 0) {
      error[j] = 0;
      w.carry[j] = 0;
      continue;
    }
    const int32_t raw = noise[noisePos];
    if (++noisePos == kNoiseTableSize) noisePos = 0;
    const ValueClass c = kValueClasses[std::min(v, kFull)];
    const int32_t r = scaled.byClass[c.noise][raw + kNoiseRange];
    int32_t t = error[j] + w.carry[j] + v;
    const int32_t small = t > r + 512;
    const int32_t medium = t > r + 1024;
    const int32_t large = t > r + 2032;
    // Large takes 4080 = 1024 + 1024 + 2032, medium 2048, small 1024.
    t -= (small + medium) * 1024 + large * 2032;
    dots |= static_cast<uint64_t>(small + medium + large) << (j * 8 + shift);
    const int32_t below = t * c.below / 16;
    const int32_t ahead = t * c.ahead / 16;
    error[j] = static_cast<int16_t>(w.pending[j] + below);
    w.pending[j] = ahead;
    w.carry[j] = t - below - ahead;
  }
  return dots;
}

template <int Inks>
void halftoneLine(MachineState* state, int line, const ConvertedPixel* pixels, int count, uint64_t* inkTotals,
                  const SeparatedLine* separated, uint8_t* planes) {
  EngineState& e = state->engine;
  for (int j = 0; j < Inks; ++j) inkTotals[j] = 0;
  if (!e.separation || !e.errorLine || !planes || !e.noise) return;
  count = std::min(count, static_cast<int>(e.pageWidth));
  const int parity = line & 1;
  e.lineParity = parity;
  if (count <= 0) return;

  int32_t noisePos = e.noisePos;
  if (noisePos < 0 || noisePos >= kNoiseTableSize) noisePos = 0;

  if (separated ? vectorHalftoneAvailable() : halftoneTakesSeparatedInks()) {
    DiffusionLine vector = {};
    vector.pixels = pixels;
    vector.count = count;
    vector.parity = parity;
    vector.fourInks = Inks == 4;
    vector.separation = separationParams(e);
    vector.slots = e.separation;
    vector.inks = separated ? separated->inks : nullptr;
    vector.kinds = separated ? separated->kinds : nullptr;
    vector.errorLine = e.errorLine;
    vector.dotPlanes = planes;
    vector.noise = e.noise;
    vector.noisePos = noisePos;
    vector.droplets[0] = e.dropletSmall;
    vector.droplets[1] = e.dropletMedium;
    vector.droplets[2] = e.dropletLarge;
    diffuseLineVector(&vector);
    e.noisePos = vector.noisePos;
    std::memcpy(e.carries, vector.carries, sizeof e.carries);
    for (int j = 0; j < Inks; ++j) inkTotals[j] = vector.inkTotals[j];
    return;
  }

  separateLine<Inks>(state, parity, pixels, count);
  constexpr int16_t kResetBase = Inks == 8 ? 128 : 64;
  constexpr int32_t kResetCarry = Inks == 8 ? 300 : 240;
  const int rowBytes = rowBytesForWidth(count);
  const ScaledNoise scaled = makeScaledNoise(Inks == 4);
  LineWork w = {};

  const int step = parity == 0 ? 1 : -1;
  int x = parity == 0 ? 0 : count - 1;
  for (int i = 0; i < count; ++i, x += step) {
    const ConvertedPixel& px = pixels[x];
    int16_t* slot = e.separation + (static_cast<size_t>(x) * 2 + parity) * kInks;
    int16_t* error = e.errorLine + (static_cast<size_t>(x) + 1) * kInks;
    if (px.kind == kPixelNothing || px.drawn == 0) {
      std::memset(slot, 0, sizeof(int16_t) * kInks);
      const int16_t reset = static_cast<int16_t>((x % 8) * 16 + kResetBase);
      for (int j = 0; j < Inks; ++j) {
        error[j] = reset;
        w.carry[j] = kResetCarry;
      }
    } else if (px.kind == kPixelWhite) {
      std::memset(error, 0, sizeof(int16_t) * kInks);
      for (int j = 0; j < kInks; ++j) w.carry[j] = 0;
    } else {
      // The eight plane bytes of a group of four pixels lie side by side.
      uint8_t* group = planes + static_cast<size_t>(x / 4) * kInks;
      const uint64_t dots = diffusePixel<Inks>(slot, error, 6 - 2 * (x % 4), e.noise, noisePos, scaled, w);
      if (dots) {
        uint64_t word;
        std::memcpy(&word, group, sizeof word);
        word |= dots;
        std::memcpy(group, &word, sizeof word);
      }
    }
  }

  e.noisePos = noisePos;
  for (int j = 0; j < kInks; ++j) e.carries[j] = w.carry[j];
  for (int j = 0; j < Inks; ++j) inkTotals[j] = planeInk(planes, j, rowBytes, e);
}

}  // namespace

void allowVectorHalftone(bool allowed) {
  g_vectorAllowed = allowed;
}

bool halftoneTakesSeparatedInks() {
  return g_vectorAllowed && vectorHalftoneAvailable();
}

void halftoneLineInto(MachineState* state, int line, const ConvertedPixel* pixels, const SeparatedLine* separated,
                      int count, uint8_t* planes, uint64_t inkTotals[8]) {
  for (int j = 0; j < 8; ++j) inkTotals[j] = 0;
  if (state->inkSet == 2)
    halftoneLine<4>(state, line, pixels, count, inkTotals, separated, planes);
  else
    halftoneLine<8>(state, line, pixels, count, inkTotals, separated, planes);
}

LineSeparation lineSeparationOf(const MachineState* state) {
  return LineSeparation{separationParams(state->engine), state->inkSet == 2, state->engine.pageWidth};
}

void separateLineInks(const LineSeparation& separation, const ConvertedPixel* pixels, int count, int16_t* inks,
                      uint8_t* kinds) {
  separateForDiffusion(separation.params, pixels, std::min(count, separation.pageWidth), separation.fourInks, inks,
                       kinds);
}

void halftoneLineEight(MachineState* state, int line, const ConvertedPixel* pixels, int count, uint64_t inkTotals[8]) {
  halftoneLine<8>(state, line, pixels, count, inkTotals, nullptr, state->engine.dotPlanes);
}

void halftoneLineFour(MachineState* state, int line, const ConvertedPixel* pixels, int count, uint64_t inkTotals[4]) {
  halftoneLine<4>(state, line, pixels, count, inkTotals, nullptr, state->engine.dotPlanes);
}

}  // namespace rx3
