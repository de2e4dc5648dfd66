// The frames of a printer stream told as text, one line each, as the
// command-line tool lists them: offset, kind, and the values that matter.
#pragma once

#include <string>

#include "libs/escdecode/escp_decoder.h"

namespace escp {

std::string describe(const Frame& frame);

}  // namespace escp
