// The pipeline against one thread while the machine is busy: whole pages
// through the page loop (the photograph and flat colour), each in a child
// process of its own so that its processor time is its own, under no load,
// 1, 2 and 6 busy processes and a parallel build, the runs of one load
// taking turns. A shop PC runs other work; the pipeline must never lose.
#include "load_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>

namespace raster_bench {
namespace {

#if !defined(_WIN32)

struct Measure {
  double wall = 0;  // seconds
  double cpu = 0;   // processor seconds of the whole child process
  bool ok = false;
};

// One page run in a child: its line reads "<name> <ms> ms <n> iterations
// ... Mpx/s wall=<w> cpu=<c> ...": the processor time follows from the two
// rates (also for a build that prints no cpu-s).
Measure runChild(const std::string& exe, const std::string& filter, int pageInches) {
  Measure m;
  const std::string command = exe + " " + filter + " --page-inches=" + std::to_string(pageInches) + " 2>&1";
  FILE* out = popen(command.c_str(), "r");
  if (!out) return m;
  char line[1024];
  while (std::fgets(line, sizeof line, out)) {
    const char* ms = std::strstr(line, " ms ");
    const char* wall = std::strstr(line, "wall=");
    const char* cpu = std::strstr(line, " cpu=");
    if (!ms || !wall || !cpu) continue;
    const char* number = ms;
    while (number > line && number[-1] != ' ') --number;
    m.wall = std::atof(number) / 1000;
    const double wallRate = std::atof(wall + 5), cpuRate = std::atof(cpu + 5);
    if (cpuRate > 0) m.cpu = m.wall * wallRate / cpuRate;
    m.ok = m.wall > 0;
  }
  const int status = pclose(out);
  m.ok = m.ok && status == 0;
  return m;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Other work on the machine, in a process group of its own so that it all
// ends at once.
class Load {
 public:
  ~Load() { stop(); }
  void busy(int processes) {
    for (int i = 0; i < processes; ++i) {
      const pid_t pid = fork();
      if (pid == 0) {
        setpgid(0, group_ > 0 ? group_ : 0);
        volatile unsigned long spin = 0;
        for (;;) spin = spin + 1;
      }
      if (pid > 0) {
        if (group_ <= 0) group_ = pid;
        setpgid(pid, group_);
        children_.push_back(pid);
      }
    }
  }
  // A make -j4 of a generated project of a few C files, over and over.
  bool build(const std::string& folder) {
    mkdir(folder.c_str(), 0755);
    for (int f = 0; f < 12; ++f) {
      FILE* c = std::fopen((folder + "/unit" + std::to_string(f) + ".c").c_str(), "w");
      if (!c) return false;
      for (int g = 0; g < 80; ++g)
        std::fprintf(c,
                     "double f%d_%d(const double* v, int n) { double s = 0; for (int i = 0; i < n; ++i) "
                     "{ s += v[i] * %d.5 / (1 + v[(i * %d) %% n]); if (s > %d) s -= v[i] * s; } return s; }\n",
                     f, g, g + 1, g + 3, g * 17 + 5);
      std::fclose(c);
    }
    FILE* make = std::fopen((folder + "/Makefile").c_str(), "w");
    if (!make) return false;
    std::fputs(
        "OBJ := $(patsubst %.c,%.o,$(wildcard *.c))\nall: $(OBJ)\nclean: ; rm -f $(OBJ)\n"
        "%.o: %.c ; cc -O2 -c $< -o $@\n",
        make);
    std::fclose(make);
    const pid_t pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      const std::string loop = "while :; do make -s -j4 -C '" + folder + "' clean all >/dev/null 2>&1; done";
      execl("/bin/sh", "sh", "-c", loop.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid < 0) return false;
    group_ = pid;
    setpgid(pid, pid);
    children_.push_back(pid);
    return true;
  }
  void stop() {
    if (group_ > 0) kill(-group_, SIGKILL);
    for (pid_t pid : children_) waitpid(pid, nullptr, 0);
    children_.clear();
    group_ = 0;
  }

 private:
  pid_t group_ = 0;
  std::vector<pid_t> children_;
};

double loadAverage() {
  double one = 0;
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &one) != 1) one = 0;
    std::fclose(f);
  }
  return one;
}

#endif

}  // namespace

bool runAtNormalPriority() {
#if defined(_WIN32)
  const DWORD current = GetPriorityClass(GetCurrentProcess());
  if (current == NORMAL_PRIORITY_CLASS || current == 0) return true;
  std::fprintf(stderr, "raster-bench: started above the normal priority; measuring at the normal one\n");
  return SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS) != 0;
