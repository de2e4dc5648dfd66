// The texts of the job properties dialog, from records the tests build.
#include "app/dialogs/job_properties.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vlx {
namespace {

JobRecord jobRecord(uint32_t size, uint32_t kind = kOwnSpoolFileKind) {
  JobRecord r{};
  r.fileKind = kind;
  r.fileSize = size;
  std::strcpy(r.path, "C:\\vellox\\HotFolder\\x.vjx");
  std::strcpy(r.machineName, "RX3-1600");
  r.year = 2026, r.month = 3, r.day = 7, r.hour = 9, r.minute = 5, r.second = 1;
  return r;
}

jPdevArea area(float x0, float y0, float x1, float y1, float scale, int32_t tiled) {
  jPdevArea a{};
  a.x0 = x0, a.y0 = y0, a.x1 = x1, a.y1 = y1;
  a.mmPerUnitX = a.mmPerUnitY = scale;
  a.tiled = tiled;
  return a;
}

TEST(JobPropertiesTest, EveryFieldOfAJobInItsFormat) {
  const JobPropertiesTexts t = jobPropertiesTexts(jobRecord(5000), "ﾎﾟｽﾀｰ A1", area(0, 0, 5940, 8410, 0.1f, 0));
  EXPECT_TRUE(t.haveJob);
  EXPECT_STREQ("ﾎﾟｽﾀｰ A1", t.title);
  EXPECT_STREQ("VJX（専用ﾌｧｲﾙ）", t.kind);
  EXPECT_STREQ("C:\\vellox\\HotFolder\\x.vjx", t.path);
  EXPECT_STREQ("2026年 03月 07日  09時 05分 01秒", t.date);
  EXPECT_STREQ("4 KB", t.fileSize);
  EXPECT_STREQ("横 594.00mm  x  縦 841.00mm  （分割なし）", t.printSize);
  EXPECT_STREQ("RX3-1600", t.machine);
}

TEST(JobPropertiesTest, SizeKindAndTiling) {
  EXPECT_STREQ("0 KB", jobPropertiesTexts(jobRecord(1023), "", jPdevArea{}).fileSize);
  EXPECT_STREQ("1 KB", jobPropertiesTexts(jobRecord(1024), "", jPdevArea{}).fileSize);
  EXPECT_STREQ("4194303 KB", jobPropertiesTexts(jobRecord(0xFFFFFFFFu), "", jPdevArea{}).fileSize);
  EXPECT_STREQ("不明", jobPropertiesTexts(jobRecord(0, 0), "", jPdevArea{}).kind);
  EXPECT_STREQ("横 25.40mm  x  縦 12.70mm  （分割あり）",
               jobPropertiesTexts(jobRecord(0), "", area(10, 20, 11, 20.5f, 25.4f, 1)).printSize);
  EXPECT_STREQ("横 0.00mm  x  縦 0.00mm  （分割なし）",
               jobPropertiesTexts(jobRecord(0), nullptr, jPdevArea{}).printSize)
      << "a device without an area";
}

}  // namespace
}  // namespace vlx
