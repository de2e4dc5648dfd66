// The job operations over a list and a fake view: reordering, removing with
// the refusal of the printing job, moving to the other folder, the preview.
#include "app/jobs/job_operations.h"

#include <gtest/gtest.h>

#include <string>

#include "app/fake_draw.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "job_lists_support.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

using testing_support::ScratchFolder;
using testing_support::writeBytes;

class JobOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; ++i) lists.state.viewPorts[i] = &views[i];
    hot = folder.join("hot");
    printed = folder.join("printed");
    platform::createFolder(hot.c_str());
    platform::createFolder(printed.c_str());
    platform::copyString(lists.state.hotFolder, sizeof lists.state.hotFolder, hot.c_str());
    platform::copyString(lists.state.printedFolder, sizeof lists.state.printedFolder, printed.c_str());
  }
  void TearDown() override { setWorkerRecord(nullptr); }

  // Jobs J1..Jn with their files in the folder of the list, shown in the view.
  void addJobs(int n, int listIndex = kPrintList) {
    const std::string& where = listIndex == kPrintList ? hot : printed;
    for (int i = 1; i <= n; ++i) {
      const std::string path = where + platform::kSeparator + "J" + std::to_string(i);
      ASSERT_TRUE(writeBytes(path, "JOB " + std::to_string(i)));
      lists.add(path.c_str(), Idle, listIndex);
    }
    refreshJobView(&lists.state, ViewFill::Rebuild, listIndex);
  }
  std::string order(int listIndex = kPrintList) const {
    std::string text;
    for (JobRecord* r = nextOf(lists.head(listIndex)); r; r = nextOf(r)) {
      if (!text.empty()) text += ' ';
      text += platform::fileNamePart(r->path);
    }
    return text;
  }
  std::string selectedRows(int listIndex = kPrintList) const {
    std::string text;
    for (int row = views[listIndex].nextSelected(-1); row >= 0; row = views[listIndex].nextSelected(row)) {
      text += std::to_string(row);
    }
    return text;
  }
  bool exists(const std::string& folderPath, const std::string& name) const {
    return platform::pathExists((folderPath + platform::kSeparator + name).c_str());
  }

  fake::UseFakeDraw draw;
  ScratchFolder folder;
  std::string hot, printed;
  TestLists lists;
  FakeJobListView views[2];
};

