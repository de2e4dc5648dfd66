// The host product's keyword.
#include <cstring>
#include <mutex>

#include "Base.h"
#include "libs/base/oem_text.h"
#include "platform/file.h"
#include "platform/module.h"
#include "platform/path.h"

namespace {

constexpr std::size_t kKeywordCapacity = 64;
constexpr const char* kOemFileName = "OEM.TXT";
constexpr const char* kOemVariable = "VLX_OEM_TEXT";

std::mutex g_lock;
bool g_overridden = false;
char g_override[kKeywordCapacity];
char g_fromFile[kKeywordCapacity];
bool g_fileRead = false;
// What the last call handed out; stays valid until the next call.
char g_answer[kKeywordCapacity];

}  // namespace

namespace jbase {

void oemKeywordOf(const char* text, std::size_t length, char* out) {
  std::size_t end = 0;
  while (end < length && text[end] != '\r' && text[end] != '\n' && text[end] != '\0') ++end;
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  char line[kKeywordCapacity];
  std::size_t kept = end < sizeof line - 1 ? end : sizeof line - 1;
  std::memcpy(line, text, kept);
  line[kept] = '\0';
  platform::copyTruncated(out, kKeywordCapacity, line);
}

}  // namespace jbase

namespace {

void readOemFile() {
  g_fromFile[0] = '\0';
  char module[platform::kMaxPath];
  char folder[platform::kMaxPath];
  char path[platform::kMaxPath];
  // An address of our own, not an export: an exported name may resolve to
  // another module that defines the same name.
  if (!platform::moduleFileName(static_cast<const void*>(g_fromFile), module, sizeof module) ||
      !platform::folderPart(module, folder, sizeof folder) ||
      !platform::joinPath(path, sizeof path, folder, kOemFileName))
    return;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return;
  char head[kKeywordCapacity * 2];
  std::int64_t got = platform::readFile(file, head, sizeof head);
  platform::closeFile(file);
  if (got > 0) jbase::oemKeywordOf(head, static_cast<std::size_t>(got), g_fromFile);
}

}  // namespace

const char* jOemText(int which) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_answer[0] = '\0';
  if (which != 0) return g_answer;
  if (g_overridden) {
    platform::copyTruncated(g_answer, sizeof g_answer, g_override);
    return g_answer;
  }
  if (const char* value = platform::environmentValue(kOemVariable)) {
    jbase::oemKeywordOf(value, std::strlen(value), g_answer);
    return g_answer;
  }
  if (!g_fileRead) {
    readOemFile();
    g_fileRead = true;
  }
  platform::copyTruncated(g_answer, sizeof g_answer, g_fromFile);
  return g_answer;
}

void jOemSetText(const char* keyword) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_overridden = keyword != nullptr;
  // Back to the file means the file as it is now: read it again.
  if (!keyword) g_fileRead = false;
  platform::copyTruncated(g_override, sizeof g_override, keyword ? keyword : "");
}
