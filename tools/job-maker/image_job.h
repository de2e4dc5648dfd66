// An image turned into a job: the picture placed over the whole page, a
// preview of it, and optional tiling; and the safe drop into a hot folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "libs/draw/job_file.h"

namespace jobmaker {

struct Options {
  std::string machine;
  float widthMm = 0;
  float heightMm = 0;   // 0: from the image's aspect ratio
  std::string title;    // empty: the image's file name
  int tileColumns = 0;  // 0: not tiled
  int tileRows = 0;
  float tileOverlapMm = 0;
  std::string device;  // preferred virtual device, may be empty
};

// The job for an RGB image (rows top first), which the job takes over: a
// large photograph is held once; false with a message when an option or the
// image does not fit a job.
bool makeJob(const Options& options, int width, int height, std::vector<uint8_t>&& rgb, jobfile::Job* job,
             std::string* error);
// Reads a PNG, JPEG or BMP file into RGB; false with a message.
bool decodeImage(const char* path, int* width, int* height, std::vector<uint8_t>* pixels, std::string* error);
// Whether name names a file in a folder (no folder part, no drive, not "."
// or ".."). Names are CP932: the second byte of 表 or ソ is no separator.
bool isFileName(const std::string& name);
// Writes the job under a name the folder scan does not look at (inside a
// sub-folder of the hot folder), then moves it into the hot folder under a
// free name; the path written, or empty with a message.
std::string dropJob(const jobfile::Job& job, const std::string& hotFolder, const std::string& name, std::string* error);

}  // namespace jobmaker
