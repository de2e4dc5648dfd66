// The dry run's route through the printing-device layer: the record's port
// is pointed at a proof port of the spool library, and the plug-in is told
// through its dry-run exports to count the pages into a scratch account of
// its own (and to send straight to the port) until the run ends.
#include <cstring>

#include "Base.h"
#include "Draw.h"
#include "SPOOL.h"
#include "libs/draw/print_route.h"
#include "platform/named_mutex.h"

namespace {

constexpr int kInks = 8;

bool cancelled(const jPdevProofRun* run) {
  return run && run->cancelled && run->cancelled(run->cancelUser) != 0;
}

thread_local const jPdevProofRun* t_run = nullptr;

void* begin(void* owner) {
  return owner;
}
void end(void*) {}
int go(void*) {
  return cancelled(t_run) ? 0 : 1;
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
  bool take(const jPdevProofRun* run) {
    if (!mutex_) return true;  // no lock to be had: the plug-in manages without
    for (int waited = 0; waited < kLockBoundMs; waited += kLockSliceMs) {
      if (cancelled(run)) return false;
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
    if (!driver.beginDryRun || !driver.endDryRun) return false;  // a plug-in that counts only real prints
    driver.loadInk(record, run_->account);
    char device[260];
    char port[260];
    if (driver.getDeviceName(record, device, port) != 1 || driver.setDeviceName(record, device, port_) != 1)
      return false;
    if (driver.beginDryRun(record) != 1) return false;
    counting_ = true;
    run_->xResolution = record->xResolution;
    run_->yResolution = record->yResolution;
    return true;
  }

  bool pageAhead(const jdraw::DriverExports& driver, DeviceRecord* record, int page, float x0, float y0, float x1,
                 float y1) override {
    if (!run_->page) return true;
    int32_t width = 0, height = 0;
    if (!driver.pageDots || driver.pageDots(record, x0, y0, x1, y1, &width, &height) != 1) width = height = 0;
    return run_->page(run_->pageUser, page, width, height) == 0;
  }

  void finish(const jdraw::DriverExports& driver, DeviceRecord* record) override {
    if (!counting_) return;
    InkEntry counted[kInks];
    driver.loadInk(record, counted);
    for (int i = 0; i < kInks; ++i)
      run_->inkPicolitres[i] = counted[i].totalUsed > 0 ? static_cast<uint64_t>(counted[i].totalUsed) : 0;
    driver.endDryRun(record);
    counting_ = false;
  }

  jProgressHooks hooks() const override { return jProgressHooks{begin, end, go, step, go}; }

 private:
  jPdevProofRun* run_;
  const char* port_;
  bool counting_ = false;
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
  if (jSplProofOpen(run->write, run->writeUser, port, sizeof port) != 1) return -1;
  const jPdevProofRun* outer = t_run;
  t_run = run;
  int result;
  {
    PrintingLock lock;
    if (!lock.take(run)) {
      t_run = outer;
      jSplProofClose(port);
      return cancelled(run) ? 0 : -1;
    }
    ProofRoute route(run, port);
    result = jdraw::printDocument(nullptr, document, device, tileBlock, setting, &route);
  }
  t_run = outer;
  jSplProofClose(port);
  // A cancel seen by the stream's receiver fails the port rather than
  // interrupting a band; it is still a cancel.
  if (result != 1 && cancelled(run)) result = 0;
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
