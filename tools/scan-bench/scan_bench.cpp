// Speed of the folder scans over a hot folder of many job files.
//
//   RefreshTick/<n>   the refresh of a hot folder whose n files are all
//                     listed already: the folder listed, every file found
//                     in the print list, nothing added (what timer 1 costs
//                     every 10 seconds while jobs wait)
//   Intake/<n>        n new files taken: the first look, then the second
//                     look that loads and appends every one of them
//   PrintedOrder/<n>  the printed list of n jobs in random date order
//                     sorted newest first and checked against HOLDJOB
//
// The files are real (one folder per size, made once outside the timing);
// the drawing library is replaced by a table that accepts every file without
// reading it, so the figures are the scan's own work. Each reports its
// complexity fit: linear (or n log n for the sort) means no quadratic list
// work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/intake_watch.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

using namespace vlx;

std::int64_t g_now = 0;

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

const DrawCalls& acceptingDraw() {
  static const DrawCalls calls = {
      [](const char*) -> jDEVICE { return jPdevOpen(); },
      [](const char*) -> void* { return jMemAlloc(16); },
      [](const char*, void*) { return 0; },
      jPdevClose,
      [](jDEVICE, char* machine) {
        std::strcpy(machine, "EPSON RX-3");
        return 1;
      },
      [](const char*, const char*, const void*, char* device, char* port) {
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

// A folder of n small job files beside the program, made once per size.
const std::string& folderOf(int n) {
  static std::map<int, std::string> folders;
  auto found = folders.find(n);
  if (found != folders.end()) return found->second;
  const std::string folder = "scan-bench-" + std::to_string(n);
  platform::createFolder(folder.c_str());
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "job%05d.vjx", i);
    const std::string path = folder + platform::kSeparator + name;
    if (platform::pathExists(path.c_str())) continue;
    platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
    platform::writeAll(file, "JOB", 3);
    platform::closeFile(file);
  }
  return folders[n] = folder;
}

struct Bench {
  explicit Bench(int n) {
    useDrawCalls(&acceptingDraw());
    useWatchClock([] { return g_now; });
    forgetSeenFiles();
    state.lists[kPrintList] = createJob();
    state.lists[kPrintedList] = createJob();
    state.viewPorts[kPrintList] = &views[0];
    state.viewPorts[kPrintedList] = &views[1];
    state.holdJobs = -1;
    platform::copyString(state.hotFolder, sizeof state.hotFolder, folderOf(n).c_str());
  }
  ~Bench() {
    for (JobRecord* head : state.lists) destroyChain(head);
    forgetSeenFiles();
    useWatchClock(nullptr);
    useDrawCalls(nullptr);
  }
  void takeAll() {
    scanHotFolder(&state);
    g_now += kSettleMilliseconds;
    scanHotFolder(&state);
  }
  AppState state{};
  CountingView views[2];
};

void RefreshTick(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(n);
  bench.takeAll();
  if (countJobs(bench.state.lists[kPrintList]) != n) s.SkipWithError("not every file was listed");
  for (auto _ : s) rescanFolders(&bench.state, ViewFill::Append);
  s.SetComplexityN(n);
  s.counters["files/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate);
}

void Intake(benchmark::State& s) {
  const int n = static_cast<int>(s.range(0));
  Bench bench(n);
  for (auto _ : s) {
    bench.takeAll();
    s.PauseTiming();
    destroyChain(nextOf(bench.state.lists[kPrintList]));
    forgetSeenFiles();
    s.ResumeTiming();
  }
  s.SetComplexityN(n);
  s.counters["files/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate);
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

}  // namespace

BENCHMARK(RefreshTick)
    ->RangeMultiplier(2)
    ->Range(1250, 10000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Intake)->RangeMultiplier(2)->Range(1250, 10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(PrintedOrder)
    ->RangeMultiplier(2)
    ->Range(1250, 10000)
    ->Complexity(benchmark::oNLogN)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
