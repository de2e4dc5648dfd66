// The host's progress hooks as the printing tests want them: they count the
// pages begun and the yields, and the yield numbered cancelAtYield (from 1;
// 0 for none) asks the printer to stop.
#pragma once

#include "PrintDriver.h"

namespace testing_support {

struct ProgressCount {
  int begins = 0;
  int yields = 0;
  int cancelAtYield = 0;
};

// One count for the test program; reset it before each print.
inline ProgressCount g_progress;

inline const jProgressHooks kCountingHooks{
    [](void* owner) {
      ++g_progress.begins;
      return owner;
    },
    [](void*) {},
    [](void*) { return 1; },
    [](void*, int, const char*) { return 1; },
    [](void*) { return ++g_progress.yields == g_progress.cancelAtYield ? 0 : 1; },
};

}  // namespace testing_support
