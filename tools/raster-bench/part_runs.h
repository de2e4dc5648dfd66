// The runs over parts of the raster path (the whole-page runs are in
// raster_bench.cpp, with the registration of every run).
#pragma once

#include "mini_benchmark.h"

namespace raster_bench {

void Halftone(benchmark::State& state);
void Line(benchmark::State& state);
void Separate(benchmark::State& state);
void Convert(benchmark::State& state);

}  // namespace raster_bench
