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

void startJobInk(EstimateJob estimate) {
  auto made = std::make_shared<InkEstimates>(std::move(estimate));
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
    std::thread([ending, ended]() mutable {
      ending.reset();
      std::lock_guard<std::mutex> hold(ended->lock);
      ended->done = true;
      ended->changed.notify_all();
    }).detach();
    ending.reset();
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
  std::vector<std::string> paths;
  {
    JobListLock lock;
    JobRecord* head = listHead(state, kPrintList);
    for (const JobRecord* job = head ? head->next : nullptr; job; job = job->next)
      if (job->path[0]) paths.emplace_back(job->path);
  }
  // Looking at the files happens outside the lock: the list may go on.
  for (const std::string& path : paths) estimates->want(path.c_str());
}

bool jobInk(const char* path, InkEstimate* out) {
  auto estimates = current();
  if (!estimates || !path) return false;
  if (estimates->find(path, out)) return true;
  estimates->want(path);
  return false;
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
