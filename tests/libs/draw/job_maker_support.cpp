#include "job_maker.h"

#include <cstring>

#include "libs/draw/setting_block.h"

namespace draw_test {

jobfile::Job sampleJob(const std::string& machine, float widthMm, float heightMm, const std::string& preferredDevice) {
  jobfile::Job job;
  job.machine = machine;
  jdraw::SettingBlock block;
  std::strncpy(block.device, preferredDevice.c_str(), sizeof block.device - 1);
  jdraw::encodeSettingBlock(block, &job.settings);
  job.title = "sample title";
  job.info = "sample information";
  job.area = jobfile::Area{0, 0, widthMm, heightMm, 1, 1, 0};
  for (int i = 0; i < jobfile::kPreviewSide * jobfile::kPreviewSide; ++i) job.preview.push_back(uint32_t(i * 97));
  jobfile::Item image;
  image.kind = jobfile::kRgbImage;
  image.x1 = widthMm;
  image.y1 = heightMm;
  image.width = 37;
  image.height = 23;
  for (int i = 0; i < image.width * image.height * 3; ++i) image.pixels.push_back(uint8_t(i * 31 + i / 7));
  job.items.push_back(image);
  jobfile::Item fill;
  fill.kind = jobfile::kCmykFill;
  fill.x0 = widthMm / 4;
  fill.y0 = heightMm / 4;
  fill.x1 = widthMm / 2;
  fill.y1 = heightMm / 2;
  fill.color[0] = 200;
  fill.color[3] = 40;
  job.items.push_back(fill);
  return job;
}

}  // namespace draw_test
