// The few Google Benchmark names the raster benchmark uses, on a tiny
// timing harness of our own, built the same way natively and for Windows so
// that both report on one basis. Each benchmark runs until it has taken half
// a second (at least one iteration) and reports wall time per iteration and
// each rate counter twice: per wall-clock second and per second of processor
// time of the whole process (all threads); cpu-s is that processor time per
// iteration.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace benchmark {
namespace internal {

// Seconds on a monotonic clock, and processor seconds used by every thread
// of the process so far.
inline double now() {
  return platform::monotonicSeconds();
}
inline double cpuNow() {
  return platform::processSeconds();
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
  void SetLabel(const std::string& label) {
    if (!failed_) label_ = label;
  }
  void PauseTiming() {
    pausedAt_ = internal::now();
    cpuPausedAt_ = internal::cpuNow();
  }
  void ResumeTiming() {
    excluded_ += internal::now() - pausedAt_;
    cpuExcluded_ += internal::cpuNow() - cpuPausedAt_;
  }
  // The run stops counting and the program ends with a failure.
  void SkipWithError(const char* message) {
    label_ = std::string("error: ") + message;
    failed_ = true;
  }

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
      if (left > 0 && !s->failed_) return true;
      s->finish();
      return false;
    }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };
  Iterator begin() {
    start_ = internal::now();
    cpuStart_ = internal::cpuNow();
    return Iterator{this, max_};
  }
  Iterator end() { return Iterator{this, 0}; }

  std::map<std::string, Counter> counters;
  double seconds() const { return seconds_; }
  double cpuSeconds() const { return cpuSeconds_; }
  int64_t iterations() const { return max_; }
  bool failed() const { return failed_; }
  const std::string& label() const { return label_; }

 private:
  void finish() {
    seconds_ = internal::now() - start_ - excluded_;
    cpuSeconds_ = internal::cpuNow() - cpuStart_ - cpuExcluded_;
  }
  std::vector<int64_t> args_;
  int64_t max_;
  std::string label_;
  bool failed_ = false;
  double start_ = 0, pausedAt_ = 0, excluded_ = 0, seconds_ = 0;
  double cpuStart_ = 0, cpuPausedAt_ = 0, cpuExcluded_ = 0, cpuSeconds_ = 0;
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
  Registered* Apply(void (*cases)(Registered*)) {
    cases(this);
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

// False when the benchmark failed (its message is printed).
inline bool runOne(const Registered& r, const std::vector<int64_t>& args) {
  std::string name = r.name;
  for (int64_t a : args) name += "/" + std::to_string(a);
  int64_t n = 1;
  for (;;) {
    State s(args, n);
    r.fn(s);
    if (s.failed()) {
      std::printf("%-32s %s\n", name.c_str(), s.label().c_str());
      std::fflush(stdout);
      return false;
    }
    if (s.seconds() >= 0.5 || n >= (int64_t{1} << 30)) {
      std::printf("%-32s %10.3f ms %6lld iterations cpu-s=%.4g", name.c_str(),
                  s.seconds() * 1e3 / static_cast<double>(n), static_cast<long long>(n),
                  s.cpuSeconds() / static_cast<double>(n));
      for (const auto& [key, c] : s.counters) {
        if (c.flags == Counter::kIsRate)
          std::printf(" %s wall=%.4g cpu=%.4g", key.c_str(), c.value / s.seconds(),
                      s.cpuSeconds() > 0 ? c.value / s.cpuSeconds() : 0.0);
        else
          std::printf(" %s=%.4g", key.c_str(), c.value);
      }
      std::printf(" %s\n", s.label().c_str());
      std::fflush(stdout);
      return true;
    }
    const double perIteration = s.seconds() / static_cast<double>(n);
    const int64_t want = perIteration > 0 ? static_cast<int64_t>(0.6 / perIteration) + 1 : n * 10;
    n = want > n * 10 ? n * 10 : want > n ? want : n + 1;
  }
}

// Runs the benchmarks whose name contains filter (all when empty); 1 when
// any failed.
inline int runAll(const std::string& filter) {
  int status = 0;
  for (const Registered* r : registry()) {
    if (r->argSets.empty()) {
      if (filter.empty() || r->name.find(filter) != std::string::npos)
        if (!runOne(*r, {})) status = 1;
      continue;
    }
    for (const auto& a : r->argSets) {
      std::string name = r->name;
      for (int64_t v : a) name += "/" + std::to_string(v);
      if (!filter.empty() && name.find(filter) == std::string::npos) continue;
      if (!runOne(*r, a)) status = 1;
    }
  }
  return status;
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
