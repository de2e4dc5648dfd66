#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <cstring>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

#include "job_maker.h"
#include "libs/draw/image_rows.h"
#include "libs/draw/job_file.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "support/file_size_limit.h"

namespace {

using jobfile::Status;

std::vector<uint8_t> sampleBytes(const jobfile::Job& job = draw_test::sampleJob("EPSON RX-3")) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(jobfile::encodeJob(job, &bytes));
  return bytes;
}

Status parse(const std::vector<uint8_t>& bytes, unsigned parts = jobfile::kEverything) {
  jobfile::Job job;
  return jobfile::parseJob(bytes.data(), bytes.size(), parts, &job);
}

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// Offset of the first chunk with the tag.
std::size_t chunkAt(const std::vector<uint8_t>& b, const char* tag) {
  std::size_t at = 16;
  while (at + 12 <= b.size()) {
    if (std::memcmp(&b[at], tag, 4) == 0) return at;
    at += 12 + (b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | size_t(b[at + 7]) << 24);
  }
  ADD_FAILURE() << "no chunk " << tag;
  return 0;
}

TEST(JobFile, RoundTripsEveryField) {
  jobfile::Job job = draw_test::sampleJob("LumoraLX2", 30.5f, 12.25f);
  job.hasTiling = true;
  for (std::size_t i = 0; i < job.tiling.size(); ++i) job.tiling[i] = uint8_t(i + 1);
  job.area.mmPerUnitX = 0.5f;
  job.area.tiled = 1;
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("job.vjx");
  ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), job));
  jobfile::Job back;
  ASSERT_EQ(jobfile::readJobFile(path.c_str(), jobfile::kEverything, &back), Status::Ok);
  EXPECT_EQ(back.machine, job.machine);
  EXPECT_EQ(back.settings, job.settings);
  EXPECT_TRUE(back.hasTiling);
  EXPECT_EQ(back.tiling, job.tiling);
  EXPECT_EQ(back.title, job.title);
  EXPECT_EQ(back.info, job.info);
  EXPECT_EQ(std::memcmp(&back.area, &job.area, sizeof job.area), 0);
  EXPECT_EQ(back.preview, job.preview);
  ASSERT_EQ(back.items.size(), 2u);
  EXPECT_EQ(back.items[0].pixels, job.items[0].pixels);
  EXPECT_EQ(back.items[0].width, 37);
  EXPECT_EQ(back.items[1].kind, jobfile::kCmykFill);
  EXPECT_EQ(back.items[1].x1, job.items[1].x1);
  EXPECT_EQ(std::memcmp(back.items[1].color, job.items[1].color, 4), 0);
}

TEST(JobFile, ADescriptionReadSkipsTheDrawingAndThePreview) {
  jobfile::Job job;
  const std::vector<uint8_t> bytes = sampleBytes();
  ASSERT_EQ(jobfile::parseJob(bytes.data(), bytes.size(), jobfile::kDescription, &job), Status::Ok);
  EXPECT_TRUE(job.items.empty());
  EXPECT_TRUE(job.preview.empty());
  EXPECT_EQ(job.machine, "EPSON RX-3");
}

