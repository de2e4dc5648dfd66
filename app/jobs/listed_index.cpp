#include "app/jobs/listed_index.h"

#include "platform/path.h"

namespace vlx {
namespace {

constexpr std::size_t kSmallestTable = 64;

// The next byte of a path as the scans compare it; *i moves past it (a
// double-byte character's second byte is taken as it is).
unsigned char foldedAt(const char* path, std::size_t* i, bool* trail) {
  const unsigned char c = static_cast<unsigned char>(path[(*i)++]);
  if (*trail) {
    *trail = false;
    return c;
  }
  if (platform::isLeadByte(c)) {
    *trail = true;
    return c;
  }
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

std::uint64_t foldedHash(const char* path) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  bool trail = false;
  for (std::size_t i = 0; path[i];) hash = (hash ^ foldedAt(path, &i, &trail)) * 1099511628211ull;
  return hash;
}

bool sameFolded(const char* a, const char* b) {
  std::size_t i = 0, j = 0;
  bool trailA = false, trailB = false;
  for (;;) {
    if (!a[i] || !b[j]) return !a[i] && !b[j];
    if (foldedAt(a, &i, &trailA) != foldedAt(b, &j, &trailB)) return false;
  }
}

void ListedIndex::rebuild(const JobRecord* head) {
  std::size_t n = 0;
  for (const JobRecord* r = head ? head->next : nullptr; r; r = r->next) ++n;
  std::size_t size = kSmallestTable;
  while (size < 2 * n + 2) size <<= 1;
  slots_.assign(size, Slot{});  // keeps the capacity of earlier scans
  count_ = 0;
  for (const JobRecord* r = head ? head->next : nullptr; r; r = r->next) add(r);
}

void ListedIndex::add(const JobRecord* record) {
  if (slots_.empty() || 2 * (count_ + 1) > slots_.size()) grow();
  place(foldedHash(record->path), record);
  ++count_;
}

bool ListedIndex::contains(const char* path) const {
  if (slots_.empty()) return false;
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t hash = foldedHash(path);
  for (std::size_t i = hash & mask; slots_[i].record; i = (i + 1) & mask)
    if (slots_[i].hash == hash && sameFolded(slots_[i].record->path, path)) return true;
  return false;
}

void ListedIndex::place(std::uint64_t hash, const JobRecord* record) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].record) i = (i + 1) & mask;
  slots_[i] = Slot{hash, record};
}

void ListedIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(old.empty() ? kSmallestTable : 2 * old.size(), Slot{});
  for (const Slot& slot : old)
    if (slot.record) place(slot.hash, slot.record);
}

}  // namespace vlx