TEST_F(JobOperations, ReorderingMovesTheSelectedJobsAndKeepsThemSelected) {
  using Operation = int (*)(AppState*, int);
  const struct {
    const char* name;
    Operation operation;
    std::initializer_list<int> selected;
    const char* order;
    const char* selectedAfter;
  } cases[] = {
      {"top", moveJobsToTop, {1, 3}, "J2 J4 J1 J3", "01"},
      {"bottom", moveJobsToBottom, {1, 3}, "J1 J3 J2 J4", "23"},
      {"up", moveJobsUp, {1, 3}, "J2 J1 J4 J3", "02"},
      {"up at the top", moveJobsUp, {0, 1}, "J2 J1 J3 J4", "01"},
      {"down", moveJobsDown, {0, 2}, "J2 J1 J4 J3", "13"},
      {"down at the bottom", moveJobsDown, {3}, "J1 J2 J3 J4", "3"},
      {"bottom when last", moveJobsToBottom, {3}, "J1 J2 J3 J4", "3"},
      {"top when first", moveJobsToTop, {0}, "J1 J2 J3 J4", "0"},
      {"nothing selected", moveJobsUp, {}, "J1 J2 J3 J4", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    destroyChain(nextOf(lists.head()));
    addJobs(4);
    views[kPrintList].select(c.selected);
    EXPECT_EQ(c.operation(&lists.state, kPrintList), 1);
    EXPECT_EQ(order(), c.order);
    EXPECT_EQ(selectedRows(), c.selectedAfter);
  }
}

TEST_F(JobOperations, DeleteAllWhileAJobPrintsKeepsOnlyThePrintingJob) {
  addJobs(3);
  jobAt(lists.head(), 1)->state = Printing;
  setWorkerRecord(jobAt(lists.head(), 1));
  const Refusal refusal = deleteAllJobs(&lists.state, kPrintList);
  EXPECT_STREQ(refusal.text, "ﾌﾟﾘﾝﾄ中のｼﾞｮﾌﾞの削除はできませんでした。");
  EXPECT_FALSE(refusal.error);
  EXPECT_EQ(order(), "J2");
  EXPECT_FALSE(exists(hot, "J1"));
  EXPECT_TRUE(exists(hot, "J2"));
  EXPECT_FALSE(exists(hot, "J3"));
  EXPECT_EQ(views[kPrintList].rowCount(), 1);
}

TEST_F(JobOperations, TheWorkersJobIsRefusedEvenAfterACancel) {
  addJobs(2);
  JobRecord* held = jobAt(lists.head(), 0);
  setWorkerRecord(held);  // cancelled: Idle, but the worker still holds it
  views[kPrintList].select({0, 1});
  const Refusal refusal = deleteJobs(&lists.state, kPrintList);
  EXPECT_STREQ(refusal.text, "ﾌﾟﾘﾝﾄ中のｼﾞｮﾌﾞの削除はできません。");
  EXPECT_EQ(order(), "J1");
  EXPECT_EQ(selectedRows(), "0") << "the refused job stays selected";
  views[kPrintList].select({});
  EXPECT_EQ(deleteJobs(&lists.state, kPrintList).text, nullptr) << "nothing selected: nothing refused";
}

TEST_F(JobOperations, MovingToTheOtherFolderRefusesThePrintingJobAndRenamesTheRest) {
  addJobs(3);
  jobAt(lists.head(), 0)->state = Printing;
  views[kPrintList].select({0, 1, 2});
  const Refusal refusal = moveJobsToOtherFolder(&lists.state, kPrintList);
  EXPECT_STREQ(refusal.text, "ｼﾞｮﾌﾞの復帰に失敗しました。");
  EXPECT_TRUE(refusal.error);
  EXPECT_EQ(order(), "J1");
  EXPECT_EQ(fake::fileText((printed + platform::kSeparator + "VLX0000.vjx").c_str()), "JOB 2");
  EXPECT_EQ(fake::fileText((printed + platform::kSeparator + "VLX0001.vjx").c_str()), "JOB 3");
  EXPECT_EQ(order(kPrintedList), "VLX0000.vjx VLX0001.vjx") << "listed there at once";
  EXPECT_EQ(views[kPrintedList].rowCount(), 2);
}

TEST_F(JobOperations, RestoringPutsTheFileBackUnderTheLowestFreeSpoolName) {
  ASSERT_TRUE(writeBytes(hot + platform::kSeparator + "VLX0000.vjx", "JOB other"));
  ASSERT_TRUE(writeBytes(hot + platform::kSeparator + "VLX0002.vjx", "JOB other"));
  addJobs(1, kPrintedList);
  views[kPrintedList].select({0});
  EXPECT_EQ(moveJobsToOtherFolder(&lists.state, kPrintedList).text, nullptr);
  EXPECT_EQ(countJobs(lists.head(kPrintedList)), 0);
  EXPECT_EQ(fake::fileText((hot + platform::kSeparator + "VLX0001.vjx").c_str()), "JOB 1");
  EXPECT_FALSE(exists(printed, "J1"));
  EXPECT_EQ(order(kPrintList), "VLX0001.vjx") << "listed there at once";
  EXPECT_EQ(views[kPrintList].rowCount(), 1);
  EXPECT_EQ(jobAt(lists.head(kPrintList), 0)->state, Idle);
}

TEST_F(JobOperations, PreviewIsTheSelectedJobsThumbnailOrLightGrey) {
  jCOLOR buffer[kPreviewPixels];
  lists.state.previewBuffer = buffer;
  addJobs(2);
  const struct {
    int32_t previewOption;
    std::initializer_list<int> selected;
    int result;
    jCOLOR colour;
  } cases[] = {
      {1, {1}, 1, J_RGB(0, 0, 255)},
      {1, {}, 0, kPreviewBackground},
      {0, {1}, 0, kPreviewBackground},
  };
  for (const auto& c : cases) {
    lists.state.preview = c.previewOption;
    views[kPrintList].select(c.selected);
    EXPECT_EQ(fetchPreview(&lists.state, kPrintList), c.result);
    EXPECT_EQ(buffer[0], c.colour);
    EXPECT_EQ(buffer[kPreviewPixels - 1], c.colour);
  }
  platform::deleteFile(jobAt(lists.head(), 0)->path);
  lists.state.preview = 1;
  views[kPrintList].select({0});
  EXPECT_EQ(fetchPreview(&lists.state, kPrintList), 0) << "a vanished file";
  EXPECT_EQ(buffer[0], kPreviewBackground);
  lists.state.previewBuffer = nullptr;
}

}  // namespace
}  // namespace vlx
