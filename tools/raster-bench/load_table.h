// The pipeline against one thread under competing work, side by side in
// one run (see load_table.cpp).
#pragma once

#include <string>

namespace raster_bench {

// Runs exe's page-loop runs in child processes under each load, rounds
// times, and prints the table; before, when not empty, is another build's
// raster-bench run beside them. 1 when a run failed.
// Puts a process started at a real-time or raised priority back to the
// normal one (saying so on stderr); false when that failed.
bool runAtNormalPriority();

int runLoadTable(const std::string& exe, const std::string& before, int rounds, int pageInches);

}  // namespace raster_bench
