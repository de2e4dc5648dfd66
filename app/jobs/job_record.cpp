#include "app/jobs/job_record.h"

#include <cstring>

#include "Base.h"

namespace vlx {

JobRecord* createJob() {
  auto* record = static_cast<JobRecord*>(jMemAlloc(sizeof(JobRecord)));
  if (!record) return nullptr;
  resetJob(record, 0);
  record->device = jPdevOpen();
  if (!record->device) {
    destroyJob(record);
    return nullptr;
  }
  return record;
}

int resetJob(JobRecord* record, int release) {
  if (!record) return 0;
  if (release) {
    if (record->device) jPdevClose(record->device);
    jMemFree(record->deviceSettings);
    jMemFree(record->tileBlock);
  }
  std::memset(record, 0, sizeof *record);
  record->state = Fresh;
  return 1;
}

int destroyJob(JobRecord* record) {
  if (!record) return 0;
  resetJob(record, 1);
  jMemFree(record);
  return 1;
}

int setSelected(JobRecord* record, int32_t value) {
  if (!record) return 0;
  record->selected = value;
  return 1;
}

int destroyChain(JobRecord* record) {
  if (!record) return 0;
  // Whatever stood before the chain must not keep pointing into freed memory.
  if (record->prev && record->prev->next == record) record->prev->next = nullptr;
  while (record) {
    JobRecord* next = record->next;
    destroyJob(record);
    record = next;
  }
  return 1;
}

}  // namespace vlx
