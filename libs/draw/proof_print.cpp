// The dry run's route through the printing-device layer. The plug-in is told
// nothing new: its record's folder is pointed at a scratch folder (where the
// page accounting then keeps its account) and its port at a proof port of the
// spool library, through the calls every host already makes. Spooling to a
// file is turned off for the run; it changes where the bytes wait, not what
// they are.
#include "libs/draw/proof_print.h"

#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "libs/draw/print_route.h"
#include "platform/folders.h"
#include "platform/named_mutex.h"
#include "platform/path.h"

namespace {

constexpr int kInks = 8;

// The scratch folder beside the plug-in: a reserved temporary file and a
// folder named after it, both removed at the end.
class ScratchFolder {
 public:
  bool make(const char* beside) {
    if (!platform::makeTempFile(beside, "PRF", reserved_, sizeof reserved_)) return false;
    if (platform::copyString(folder_, sizeof folder_, reserved_) && std::strlen(folder_) + 2 < sizeof folder_) {
      std::strcat(folder_, "d");
      if (platform::createFolder(folder_)) return true;
    }
    folder_[0] = '\0';
    return false;
  }
  ~ScratchFolder() {
    if (folder_[0]) {
      std::vector<std::string> files;
      platform::listFolder(folder_, [&](const platform::FolderEntry& e) {
        if (!e.isDirectory) files.push_back(e.name);
        return true;
      });
      for (const std::string& name : files) {
        char path[platform::kMaxPath];
        if (platform::joinPath(path, sizeof path, folder_, name.c_str())) platform::deleteFile(path);
      }
      platform::removeFolder(folder_);
    }
    if (reserved_[0]) platform::deleteFile(reserved_);
  }
  const char* path() const { return folder_; }

 private:
  char reserved_[platform::kMaxPath] = {};
  char folder_[platform::kMaxPath] = {};
};

thread_local const std::atomic<int>* t_cancel = nullptr;

void* begin(void* owner) {
  return owner;
}
void end(void*) {}
int go(void*) {
  return t_cancel && t_cancel->load() ? 0 : 1;
}
int step(void* progress, int, const char*) {
  return go(progress);
}

// The plug-in's files are guarded by the machine-wide printing lock, which
// another process (a host program with the ink dialog open, a print) may
// hold for long. The run takes it first, in slices that look at the cancel
// and within a bound, and holds it to the end: the lock is re-entrant, so
// the plug-in's own waits for it inside the run never block.
constexpr const char* kPrintingLockName = "MUTEX_PRINT_DEV";
constexpr int kLockSliceMs = 50;
constexpr int kLockBoundMs = 60000;  // as long as a port may take nothing

class PrintingLock {
 public:
  PrintingLock() : mutex_(platform::openNamedMutex(kPrintingLockName)) {}
  ~PrintingLock() {
    if (held_) platform::unlockNamedMutex(mutex_);
    platform::closeNamedMutex(mutex_);
  }
  PrintingLock(const PrintingLock&) = delete;
  PrintingLock& operator=(const PrintingLock&) = delete;

  // false when cancelled or the bound ran out.
  bool take(const std::atomic<int>* cancel) {
    if (!mutex_) return true;  // no lock to be had: the plug-in manages without
    for (int waited = 0; waited < kLockBoundMs; waited += kLockSliceMs) {
      if (cancel && cancel->load()) return false;
      if (platform::lockNamedMutexFor(mutex_, kLockSliceMs)) return held_ = true;
    }
    return false;
  }

 private:
  platform::NamedMutex* mutex_;
  bool held_ = false;
};

class ProofRoute : public jdraw::PrintRoute {
 public:
  ProofRoute(jPdevProofRun* run, const char* port) : run_(run), port_(port) {}

