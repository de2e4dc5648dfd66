#include "app/shell/font_list.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/file.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr std::size_t kVersionLineChars = 1023;
constexpr std::size_t kEntryLineChars = 511;
constexpr std::size_t kNameChars = 31;
// A font list is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxListBytes = 4 * 1024 * 1024;
constexpr int kAppend = -2;

constexpr int32_t kGroup = 1;
constexpr int32_t kFileEntry = 11;
constexpr int32_t kFnxEntry = 12;
constexpr int32_t kTrueTypeContents = 21;

struct BuiltInGroup {
  const char* name;
  int32_t contentsA;
};
constexpr BuiltInGroup kBuiltInGroups[] = {{"日本語TrueType一覧表", 4}, {"欧文TrueType一覧表", 3}};

bool isLineEnd(char c) {
  return c == '\r' || c == '\n' || c == '\0';
}

// Lines as the host's reader cuts them: line ends before a line are skipped,
// so empty lines never appear; a line longer than the buffer is cut, the
// byte at the cut is dropped and the rest is the next line.
class LineCursor {
 public:
  explicit LineCursor(const std::string& text) : text_(text) {}
  std::optional<std::string> next(std::size_t maxChars) {
    while (at_ < text_.size() && isLineEnd(text_[at_])) ++at_;
    if (at_ >= text_.size()) return std::nullopt;
    const std::size_t start = at_;
    while (at_ < text_.size() && !isLineEnd(text_[at_]) && at_ - start < maxChars) ++at_;
    std::string line = text_.substr(start, at_ - start);
    if (at_ < text_.size() && !isLineEnd(text_[at_])) ++at_;  // the byte at the cut
    return line;
  }

 private:
  const std::string& text_;
  std::size_t at_ = 0;
};

// Blanks are the space and the double-byte ideographic space.
std::string withoutLeadingBlanks(const std::string& text) {
  std::size_t i = 0;
  for (;;) {
    if (i < text.size() && text[i] == ' ') {
      ++i;
    } else if (i + 1 < text.size() && text[i] == '\x81' && text[i + 1] == '\x40') {
      i += 2;
    } else {
      break;
    }
  }
  return text.substr(i);
}

std::string beforeComment(const std::string& line) {
  return line.substr(0, line.find(';'));
}

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Cut to at most maxChars bytes without splitting a double-byte character.
std::string cutText(const std::string& text, std::size_t maxChars) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t width = platform::isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > maxChars) break;
    end += width;
  }
  return text.substr(0, end < text.size() ? end : text.size());
}

jFontRecord record(int32_t kind, const std::string& name, const std::string& path, int32_t a, int32_t b) {
  jFontRecord font{};
  font.kind = kind;
  platform::copyTruncated(font.name, sizeof font.name, cutText(name, kNameChars).c_str());
  platform::copyTruncated(font.path, sizeof font.path, cutText(path, sizeof font.path - 1).c_str());
  font.paramA = a;
  font.paramB = b;
  return font;
}

int listVersion(const std::string& text) {
  LineCursor lines(text);
  while (auto line = lines.next(kVersionLineChars)) {
    const std::string content = withoutLeadingBlanks(beforeComment(*line));
    if (startsWith(content, "[FILEVER]=2000")) return 2;
    if (startsWith(content, "[FILEVER]=3000")) return 3;
  }
  return 0;
}

// tag;number;name;file; with anything after the fourth ";" ignored.
bool splitEntry(const std::string& line, std::string fields[4]) {
  std::size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t semicolon = line.find(';', from);
    if (semicolon == std::string::npos) return false;
    fields[i] = withoutLeadingBlanks(line.substr(from, semicolon - from));
    from = semicolon + 1;
  }
  return true;
}

jFontRecord entryRecord(const std::string fields[4], const char* fontFolder) {
  const bool fnx = fields[0].size() >= 3 && platform::compareNoCaseN(fields[0].c_str(), "FNX", 3) == 0;
  const long number = std::strtol(fields[1].c_str(), nullptr, 10);
  std::string path = fields[3];
  if (path.find(':') == std::string::npos) {
    std::string folder = fontFolder;
    if (!platform::endsWithSeparator(folder.c_str())) folder += platform::kSeparator;
    path = folder + path;
  }
  return record(fnx ? kFnxEntry : kFileEntry, fields[2], path, 13, number % 10 == 2 ? 1 : 2);
}

bool readList(const char* path, std::string* text) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return false;
  char chunk[4096];
  std::int64_t got = 0;
  while ((got = platform::readFile(file, chunk, sizeof chunk)) > 0 && text->size() <= kMaxListBytes) {
    text->append(chunk, static_cast<std::size_t>(got));
  }
  platform::closeFile(file);
  return got == 0 && text->size() <= kMaxListBytes;
}

}  // namespace

void swapNibbles(std::string* bytes) {
  for (char& c : *bytes) {
    const auto b = static_cast<unsigned char>(c);
    c = static_cast<char>(((b & 0x0F) << 4) | (b >> 4));
  }
}

std::vector<jFontRecord> fontListRecords(const std::string& text, const char* fontFolder) {
  std::vector<jFontRecord> records;
  if (listVersion(text) != 2 || !fontFolder) return records;
  LineCursor lines(text);
  bool inGroup = false;
  while (auto line = lines.next(kEntryLineChars)) {
    const std::string content = withoutLeadingBlanks(*line);
    if (!inGroup) {
      if (!startsWith(content, "[FONT]")) continue;
      const std::string name = withoutLeadingBlanks(beforeComment(content.substr(6)));
      records.push_back(record(kGroup, name, "", 0, 1));
      inGroup = true;
    } else if (startsWith(content, "END_BLOCK")) {
      inGroup = false;
    } else {
      std::string fields[4];
      if (splitEntry(content, fields)) records.push_back(entryRecord(fields, fontFolder));
    }
  }
  return records;
}

int registerFonts(const char* fontListPath, const char* fontFolder) {
  if (!fontListPath || !fontFolder) return 0;
  jFontClear();
  for (const BuiltInGroup& group : kBuiltInGroups) {
    jFontRegist(record(kGroup, group.name, "", 0, 1), kAppend);
    jFontRegistTTF(record(kTrueTypeContents, "", "", group.contentsA, 1));
  }
  std::string text;
  if (readList(fontListPath, &text)) {
    swapNibbles(&text);
    for (const jFontRecord& font : fontListRecords(text, fontFolder)) jFontRegist(font, kAppend);
  }
  jFontSetCurrent(1);
  return 1;
}

}  // namespace vlx
