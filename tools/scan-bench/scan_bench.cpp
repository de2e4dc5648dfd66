// Speed of the folder scans and the refresh tick over a hot folder of many
// job files, all listed already, with the ink estimates and a file that
// stays locked, as a shop's queue runs for hours:
//
//   RefreshTick/<n>        the refresh tick: both folders scanned, the print
//                          list handed to the estimator (every job estimated
//                          already), the next settle check worked out
//   RefreshTickQueued/<n>  the same while the estimator is busy with its
//                          first job and every other job waits in its queue
//   LockedMinute/<n>       a minute of the window's timers with one file that
//                          stays locked: six refresh ticks and the settle
//                          checks the locked file asks for
//   Intake/<n>             n new files taken: the first look, then the second
//                          look that loads and appends every one of them
//   PrintedOrder/<n>       the printed list of n jobs in random date order
//                          sorted newest first and checked against HOLDJOB
//
// The files are real (one folder per size, made once outside the timing);
// the drawing library is replaced by a table that accepts every file without
// reading it, and the dry run by one that answers at once, so the figures
// are the queue's own work. Figures: wall time and the CPU time of the whole
// process (every thread, the estimator's too), at normal priority; each
// with its complexity fit over the CPU time, which must be linear (n log n
// for the sort).
// A set-up that fails stops the program with a non-zero exit status and
// says why.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/intake_watch.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_lock.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

using namespace vlx;

std::int64_t g_now = 0;
std::string g_failure;  // the first set-up that failed

void setUpFailed(benchmark::State& s, const std::string& why) {
  if (g_failure.empty()) g_failure = why;
  std::fprintf(stderr, "scan-bench: set-up failed (%lld files): %s\n", static_cast<long long>(s.range(0)), why.c_str());
  s.SkipWithError(why.c_str());
}

// A list view that only counts what it is asked to show.
class CountingView final : public JobListView {
 public:
  int nextSelected(int) const override { return -1; }
  int rowCount() const override { return rows_; }
  void deleteAllRows() override { rows_ = 0; }
  void insertRow(int, const char*, int) override { ++rows_; }
  void setCell(int, int, const char*) override {}
  void setImage(int, int) override {}
  void setSelectedFocused(int) override {}

 private:
  int rows_ = 0;
};

// The file that stays locked: the table cannot load it just now, as for a
// file another program holds open (without a device registry it is "not
// now", never "not a job").
constexpr char kLockedName[] = "locked.vjx";
std::atomic<jDEVICE> g_lockedDevice{nullptr};

const DrawCalls& acceptingDraw() {
  static const DrawCalls calls = {
      [](const char* path) -> jDEVICE {
        // Devices are freed with their records, and a new one may get a freed
        // one's address: each load says anew whether its device is the
        // locked file's.
        jDEVICE device = jPdevOpen();
        if (std::strcmp(platform::fileNamePart(path), kLockedName) == 0)
          g_lockedDevice = device;
        else if (device == g_lockedDevice)
          g_lockedDevice = nullptr;
        return device;
      },
      [](const char*) -> void* { return jMemAlloc(16); },
      [](const char*, void*) { return 0; },
      jPdevClose,
      [](jDEVICE device, char* machine) {
        std::strcpy(machine, device == g_lockedDevice ? "LOCKED" : "EPSON RX-3");
        return 1;
      },
      [](const char*, const char* machine, const void*, char* device, char* port) {
        if (std::strcmp(machine, "LOCKED") == 0) return 0;
        std::strcpy(device, "RX-3 file");
        std::strcpy(port, "FILE:output");
        return 1;
      },
      nullptr,
      nullptr,
      nullptr,
      nullptr,
      nullptr,
  };
  return calls;
}

// The dry run: at once, or held while the test wants a full queue.
std::atomic<bool> g_holdEstimates{false};

bool quickEstimate(const char*, const std::atomic<int>& cancel, InkEstimate* out) {
  while (g_holdEstimates && !cancel) platform::sleepMilliseconds(1);
  *out = InkEstimate{};
  out->picolitres[0] = 1000;
  return true;
}

bool makeFile(const std::string& path) {
  if (platform::pathExists(path.c_str())) return true;
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
  const bool written = file && platform::writeAll(file, "JOB", 3);
  if (file) platform::closeFile(file);
  return written;
}

// A folder of n small job files beside the program, made once per size;
// empty when it could not be made.
std::string folderOf(int n, std::string* why) {
  static std::map<int, std::string> folders;
  auto found = folders.find(n);
  if (found != folders.end()) return found->second;
  const std::string folder = "scan-bench-" + std::to_string(n);
  platform::createFolder(folder.c_str());
  if (!platform::isFolder(folder.c_str())) {
    *why = "cannot make the folder " + folder + " in the working folder";
    return std::string();
  }
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "job%05d.vjx", i);
    const std::string path = folder + platform::kSeparator + name;
    if (!makeFile(path)) {
      *why = "cannot write " + path;
      return std::string();
    }
  }
  return folders[n] = folder;
}

