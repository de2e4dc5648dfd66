// The row packer in its plain form (tests only).
#pragma once

#include <cstdint>

namespace raster_test {

int referencePackRow(const uint8_t* row, int stride, int length, uint8_t* out);

}  // namespace raster_test
