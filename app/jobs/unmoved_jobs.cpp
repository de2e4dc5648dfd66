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
constexpr char kStoppedBeforeMove[] = "印刷済みﾌｫﾙﾀﾞへ移る前にﾌﾟﾛｸﾞﾗﾑが止まりました（自動印刷では再びﾌﾟﾘﾝﾄしません）";

// Where a remembered job stands. A line of a job being printed or just
// journalled starts with its mark; a reader without these marks skips it.
enum class Stage { Unmoved, Printing, Journalled };
struct StageMark {
  Stage stage;
  const char* mark;
};
constexpr StageMark kMarks[] = {{Stage::Printing, "P\t"}, {Stage::Journalled, "J\t"}};

const char* markOf(Stage stage) {
  for (const StageMark& m : kMarks)
    if (m.stage == stage) return m.mark;
  return "";
}

struct Unmoved {
  std::string path;
  uint32_t size;
  long long written;  // YYYYMMDDhhmmss, local time
  Stage stage = Stage::Unmoved;
  std::string movingTo;  // Journalled: where its line says it goes
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

// One line per file: its stage's mark, size, write time, (journalled: the
// name its line gives it,) path; CR LF. Called with the mutex held.
void save(const Memory& m) {
  if (m.file.empty()) return;
  std::string text;
  for (const Unmoved& e : m.entries) {
    char line[700];
    const std::string target = e.stage == Stage::Journalled ? e.movingTo + "\t" : std::string();
    std::snprintf(line, sizeof line, "%s%u\t%lld\t%s%s\r\n", markOf(e.stage), e.size, e.written, target.c_str(),
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
    Stage stage = Stage::Unmoved;
    for (const StageMark& m : kMarks)
      if (std::strncmp(line, m.mark, 2) == 0) stage = m.stage;
    const char* fields = stage == Stage::Unmoved ? line : line + 2;
    if (std::sscanf(fields, "%u\t%lld\t%n", &size, &written, &used) == 2 && used > 0) {
      std::string path(fields + used);
      while (!path.empty() && (path.back() == '\r' || path.back() == '\n')) path.pop_back();
      std::string target;
      const std::size_t tab = path.find('\t');
      if (stage == Stage::Journalled && tab != std::string::npos) {
        target = path.substr(0, tab);
        path.erase(0, tab + 1);
      }
      if (!path.empty()) m->entries.push_back({path, size, written, stage, target});
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

void remember(const JobRecord& job, Stage stage, const char* movingTo = "") {
  if (!job.path[0]) return;
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  const Unmoved entry{job.path, job.fileSize, writtenOf(job), stage, movingTo ? movingTo : ""};
  for (Unmoved& e : m.entries) {
    if (samePath(e.path, job.path)) {
      e = entry;
      save(m);
      return;
    }
  }
  m.entries.push_back(entry);
  save(m);
}

}  // namespace

void rememberUnmoved(const JobRecord& job) {
  remember(job, Stage::Unmoved);
}

void rememberPrinting(const JobRecord& job) {
  remember(job, Stage::Printing);
}

void rememberJournalled(const JobRecord& job, const char* movingTo) {
  remember(job, Stage::Journalled, movingTo);
}

int journalCutPrints() {
  Memory& m = memory();
  std::vector<Unmoved> cut;
  {
    std::lock_guard<std::mutex> hold(m.mutex);
    for (const Unmoved& e : m.entries)
      if (e.stage != Stage::Unmoved) cut.push_back(e);
  }
  for (const Unmoved& e : cut) {
    JournalEntry entry;
    // A journalled job's own line names the move it was about to make.
    const JournalEntry* own = nullptr;
    const std::vector<JournalEntry> lines =
        e.stage == Stage::Journalled ? journalEntriesFor(e.path.c_str()) : std::vector<JournalEntry>();
    for (const JournalEntry& line : lines)
      if (samePath(line.file, e.path.c_str()) && !e.movingTo.empty() && samePath(line.movedTo, e.movingTo.c_str()))
        own = &line;
    if (own) {
      // Its outcome is in the journal; if the file stayed, a line says where.
      if (!platform::pathExists(e.path.c_str())) continue;
      entry = *own;
      entry.movedTo.clear();
      entry.reason = kStoppedBeforeMove;
    } else {
      // Cut while printing, or before its line reached the journal.
      entry.started = platform::localNow();
      entry.ended = entry.started;
      entry.title = platform::fileNamePart(e.path.c_str());
      entry.file = e.path;
      entry.outcome = JournalOutcome::Failed;
      entry.reason = kCutByCrash;
    }
    appendJournal(entry);
  }
  // Held from now on only once the journal has its line: a crash before
  // this point journals the cut print at the next start.
  std::lock_guard<std::mutex> hold(m.mutex);
  for (Unmoved& e : m.entries) e.stage = Stage::Unmoved;
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

void holdUnmoved(const char* path) {
  if (!path) return;
  Memory& m = memory();
  std::lock_guard<std::mutex> hold(m.mutex);
  for (Unmoved& e : m.entries) {
    if (samePath(e.path, path) && e.stage != Stage::Unmoved) {
      e.stage = Stage::Unmoved;
      save(m);
    }
  }
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
