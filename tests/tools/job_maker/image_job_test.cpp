#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <functional>
#include <string>
#include <vector>

#include "image_job.h"
#include "libs/draw/tile_block.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::ScratchFolder;

std::vector<uint8_t> gradient(int width, int height) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < width * height; ++i) {
    rgb.push_back(static_cast<unsigned char>(i));
    rgb.push_back(static_cast<unsigned char>(i / width * 40));
    rgb.push_back(200);
  }
  return rgb;
}

jobmaker::Options options() {
  jobmaker::Options o;
  o.machine = "EPSON RX-3";
  o.widthMm = 200;
  o.title = "chart";
  return o;
}

TEST(ImageJob, PlacesThePictureOverThePageAndKeepsItsAspect) {
  const std::vector<uint8_t> rgb = gradient(40, 20);
  jobfile::Job job;
  std::string error;
  ASSERT_TRUE(jobmaker::makeJob(options(), 40, 20, std::vector(rgb), &job, &error)) << error;
  EXPECT_EQ(job.area.x1, 200.0f);
  EXPECT_EQ(job.area.y1, 100.0f) << "height from the aspect ratio";
  ASSERT_EQ(job.items.size(), 1u);
  EXPECT_EQ(job.items[0].pixels, rgb);
  EXPECT_FALSE(job.hasTiling);
  ASSERT_EQ(job.preview.size(), 10000u);
  EXPECT_EQ(job.preview[0], 0xFFFFFFu) << "white above a wide picture";
  // 40 x 20 fits as 100 x 50 from row 25; preview row 50 shows picture row 10.
  const unsigned char* p = &rgb[(10 * 40) * 3];
  EXPECT_EQ(job.preview[50 * 100], uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
}

TEST(ImageJob, TilingGoesIntoTheTilingBlock) {
  jobmaker::Options o = options();
  o.tileColumns = 3;
  o.tileRows = 2;
  o.tileOverlapMm = 4;
  const std::vector<uint8_t> rgb = gradient(8, 8);
  jobfile::Job job;
  std::string error;
  ASSERT_TRUE(jobmaker::makeJob(o, 8, 8, std::vector(rgb), &job, &error)) << error;
  jdraw::TileGrid grid;
  ASSERT_TRUE(job.hasTiling);
  ASSERT_TRUE(jdraw::decodeTileBlock(job.tiling.data(), &grid));
  EXPECT_EQ(grid.columns, 3);
  EXPECT_EQ(grid.rows, 2);
  EXPECT_EQ(grid.overlap, 4.0f);
  EXPECT_EQ(job.area.tiled, 1);
}

TEST(ImageJob, RefusesOptionsThatMakeNoJob) {
  const std::vector<uint8_t> rgb = gradient(8, 8);
  const struct {
    const char* what;
    std::function<void(jobmaker::Options&)> change;
  } cases[] = {
      {"no machine", [](auto& o) { o.machine.clear(); }},
      {"long machine", [](auto& o) { o.machine.assign(64, 'm'); }},
      {"no width", [](auto& o) { o.widthMm = 0; }},
      {"negative height", [](auto& o) { o.heightMm = -3; }},
      {"too many tiles", [](auto& o) { o.tileColumns = 65; }},
      {"overlap of a whole tile", [](auto& o) { o.tileColumns = 2, o.tileOverlapMm = 60; }},
      {"long device", [](auto& o) { o.device.assign(100, 'd'); }},
  };
  for (const auto& c : cases) {
    jobmaker::Options o = options();
    c.change(o);
    jobfile::Job job;
    std::string error;
    EXPECT_FALSE(jobmaker::makeJob(o, 8, 8, std::vector(rgb), &job, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(ImageJob, DecodesPngAndBmpAndRefusesOtherFiles) {
  ScratchFolder folder;
  const std::vector<uint8_t> rgb = gradient(5, 3);
  const std::string png = folder.join("a.png"), bmp = folder.join("a.bmp"), junk = folder.join("a.jpg");
  ASSERT_TRUE(stbi_write_png(png.c_str(), 5, 3, 3, rgb.data(), 15));
  ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 5, 3, 3, rgb.data()));
  testing_support::writeBytes(junk, "\xFF\xD8 not really a JPEG");
  for (const std::string& path : {png, bmp}) {
    int w = 0, h = 0;
    std::vector<uint8_t> pixels;
    std::string error;
    ASSERT_TRUE(jobmaker::decodeImage(path.c_str(), &w, &h, &pixels, &error)) << path << error;
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(pixels, rgb) << path;
  }
  int w, h;
  std::vector<uint8_t> pixels;
  std::string error;
  EXPECT_FALSE(jobmaker::decodeImage(junk.c_str(), &w, &h, &pixels, &error));
  EXPECT_FALSE(jobmaker::decodeImage(folder.join("missing.png").c_str(), &w, &h, &pixels, &error));
}

TEST(ImageJob, DropsIntoTheHotFolderUnderAFreeNameAndLeavesNothingElse) {
  ScratchFolder hot;
  const std::vector<uint8_t> rgb = gradient(8, 8);
  jobfile::Job job;
  std::string error;
  ASSERT_TRUE(jobmaker::makeJob(options(), 8, 8, std::vector(rgb), &job, &error));
  const std::string first = jobmaker::dropJob(job, hot.path(), "chart.vjx", &error);
  const std::string second = jobmaker::dropJob(job, hot.path(), "chart.vjx", &error);
  EXPECT_EQ(first, hot.join("chart.vjx"));
  EXPECT_EQ(second, hot.join("chart-2.vjx"));
  std::vector<std::string> names;
  platform::listFolder(hot.path().c_str(), [&](const platform::FolderEntry& e) {
    names.push_back(e.name);
    return true;
  });
  EXPECT_EQ(names.size(), 2u) << "no staging folder left";
  jobfile::Job back;
  EXPECT_EQ(jobfile::readJobFile(second.c_str(), jobfile::kEverything, &back), jobfile::Status::Ok);
  EXPECT_TRUE(jobmaker::dropJob(job, hot.join("missing"), "x.vjx", &error).empty());
}

// Names are CP932: the second byte of 表 and ソ is 0x5C, the backslash's.
TEST(ImageJob, TakesJapaneseFileNamesAndRefusesPaths) {
  const struct {
    const char* name;
    bool isFile;
  } cases[] = {
      {"表.vjx", true},   {"ソフト.vjx", true}, {"poster.vjx", true}, {"a\\b.vjx", false}, {"a/b.vjx", false},
      {"c:b.vjx", false}, {"", false},          {".", false},         {"..", false},
  };
  for (const auto& c : cases) EXPECT_EQ(jobmaker::isFileName(c.name), c.isFile) << c.name;

  ScratchFolder hot;
  jobfile::Job job;
  std::string error;
  ASSERT_TRUE(jobmaker::makeJob(options(), 8, 8, gradient(8, 8), &job, &error));
  const std::string path = jobmaker::dropJob(job, hot.path(), "表.vjx", &error);
  EXPECT_EQ(path, hot.join("表.vjx")) << error;
  jobfile::Job back;
  EXPECT_EQ(jobfile::readJobFile(path.c_str(), jobfile::kDescription, &back), jobfile::Status::Ok);
}

}  // namespace
