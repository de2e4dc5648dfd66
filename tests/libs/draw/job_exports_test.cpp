#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "job_maker.h"
#include "libs/draw/job_file.h"
#include "platform/scratch_folder.h"

namespace {

struct JobCalls : ::testing::Test {
  std::string write(const jobfile::Job& job, const char* name = "job.vjx") {
    const std::string path = folder.join(name);
    EXPECT_TRUE(jobfile::writeJobFile(path.c_str(), job));
    return path;
  }
  testing_support::ScratchFolder folder;
};

TEST_F(JobCalls, TheDeviceOfAJobTellsItsDescription) {
  const std::string path = write(draw_test::sampleJob("EPSON RX-2", 210, 297.5f));
  jDEVICE device = jFileLoadDRXDevOpen(path.c_str());
  ASSERT_NE(device, nullptr);
  char machine[64], title[32], info[256];
  EXPECT_EQ(jPdevGetMcnName(device, machine), 1);
  EXPECT_STREQ(machine, "EPSON RX-2");
  EXPECT_EQ(jPdevGetTitle(device, title), 1);
  EXPECT_STREQ(title, "sample title");
  EXPECT_EQ(jPdevGetDevInfo(device, info), 1);
  EXPECT_STREQ(info, "sample information");
  jPdevArea area;
  ASSERT_EQ(jPdevGetArea(device, &area), 1);
  EXPECT_EQ(area.x1, 210.0f);
  EXPECT_EQ(area.y1, 297.5f);
  EXPECT_EQ(area.mmPerUnitX, 1.0f);
  EXPECT_EQ(area.tiled, 0);
  EXPECT_EQ(jPdevClose(device), 1);
  EXPECT_EQ(jPdevGetTitle(device, title), 0) << "closed";
}

TEST_F(JobCalls, AFreshDeviceHasNoJob) {
  jDEVICE device = jPdevOpen();
  char title[32] = "x";
  jPdevArea area;
  EXPECT_EQ(jPdevGetTitle(device, title), 0);
  EXPECT_STREQ(title, "");
  EXPECT_EQ(jPdevGetArea(device, &area), 0);
  jPdevClose(device);
}

TEST_F(JobCalls, SettingAndTilingBlocksComeFromTheJob) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3");
  const std::string plain = write(job, "plain.vjx");
  job.hasTiling = true;
  job.tiling.fill(7);
  const std::string tiled = write(job, "tiled.vjx");
  void* setting = jFileLoadDRXDevSetting(plain.c_str());
  ASSERT_NE(setting, nullptr);
  EXPECT_EQ(std::memcmp(setting, job.settings.data(), job.settings.size()), 0);
  jMemFree(setting);
  std::vector<uint8_t> tile(J_TILE_BLOCK_SIZE, 0);
  EXPECT_EQ(jFileLoadDRXTrep(plain.c_str(), tile.data()), 0);
  EXPECT_EQ(jFileLoadDRXTrep(tiled.c_str(), tile.data()), 1);
  EXPECT_EQ(tile, std::vector<uint8_t>(J_TILE_BLOCK_SIZE, 7));
}

// The job's bytes with the last item's x1 put far beyond any page (and its
// checksum made good again): a file the reader once took for sound.
std::string farItemBytes(const std::vector<uint8_t>& sound) {
  std::vector<uint8_t> b = sound;
  std::size_t at = 16, last = 0;
  while (at + 12 <= b.size() && std::memcmp(&b[at], "END ", 4) != 0) {
    const uint32_t length = b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | uint32_t(b[at + 7]) << 24;
    if (std::memcmp(&b[at], "ITEM", 4) == 0) last = at;
    at += 12 + length;
  }
  const uint32_t length = b[last + 4] | b[last + 5] << 8 | b[last + 6] << 16 | uint32_t(b[last + 7]) << 24;
  const float far = 1e30f;
  std::memcpy(&b[last + 12 + 12], &far, 4);
  const uint32_t crc = jobfile::crc32(&b[last + 12], length);
  std::memcpy(&b[last + 8], &crc, 4);
  return std::string(b.begin(), b.end());
}

