// The few Google Benchmark names the raster benchmark uses, on a tiny
// timing harness of our own, for targets without a Google Benchmark
// package (MinGW). Each benchmark runs until it has taken half a second
// (at least one iteration) and reports wall time per iteration and its rate
// counters (per wall-clock second), in the shape of Google Benchmark's
// console output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace benchmark {

namespace internal {
// Seconds on a monotonic clock (<chrono> is avoided: its headers do not
// survive the CP932 execution character set).
inline double now() {
#if defined(_WIN32)
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
#endif
}
}  // namespace internal

enum TimeUnit { kMillisecond };

struct Counter {
  enum Flags { kDefaults = 0, kIsRate = 1 };
  double value = 0;
  Flags flags = kDefaults;
  Counter() = default;
  Counter(double v, Flags f = kDefaults) : value(v), flags(f) {}
};

class State {
 public:
  State(const std::vector<int64_t>& args, int64_t maxIterations) : args_(args), max_(maxIterations) {}

  int64_t range(size_t i) const { return i < args_.size() ? args_[i] : 0; }
  void SetLabel(const std::string& label) { label_ = label; }
  void PauseTiming() { pausedAt_ = internal::now(); }
  void ResumeTiming() { excluded_ += internal::now() - pausedAt_; }
  void SkipWithError(const char* message) { label_ = std::string("error: ") + message; }

  // What the loop variable holds; not trivial, so an unused one draws no
  // warning, as with Google Benchmark.
  struct Value {
    Value() {}
    ~Value() {}
  };

  struct Iterator {
    State* s;
    int64_t left;
    bool operator!=(const Iterator&) const {
      if (left > 0) return true;
      s->finish();
      return false;
    }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };
  Iterator begin() {
    start_ = internal::now();
    return Iterator{this, max_};
  }
  Iterator end() { return Iterator{this, 0}; }

  std::map<std::string, Counter> counters;
  double seconds() const { return seconds_; }
  int64_t iterations() const { return max_; }
  const std::string& label() const { return label_; }

 private:
  void finish() { seconds_ = internal::now() - start_ - excluded_; }
  std::vector<int64_t> args_;
  int64_t max_;
  std::string label_;
  double start_ = 0;
  double pausedAt_ = 0;
  double excluded_ = 0;
  double seconds_ = 0;
};

namespace internal {

struct Registered {
  std::string name;
  std::function<void(State&)> fn;
  std::vector<std::vector<int64_t>> argSets;
  Registered* Args(const std::vector<int64_t>& a) {
    argSets.push_back(a);
    return this;
  }
  Registered* Unit(TimeUnit) { return this; }
  Registered* UseRealTime() { return this; }
};

inline std::vector<Registered*>& registry() {
  static std::vector<Registered*> all;
  return all;
}

inline Registered* add(const char* name, void (*fn)(State&)) {
  auto* r = new Registered{name, fn, {}};
  registry().push_back(r);
  return r;
}

inline void runOne(const Registered& r, const std::vector<int64_t>& args) {
  int64_t n = 1;
  for (;;) {
    State s(args, n);
    r.fn(s);
    if (s.seconds() >= 0.5 || n >= (int64_t{1} << 30)) {
      std::string name = r.name;
      for (int64_t a : args) name += "/" + std::to_string(a);
      std::printf("%-40s %12.3f ms %10lld", name.c_str(), s.seconds() * 1e3 / static_cast<double>(n),
                  static_cast<long long>(n));
      for (const auto& [key, c] : s.counters) {
        const double v = c.flags == Counter::kIsRate ? c.value / s.seconds() : c.value;
        std::printf(" %s=%.4g", key.c_str(), v);
      }
      std::printf(" %s\n", s.label().c_str());
      return;
    }
    const double perIteration = s.seconds() / static_cast<double>(n);
    const int64_t want = perIteration > 0 ? static_cast<int64_t>(0.6 / perIteration) + 1 : n * 10;
    n = want > n * 10 ? n * 10 : want > n ? want : n + 1;
  }
}

// argv[1], when given, keeps only the benchmarks whose name contains it.
inline int runAll(int argc, char** argv) {
  const std::string filter = argc > 1 ? argv[1] : "";
  for (const Registered* r : registry()) {
    if (!filter.empty() && r->name.find(filter) == std::string::npos) continue;
    if (r->argSets.empty())
      runOne(*r, {});
    else
      for (const auto& a : r->argSets) runOne(*r, a);
  }
  return 0;
}

}  // namespace internal

template <typename T>
inline void DoNotOptimize(T const& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}

}  // namespace benchmark

#define MINI_BENCH_CONCAT2(a, b) a##b
#define MINI_BENCH_CONCAT(a, b) MINI_BENCH_CONCAT2(a, b)
#define BENCHMARK(fn)                                                                  \
  static ::benchmark::internal::Registered* MINI_BENCH_CONCAT(mini_bench_, __LINE__) = \
      ::benchmark::internal::add(#fn, fn)
#define BENCHMARK_MAIN()                              \
  int main(int argc, char** argv) {                   \
    return ::benchmark::internal::runAll(argc, argv); \
  }
