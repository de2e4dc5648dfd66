#include "image_job.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "libs/draw/setting_block.h"
#include "libs/draw/tile_block.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace jobmaker {
namespace {

// The sub-folder of the hot folder where a job is written before it is
// moved in: the folder scan takes files only, never sub-folders.
constexpr const char* kStagingFolder = "job-maker.tmp";
constexpr float kMaxPageMm = 100000;  // 100 m of roll

// Fits the picture into 100 x 100 on white, centred, nearest-neighbour.
std::vector<uint32_t> previewOf(int width, int height, const unsigned char* rgb) {
  const int side = jobfile::kPreviewSide;
  std::vector<uint32_t> preview(side * side, 0xFFFFFF);
  const double scale = std::min(double(side) / width, double(side) / height);
  const int w = std::max(1, int(width * scale)), h = std::max(1, int(height * scale));
  const int left = (side - w) / 2, top = (side - h) / 2;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = int(int64_t(x) * width / w), sy = int(int64_t(y) * height / h);
      const unsigned char* p = rgb + (int64_t(sy) * width + sx) * 3;
      preview[(top + y) * side + left + x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
  }
  return preview;
}

}  // namespace

bool makeJob(const Options& o, int width, int height, std::vector<uint8_t>&& rgb, jobfile::Job* job,
             std::string* error) {
  if (o.machine.empty() || o.machine.size() > jobfile::kMaxMachine) {
    *error = "the machine name must have 1 to 63 characters";
    return false;
  }
  if (!(o.widthMm > 0 && o.widthMm <= kMaxPageMm) || !(o.heightMm >= 0 && o.heightMm <= kMaxPageMm)) {
    *error = "the size must be a positive number of millimetres";
    return false;
  }
  if (width <= 0 || height <= 0 || width > jobfile::kMaxImageSide || height > jobfile::kMaxImageSide ||
      rgb.size() != std::size_t(width) * std::size_t(height) * 3) {
    *error = "the image is empty or too large";
    return false;
  }
  *job = jobfile::Job{};
  job->machine = o.machine;
  jdraw::SettingBlock block;
  if (!platform::copyString(block.device, sizeof block.device, o.device.c_str()) ||
      !jdraw::encodeSettingBlock(block, &job->settings)) {
    *error = "the device name is too long";
    return false;
  }
  const float heightMm = o.heightMm > 0 ? o.heightMm : o.widthMm * height / width;
  job->area = jobfile::Area{0, 0, o.widthMm, heightMm, 1, 1, 0};
  job->title = o.title.substr(0, jobfile::kMaxTitle);
  char info[jobfile::kMaxInfo + 1];
  std::snprintf(info, sizeof info, "%s  %d x %d px, %.1f x %.1f mm", job->title.c_str(), width, height, o.widthMm,
                heightMm);
  job->info = info;
  if (o.tileColumns > 0 || o.tileRows > 0) {
    const jdraw::TileGrid grid{std::max(1, o.tileColumns), std::max(1, o.tileRows), o.tileOverlapMm};
    if (grid.columns > jdraw::kMaxTileSplit || grid.rows > jdraw::kMaxTileSplit ||
        jdraw::tilesOf(grid, job->area).empty()) {
      *error = "the tiling does not fit the page (1 to 64 columns and rows, overlap under half a tile)";
      return false;
    }
    job->hasTiling = true;
    job->tiling = jdraw::encodeTileBlock(grid);
    job->area.tiled = 1;
  }
  job->preview = previewOf(width, height, rgb.data());
  jobfile::Item image;
  image.kind = jobfile::kRgbImage;
  image.x1 = o.widthMm;
  image.y1 = heightMm;
  image.width = width;
  image.height = height;
  image.pixels = std::move(rgb);  // the job holds the only copy of the picture
  job->items.push_back(std::move(image));
  if (!jobfile::jobIsSound(*job)) {
    *error = "the job does not fit a job file";
    return false;
  }
  return true;
}

bool decodeImage(const char* path, int* width, int* height, std::vector<uint8_t>* pixels, std::string* error) {
  int channels = 0;
  unsigned char* data = stbi_load(path, width, height, &channels, 3);
  if (!data) {
    *error = std::string("cannot read the image: ") + (stbi_failure_reason() ? stbi_failure_reason() : "unknown");
    return false;
  }
  pixels->assign(data, data + std::size_t(*width) * std::size_t(*height) * 3);
  stbi_image_free(data);
  return true;
}

bool isFileName(const std::string& name) {
  // ':' is below every trail byte; a separator is found by character.
  return !name.empty() && name != "." && name != ".." && name.find(':') == std::string::npos &&
         platform::fileNamePart(name.c_str()) == name.c_str();
}

std::string dropJob(const jobfile::Job& job, const std::string& hotFolder, const std::string& name,
                    std::string* error) {
  char staging[platform::kMaxPath], temporary[platform::kMaxPath], target[platform::kMaxPath];
  if (!platform::isFolder(hotFolder.c_str())) {
    *error = "the hot folder does not exist: " + hotFolder;
    return std::string();
  }
  // Two runs at once (even with the same --name) each stage a file of their own.
  char unique[96];
  std::snprintf(unique, sizeof unique, "%s.%llx-%x.tmp", name.c_str(),
                static_cast<unsigned long long>(platform::monotonicMilliseconds()),
                static_cast<unsigned>(std::random_device{}()));
  if (!platform::joinPath(staging, sizeof staging, hotFolder.c_str(), kStagingFolder) ||
      !platform::joinPath(temporary, sizeof temporary, staging, unique)) {
    *error = "the path is too long";
    return std::string();
  }
  platform::createFolder(staging);
  if (!jobfile::writeJobFile(temporary, job)) {
    *error = std::string("cannot write ") + temporary;
    return std::string();
  }
  // A free name in the hot folder: name, then name-2, name-3 ... before the extension.
  std::string stem = name, extension;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) stem = name.substr(0, dot), extension = name.substr(dot);
  for (int n = 1; n < 1000; ++n) {
    const std::string candidate = n == 1 ? name : stem + "-" + std::to_string(n) + extension;
    if (!platform::joinPath(target, sizeof target, hotFolder.c_str(), candidate.c_str())) break;
    if (!platform::pathExists(target) && platform::moveFile(temporary, target)) {
      platform::removeFolder(staging);
      return target;
    }
  }
  platform::deleteFile(temporary);
  platform::removeFolder(staging);
  *error = "no free name in the hot folder for " + name;
  return std::string();
}

}  // namespace jobmaker