TEST(JobFile, RefusesWhatIsNotASoundJob) {
  const std::vector<uint8_t> good = sampleBytes();
  const struct {
    const char* what;
    Status expected;
    std::function<void(std::vector<uint8_t>&)> damage;
  } cases[] = {
      {"empty", Status::NotAJob, [](auto& b) { b.clear(); }},
      {"other magic", Status::NotAJob, [](auto& b) { b[0] = 'X'; }},
      {"newer version", Status::NewerVersion, [](auto& b) { put32(b, 8, 2); }},
      {"cut in the header", Status::Truncated, [](auto& b) { b.resize(10); }},
      {"cut in a chunk", Status::Truncated, [](auto& b) { b.resize(b.size() / 2); }},
      {"cut before the end chunk", Status::Truncated, [](auto& b) { b.resize(b.size() - 12); }},
      {"bytes after the end", Status::Malformed, [](auto& b) { b.push_back(0); }},
      {"flipped pixel", Status::Corrupt, [](auto& b) { b[chunkAt(b, "ITEM") + 12 + 40] ^= 1; }},
      {"flipped title", Status::Corrupt, [](auto& b) { b[chunkAt(b, "TITL") + 12] ^= 0x20; }},
      {"huge image chunk", Status::TooLarge, [](auto& b) { put32(b, chunkAt(b, "ITEM") + 4, 0xFFFFFFF0u); }},
      {"length beyond the file", Status::Truncated, [](auto& b) { put32(b, chunkAt(b, "ITEM") + 4, 1 << 20); }},
      {"oversized title", Status::TooLarge, [](auto& b) { put32(b, chunkAt(b, "TITL") + 4, 4000); }},
      {"short area", Status::Malformed, [](auto& b) { put32(b, chunkAt(b, "AREA") + 4, 4); }},
      {"machine missing", Status::Malformed, [](auto& b) { std::memcpy(&b[chunkAt(b, "MCHN")], "XXXX", 4); }},
      {"second machine", Status::Malformed, [](auto& b) { std::memcpy(&b[chunkAt(b, "TITL")], "MCHN", 4); }},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.damage(bytes);
    EXPECT_EQ(parse(bytes), c.expected) << c.what;
  }
  EXPECT_EQ(parse(good), Status::Ok);
}

TEST(JobFile, RefusesItemsAndFieldsThatBreakTheRules) {
  const struct {
    const char* what;
    std::function<void(jobfile::Job&)> change;
  } cases[] = {
      {"no machine", [](auto& j) { j.machine.clear(); }},
      {"long machine", [](auto& j) { j.machine.assign(64, 'M'); }},
      {"long title", [](auto& j) { j.title.assign(32, 'T'); }},
      {"no setting block", [](auto& j) { j.settings.clear(); }},
      {"inverted area", [](auto& j) { std::swap(j.area.x0, j.area.x1); }},
      {"zero scale", [](auto& j) { j.area.mmPerUnitY = 0; }},
      {"short pixels", [](auto& j) { j.items[0].pixels.pop_back(); }},
      {"image without size", [](auto& j) { j.items[0].width = 0; }},
      {"unknown kind", [](auto& j) { j.items[1].kind = 9; }},
      {"empty fill", [](auto& j) { j.items[1].y1 = j.items[1].y0; }},
      {"item beyond any page", [](auto& j) { j.items[1].x1 = 1e30f; }},
      {"page beyond any roll", [](auto& j) { j.area.y1 = 2e6f; }},
      {"page of no number", [](auto& j) { j.area.x1 = std::numeric_limits<float>::infinity(); }},
  };
  for (const auto& c : cases) {
    jobfile::Job job = draw_test::sampleJob("EPSON RX-3");
    c.change(job);
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(jobfile::encodeJob(job, &bytes)) << c.what;
  }
}

TEST(JobFile, AChunkOfALaterVersionIsSkipped) {
  std::vector<uint8_t> bytes = sampleBytes();
  const std::vector<uint8_t> extra = {'N', 'E', 'W', '!', 3, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
  bytes.insert(bytes.begin() + 16, extra.begin(), extra.end());
  EXPECT_EQ(parse(bytes), Status::Ok);
}

// A refused job and a write that fails half way (a disk that fills) both
// leave the old file whole.
TEST(JobFile, AFailedWriteLeavesTheOldFile) {
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("job.vjx");
  ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), draw_test::sampleJob("EPSON RX-1")));
  jobfile::Job bad = draw_test::sampleJob("EPSON RX-2");
  bad.items[0].width = -1;
  EXPECT_FALSE(jobfile::writeJobFile(path.c_str(), bad));
#ifndef _WIN32
  {
    // A sound job the disk fills up under half way through.
    test_support::FileSizeLimit full(sampleBytes().size() / 2);
    EXPECT_FALSE(jobfile::writeJobFile(path.c_str(), draw_test::sampleJob("EPSON RX-2")));
  }
