// Path splitting and string helpers over CP932 bytes.
#include <cstring>

#include "Base.h"
#include "platform/path.h"

int jFilesSplitPath(const char* path, char* folder, char* name) {
  if (!path) {
    if (folder) folder[0] = '\0';
    if (name) name[0] = '\0';
    return 0;
  }
  // Both parts are taken before either output is written: an output may be
  // the path itself.
  char folderPartOf[platform::kMaxPath];
  char namePartOf[platform::kMaxPath];
  const bool ok = platform::folderPart(path, folderPartOf, sizeof folderPartOf) &&
                  platform::copyString(namePartOf, sizeof namePartOf, platform::fileNamePart(path));
  // A part that does not fit is refused as a whole.
  if (folder) platform::copyString(folder, platform::kMaxPath, ok ? folderPartOf : "");
  if (name) platform::copyString(name, platform::kMaxPath, ok ? namePartOf : "");
  return ok ? 1 : 0;
}

int jStrCmpNI(const char* a, const char* b, int n) {
  if (n <= 0) return 0;
  return platform::compareNoCaseN(a, b, static_cast<std::size_t>(n));
}

const char* jStrStr(const char* text, const char* pattern) {
  if (!text || !pattern) return nullptr;
  const std::size_t length = std::strlen(pattern);
  if (length == 0) return text;
  // Only character starts are tried: a match never begins on a trail byte.
  for (const char* at = text; *at != '\0';) {
    if (std::strncmp(at, pattern, length) == 0) return at;
    at += platform::isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0' ? 2 : 1;
  }
  return nullptr;
}