  bool prepare(const jdraw::DriverExports& driver, DeviceRecord* record) override {
    driver.loadInk(record, run_->account);
    auto* state = reinterpret_cast<uint8_t*>(record->state);
    // The scratch account lies inside the plug-in's folder, the only place
    // besides that folder itself where the plug-in keeps an ink file.
    char folder[platform::kMaxPath];
    if (!platform::folderPart(record->driverPath, folder, sizeof folder) || !scratch_.make(folder)) return false;
    char device[260];
    char port[260];
    if (driver.getDeviceName(record, device, port) != 1 || driver.setDeviceName(record, device, port_) != 1)
      return false;
    std::memset(state + jdraw::kStateDriverDirectory, 0, platform::kMaxPath);
    std::memcpy(state + jdraw::kStateDriverDirectory, scratch_.path(), std::strlen(scratch_.path()));
    const int32_t direct = 0;
    std::memcpy(state + jdraw::kStateSpoolMode, &direct, sizeof direct);
    // The run counts into a fresh scratch account; one that cannot be
    // written would count nothing and pass for a job of 0 ml.
    InkEntry fresh[kInks];
    driver.loadInk(record, fresh);
    for (InkEntry& ink : fresh) ink.totalUsed = ink.lastPage = 0;
    if (driver.saveInk(record, fresh) != 1) return false;
    run_->xResolution = record->xResolution;
    run_->yResolution = record->yResolution;
    return true;
  }

  void finish(const jdraw::DriverExports& driver, DeviceRecord* record) override {
    InkEntry counted[kInks];
    driver.loadInk(record, counted);
    for (int i = 0; i < kInks; ++i)
      run_->inkPicolitres[i] = counted[i].totalUsed > 0 ? static_cast<uint64_t>(counted[i].totalUsed) : 0;
  }

  jProgressHooks hooks() const override { return jProgressHooks{begin, end, go, step, go}; }

 private:
  jPdevProofRun* run_;
  const char* port_;
  ScratchFolder scratch_;
};

}  // namespace

JDRAW_API int jPdevProof(int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
                         jPdevProofRun* run) {
  if (!run) return -1;
  std::memset(run->account, 0, sizeof run->account);
  std::memset(run->inkPicolitres, 0, sizeof run->inkPicolitres);
  run->xResolution = run->yResolution = 0;
  char port[32];
  // No receiver: the port drops the stream, and the plug-in leaves its
  // packing out; the ink is counted from the dots all the same.
  if (jSplProofOpen(run->write, run->user, port, sizeof port) != 1) return -1;
  const std::atomic<int>* outer = t_cancel;
  t_cancel = run->cancel;
  int result;
  {
    PrintingLock lock;
    if (!lock.take(run->cancel)) {
      t_cancel = outer;
      jSplProofClose(port);
      return run->cancel && run->cancel->load() ? 0 : -1;
    }
    ProofRoute route(run, port);
    result = jdraw::printDocument(nullptr, document, device, tileBlock, setting, &route);
  }
  t_cancel = outer;
  jSplProofClose(port);
  // A cancel seen by the stream's receiver fails the port rather than
  // interrupting a band; it is still a cancel.
  if (result != 1 && run->cancel && run->cancel->load()) result = 0;
  return result;
}

JDRAW_API int jPdevProofFile(const char* path, jPdevProofRun* run) {
  if (!path || !run) return -1;
  jDEVICE device = jFileLoadDRXDevOpen(path);
  if (!device) return -1;
  void* setting = jFileLoadDRXDevSetting(path);
  uint8_t tile[J_TILE_BLOCK_SIZE] = {};
  const bool tiled = jFileLoadDRXTrep(path, tile) != 0;
  // A document of the run's own, so that a print of the queue's document
  // may go on meanwhile.
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  const int32_t document = jDrawGDBOpen(&params);
  int result = -1;
  if (document && jFileLoad(document, 16, 0, path) == 1)
    result = jPdevProof(document, device, tiled ? tile : nullptr, setting, run);
  if (document) jDrawGDBClose(document);
  if (setting) jMemFree(setting);
  jPdevClose(device);
  return result;
}
