// Ink separation of one pixel. Integer arithmetic throughout, every
// division truncating toward zero and evaluated in the order written: the
// results must match dot for dot what earlier prints of the same job gave.
//
// Guards of our own, which change nothing for values on the 0..4080 scale
// with the document's densities: device values are taken within 0..4080,
// the limit within 0..65535 (so no product can overflow 32 bits), and a
// density outside 1..99, or a light-black density equal to the
// light-light-black one, falls back to the document default instead of
// dividing by zero.
#include "driver/raster/separation.h"

#include <algorithm>

namespace rx3 {
namespace {

constexpr int32_t kFull = 4080;
constexpr int32_t kMaxLimit = 65535;

constexpr int32_t kDefaultLightCyan = 30;
constexpr int32_t kDefaultLightMagenta = 30;
constexpr int32_t kDefaultLightLightBlack = 17;
constexpr int32_t kDefaultLightBlack = 50;

int32_t densityOr(int32_t density, int32_t fallback) {
  return density >= 1 && density <= 99 ? density : fallback;
}

int32_t onScale(int16_t value) {
  return std::clamp<int32_t>(value, 0, kFull);
}

// One chromatic ink and its light ink, sharing the headroom E of the pixel
// in proportion to the ink's part of T.
void splitLight(int32_t value, int32_t density, int32_t headroom, int32_t total, int16_t* dark, int16_t* light) {
  int32_t c = density * (value * headroom / total) / (100 - density);
  if (c > value) c = value;
  const int32_t l = c * 100 / density;
  if (l <= kFull) {
    *dark = static_cast<int16_t>(value - c);
    *light = static_cast<int16_t>(l);
  } else {
    *dark = static_cast<int16_t>(value - density * kFull / 100);
    *light = static_cast<int16_t>(kFull);
  }
}

// Black into black, light black (dK) and light-light black (dL).
void splitBlack(int32_t k, int32_t dK, int32_t dL, int32_t headroom, int32_t total, int16_t* inks) {
  int32_t g = k;
  int32_t a = k * 100 / dL;
  int32_t b = 0;
  if (a > kFull || k + k * headroom / total < a) {
    const int32_t e = k * headroom / total;
    b = ((100 - dL) * k - dL * e) / (dK - dL);
    if (b > kFull || (a = (e * dK - (100 - dK) * k) / (dK - dL)) < 0) {
      const int32_t x = e * dK / (100 - dK);
      const int32_t d = x * 100 / dK;
      if (d <= kFull) {
        b = d;
        g = x;
      } else {
        b = kFull;
        g = dK * kFull / 100;
      }
      a = 0;
    } else if (a > kFull) {
      a = kFull;
      b = (k - dL * kFull / 100) * 100 / dK;
    }
  }
  inks[kBlack] = static_cast<int16_t>(k - g);
  inks[kLightBlack] = static_cast<int16_t>(b);
  inks[kLightLightBlack] = static_cast<int16_t>(a);
}

// Grey replacement cannot cut an overprint without a common part (red is
// magenta and yellow alone): what is still over the limit after it comes
// off cyan, magenta and yellow in proportion, black kept. Only a black over
// the limit on its own stays over it.
void withinLimit(int32_t limit, int32_t* c, int32_t* m, int32_t* y, int32_t k) {
  const int32_t chromatic = *c + *m + *y;
  if (chromatic + k <= limit || chromatic == 0) return;
  const int32_t room = std::max(limit - k, 0);
  *c = *c * room / chromatic;
  *m = *m * room / chromatic;
  *y = *y * room / chromatic;
}

}  // namespace

SeparationParams separationParams(const EngineState& engine) {
  SeparationParams p;
  const int64_t limit = static_cast<int64_t>(engine.inkLimitTotal) * 16;
  p.limit = static_cast<int32_t>(std::clamp<int64_t>(limit, 0, kMaxLimit));
  p.lightCyanDensity = densityOr(engine.lightCyanDensity, kDefaultLightCyan);
  p.lightMagentaDensity = densityOr(engine.lightMagentaDensity, kDefaultLightMagenta);
  p.lightBlackDensity = densityOr(engine.lightBlackDensity, kDefaultLightBlack);
  p.lightLightBlackDensity = densityOr(engine.lightLightBlackDensity, kDefaultLightLightBlack);
  if (p.lightBlackDensity == p.lightLightBlackDensity) {
    p.lightBlackDensity = kDefaultLightBlack;
    p.lightLightBlackDensity = kDefaultLightLightBlack;
  }
  return p;
}

void separateEight(const SeparationParams& params, const int16_t device[4], int16_t inks[8]) {
  const int32_t c = onScale(device[0]);
  const int32_t m = onScale(device[1]);
  const int32_t y = onScale(device[2]);
  const int32_t k = onScale(device[3]);
  inks[kCyan] = static_cast<int16_t>(c);
  inks[kMagenta] = static_cast<int16_t>(m);
  inks[kYellow] = static_cast<int16_t>(y);
  inks[kBlack] = static_cast<int16_t>(k);
  inks[kLightCyan] = inks[kLightMagenta] = inks[kLightBlack] = inks[kLightLightBlack] = 0;

  const int32_t sum = c + m + y + k;
  const int32_t limit = params.limit;
  const int32_t total = c + m + k;
  if (sum < limit && total > 0) {
    const int32_t headroom = limit - sum;
    splitLight(c, params.lightCyanDensity, headroom, total, &inks[kCyan], &inks[kLightCyan]);
    splitLight(m, params.lightMagentaDensity, headroom, total, &inks[kMagenta], &inks[kLightMagenta]);
    splitBlack(k, params.lightBlackDensity, params.lightLightBlackDensity, headroom, total, inks);
  } else if (sum > limit) {
    const int32_t g = std::min({(sum - limit) / 2, c, m, y, kFull - k});
    int32_t outC = c - g, outM = m - g, outY = y - g;
    withinLimit(limit, &outC, &outM, &outY, k + g);
    inks[kCyan] = static_cast<int16_t>(outC);
    inks[kMagenta] = static_cast<int16_t>(outM);
    inks[kYellow] = static_cast<int16_t>(outY);
    inks[kBlack] = static_cast<int16_t>(k + g);
  }
}

void separateFour(const SeparationParams& params, const int16_t device[4], int16_t inks[4]) {
  const int32_t c = onScale(device[0]);
  const int32_t m = onScale(device[1]);
  const int32_t y = onScale(device[2]);
  const int32_t k = onScale(device[3]);
  const int32_t sum = c + m + y + k;
  int32_t g = 0;
  if (sum < params.limit) {
    g = std::min({(params.limit - sum) / 2, k, kFull - std::max({c, m, y})});
    g = -g;  // black gives, the primaries take
  } else if (sum > params.limit) {
    g = std::min({(sum - params.limit) / 2, c, m, y, kFull - k});
  }
  int32_t outC = c - g, outM = m - g, outY = y - g;
  if (sum > params.limit) withinLimit(params.limit, &outC, &outM, &outY, k + g);
  inks[kCyan] = static_cast<int16_t>(outC);
  inks[kMagenta] = static_cast<int16_t>(outM);
  inks[kYellow] = static_cast<int16_t>(outY);
  inks[kBlack] = static_cast<int16_t>(k + g);
}

}  // namespace rx3
