#include "app/jobs/job_ink.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/jobs/draw_calls.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"

namespace vlx {
namespace {

std::mutex g_mutex;
std::shared_ptr<InkEstimates> g_estimates;

std::shared_ptr<InkEstimates> current() {
  std::lock_guard<std::mutex> hold(g_mutex);
  return g_estimates;
}

}  // namespace

void startJobInk(EstimateJob estimate, const char* storePath) {
  auto made = std::make_shared<InkEstimates>(std::move(estimate), storePath ? storePath : "");
  std::lock_guard<std::mutex> hold(g_mutex);
  g_estimates = std::move(made);
}

void stopJobInk() {
  std::shared_ptr<InkEstimates> ending;
  {
    std::lock_guard<std::mutex> hold(g_mutex);
    ending.swap(g_estimates);
  }
  // The last owner's release cancels the running dry run and joins.
}

bool stopJobInkWithin(int boundMs) {
  std::shared_ptr<InkEstimates> ending;
  {
    std::lock_guard<std::mutex> hold(g_mutex);
    ending.swap(g_estimates);
  }
  if (!ending) return true;
  struct Ended {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
  };
  try {
    auto ended = std::make_shared<Ended>();
    // The thread gets the only reference: were one kept here too, the
    // thread could drop its own first and leave the waiting release to
    // this one, past the bound.
    std::thread([ending = std::move(ending), ended]() mutable {
      ending.reset();
      std::lock_guard<std::mutex> hold(ended->lock);
      ended->done = true;
      ended->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> hold(ended->lock);
    return ended->changed.wait_for(hold, std::chrono::milliseconds(boundMs), [&] { return ended->done; });
  } catch (...) {
    return true;  // no thread: the release at the end of this scope waits here
  }
}

void onJobInkEstimated(std::function<void(const std::string& path)> notify) {
  if (auto estimates = current()) estimates->onEstimated(std::move(notify));
}

void wantPrintListInk(AppState* state) {
  auto estimates = current();
  if (!estimates || !state) return;
  // Print order: the printing job, the waiting ones as they will print, then
  // the rest as listed. The strings are kept from tick to tick, so a list
  // that stays as it was costs no allocation.
  static std::mutex scratchMutex;
  static std::vector<std::string> paths;
  std::lock_guard<std::mutex> scratch(scratchMutex);
  std::size_t used = 0;
  {
    JobListLock lock;
    JobRecord* head = listHead(state, kPrintList);
    for (const int32_t wanted : {int32_t{Printing}, int32_t{Waiting}, int32_t{-1}}) {
      for (const JobRecord* job = head ? head->next : nullptr; job; job = job->next) {
        const bool first = job->state == Printing || job->state == Waiting;
        if (!job->path[0] || (wanted == -1 ? first : job->state != wanted)) continue;
        if (used == paths.size()) paths.emplace_back();
        paths[used++].assign(job->path);
      }
    }
  }
  paths.resize(used);
  // Whatever is looked at on disk is looked at outside the lock.
  estimates->wantInOrder(paths);
}

bool jobInk(const char* path, InkEstimate* out) {
  auto estimates = current();
  if (!estimates || !path) return false;
  if (estimates->find(path, out)) return true;
  estimates->want(path);
  return false;
}

void holdJobInk(const char* path) {
  if (auto estimates = current()) estimates->holdBack(path);
}

bool jobInkRunning() {
  return current() != nullptr;
}

bool jobInkNow(const char* path, const char* machine, InkEstimate* out) {
  if (!jobInk(path, out)) return false;
  InkEntry now[kEstimateInks];
  const DrawCalls& draw = drawCalls();
  if (machine && machine[0] && draw.machineInk && draw.machineInk(machine, now, kEstimateInks) == kEstimateInks)
    std::memcpy(out->account, now, sizeof now);
  return true;
}

}  // namespace vlx
