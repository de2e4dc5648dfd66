// The font registry of the drawing library: the records handed to it, in
// registration order, and the current font group.
//
// Our choices: jFontRegist takes groups (kind 1) and font file entries
// (kinds 11 and 12); a negative mode appends, a mode 0..count inserts at that
// position. jFontRegistTTF takes TrueType group contents (kind 21) and
// appends. A record whose name or path lacks its terminator is refused
// rather than read past its field. jFontSetCurrent(n) makes the n-th group
// (1-based, kind 1) current; jFontClear empties the registry and leaves no
// group current. The registry holds at most kMaxFonts records.
#include <cstring>
#include <mutex>
#include <vector>

#include "Draw.h"

namespace {

constexpr std::size_t kMaxFonts = 4096;
constexpr int32_t kGroup = 1;
constexpr int32_t kFileEntry = 11;
constexpr int32_t kFnxFileEntry = 12;
constexpr int32_t kTrueTypeContents = 21;

struct Registry {
  std::mutex mutex;
  std::vector<jFontRecord> fonts;
  int current = 0;  // 1-based group number, 0 = none
};

Registry& registry() {
  static Registry r;
  return r;
}

bool terminated(const char* field, std::size_t size) {
  return std::memchr(field, '\0', size) != nullptr;
}

bool wellFormed(const jFontRecord& font) {
  return terminated(font.name, sizeof font.name) && terminated(font.path, sizeof font.path);
}

int add(const jFontRecord& font, int mode) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.fonts.size() >= kMaxFonts) return 0;
  if (mode < 0) {
    r.fonts.push_back(font);
  } else {
    if (static_cast<std::size_t>(mode) > r.fonts.size()) return 0;
    r.fonts.insert(r.fonts.begin() + mode, font);
  }
  return 1;
}

}  // namespace

JDRAW_API int jFontClear(void) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.fonts.clear();
  r.current = 0;
  return 1;
}

JDRAW_API int jFontRegist(jFontRecord font, int mode) {
  if (font.kind != kGroup && font.kind != kFileEntry && font.kind != kFnxFileEntry) return 0;
  if (!wellFormed(font)) return 0;
  return add(font, mode);
}

JDRAW_API int jFontRegistTTF(jFontRecord font) {
  if (font.kind != kTrueTypeContents || !wellFormed(font)) return 0;
  return add(font, -1);
}

JDRAW_API int jFontSetCurrent(int which) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  int group = 0;
  for (const jFontRecord& font : r.fonts) {
    if (font.kind == kGroup && ++group == which) {
      r.current = which;
      return 1;
    }
  }
  return 0;
}

JDRAW_API int jFontCount(void) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return static_cast<int>(r.fonts.size());
}

JDRAW_API int jFontGet(int index, jFontRecord* font) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (!font || index < 0 || static_cast<std::size_t>(index) >= r.fonts.size()) return 0;
  *font = r.fonts[static_cast<std::size_t>(index)];
  return 1;
}
