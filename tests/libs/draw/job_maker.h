// Jobs for the tests: a small page with an image and a fill.
#pragma once

#include <string>

#include "libs/draw/job_file.h"

namespace draw_test {

// A job for machine: a page of width x height mm holding an RGB image that
// differs at every pixel over the whole page and a filled square on it.
jobfile::Job sampleJob(const std::string& machine, float widthMm = 16, float heightMm = 8,
                       const std::string& preferredDevice = "");

}  // namespace draw_test
