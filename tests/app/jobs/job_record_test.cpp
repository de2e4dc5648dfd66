#include "app/jobs/job_record.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "app/jobs/job_list.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

bool isFreshAndEmpty(const JobRecord& r) {
  return r.state == Fresh && r.fileKind == 0 && r.path[0] == '\0' && r.fileSize == 0 && r.year == 0 && r.second == 0 &&
         !r.deviceSettings && !r.tileBlock && r.machineName[0] == '\0' && r.virtualDevice[0] == '\0' &&
         r.port[0] == '\0' && r.selected == 0 && !r.next && !r.prev;
}

// A job that owns everything a loaded job owns.
JobRecord* loadedJob(const char* path) {
  JobRecord* job = createJob();
  if (!job) return nullptr;
  platform::copyString(job->path, sizeof job->path, path);
  job->deviceSettings = jMemAlloc(64);
  job->tileBlock = jMemAlloc(J_TILE_BLOCK_SIZE);
  job->state = Idle;
  return job;
}

// A real file for the records to point at, in the test output folder.
std::string makeJobFile() {
  const char* folder = std::getenv("VLX_TEST_OUTPUT");
  std::string dir = folder && *folder ? folder : ".";
  platform::createFolder(dir.c_str());
  char path[platform::kMaxPath];
  if (!platform::makeTempFile(dir.c_str(), "job", path, sizeof path)) return "";
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::CreateAlways);
  platform::writeAll(file, "job", 3);
  platform::closeFile(file);
  return path;
}

TEST(JobRecord, CreatedRecordIsFreshWithADevice) {
  const int blocks = jMemCheck();
  JobRecord* job = createJob();
  ASSERT_NE(job, nullptr);
  EXPECT_NE(job->device, nullptr);
  jDEVICE device = job->device;
  job->device = nullptr;
  EXPECT_TRUE(isFreshAndEmpty(*job));
  job->device = device;
  EXPECT_EQ(destroyJob(job), 1);
  EXPECT_EQ(jMemCheck(), blocks);
  EXPECT_EQ(jPdevClose(device), 0) << "the record closed its device";
}

TEST(JobRecord, ResetWithReleaseFreesWhatTheRecordOwns) {
  const int blocks = jMemCheck();
  JobRecord* job = loadedJob("C:\\jobs\\a.vjx");
  ASSERT_NE(job, nullptr);
  job->fileKind = kOwnSpoolFileKind;
  job->year = 2024;
  job->selected = 1;
  jDEVICE device = job->device;
  ASSERT_EQ(resetJob(job, 1), 1);
  EXPECT_TRUE(isFreshAndEmpty(*job));
  EXPECT_EQ(job->device, nullptr);
  EXPECT_EQ(jPdevClose(device), 0);
  EXPECT_EQ(jMemCheck(), blocks + 1) << "only the record itself is left";
  destroyJob(job);
  EXPECT_EQ(jMemCheck(), blocks);
}

TEST(JobRecord, ResetWithoutReleaseIgnoresWhatWasThere) {
  // A new block full of garbage: nothing in it may be closed or freed.
  auto* job = static_cast<JobRecord*>(std::malloc(sizeof(JobRecord)));
  std::memset(job, 0xA5, sizeof *job);
  ASSERT_EQ(resetJob(job, 0), 1);
  EXPECT_TRUE(isFreshAndEmpty(*job));
  EXPECT_EQ(job->device, nullptr);
  std::free(job);
}

TEST(JobRecord, NullRecordsAreRefused) {
  EXPECT_EQ(resetJob(nullptr, 1), 0);
  EXPECT_EQ(destroyJob(nullptr), 0);
  EXPECT_EQ(setSelected(nullptr, 1), 0);
  EXPECT_EQ(destroyChain(nullptr), 0);
}

TEST(JobRecord, DestroyingTheHeadChainReleasesEverythingAndKeepsTheFiles) {
  const std::string file = makeJobFile();
  ASSERT_FALSE(file.empty());
  const int blocks = jMemCheck();
  JobRecord* head = createJob();
  ASSERT_NE(head, nullptr);
  std::vector<jDEVICE> devices{head->device};
  for (int i = 0; i < 3; ++i) {
    JobRecord* job = loadedJob(file.c_str());
    ASSERT_NE(job, nullptr);
    devices.push_back(job->device);
    append(job, head);
  }
  EXPECT_EQ(destroyChain(head), 1);
  EXPECT_EQ(jMemCheck(), blocks);
  for (jDEVICE d : devices) EXPECT_EQ(jPdevClose(d), 0) << "device left open";
  EXPECT_TRUE(platform::pathExists(file.c_str()));
  platform::deleteFile(file.c_str());
}

TEST(JobRecord, DestroyingTheRestOfAListEndsTheListBeforeIt) {
  const int blocks = jMemCheck();
  JobRecord* head = createJob();
  for (int i = 0; i < 3; ++i) append(createJob(), head);
  JobRecord* first = jobAt(head, 0);
  EXPECT_EQ(destroyChain(jobAt(head, 1)), 1);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_EQ(countJobs(head), 1);
  destroyChain(head);
  EXPECT_EQ(jMemCheck(), blocks);
}

}  // namespace
}  // namespace vlx
