// Time of a job's ink estimate beside the time of printing the same job:
//
//   Estimate/<width mm>/<height mm>   the dry run of the job file through the
//                                     installed driver (render, separation,
//                                     halftoning, the ink counted into a
//                                     scratch account, no stream kept)
//   Print/<width mm>/<height mm>      the same job printed through the same
//                                     driver to a file port
//
// Both over one job of a photograph-like image over the whole area, at the
// machine's default 720 x 720 dpi, at normal priority. Times are wall time
// (real_time) and the processor time of all the process's threads
// (cpu_time, the driver's conversion thread included); s_per_m2 is wall time
// per square metre of print. The printer folder (a copy of the built plug-in,
// a device on the file port) and the job files lie in a folder beside the
// program, removed at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "libs/draw/job_file.h"
#include "libs/draw/setting_block.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"
#include "tools/bench_files.h"

namespace {

using bench::besideProgram;
using bench::copyFile;

std::string g_folder;

bool setUpPrinterFolder() {
  g_folder = besideProgram("estimate-bench.tmp");
  platform::createFolder(g_folder.c_str());
  if (!copyFile(besideProgram("RX3.so"), g_folder + "/RX3.so")) return false;
  platform::createFolder((g_folder + "/out").c_str());
  const std::string devices = "DEVICE\tRX-3 file\tRX3.so\tEPSON RX-3\tFILE:" + g_folder + "/out\r\n";
  platform::FileHandle registry =
      platform::openFile((g_folder + "/DEVICE.rgs").c_str(), platform::OpenMode::CreateAlways);
  if (!registry) return false;
  const bool listed = platform::writeAll(registry, devices.data(), devices.size());
  platform::closeFile(registry);
  if (!listed) return false;
  jDrawOpenParams open{1000, {}};
  return jDrawOpen(nullptr, &open) == 1 && jPdevSetPrinterFolder(g_folder.c_str()) == 1;
}

std::string makeJob(float widthMm, float heightMm) {
  jobfile::Job job;
  job.machine = "EPSON RX-3";
  jdraw::encodeSettingBlock(jdraw::SettingBlock{}, &job.settings);
  job.title = "estimate bench";
  job.area = jobfile::Area{0, 0, widthMm, heightMm, 1, 1, 0};
  job.preview.assign(jobfile::kPreviewSide * jobfile::kPreviewSide, 0);
  jobfile::Item image;
  image.kind = jobfile::kRgbImage;
  image.x1 = widthMm;
  image.y1 = heightMm;
  image.width = 640;
  image.height = 480;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      image.pixels.push_back(static_cast<uint8_t>(x * 255 / image.width));
      image.pixels.push_back(static_cast<uint8_t>(y * 255 / image.height));
      image.pixels.push_back(static_cast<uint8_t>((x ^ y) * 3));
    }
  job.items.push_back(image);
  const std::string path = g_folder + "/job-" + std::to_string(static_cast<int>(widthMm)) + "x" +
                           std::to_string(static_cast<int>(heightMm)) + ".vjx";
  return jobfile::writeJobFile(path.c_str(), job) ? path : std::string();
}

void perSquareMetre(benchmark::State& state, float width, float height) {
  state.counters["s_per_m2"] = benchmark::Counter(
      width * height / 1e6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Estimate(benchmark::State& state) {
  const float width = static_cast<float>(state.range(0)), height = static_cast<float>(state.range(1));
  const std::string path = makeJob(width, height);
  if (path.empty()) {
    state.SkipWithError("no job file");
    return;
  }
  jPdevProofRun run{};
  for (auto _ : state) {
    if (jPdevProofFile(path.c_str(), &run) != 1) {
      state.SkipWithError("the dry run failed");
      break;
    }
  }
  platform::deleteFile(path.c_str());
  perSquareMetre(state, width, height);
  state.counters["dpi"] = run.xResolution;
}

// Empties the file port's folder after each print.
void clearOutput() {
  const std::string out = g_folder + "/out";
  std::vector<std::string> names;
  platform::listFolder(out.c_str(), [&](const platform::FolderEntry& e) {
    names.push_back(e.name);
    return true;
  });
  for (const std::string& name : names) platform::deleteFile((out + "/" + name).c_str());
}

void Print(benchmark::State& state) {
  const float width = static_cast<float>(state.range(0)), height = static_cast<float>(state.range(1));
  const std::string path = makeJob(width, height);
  jDEVICE device = path.empty() ? nullptr : jFileLoadDRXDevOpen(path.c_str());
  void* setting = device ? jFileLoadDRXDevSetting(path.c_str()) : nullptr;
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  const int32_t document = setting ? jDrawGDBOpen(&params) : 0;
  if (!document || jFileLoad(document, 16, 0, path.c_str()) != 1) {
    state.SkipWithError("the job cannot be loaded for printing");
  } else {
    for (auto _ : state) {
      const int printed = jPdevPrint(nullptr, document, device, 0, setting);
      state.PauseTiming();
      clearOutput();
      state.ResumeTiming();
      if (printed != 1) {
        state.SkipWithError("the print failed");
        break;
      }
    }
  }
  if (document) jDrawGDBClose(document);
  if (setting) jMemFree(setting);
  if (device) jPdevClose(device);
  if (!path.empty()) platform::deleteFile(path.c_str());
  perSquareMetre(state, width, height);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({100, 100})->Args({200, 200})->Args({400, 300})->Unit(benchmark::kMillisecond);
  b->UseRealTime()->MeasureProcessCPUTime();
}
BENCHMARK(Estimate)->Apply(Sizes);
BENCHMARK(Print)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  if (!setUpPrinterFolder()) {
    std::fprintf(stderr, "estimate-bench: no printer folder with the plug-in\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  jDrawClose();
  // What the runs left: the plug-in copy and the ink files of the scratch
  // accounts are gone with the folder.
  clearOutput();
  platform::removeFolder((g_folder + "/out").c_str());
  std::vector<std::string> names;
  platform::listFolder(g_folder.c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) names.push_back(e.name);
    return true;
  });
  for (const std::string& name : names) platform::deleteFile((g_folder + "/" + name).c_str());
  platform::removeFolder(g_folder.c_str());
  return 0;
}
