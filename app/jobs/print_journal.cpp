#include "app/jobs/print_journal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/path.h"
#include "platform/text_encoding.h"

namespace vlx {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr int kFixedFields = 14;
constexpr int kFields = kFixedFields + 2 * kJournalInks;

constexpr const char* kOutcomeTexts[] = {"印刷済み", "失敗", "中断", "却下"};
constexpr const char* kHeader[kFixedFields] = {"開始", "終了",   "ｼﾞｮﾌﾞ名", "ﾌｧｲﾙ", "移動先", "機種",  "仮想ﾃﾞﾊﾞｲｽ",
                                               "ﾎﾟｰﾄ", "解像度", "ｲﾝｸｾｯﾄ",  "結果", "理由",   "ﾍﾟｰｼﾞ", "面積(m2)"};

struct Journal {
  std::mutex mutex;
  std::string path;
  std::map<std::string, JournalEntry> last;  // by folded path
};

Journal& journal() {
  static Journal j;
  return j;
}

std::string folded(const std::string& path) {
  std::string key(path);
  for (std::size_t i = 0; i < key.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(key[i]);
    if (platform::isLeadByte(c))
      ++i;
    else if (c >= 'A' && c <= 'Z')
      key[i] = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

std::string csvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '\r' || c == '\n') c = ' ';  // a line is one record
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string timeText(const platform::LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

bool parseTime(const std::string& text, platform::LocalTime* t) {
  return std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &t->year, &t->month, &t->day, &t->hour, &t->minute,
                     &t->second) == 6;
}

// Picolitres as millilitres, exact: 1 ml = 10^9 pl.
std::string millilitres(int64_t picolitres) {
  const bool negative = picolitres < 0;
  const uint64_t v = negative ? 0 - static_cast<uint64_t>(picolitres) : static_cast<uint64_t>(picolitres);
  char text[40];
  std::snprintf(text, sizeof text, "%s%llu.%09llu", negative ? "-" : "",
                static_cast<unsigned long long>(v / 1000000000), static_cast<unsigned long long>(v % 1000000000));
  return text;
}

bool parsePicolitres(const std::string& text, int64_t* out) {
  const bool negative = !text.empty() && text[0] == '-';
  unsigned long long whole = 0, part = 0;
  if (std::sscanf(text.c_str() + (negative ? 1 : 0), "%llu.%9llu", &whole, &part) != 2) return false;
  const int64_t v = static_cast<int64_t>(whole * 1000000000ULL + part);
  *out = negative ? -v : v;
  return true;
}

std::vector<std::string> splitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::string headerLine() {
  std::string line;
  for (int i = 0; i < kFixedFields; ++i) line += (i ? "," : "") + platform::cp932ToUtf8(kHeader[i]);
  for (int i = 1; i <= kJournalInks; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, ",ｲﾝｸ%d,ｲﾝｸ%d(ml)", i, i);
    line += platform::cp932ToUtf8(name);
  }
  return line;
}

// Every whole line of the file, the header and any torn line left out.
template <typename Visit>
void readLines(const std::string& path, Visit visit) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return;
  std::string line;
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    JournalEntry entry;
    if (parseJournalLine(line, &entry)) visit(entry);
    line.clear();
  }
  std::fclose(file);  // what follows the last line end was cut short
}

void index(Journal& j, const JournalEntry& entry) {
  j.last[folded(entry.movedTo.empty() ? entry.file : entry.movedTo)] = entry;
}

// The file does not end in a line end: a crash cut its last line short.
bool endsMidLine(const std::string& path, bool* empty) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  *empty = true;
  if (!file) return false;
  bool mid = false;
  if (std::fseek(file, -1, SEEK_END) == 0) {
    *empty = false;
    mid = std::fgetc(file) != '\n';
  }
  std::fclose(file);
  return mid;
}

}  // namespace

void takePrintReport(const jPrintReport& report, JournalEntry* entry) {
  if (report.xResolution > 0 && report.yResolution > 0) {
    char text[40];
    std::snprintf(text, sizeof text, "%dx%d dpi", report.xResolution, report.yResolution);
    entry->resolution = text;
  }
  const char* end = std::find(std::begin(report.inkSet), std::end(report.inkSet), '\0');
  entry->inkSet.assign(report.inkSet, end);
  entry->pages = report.pages;
}

const char* outcomeText(JournalOutcome outcome) {
  return kOutcomeTexts[static_cast<int>(outcome)];
}

