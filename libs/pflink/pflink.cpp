// PFLink: applies a colour transform made by the Device library.
//
// The grid is interpolated over the simplex (tetrahedron for RGB, its
// four-dimensional counterpart for CMYK) that holds the input: the channels
// are ordered by their position inside the grid cell and the cell's corners
// are walked in that order. Everything is integer arithmetic with one final
// rounded division, so every target gives the same values, and an input on
// a grid node gives that node's values exactly.
#include "PFLink.h"
#include "libs/device/color_transform.h"

namespace {

struct Axis {
  int channel;
  int cell;      // 0..15
  int fraction;  // 0..255 within the cell
};

// An input 0..255 on a grid of 17 nodes: node i stands for i * 255 / 16.
Axis locate(int channel, int32_t value) {
  int32_t v = value < 0 ? 0 : value > 255 ? 255 : value;
  int32_t position = v * (device::kGridPoints - 1);  // 0..4080, in units of 1/255 node
  Axis axis{channel, position / 255, position % 255};
  if (axis.cell == device::kGridPoints - 1) {
    axis.cell = device::kGridPoints - 2;
    axis.fraction = 255;
  }
  return axis;
}

}  // namespace

JPFLINK_API int jPFLinkCOLtoCMYK16(jCMS transform, int32_t* values) {
  if (!transform || !values || transform->magic != device::kTransformMagic || !transform->grid) return 0;
  const int inputs = transform->inputs;
  if (inputs != 3 && inputs != 4) return 0;
  Axis axes[4];
  for (int c = 0; c < inputs; ++c) axes[c] = locate(c, values[c]);
  // Largest fraction first; ties keep channel order so the walk is fixed.
  for (int i = 1; i < inputs; ++i)
    for (int j = i; j > 0 && axes[j].fraction > axes[j - 1].fraction; --j) {
      Axis t = axes[j];
      axes[j] = axes[j - 1];
      axes[j - 1] = t;
    }
  int stride[4];
  stride[inputs - 1] = 1;
  for (int c = inputs - 2; c >= 0; --c) stride[c] = stride[c + 1] * device::kGridPoints;
  int corner = 0;
  for (int i = 0; i < inputs; ++i) corner += axes[i].cell * stride[axes[i].channel];

  int64_t sum[device::kGridOutputs] = {};
  int previous = 255;
  for (int step = 0; step <= inputs; ++step) {
    int next = step < inputs ? axes[step].fraction : 0;
    int weight = previous - next;
    const int32_t* node = transform->grid + static_cast<long>(corner) * device::kGridOutputs;
    for (int k = 0; k < device::kGridOutputs; ++k) sum[k] += static_cast<int64_t>(weight) * node[k];
    if (step < inputs) corner += stride[axes[step].channel];
    previous = next;
  }
  for (int k = 0; k < device::kGridOutputs; ++k) values[k] = static_cast<int32_t>((sum[k] + 127) / 255);
  return 1;
}
