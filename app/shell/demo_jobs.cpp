#include "app/shell/demo_jobs.h"

#include <cstring>

#include "app/jobs/job_list.h"
#include "platform/module.h"
#include "platform/path.h"

namespace vlx {
namespace {

struct DemoJob {
  int listIndex;
  int32_t state;
  const char* fileName;
  const char* machine;
  const char* port;
  const char* virtualDevice;
  int day, hour, minute;
};

constexpr DemoJob kDemoJobs[] = {
    {kPrintList, Waiting, "VLX0001.vjx", "RX3-1600", "FILE:", "RX3-1600 ﾛｰﾙ", 8, 9, 12},
    {kPrintList, Idle, "VLX0002.vjx", "RX3-1600", "FILE:", "RX3-1600 ﾛｰﾙ", 8, 9, 20},
    {kPrintList, Idle, "VLX0003.vjx", "RX3-1300", "LPT1:", "RX3-1300", 8, 10, 5},
    {kPrintedList, Idle, "VLX0000.vjx", "RX3-1600", "FILE:", "RX3-1600 ﾛｰﾙ", 7, 17, 45},
    {kPrintedList, Idle, "VLXFFFF.vjx", "RX3-1300", "LPT1:", "RX3-1300", 7, 16, 2},
};

}  // namespace

bool demoJobsRequested() {
  const char* value = platform::environmentValue(kDemoJobsVariable);
  return value && std::strcmp(value, "1") == 0;
}

int addDemoJobs(AppState* state) {
  int added = 0;
  for (const DemoJob& demo : kDemoJobs) {
    JobRecord* head = listHead(state, demo.listIndex);
    if (!head) continue;
    JobRecord* record = createJob();
    if (!record) break;
    record->state = demo.state;
    const char* folder = demo.listIndex == kPrintList ? state->hotFolder : state->printedFolder;
    if (!platform::joinPath(record->path, sizeof record->path, folder, demo.fileName)) {
      platform::copyTruncated(record->path, sizeof record->path, demo.fileName);
    }
    platform::copyTruncated(record->machineName, sizeof record->machineName, demo.machine);
    platform::copyTruncated(record->port, sizeof record->port, demo.port);
    platform::copyTruncated(record->virtualDevice, sizeof record->virtualDevice, demo.virtualDevice);
    record->year = 2026;
    record->month = 12;
    record->day = demo.day;
    record->hour = demo.hour;
    record->minute = demo.minute;
    if (!append(record, head)) {
      destroyJob(record);
      break;
    }
    ++added;
  }
  return added;
}

}  // namespace vlx
