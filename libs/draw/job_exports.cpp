// Job files through the library's calls: the device of a job, its setting
// and tiling blocks, its preview, loading its drawing into a document, and
// what a device tells of its job (machine, output device and port, title,
// information, area).
//
// A job file is read afresh by every call: the hot folder's files are not
// ours, and a file that changed between two calls is taken as it is now.
// Anything that is not a sound job file of ours gives the call's failure
// value and changes nothing.
#include <cstring>
#include <memory>

#include "Base.h"
#include "Draw.h"
#include "SPOOL.h"
#include "libs/draw/devices.h"
#include "libs/draw/job_file.h"
#include "libs/draw/library.h"
#include "libs/draw/printer_folder.h"
#include "libs/draw/setting_block.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

constexpr uint32_t kNoPreview = 0xFFFFFF;  // white: nothing to show

// A job whose setting block is not one of ours is not a job: the block is
// handed back to us later without its size.
bool readJob(const char* path, unsigned parts, jobfile::Job* job) {
  jdraw::SettingBlock block;
  return jobfile::readJobFile(path, parts, job) == jobfile::Status::Ok &&
         jdraw::decodeSettingBlock(job->settings.data(), job->settings.size(), &block);
}

// What a read's status tells a host that takes files others write.
struct CheckOf {
  jobfile::Status status;
  int check;
};
constexpr CheckOf kChecks[] = {
    {jobfile::Status::Ok, J_DRX_WHOLE},
    {jobfile::Status::Unreadable, J_DRX_UNREADABLE},
    {jobfile::Status::Truncated, J_DRX_CUT_SHORT},
    {jobfile::Status::OffPage, J_DRX_OFF_PAGE},
};

}  // namespace

// The device is what the queue lists a job by: a drawing that no page can
// hold never gets one, however sound its description.
JDRAW_API jDEVICE jFileLoadDRXDevOpen(const char* path) {
  jobfile::Job job;
  return readJob(path, jobfile::kItemHeads, &job) ? jdraw::newJobDevice(job) : nullptr;
}

JDRAW_API int jFileCheckDRX(const char* path) {
  jobfile::Job job;
  const jobfile::Status status = jobfile::readJobFile(path, jobfile::kItemHeads, &job);
  if (status == jobfile::Status::NotAJob) {
    // The reader calls a file without a byte no job; a writer may just not
    // have written its first one yet.
    platform::FolderEntry entry{};
    if (platform::lookAtFile(path, &entry) && !entry.isDirectory && entry.size == 0) return J_DRX_EMPTY;
  }
  if (status == jobfile::Status::Ok) {
    jdraw::SettingBlock block;
    if (!jdraw::decodeSettingBlock(job.settings.data(), job.settings.size(), &block)) return J_DRX_NOT_A_JOB;
  }
  for (const CheckOf& c : kChecks)
    if (c.status == status) return c.check;
  return J_DRX_NOT_A_JOB;
}

JDRAW_API void* jFileLoadDRXDevSetting(const char* path) {
  jobfile::Job job;
  if (!readJob(path, jobfile::kDescription, &job)) return nullptr;
  void* block = jMemAlloc(job.settings.size());
  if (block) std::memcpy(block, job.settings.data(), job.settings.size());
  return block;
}

JDRAW_API int jFileLoadDRXTrep(const char* path, void* tileBlock) {
  jobfile::Job job;
  if (!tileBlock || !readJob(path, jobfile::kDescription, &job) || !job.hasTiling) return 0;
  std::memcpy(tileBlock, job.tiling.data(), job.tiling.size());
  return 1;
}

JDRAW_API int jFilePreviewGet(jCOLOR* preview, int, int, const char* path) {
  if (!preview) return 0;
  jobfile::Job job;
  const bool shown = readJob(path, jobfile::kPreview, &job) && !job.preview.empty();
  for (int i = 0; i < jobfile::kPreviewSide * jobfile::kPreviewSide; ++i)
    preview[i] = shown ? job.preview[i] : kNoPreview;
  return shown ? 1 : 0;
}

JDRAW_API int jFileLoad(int32_t document, int, int, const char* path) {
  if (!jdraw::documentDrawing(document)) return 0;
  jobfile::Job job;
  // The images' pixels stay in the file: a print run reads their rows as
  // its bands need them.
  if (!readJob(path, jobfile::kDrawing | jobfile::kRowsInFile, &job)) return 0;
  auto drawing = std::make_shared<jdraw::Drawing>();
  drawing->area = job.area;
  drawing->items = std::move(job.items);
  return jdraw::setDocumentDrawing(document, std::move(drawing)) ? 1 : 0;
}

JDRAW_API int jPdevGetMcnName(jDEVICE device, char* machine64) {
  return jdraw::deviceMachine(device, machine64) ? 1 : 0;
}

JDRAW_API int jPdevGetTitle(jDEVICE device, char* title32) {
  jDevice_ d;
  if (!title32 || !jdraw::copyDevice(device, &d)) return 0;
  std::memcpy(title32, d.title, sizeof d.title);
  return d.fromJob ? 1 : 0;
}

JDRAW_API int jPdevGetDevInfo(jDEVICE device, char* info256) {
  jDevice_ d;
  if (!info256 || !jdraw::copyDevice(device, &d)) return 0;
  std::memcpy(info256, d.info, sizeof d.info);
  return d.fromJob ? 1 : 0;
}

JDRAW_API int jPdevGetArea(jDEVICE device, jPdevArea* area) {
  jDevice_ d;
  if (!area || !jdraw::copyDevice(device, &d) || !d.fromJob) return 0;
  *area = jPdevArea{};
  area->x0 = d.area.x0;
  area->y0 = d.area.y0;
  area->x1 = d.area.x1;
  area->y1 = d.area.y1;
  area->mmPerUnitX = d.area.mmPerUnitX;
  area->mmPerUnitY = d.area.mmPerUnitY;
  area->tiled = d.area.tiled;
  return 1;
}

// The registry of the printer folder names the device that prints for the
// machine; the job's setting block may prefer one of them.
JDRAW_API int jPdevGetDevicePort(const char* printerFolder, const char* machine, const void* setting, char* device100,
                                 char* port100) {
  if (device100) device100[0] = '\0';
  if (port100) port100[0] = '\0';
  if (!printerFolder || !printerFolder[0] || !machine || !device100 || !port100) return 0;
  jdraw::rememberPrinterFolder(printerFolder);
  jdraw::SettingBlock block;
  if (!jdraw::decodeHandedBlock(setting, &block)) block = jdraw::SettingBlock{};
  char registry[platform::kMaxPath];
  char device[260];
  char port[260];
  if (!platform::joinPath(registry, sizeof registry, printerFolder, "DEVICE.rgs") ||
      jSplFindMachinePort(registry, machine, block.device, device, port) != 1)
    return 0;
  // A name cut to the caller's field would name another device: refused.
  if (!platform::copyString(device100, jdraw::kDeviceNameBytes, device) ||
      !platform::copyString(port100, jdraw::kDeviceNameBytes, port)) {
    device100[0] = port100[0] = '\0';
    return 0;
  }
  return 1;
}
