#include "app/jobs/ink_estimate_store.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/atomic_file.h"

namespace vlx {
namespace {

constexpr char kHeader[] = "VLX ink estimates 1";
constexpr std::size_t kLargestStore = 64u << 20;

// An ink's name as hex digits, so that no byte of it can break the line.
std::string hexName(const InkEntry& ink) {
  std::string out;
  char digits[3];
  for (std::size_t i = 0; i < sizeof ink.name && ink.name[i]; ++i) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(ink.name[i]));
    out += digits;
  }
  return out.empty() ? "-" : out;
}

bool readHexName(const char* hex, InkEntry* ink) {
  std::memset(ink->name, 0, sizeof ink->name);
  if (std::strcmp(hex, "-") == 0) return true;
  const std::size_t length = std::strlen(hex);
  if (length % 2 || length / 2 > sizeof ink->name) return false;
  for (std::size_t i = 0; i < length / 2; ++i) {
    unsigned byte = 0;
    if (std::sscanf(hex + 2 * i, "%2x", &byte) != 1) return false;
    ink->name[i] = static_cast<char>(byte);
  }
  return true;
}

// size, write time, then per ink: name, colour, used, last page, capacity,
// correction, warning, the job's picolitres; then the path to the line's end.
bool parseLine(const std::string& line, StoredEstimate* out) {
  const char* at = line.c_str();
  int used = 0;
  platform::LocalTime& t = out->written;
  if (std::sscanf(at, "%" SCNu64 " %d %d %d %d %d %d%n", &out->size, &t.year, &t.month, &t.day, &t.hour, &t.minute,
                  &t.second, &used) != 7)
    return false;
  at += used;
  for (int i = 0; i < kEstimateInks; ++i) {
    // Read into aligned fields first: the entry's layout is packed.
    InkEntry& ink = out->estimate.account[i];
    char hex[2 * sizeof ink.name + 2];
    std::uint32_t color = 0;
    std::int64_t totalUsed = 0, lastPage = 0;
    std::int32_t capacity = 0, correction = 0, warning = 0;
    std::uint64_t picolitres = 0;
    if (std::sscanf(at, " %65s %" SCNu32 " %" SCNd64 " %" SCNd64 " %" SCNd32 " %" SCNd32 " %" SCNd32 " %" SCNu64 "%n",
                    hex, &color, &totalUsed, &lastPage, &capacity, &correction, &warning, &picolitres, &used) != 8 ||
        !readHexName(hex, &ink))
      return false;
    ink.color = color;
    ink.totalUsed = totalUsed;
    ink.lastPage = lastPage;
    ink.capacityMl = capacity;
    ink.correctionPercent = correction;
    ink.warningPercent = warning;
    out->estimate.picolitres[i] = picolitres;
    at += used;
  }
  if (*at != '\t' || !at[1]) return false;
  out->path = at + 1;
  return true;
}

}  // namespace

std::string formatEstimates(const std::vector<StoredEstimate>& estimates) {
  std::string text = std::string(kHeader) + "\r\n";
  char field[160];
  for (const StoredEstimate& e : estimates) {
    if (e.path.empty() || e.path.find_first_of("\r\n") != std::string::npos) continue;
    const platform::LocalTime& t = e.written;
    std::snprintf(field, sizeof field, "%" PRIu64 " %d %d %d %d %d %d", e.size, t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    text += field;
    for (int i = 0; i < kEstimateInks; ++i) {
      const InkEntry& ink = e.estimate.account[i];
      const std::uint32_t color = ink.color;
      const std::int64_t totalUsed = ink.totalUsed, lastPage = ink.lastPage;
      const std::int32_t capacity = ink.capacityMl, correction = ink.correctionPercent, warning = ink.warningPercent;
      std::snprintf(field, sizeof field,
                    " %" PRIu32 " %" PRId64 " %" PRId64 " %" PRId32 " %" PRId32 " %" PRId32 " %" PRIu64, color,
                    totalUsed, lastPage, capacity, correction, warning, e.estimate.picolitres[i]);
      text += ' ' + hexName(ink) + field;
    }
    text += '\t' + e.path + "\r\n";
  }
  return text;
}

std::vector<StoredEstimate> parseEstimates(const std::string& text) {
  std::vector<StoredEstimate> estimates;
  std::size_t start = text.find('\n');
  if (start == std::string::npos || text.compare(0, std::strlen(kHeader), kHeader) != 0) return estimates;
  while (++start < text.size()) {
    // Only whole lines: one without its end was cut short.
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    StoredEstimate e;
    if (parseLine(line, &e)) estimates.push_back(std::move(e));
    start = end;
  }
  return estimates;
}

bool saveEstimates(const char* path, const std::vector<StoredEstimate>& estimates) {
  if (!path || !path[0]) return false;
  const std::string text = formatEstimates(estimates);
  return platform::saveFileAtomically(path, text.data(), text.size());
}

std::vector<StoredEstimate> loadEstimates(const char* path) {
  if (!path || !path[0]) return {};
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadAnyShare);
  if (!file) return {};
  std::uint64_t size = 0;
  std::string text;
  if (platform::fileSize(file, &size) && size <= kLargestStore) {
    text.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < text.size()) {
      const std::int64_t n = platform::readFile(file, text.data() + got, text.size() - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (got != text.size()) text.clear();
  }
  platform::closeFile(file);
  return parseEstimates(text);
}

}  // namespace vlx
