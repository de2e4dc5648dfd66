// PFLink: applies a colour transform made by the Device library.
//
// The grid is interpolated over the simplex (tetrahedron for RGB, its
// four-dimensional counterpart for CMYK) that holds the input: the channels
// are ordered by their position inside the grid cell and the cell's corners
// are walked in that order. Everything is integer arithmetic with one final
// rounded division, so every target gives the same values, and an input on
// a grid node gives that node's values exactly.
//
// It runs once for every pixel that differs from the one before it, so it
// is kept lean: the channel count is a template argument, the order is
// sorted as small indices, and the sums stay in 32 bits (grid values are
// 0..4080 and the weights sum to 255, so no sum passes 1,040,400).
#include "PFLink.h"
#include "libs/device/color_transform.h"

namespace {

constexpr int kLastCell = device::kGridPoints - 2;

template <int N>
void interpolate(const int32_t* grid, int32_t* values) {
  static_assert(N == 3 || N == 4, "RGB or CMYK");
  constexpr int kStride[4] = {N == 3 ? 289 : 4913, N == 3 ? 17 : 289, N == 3 ? 1 : 17, 1};
  int fraction[N];
  int order[N];
  int corner = 0;
  for (int c = 0; c < N; ++c) {
    const int32_t v = values[c] < 0 ? 0 : values[c] > 255 ? 255 : values[c];
    const int position = v * (device::kGridPoints - 1);  // 0..4080, in units of 1/255 node
    int cell = position / 255;
    fraction[c] = position % 255;
    if (cell > kLastCell) {
      cell = kLastCell;
      fraction[c] = 255;
    }
    corner += cell * kStride[c];
    // Largest fraction first; ties keep channel order so the walk is fixed.
    int j = c;
    for (; j > 0 && fraction[c] > fraction[order[j - 1]]; --j) order[j] = order[j - 1];
    order[j] = c;
  }
  int32_t sum[device::kGridOutputs] = {127, 127, 127, 127};  // the rounding of the division
  int previous = 255;
  for (int step = 0; step <= N; ++step) {
    const int next = step < N ? fraction[order[step]] : 0;
    const int32_t weight = previous - next;
    const int32_t* node = grid + corner * device::kGridOutputs;
    for (int k = 0; k < device::kGridOutputs; ++k) sum[k] += weight * node[k];
    if (step < N) corner += kStride[order[step]];
    previous = next;
  }
  for (int k = 0; k < device::kGridOutputs; ++k) values[k] = sum[k] / 255;
}

}  // namespace

JPFLINK_API int jPFLinkCOLtoCMYK16(jCMS transform, int32_t* values) {
  if (!transform || !values || transform->magic != device::kTransformMagic || !transform->grid) return 0;
  if (transform->inputs == 3)
    interpolate<3>(transform->grid, values);
  else if (transform->inputs == 4)
    interpolate<4>(transform->grid, values);
  else
    return 0;
  return 1;
}
