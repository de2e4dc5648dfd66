#include "app/jobs/unmoved_jobs.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

struct Unmoved {
  std::string path;
  uint32_t size;
  long long written;  // YYYYMMDDhhmmss, local time
};

struct Memory {
  std::mutex mutex;
  std::string file;
  std::vector<Unmoved> entries;
};

Memory& memory() {
  static Memory m;
  return m;
}

long long writtenOf(const JobRecord& job) {
  return ((((job.year * 100LL + job.month) * 100 + job.day) * 100 + job.hour) * 100 + job.minute) * 100 + job.second;
}

bool samePath(const std::string& a, const char* b) {
  return platform::equalNoCase(a.c_str(), b);
}

// One line per file: size, write time, path; CR LF. Called with the mutex held.
void save(const Memory& m) {
  if (m.file.empty()) return;
  std::string text;
  for (const Unmoved& e : m.entries) {
    char line[400];
    std::snprintf(line, sizeof line, "%u\t%lld\t%s\r\n", e.size, e.written, e.path.c_str());
    text += line;
  }
  platform::saveFileAtomically(m.file.c_str(), text.data(), text.size());
}

void load(Memory* m) {
  m->entries.clear();
  static char text[64 * 1024];
  std::size_t length = 0;
  if (m->file.empty() || !platform::readWholeFile(m->file.c_str(), text, sizeof text - 1, &length)) return;
  text[length] = '\0';
  for (char* line = text; line && *line;) {
    char* end = std::strchr(line, '\n');
    if (end) *end = '\0';
    unsigned size = 0;
    long long written = 0;
    int used = 0;
    if (std::sscanf(line, "%u\t%lld\t%n", &size, &written, &used) == 2 && used > 0) {
      std::string path(line + used);
      while (!path.empty() && (path.back() == '\r' || path.back() == '\n')) path.pop_back();
      if (!path.empty()) m->entries.push_back({path, size, written});
    }
    line = end ? end + 1 : nullptr;
  }
}

}  // namespace

void useUnmovedJobsFile(const char* path) {
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  m.file = path ? path : "";
  load(&m);
}

void rememberUnmoved(const JobRecord& job) {
  if (!job.path[0]) return;
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  for (Unmoved& e : m.entries) {
    if (samePath(e.path, job.path)) {
      e.size = job.fileSize;
      e.written = writtenOf(job);
      save(m);
      return;
    }
  }
  m.entries.push_back({job.path, job.fileSize, writtenOf(job)});
  save(m);
}

bool isUnmoved(const JobRecord& job) {
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  for (const Unmoved& e : m.entries)
    if (samePath(e.path, job.path)) return e.size == job.fileSize && e.written == writtenOf(job);
  return false;
}

void forgetUnmoved(const char* path) {
  if (!path) return;
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  const std::size_t before = m.entries.size();
  std::erase_if(m.entries, [&](const Unmoved& e) { return samePath(e.path, path); });
  if (m.entries.size() != before) save(m);
}

int pruneUnmoved() {
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  const std::size_t before = m.entries.size();
  std::erase_if(m.entries, [](const Unmoved& e) { return !platform::pathExists(e.path.c_str()); });
  if (m.entries.size() != before) save(m);
  return static_cast<int>(m.entries.size());
}

}  // namespace vlx
