// The plug-in's default colour conversion, handed to the colour library by
// the colour-management set-up: RGB on the 0..4080 scale to cyan, magenta,
// yellow and black. The grey part of the three primaries goes to black, and
// beyond half of full black the chromatic part is strengthened by a factor
// that grows from 1 to about 5, so deep shadows keep their colour.
#include <algorithm>
#include <cstdint>

#include "driver/machines/exports.h"

namespace {

constexpr int32_t kFull = 4080;
constexpr float kInverseHalfBlack = 0.00048828125f;  // 1 / 2048

}  // namespace

extern "C" int RgbToCmykFunc16(int32_t* values) {
  int32_t cyan = kFull - values[0];
  int32_t magenta = kFull - values[1];
  int32_t yellow = kFull - values[2];
  const int32_t grey = std::min({cyan, magenta, yellow});
  cyan -= grey;
  magenta -= grey;
  yellow -= grey;
  const int32_t black = values[3] + grey;
  const float blackShare = static_cast<float>(black) * kInverseHalfBlack;
  if (blackShare > 1.0f) {
    // Truncated toward zero and deliberately not clamped: the colour
    // library's table is built from exactly these values.
    const float factor = (blackShare - 1.0f) * 4.0f + 1.0f;
    cyan = static_cast<int32_t>(static_cast<float>(cyan) * factor);
    magenta = static_cast<int32_t>(static_cast<float>(magenta) * factor);
    yellow = static_cast<int32_t>(static_cast<float>(yellow) * factor);
  }
  values[0] = cyan;
  values[1] = magenta;
  values[2] = yellow;
  values[3] = black;
  return 1;
}