TEST_F(JobCalls, FilesThatAreNoJobGiveEveryCallsFailureAndTheCheckSaysWhy) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(jobfile::encodeJob(draw_test::sampleJob("EPSON RX-3"), &bytes));
  const auto make = [&](const char* name, const std::string& content) {
    const std::string path = folder.join(name);
    EXPECT_TRUE(testing_support::writeBytes(path, content));
    return path;
  };
  jobfile::Job foreignSetting = draw_test::sampleJob("EPSON RX-3");
  foreignSetting.settings = {1, 2, 3};
  const struct {
    std::string path;
    int check;
  } cases[] = {
      {make("cut.vjx", std::string(bytes.begin(), bytes.begin() + bytes.size() / 2)), J_DRX_CUT_SHORT},
      {make("end.vjx", std::string(bytes.begin(), bytes.end() - 12)), J_DRX_CUT_SHORT},
      {make("empty.vjx", ""), J_DRX_EMPTY},
      {make("far.vjx", farItemBytes(bytes)), J_DRX_OFF_PAGE},
      {make("junk.vjx", "no job at all, not even its beginning"), J_DRX_NOT_A_JOB},
      {write(foreignSetting, "foreign.vjx"), J_DRX_NOT_A_JOB},
      {folder.join("missing.vjx"), J_DRX_UNREADABLE},
  };
  jDrawOpenParams open{1000, {}};
  ASSERT_EQ(jDrawOpen(nullptr, &open), 1);
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  const int32_t document = jDrawGDBOpen(&params);
  for (const auto& c : cases) {
    const std::string& path = c.path;
    char tile[J_TILE_BLOCK_SIZE];
    EXPECT_EQ(jFileCheckDRX(path.c_str()), c.check) << path;
    EXPECT_EQ(jFileLoadDRXDevOpen(path.c_str()), nullptr) << path;
    EXPECT_EQ(jFileLoadDRXTrep(path.c_str(), tile), 0) << path;
    EXPECT_EQ(jFileLoad(document, 16, 0, path.c_str()), 0) << path;
  }
  EXPECT_EQ(jFileCheckDRX(write(draw_test::sampleJob("EPSON RX-3"), "whole.vjx").c_str()), J_DRX_WHOLE);
  jDrawClose();
}

TEST_F(JobCalls, PreviewIsTheJobsOrWhite) {
  const jobfile::Job job = draw_test::sampleJob("EPSON RX-3");
  std::vector<jCOLOR> preview(J_PREVIEW_SIZE * J_PREVIEW_SIZE, 0);
  EXPECT_EQ(jFilePreviewGet(preview.data(), 16, 0, write(job).c_str()), 1);
  EXPECT_EQ(preview, job.preview);
  EXPECT_EQ(jFilePreviewGet(preview.data(), 16, 0, folder.join("missing").c_str()), 0);
  EXPECT_EQ(preview, std::vector<jCOLOR>(preview.size(), 0xFFFFFF));
}

TEST_F(JobCalls, LoadingReplacesTheDocumentsDrawing) {
  jDrawOpenParams open{1000, {}};
  ASSERT_EQ(jDrawOpen(nullptr, &open), 1);
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  const int32_t document = jDrawGDBOpen(&params);
  const std::string path = write(draw_test::sampleJob("EPSON RX-3"));
  EXPECT_EQ(jFileLoad(document, 16, 0, path.c_str()), 1);
  EXPECT_EQ(jFileLoad(document, 16, 0, path.c_str()), 1);
  EXPECT_EQ(jEditDelete(document, 1), 1) << "two items, not four";
  EXPECT_EQ(jEditDelete(document, 1), 0);
  EXPECT_EQ(jFileLoad(document + 1, 16, 0, path.c_str()), 0) << "no such document";
  jDrawClose();
}

TEST_F(JobCalls, DeviceAndPortComeFromTheRegistry) {
  testing_support::writeBytes(folder.join("DEVICE.rgs"),
                              "CURRENT\tB\r\n"
                              "DEVICE\tA\tRX3.dll\tEPSON RX-3\tFILE:a\r\n"
                              "DEVICE\tB\tRX3.dll\tEPSON RX-1\tFILE:b\r\n"
                              "DEVICE\tC\tRX3.dll\tEPSON RX-3\tFILE:c\r\n"
                              "DEVICE\tD\tRX3.dll\tEPSON RX-1\tFILE:" +
                                  std::string(120, 'd') + "\r\n");
  const struct {
    const char* machine;
    const char* preferred;
    int result;
    const char* device;
    const char* port;
  } cases[] = {
      {"EPSON RX-1", "", 1, "B", "FILE:b"},   // the current device
      {"EPSON RX-3", "", 1, "A", "FILE:a"},   // the first that serves it
      {"EPSON RX-3", "c", 1, "C", "FILE:c"},  // the job's choice
      {"EPSON RX-3", "B", 1, "A", "FILE:a"},  // a choice for another machine
      {"EPSON RX-1", "D", 0, "", ""},         // a port that does not fit
      {"LumoraLX1", "", 0, "", ""},           // nobody prints for it
  };
  for (const auto& c : cases) {
    const jobfile::Job job = draw_test::sampleJob(c.machine, 16, 8, c.preferred);
    char device[100] = "x", port[100] = "x";
    EXPECT_EQ(jPdevGetDevicePort(folder.path().c_str(), c.machine, job.settings.data(), device, port), c.result)
        << c.machine << c.preferred;
    EXPECT_STREQ(device, c.device);
    EXPECT_STREQ(port, c.port);
  }
  char device[100], port[100];
  EXPECT_EQ(jPdevGetDevicePort(folder.join("none").c_str(), "EPSON RX-1", nullptr, device, port), 0);
}

}  // namespace