#endif
  jobfile::Job back;
  ASSERT_EQ(jobfile::readJobFile(path.c_str(), jobfile::kEverything, &back), Status::Ok);
  EXPECT_EQ(back.machine, "EPSON RX-1");
  EXPECT_EQ(jobfile::readJobFile(folder.join("missing").c_str(), jobfile::kDescription, &back), Status::Unreadable);
  std::size_t files = 0;
  platform::listFolder(folder.path().c_str(), [&](const platform::FolderEntry&) { return ++files, true; });
  EXPECT_EQ(files, 1u) << "no temporary file left behind";
}

}  // namespace

// A drawing read with its images left in the file gives each image's rows,
// read a block at a time within the cache's budget, exactly as the whole
// read gives them; a damaged image is refused, and a file that changed
// afterwards gives no rows rather than other pixels.
TEST(JobFile, ImagesLeftInTheFileGiveTheirRowsAsAsked) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3");
  jobfile::Item second = job.items[0];
  second.kind = jobfile::kCmykImage;
  second.width = 300;
  second.height = 200;
  second.pixels.resize(300u * 200 * 4);
  for (std::size_t i = 0; i < second.pixels.size(); ++i) second.pixels[i] = uint8_t(i * 7 + i / 1200);
  job.items.push_back(second);
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("job.vjx");
  ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), job));
  jobfile::Job back;
  ASSERT_EQ(jobfile::readJobFile(path.c_str(), jobfile::kDrawing | jobfile::kRowsInFile, &back), Status::Ok);
  ASSERT_EQ(back.items.size(), 3u);
  EXPECT_TRUE(back.items[1].pixels.empty() && !back.items[1].inFile);  // a fill
  const jobfile::Item firstImage = back.items[0];
  constexpr std::size_t kBudget = 64 * 1024;  // less than the second image's 240 000 bytes
  jdraw::ImageRows rows(kBudget);
  void* sources[2] = {rows.add(back.items[0]), rows.add(back.items[2])};
  const jobfile::Item* originals[2] = {&job.items[0], &job.items[2]};
  // Two renders at once, as a print's two threads make them: each gets its
  // own copy of every row, whatever the other makes the cache read.
  auto readAll = [&](int order) {
    for (int k = 0; k < 2; ++k) {
      const jobfile::Item& item = *originals[k];
      const std::size_t rowBytes = jobfile::imageRowBytes(item);
      std::vector<uint8_t> row(rowBytes);
      for (int32_t i = 0; i < item.height; ++i) {
        const int32_t y = order == 0 ? i : (i * 37) % item.height;  // in order, and scattered
        ASSERT_EQ(jdraw::ImageRows::row(sources[k], y, row.data()), 1) << "item " << k << " row " << y;
        ASSERT_EQ(std::memcmp(row.data(), &item.pixels[y * rowBytes], rowBytes), 0) << "item " << k << " row " << y;
      }
    }
  };
  std::thread other(readAll, 1);
  readAll(0);
  other.join();
  EXPECT_LE(rows.held(), kBudget);
  EXPECT_TRUE(back.items[0].pixels.empty() && back.items[2].pixels.empty());
  std::vector<uint8_t> row(300 * 4);
  EXPECT_EQ(jdraw::ImageRows::row(sources[1], 200, row.data()), 0);
  // One pixel byte changed: the checksum that streams past refuses the item.
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(jobfile::encodeJob(job, &bytes));
  bytes[bytes.size() - 40] ^= 1;
  const std::string damaged = folder.join("damaged.vjx");
  ASSERT_TRUE(testing_support::writeBytes(damaged, std::string(bytes.begin(), bytes.end())));
  EXPECT_EQ(jobfile::readJobFile(damaged.c_str(), jobfile::kDrawing | jobfile::kRowsInFile, &back), Status::Corrupt);
  // The file replaced by another job after the read: no rows.
  job.items.pop_back();
  ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), job));
  jdraw::ImageRows later;
  EXPECT_EQ(jdraw::ImageRows::row(later.add(firstImage), 0, row.data()), 0);
}
