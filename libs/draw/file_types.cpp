// Drawing-file types: a host names its own drawing-file tag, describes it
// (format code, product name) and registers a file type for it (default
// extension, file-dialog filter) that the library's file dialogs offer.
//
// What this library keeps, where its callers leave the choice to us:
// - The tag is the calling process's (jFileSetDRXTag), at most four
//   printable characters; the information and type calls act on it and
//   fail without one (a refused tag leaves none).
// - Type 0 is the library's own job file; a host's type gets the lowest
//   free number at or above the one it asks from (jFileGetFinfoNum), and
//   keeps that number for its tag from then on, so that a host registering
//   at every start does not use up the numbers.
// - Registrations are kept in one text file beside this library
//   ("DRXTYPES.TXT", or the file the environment variable VLX_DRAW_TYPES
//   names), one line per record: the record's kind, its tag or number, and
//   its bytes in hexadecimal, so that bytes this library does not interpret
//   survive unchanged. Every change re-reads the file and saves it through
//   the atomic write service under a lock shared by every process, so that
//   two hosts starting at once do not lose each other's types; a file that
//   exists but cannot be read is never written over.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "Draw.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/named_mutex.h"
#include "platform/path.h"

namespace jdraw {
namespace {

struct FileTypeStore {
  struct Type {
    std::string tag;
    jFileTypeInfo info;
  };
  std::map<std::string, jDrxInfo> infos;  // by tag
  std::map<int, Type> types;              // by number
};

constexpr char kStoreName[] = "DRXTYPES.TXT";
constexpr char kStoreVariable[] = "VLX_DRAW_TYPES";
constexpr char kStoreLock[] = "MUTEX_DRAW_FILE_TYPES";
constexpr std::size_t kStoreCapacity = 64 * 1024;
constexpr int kOwnJobType = 0;
constexpr int kMaxType = 255;

constexpr jFileTypeInfo ownJobType() {
  jFileTypeInfo info{};
  const char extension[] = ".vjx";
  const char filter[] = "VJX (*.VJX)|*.vjx|";
  for (std::size_t i = 0; i < sizeof extension; ++i) info.extension[i] = extension[i];
  for (std::size_t i = 0; i < sizeof filter; ++i) info.filter[i] = filter[i];
  return info;
}

// The tag of this process's host; empty until it names one.
char g_tag[5] = {};

std::string hex(const void* data, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char byte = static_cast<const unsigned char*>(data)[i];
    out += digits[byte >> 4];
    out += digits[byte & 15];
  }
  return out;
}

int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unhex(const std::string& text, void* data, std::size_t size) {
  if (text.size() != size * 2) return false;
  for (std::size_t i = 0; i < size; ++i) {
    const int high = digit(text[2 * i]), low = digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    static_cast<unsigned char*>(data)[i] = static_cast<unsigned char>(high * 16 + low);
  }
  return true;
}

bool validTag(const char* tag) {
  if (!tag || !tag[0] || std::strlen(tag) > 4) return false;
  for (const char* c = tag; *c; ++c)
    if (*c == ' ' || !std::isgraph(static_cast<unsigned char>(*c))) return false;
  return true;
}

// One line: "INFO <tag> <hex>" or "TYPE <number> <tag> <hex>". A line that
// does not read whole is skipped: the others are still good.
void readLine(const std::string& line, FileTypeStore* store) {
  std::istringstream in(line);
  std::string kind, first, second, bytes;
  in >> kind >> first >> second >> bytes;
  if (kind == "INFO" && validTag(first.c_str())) {
    jDrxInfo info{};
    if (unhex(second, &info, sizeof info)) store->infos[first] = info;
  } else if (kind == "TYPE" && validTag(second.c_str())) {
    char* end = nullptr;
    const long number = std::strtol(first.c_str(), &end, 10);
    jFileTypeInfo info{};
    if (*end == '\0' && number > kOwnJobType && number <= kMaxType && unhex(bytes, &info, sizeof info))
      store->types[static_cast<int>(number)] = FileTypeStore::Type{second, info};
  }
}

bool fileTypeStorePath(char* out, std::size_t capacity) {
  if (const char* named = platform::environmentValue(kStoreVariable); named && named[0]) {
    platform::copyTruncated(out, capacity, named);
    return std::strlen(named) < capacity;
  }
  char module[platform::kMaxPath], folder[platform::kMaxPath];
  return platform::moduleFileName(static_cast<const void*>(g_tag), module, sizeof module) &&
         platform::folderPart(module, folder, sizeof folder) && platform::joinPath(out, capacity, folder, kStoreName);
}

bool readFileTypeStore(FileTypeStore* store) {
  *store = FileTypeStore{};
  char path[platform::kMaxPath];
  if (!fileTypeStorePath(path, sizeof path)) return false;
  if (!platform::pathExists(path)) return true;
  std::string text(kStoreCapacity, '\0');
  std::size_t length = 0;
  if (!platform::readWholeFile(path, text.data(), text.size(), &length)) return false;
  text.resize(length);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) readLine(text.substr(start, end - start), store);
    start = end + 1;
  }
  return true;
}

