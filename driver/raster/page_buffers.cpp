// Page buffers of the raster engine.
//
// The halftone noise comes from a generator of our own rather than the C
// library's rand, whose sequence differs between runtimes: a 32-bit linear
// congruential generator (multiplier 1664525, increment 1013904223) whose
// bits 16..30 give each draw, 0..32767 like rand. A draw mod 129 minus 64
// is one entry. The seed is the calendar clock in seconds unless a fixed
// seed was asked for, by setNoiseSeed or by the environment variable
// RX3_NOISE_SEED (decimal or 0x-hex), so that whole pages can be compared
// byte for byte on every target.
//
// The widest page taken is kMaxPageWidth dots: a packed plane row must fit
// the 16-bit length of its raster command even in the worst case of
// packing, and every buffer size then stays far from overflow on 32 bits.
#include "driver/raster/page_buffers.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Base.h"
#include "driver/raster/packbits.h"
#include "platform/clock.h"

namespace rx3 {
namespace {

constexpr int kInks = 8;
constexpr int kSlots = 2;
constexpr int32_t kMaxRowBytes = 49148;  // maxPackedLength(49148) = 65533
constexpr int32_t kMaxPageWidth = kMaxRowBytes * 4;
static_assert(maxPackedLength(kMaxRowBytes) <= 0xFFFF, "a packed row must fit its 16-bit length");
static_assert(rowBytesForWidth(kMaxPageWidth) == kMaxRowBytes, "widest row");

constexpr int32_t kStartCarry = 300;

struct Droplets {
  int32_t xResolution;  // 0 = any other resolution
  int32_t small, medium, large;
};
constexpr Droplets kDroplets[] = {{360, 13, 26, 39}, {2880, 4, 4, 4}, {0, 4, 9, 22}};

std::atomic<bool> g_seedFixed{false};
std::atomic<uint32_t> g_fixedSeed{0};
void readSeedFromEnvironment() {
  uint32_t seed = 0;
  if (parseNoiseSeed(std::getenv("RX3_NOISE_SEED"), &seed)) {
    g_fixedSeed = seed;
    g_seedFixed = true;
  }
}

// The environment is read once, before any seed set by a call, so that a
// call made later always wins.
void readEnvironmentOnce() {
  static const bool read = (readSeedFromEnvironment(), true);
  (void)read;
}

uint32_t pageSeed() {
  readEnvironmentOnce();
  if (g_seedFixed) return g_fixedSeed;
  return static_cast<uint32_t>(platform::secondsSinceEpoch());
}

template <typename T>
T* allocate(size_t bytes) {
  return static_cast<T*>(jMemAlloc(bytes));
}

template <typename T>
void release(T*& block) {
  if (block) jMemFree(block);
  block = nullptr;
}

}  // namespace

bool parseNoiseSeed(const char* text, uint32_t* seed) {
  if (!text || *text < '0' || *text > '9') return false;  // no sign, no blanks
  // Base 10 unless "0x" says otherwise: a leading zero is no octal marker.
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  if (!std::isxdigit(static_cast<unsigned char>(*digits))) return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
  if (errno != 0 || !end || *end != '\0' || value > 0xFFFFFFFFull) return false;
  *seed = static_cast<uint32_t>(value);
  return true;
}

void setNoiseSeed(uint32_t seed) {
  readEnvironmentOnce();
  g_fixedSeed = seed;
  g_seedFixed = true;
}

void seedNoiseFromClock() {
  readEnvironmentOnce();
  g_seedFixed = false;
}

void fillNoiseTable(int8_t* table, uint32_t seed) {
  uint32_t s = seed;
  for (int j = 0; j < kNoiseTableSize; ++j) {
    s = s * 1664525u + 1013904223u;
    const int32_t draw = static_cast<int32_t>((s >> 16) & 0x7FFF);
    table[j] = static_cast<int8_t>(draw % 129 - 64);
  }
}

int setupPageBuffers(MachineState* state, int width, int height) {
  if (!state) return 0;
  releasePageBuffers(state);
  if (width <= 0 || height <= 0 || width > kMaxPageWidth) return 0;
  EngineState& e = state->engine;
  e.pageWidth = width;
  e.pageHeight = height;
  e.lineParity = 0;

  const size_t w = static_cast<size_t>(width);
  const int32_t rowBytes = rowBytesForWidth(width);
  e.rowBytes = rowBytes;
  e.separation = allocate<int16_t>(w * kSlots * kInks * sizeof(int16_t));
  e.errorLine = allocate<int16_t>((w + 2) * kInks * sizeof(int16_t));
  e.dotPlanes = allocate<uint8_t>(static_cast<size_t>(rowBytes) * kInks);
  e.packBuffer = allocate<uint8_t>(static_cast<size_t>(rowBytes) * 2);
  e.noise = allocate<int8_t>(kNoiseTableSize);
  if (!e.separation || !e.errorLine || !e.dotPlanes || !e.packBuffer || !e.noise) {
    releasePageBuffers(state);
    return 0;
  }

  // Starting errors differ across each group of eight pixels, so the first
  // dots of a flat area do not all fall in the same column.
  for (size_t i = 0; i < w + 2; ++i)
    for (int j = 0; j < kInks; ++j) e.errorLine[i * kInks + j] = static_cast<int16_t>((i % 8) * 16 + 128);
  for (int j = 0; j < kInks; ++j) e.carries[j] = kStartCarry;

  fillNoiseTable(e.noise, pageSeed());
  e.noisePos = 0;
  std::memset(e.pageInk, 0, sizeof e.pageInk);

  for (const Droplets& d : kDroplets) {
    if (d.xResolution == state->xResolution || d.xResolution == 0) {
      e.dropletSmall = d.small;
      e.dropletMedium = d.medium;
      e.dropletLarge = d.large;
      break;
    }
  }
  return 1;
}

int releasePageBuffers(MachineState* state) {
  if (!state) return 1;
  EngineState& e = state->engine;
  release(e.separation);
  release(e.errorLine);
  release(e.dotPlanes);
  release(e.noise);
  release(e.packBuffer);
  return 1;
}

}  // namespace rx3