#else
  bool ok = true;
  const int policy = sched_getscheduler(0);
  if (policy == SCHED_FIFO || policy == SCHED_RR) {
    std::fprintf(stderr, "raster-bench: started at a real-time priority; measuring at the normal one\n");
    sched_param normal{};
    ok = sched_setscheduler(0, SCHED_OTHER, &normal) == 0;
  }
  if (getpriority(PRIO_PROCESS, 0) < 0) {
    std::fprintf(stderr, "raster-bench: started at a raised priority; measuring at the normal one\n");
    ok = setpriority(PRIO_PROCESS, 0, 0) == 0 && ok;
  }
  if (!ok) std::fprintf(stderr, "raster-bench: the normal priority could not be had\n");
  return ok;
#endif
}

int runLoadTable(const std::string& exe, const std::string& before, int rounds, int pageInches) {
#if defined(_WIN32)
  (void)exe, (void)before, (void)rounds, (void)pageInches;
  std::fprintf(stderr, "raster-bench: the load table runs on the native build only\n");
  return 1;
#else
  struct Case {
    const char* name;
    int busy;  // -1: a parallel build
  };
  const Case loads[] = {{"idle", 0}, {"1 busy", 1}, {"2 busy", 2}, {"6 busy", 6}, {"make -j4", -1}};
  const char* contents[][2] = {{"photo", "PageLoop/720/0/1/"}, {"flat", "PageLoop/720/0/2/"}};
  const std::string folder = exe.substr(0, exe.rfind('/') + 1) + "load-build";
  std::printf(
      "Load table: pages of 17 x %d in at 720 dpi, eight inks, through the page loop; median of %d rounds,\n"
      "each run a child process (wall s / processor s of all its threads); runs of one load take turns;\n"
      "paired: the median of each round's pipelined wall / one thread's.\n",
      pageInches, rounds);
  std::printf("%-9s %-6s %-18s %-18s %-9s %-9s %-9s%s\n", "load", "page", "pipelined", "one thread", "wall p/1",
              "cpu p/1", "paired", before.empty() ? "" : "  before: pipelined   wall b/1");
  int status = 0;
  for (const Case& l : loads) {
    Load load;
    if (l.busy > 0) load.busy(l.busy);
    if (l.busy < 0 && !load.build(folder)) {
      std::printf("%-9s the build could not be started\n", l.name);
      status = 1;
      continue;
    }
    if (l.busy != 0) sleep(2);  // the load under way
    const double loadStart = loadAverage();
    for (const auto& content : contents) {
      std::vector<double> wall[3], cpu[3], paired;
      for (int round = 0; round < rounds; ++round) {
        double roundWall[2] = {0, 0};
        for (int k = 0; k < 3; ++k) {
          const int which = (k + round) % 3;  // each goes first in turn
          if (which == 2 && before.empty()) continue;
          const Measure m =
              runChild(which == 2 ? before : exe, std::string(content[1]) + (which == 1 ? "0" : "1"), pageInches);
          if (!m.ok) {
            status = 1;
            continue;
          }
          wall[which].push_back(m.wall);
          cpu[which].push_back(m.cpu);
          if (which < 2) roundWall[which] = m.wall;
        }
        // The two runs of a round met the same load: their ratio is
        // steadier than the ratio of the medians under a load that varies.
        if (roundWall[0] > 0 && roundWall[1] > 0) paired.push_back(roundWall[0] / roundWall[1]);
      }
      const double pw = median(wall[0]), pc = median(cpu[0]), ow = median(wall[1]), oc = median(cpu[1]);
      char p[32], o[32];
      std::snprintf(p, sizeof p, "%.3f / %.3f", pw, pc);
      std::snprintf(o, sizeof o, "%.3f / %.3f", ow, oc);
      std::printf("%-9s %-6s %-18s %-18s %-9.3f %-9.3f %-9.3f", l.name, content[0], p, o, ow > 0 ? pw / ow : 0,
                  oc > 0 ? pc / oc : 0, median(paired));
      if (!before.empty())
        std::printf("  %.3f / %.3f  %.3f", median(wall[2]), median(cpu[2]), ow > 0 ? median(wall[2]) / ow : 0);
      std::printf("\n");
      std::fflush(stdout);
    }
    load.stop();
    std::printf("%-9s load average %.1f at the start, %.1f at the end (the machine is shared)\n", "", loadStart,
                loadAverage());
  }
  return status;
#endif
}

}  // namespace raster_bench