bool writeFileTypeStore(const FileTypeStore& store) {
  char path[platform::kMaxPath];
  if (!fileTypeStorePath(path, sizeof path)) return false;
  std::string text;
  for (const auto& [tag, info] : store.infos) text += "INFO " + tag + " " + hex(&info, sizeof info) + "\r\n";
  for (const auto& [number, type] : store.types)
    text += "TYPE " + std::to_string(number) + " " + type.tag + " " + hex(&type.info, sizeof type.info) + "\r\n";
  return platform::saveFileAtomically(path, text.data(), text.size());
}

}  // namespace
}  // namespace jdraw

using jdraw::FileTypeStore;

// A tag that cannot be one leaves the host without a tag: later calls must
// not act on the one it had before.
JDRAW_API int jFileSetDRXTag(const char* tag) {
  jdraw::g_tag[0] = '\0';
  if (!jdraw::validTag(tag)) return 0;
  platform::copyTruncated(jdraw::g_tag, sizeof jdraw::g_tag, tag);
  return 1;
}

JDRAW_API int jFileGetDRXInfo(jDrxInfo* info) {
  if (!info || !jdraw::g_tag[0]) return 0;
  platform::NamedLock lock(jdraw::kStoreLock);
  FileTypeStore store;
  if (!jdraw::readFileTypeStore(&store)) return 0;
  const auto found = store.infos.find(jdraw::g_tag);
  *info = found == store.infos.end() ? jDrxInfo{} : found->second;
  return 1;
}

JDRAW_API int jFileSetDRXInfo(const jDrxInfo* info) {
  if (!info || !jdraw::g_tag[0]) return 0;
  platform::NamedLock lock(jdraw::kStoreLock);
  FileTypeStore store;
  if (!jdraw::readFileTypeStore(&store)) return 0;
  const auto found = store.infos.find(jdraw::g_tag);
  if (found != store.infos.end() && std::memcmp(&found->second, info, sizeof *info) == 0) return 1;
  store.infos[jdraw::g_tag] = *info;
  return jdraw::writeFileTypeStore(store) ? 1 : 0;
}

JDRAW_API int jFileGetFinfoNum(int first, int) {
  if (!jdraw::g_tag[0] || first <= jdraw::kOwnJobType || first > jdraw::kMaxType) return -1;
  platform::NamedLock lock(jdraw::kStoreLock);
  FileTypeStore store;
  if (!jdraw::readFileTypeStore(&store)) return -1;
  for (const auto& [number, type] : store.types)
    if (number >= first && type.tag == jdraw::g_tag) return number;
  int number = first;
  while (number <= jdraw::kMaxType && store.types.count(number)) ++number;
  if (number > jdraw::kMaxType) return -1;
  store.types[number] = FileTypeStore::Type{jdraw::g_tag, jFileTypeInfo{}};
  return jdraw::writeFileTypeStore(store) ? number : -1;
}

JDRAW_API jFileTypeInfo* jFileGetFinfo(jFileTypeInfo* buffer, int type) {
  if (!buffer) return nullptr;
  if (type == jdraw::kOwnJobType) {
    *buffer = jdraw::ownJobType();
    return buffer;
  }
  platform::NamedLock lock(jdraw::kStoreLock);
  FileTypeStore store;
  if (!jdraw::readFileTypeStore(&store)) return nullptr;
  const auto found = store.types.find(type);
  if (found == store.types.end()) return nullptr;
  *buffer = found->second.info;
  return buffer;
}

// Only a host's own types change; the library's job type is not the host's.
JDRAW_API int jFileSetFinfo(int type, const jFileTypeInfo* info) {
  if (!info || !jdraw::g_tag[0]) return 0;
  platform::NamedLock lock(jdraw::kStoreLock);
  FileTypeStore store;
  if (!jdraw::readFileTypeStore(&store)) return 0;
  const auto found = store.types.find(type);
  if (found == store.types.end() || found->second.tag != jdraw::g_tag) return 0;
  if (std::memcmp(&found->second.info, info, sizeof *info) == 0) return 1;
  found->second.info = *info;
  return jdraw::writeFileTypeStore(store) ? 1 : 0;
}