struct Bench {
  Bench(benchmark::State& s, int n) {
    initJobListLock();
    useDrawCalls(&acceptingDraw());
    useWatchClock([] { return g_now; });
    forgetSeenFiles();
    state.lists[kPrintList] = createJob();
    state.lists[kPrintedList] = createJob();
    state.viewPorts[kPrintList] = &views[0];
    state.viewPorts[kPrintedList] = &views[1];
    state.holdJobs = -1;
    std::string why;
    const std::string folder = folderOf(n, &why);
    if (folder.empty()) {
      setUpFailed(s, why);
      return;
    }
    platform::copyString(state.hotFolder, sizeof state.hotFolder, folder.c_str());
    ready = true;
  }
  ~Bench() {
    stopJobInk();
    if (!locked.empty()) platform::deleteFile(locked.c_str());
    for (JobRecord* head : state.lists) destroyChain(head);
    forgetSeenFiles();
    useWatchClock(nullptr);
    useDrawCalls(nullptr);
    deleteJobListLock();
  }
  void takeAll() {
    scanHotFolder(&state);
    g_now += kSettleMilliseconds;
    scanHotFolder(&state);
  }
  // Every file listed, the locked one put off and the estimates made (or,
  // held, all queued behind the first); false when that did not come about.
  bool runningQueue(benchmark::State& s, int n, bool held) {
    if (!ready) return false;
    takeAll();
    if (const int listed = countJobs(state.lists[kPrintList]); listed != n) {
      setUpFailed(
          s, std::to_string(listed) + " of the " + std::to_string(n) + " files of " + state.hotFolder + " were listed");
      return false;
    }
    locked = std::string(state.hotFolder) + platform::kSeparator + kLockedName;
    if (!makeFile(locked)) {
      setUpFailed(s, "cannot write " + locked);
      return false;
    }
    takeAll();
    if (countJobs(state.lists[kPrintList]) != n || filesSettling() != 1) {
      setUpFailed(s, "the locked file was listed, or is not looked at again");
      return false;
    }
    g_holdEstimates = held;
    startJobInk(quickEstimate);
    wantPrintListInk(&state);
    const JobRecord* last = lastOf(state.lists[kPrintList]);
    InkEstimate estimate;
    for (int i = 0; i < 100000 && !held && !jobInk(last->path, &estimate); ++i) platform::sleepMilliseconds(1);
    if (!held && !jobInk(last->path, &estimate)) {
      setUpFailed(s, "the estimates were not made within 100 s");
      return false;
    }
    return true;
  }
  // What the window's refresh does, less the window.
  void tick() {
    rescanFolders(&state, ViewFill::Append);
    wantPrintListInk(&state);
    benchmark::DoNotOptimize(filesSettling());
  }

  AppState state{};
  CountingView views[2];
  std::string locked;
  bool ready = false;
};

void report(benchmark::State& s, int n) {
  s.SetComplexityN(n);
  s.counters["files/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate);
}

void RefreshTick(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(s, n);
  if (!bench.runningQueue(s, n, false)) return;
  for (auto _ : s) bench.tick();
  report(s, n);
}

void RefreshTickQueued(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(s, n);
  if (!bench.runningQueue(s, n, true)) return;
  for (auto _ : s) bench.tick();
  g_holdEstimates = false;
  report(s, n);
}

// The refresh period and the window's settle checks, on the bench's clock.
constexpr std::int64_t kTickMs = 10000;
constexpr std::int64_t kMinuteMs = 60000;

void LockedMinute(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(s, n);
  if (!bench.runningQueue(s, n, false)) return;
  int checks = 0;
  for (auto _ : s) {
    const std::int64_t start = g_now;
    std::int64_t nextTick = start + kTickMs;
    while (g_now < start + kMinuteMs) {
      const int delay = settleCheckDelay();
      const std::int64_t check = delay < 0 ? INT64_MAX : g_now + delay;
      if (check < nextTick) {
        g_now = check;
        recheckSettling(&bench.state);
        ++checks;
      } else {
        g_now = nextTick;
        nextTick += kTickMs;
        bench.tick();
      }
    }
  }
  report(s, n);
  s.counters["checks/min"] = benchmark::Counter(checks, benchmark::Counter::kAvgIterations);
}

void Intake(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(s, n);
  if (!bench.ready) return;
  for (auto _ : s) {
    bench.takeAll();
    s.PauseTiming();
    destroyChain(nextOf(bench.state.lists[kPrintList]));
    forgetSeenFiles();
    s.ResumeTiming();
  }
  report(s, n);
}

void PrintedOrder(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  JobRecord* head = createJob();
  std::mt19937 random(42);
  for (auto _ : s) {
    s.PauseTiming();
    destroyChain(nextOf(head));
    JobRecord* tail = head;
    for (int i = 0; i < n; ++i) {
      JobRecord* r = createJob();
      r->year = 2026;
      r->month = 1 + static_cast<int>(random() % 12);
      r->day = 1 + static_cast<int>(random() % 28);
      r->second = static_cast<int>(random() % 60);
      insertAfter(r, tail);
      tail = r;
    }
    s.ResumeTiming();
    sortNewestFirst(head);
    trimToHoldJobs(head, n);
  }
  destroyChain(head);
  s.SetComplexityN(n);
}

// Up to 20,000 files, with sizes on both sides of the powers of two.
void sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1250, 2500, 5000, 8192, 10000, 16384, 20000}) b->Arg(n);
  // On a machine shared with other work the best of several repetitions
  // (--benchmark_repetitions) is the figure that tells the code's own cost.
  b->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  });
}

}  // namespace

BENCHMARK(RefreshTick)->Apply(sizes)->Complexity(benchmark::oN);
BENCHMARK(RefreshTickQueued)->Apply(sizes)->Complexity(benchmark::oN);
BENCHMARK(LockedMinute)->Apply(sizes)->Complexity(benchmark::oN);
BENCHMARK(Intake)->Apply(sizes)->Complexity(benchmark::oN);
BENCHMARK(PrintedOrder)->Apply(sizes)->Complexity(benchmark::oNLogN);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!g_failure.empty()) {
    std::fprintf(stderr, "scan-bench: set-up failed: %s\n", g_failure.c_str());
    return 1;
  }
  return 0;
}