std::string formatJournalLine(const JournalEntry& e) {
  const std::string fixed[kFixedFields] = {timeText(e.started),
                                           timeText(e.ended),
                                           e.title,
                                           e.file,
                                           e.movedTo,
                                           e.machine,
                                           e.device,
                                           e.port,
                                           e.resolution,
                                           e.inkSet,
                                           outcomeText(e.outcome),
                                           e.reason,
                                           std::to_string(e.pages),
                                           [&] {
                                             char area[32];
                                             std::snprintf(area, sizeof area, "%.4f", e.areaSquareMetres);
                                             return std::string(area);
                                           }()};
  std::string line;
  for (int i = 0; i < kFixedFields; ++i) {
    // Times and numbers are ASCII; the rest are the program's CP932 texts.
    const bool ascii = i < 2 || i >= 12;
    line += (i ? "," : "") + csvField(ascii ? fixed[i] : platform::cp932ToUtf8(fixed[i].c_str()));
  }
  for (int i = 0; i < kJournalInks; ++i) {
    const bool used = i < e.inks;
    line += "," + csvField(used ? platform::cp932ToUtf8(e.inkNames[i].c_str()) : std::string());
    line += "," + (used ? millilitres(e.inkPicolitres[i]) : std::string());
  }
  return line;
}

bool parseJournalLine(const std::string& utf8, JournalEntry* e) {
  std::string text = utf8;
  if (text.rfind(kByteOrderMark, 0) == 0) text.erase(0, 3);
  const std::vector<std::string> f = splitCsv(text);
  if (f.size() != static_cast<std::size_t>(kFields)) return false;
  *e = JournalEntry{};
  if (!parseTime(f[0], &e->started) || !parseTime(f[1], &e->ended)) return false;  // the header too
  std::string* texts[] = {&e->title,  &e->file, &e->movedTo,    &e->machine,
                          &e->device, &e->port, &e->resolution, &e->inkSet};
  for (int i = 0; i < 8; ++i) *texts[i] = platform::utf8ToCp932(f[2 + i].c_str());
  const std::string outcome = platform::utf8ToCp932(f[10].c_str());
  int found = -1;
  for (int i = 0; i < 4; ++i)
    if (outcome == kOutcomeTexts[i]) found = i;
  if (found < 0) return false;
  e->outcome = static_cast<JournalOutcome>(found);
  e->reason = platform::utf8ToCp932(f[11].c_str());
  e->pages = std::atoi(f[12].c_str());
  e->areaSquareMetres = std::atof(f[13].c_str());
  for (int i = 0; i < kJournalInks; ++i) {
    const std::string& name = f[kFixedFields + 2 * i];
    if (name.empty()) break;
    e->inkNames[i] = platform::utf8ToCp932(name.c_str());
    if (!parsePicolitres(f[kFixedFields + 2 * i + 1], &e->inkPicolitres[i])) return false;
    e->inks = i + 1;
  }
  return true;
}

void useJournalFile(const char* path) {
  Journal& j = journal();
  std::lock_guard<std::mutex> hold(j.mutex);
  j.path = path ? path : "";
  j.last.clear();
  if (!j.path.empty()) readLines(j.path, [&](const JournalEntry& entry) { index(j, entry); });
}

const std::string& journalFile() {
  return journal().path;
}

bool appendJournal(const JournalEntry& entry) {
  Journal& j = journal();
  std::lock_guard<std::mutex> hold(j.mutex);
  if (j.path.empty()) return false;
  bool empty = true;
  const bool mid = endsMidLine(j.path, &empty);
  std::string text;
  if (empty) text = kByteOrderMark + headerLine() + "\r\n";
  if (mid) text += "\r\n";  // the torn line stays a line of its own, which no reader takes
  text += formatJournalLine(entry) + "\r\n";
  platform::FileHandle file = platform::openFile(j.path.c_str(), platform::OpenMode::AppendOrCreate);
  if (!file) return false;
  // One write: the line is on the disk whole, or (after a crash) cut short.
  const bool written = platform::writeAll(file, text.data(), text.size());
  platform::closeFile(file);
  if (written) index(j, entry);
  return written;
}

bool lastAttemptAt(const char* path, JournalEntry* entry) {
  if (!path) return false;
  Journal& j = journal();
  std::lock_guard<std::mutex> hold(j.mutex);
  const auto found = j.last.find(folded(path));
  if (found == j.last.end()) return false;
  if (entry) *entry = found->second;
  return true;
}

std::vector<JournalEntry> journalEntriesFor(const char* path) {
  std::vector<JournalEntry> entries;
  if (!path) return entries;
  std::string file;
  {
    std::lock_guard<std::mutex> hold(journal().mutex);
    file = journal().path;
  }
  const std::string key = folded(path);
  readLines(file, [&](const JournalEntry& e) {
    if (folded(e.file) == key || (!e.movedTo.empty() && folded(e.movedTo) == key)) entries.push_back(e);
  });
  return entries;
}

}  // namespace vlx
