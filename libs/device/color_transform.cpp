// Colour management: jColorCmsSetupEx fills a regular grid (17 nodes per
// channel: 4913 RGB nodes, or 83521 CMYK nodes for a profile whose colour
// mode is 254), so that a band converts by interpolating the grid instead of
// converting every pixel. The grid comes from the ICC transform of the kept
// profile pair (icc_transform.cpp) or, without a pair, from the driver's
// conversion.
#include <cstdlib>
#include <cstring>

#include "libs/device/color_transform.h"
#include "libs/device/icc_transform.h"

namespace device {
namespace {

int32_t clampScale(int32_t v) {
  return v < 0 ? 0 : v > kFullScale ? kFullScale : v;
}

int nodeCount(int inputs) {
  int n = 1;
  for (int i = 0; i < inputs; ++i) n *= kGridPoints;
  return n;
}

// The driver's conversion takes red, green, blue on the 0..4080 scale and an
// initial black; a CMYK node enters as its complement with its black.
void nodeInput(int inputs, const int* node, int32_t values[4]) {
  constexpr int32_t kStep = kFullScale / (kGridPoints - 1);  // 255
  if (inputs == 3) {
    for (int c = 0; c < 3; ++c) values[c] = node[c] * kStep;
    values[3] = 0;
  } else {
    for (int c = 0; c < 3; ++c) values[c] = kFullScale - node[c] * kStep;
    values[3] = node[3] * kStep;
  }
}

}  // namespace
}  // namespace device

JDEVICE_API jCMS jColorCmsSetupEx(const ColorProfile* profile, jColorConvertFunc convert) {
  if (!profile || !convert) return nullptr;
  int inputs = profile->colorMode == device::kCmykColorMode ? 4 : 3;
  int nodes = device::nodeCount(inputs);
  auto* transform = static_cast<jColorTransform_*>(std::calloc(1, sizeof(jColorTransform_)));
  if (!transform) return nullptr;
  const std::size_t values = static_cast<std::size_t>(nodes) * device::kGridOutputs;
  transform->grid = static_cast<int32_t*>(std::calloc(values, sizeof(int32_t)));
  transform->grid16 = static_cast<int16_t*>(std::calloc(values, sizeof(int16_t)));
  if (!transform->grid || !transform->grid16) {
    std::free(transform->grid);
    std::free(transform->grid16);
    std::free(transform);
    return nullptr;
  }
  transform->magic = device::kTransformMagic;
  transform->inputs = inputs;
  const int fromProfiles = device::fillGridFromProfiles(inputs, profile->inkLimit, transform->grid);
  if (fromProfiles != 0) {
    if (fromProfiles < 0) {
      jColorCmsRelease(transform);
      return nullptr;
    }
    for (std::size_t i = 0; i < values; ++i) transform->grid16[i] = static_cast<int16_t>(transform->grid[i]);
    return transform;
  }
  int node[4] = {};
  for (int n = 0; n < nodes; ++n) {
    int rest = n;
    for (int c = inputs - 1; c >= 0; --c) {
      node[c] = rest % device::kGridPoints;
      rest /= device::kGridPoints;
    }
    int32_t values[4];
    device::nodeInput(inputs, node, values);
    convert(values);
    const std::size_t at = static_cast<std::size_t>(n) * device::kGridOutputs;
    for (int k = 0; k < device::kGridOutputs; ++k) {
      transform->grid[at + k] = device::clampScale(values[k]);
      transform->grid16[at + k] = static_cast<int16_t>(transform->grid[at + k]);
    }
  }
  return transform;
}

JDEVICE_API int jColorCmsRelease(jCMS transform) {
  if (!transform || transform->magic != device::kTransformMagic) return 0;
  transform->magic = 0;
  std::free(transform->grid);
  std::free(transform->grid16);
  std::free(transform);
  return 1;
}
