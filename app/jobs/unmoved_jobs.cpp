#include "app/jobs/unmoved_jobs.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "app/jobs/print_journal.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kCutByCrash[] =
    "ﾌﾟﾘﾝﾄの途中でﾌﾟﾛｸﾞﾗﾑが止まりました。出力を確認してください（自動印刷では再びﾌﾟﾘﾝﾄしません）";
// A line of a job being printed starts so; a reader without this mark skips
// such a line.
constexpr char kPrintingMark[] = "P\t";

struct Unmoved {
  std::string path;
  uint32_t size;
  long long written;  // YYYYMMDDhhmmss, local time
  bool printing = false;
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
    std::snprintf(line, sizeof line, "%s%u\t%lld\t%s\r\n", e.printing ? kPrintingMark : "", e.size, e.written,
                  e.path.c_str());
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
    const bool printing = std::strncmp(line, kPrintingMark, 2) == 0;
    const char* fields = printing ? line + 2 : line;
    if (std::sscanf(fields, "%u\t%lld\t%n", &size, &written, &used) == 2 && used > 0) {
      std::string path(fields + used);
      while (!path.empty() && (path.back() == '\r' || path.back() == '\n')) path.pop_back();
      if (!path.empty()) m->entries.push_back({path, size, written, printing});
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

namespace {

void remember(const JobRecord& job, bool printing) {
  if (!job.path[0]) return;
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  for (Unmoved& e : m.entries) {
    if (samePath(e.path, job.path)) {
      e = Unmoved{job.path, job.fileSize, writtenOf(job), printing};
      save(m);
      return;
    }
  }
  m.entries.push_back({job.path, job.fileSize, writtenOf(job), printing});
  save(m);
}

}  // namespace

void rememberUnmoved(const JobRecord& job) {
  remember(job, false);
}

void rememberPrinting(const JobRecord& job) {
  remember(job, true);
}

int journalCutPrints() {
  Memory& m = memory();
  std::vector<Unmoved> cut;
  {
    std::lock_guard<std::mutex> hold(m.mutex);
    for (Unmoved& e : m.entries) {
      if (!e.printing) continue;
      cut.push_back(e);
      e.printing = false;
    }
  }
  for (const Unmoved& e : cut) {
    JournalEntry entry;
    entry.started = platform::localNow();
    entry.ended = entry.started;
    entry.title = platform::fileNamePart(e.path.c_str());
    entry.file = e.path;
    entry.outcome = JournalOutcome::Failed;
    entry.reason = kCutByCrash;
    appendJournal(entry);
  }
  // Held from now on only once the journal has its line: a crash before
  // this point journals the cut print at the next start.
  std::lock_guard<std::mutex> hold(m.mutex);
  if (!cut.empty()) save(m);
  return static_cast<int>(cut.size());
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
