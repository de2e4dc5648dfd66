// Path and string helpers over CP932 bytes.
//
// Every scan walks character by character: a lead byte (0x81-0x9F,
// 0xE0-0xFC) takes the byte after it along, so a trail byte 0x5C (表, ソ, 能)
// or a trail byte that looks like a letter is never seen on its own.
//
// Both '\' and '/' count as separators on every target (Windows itself takes
// both; paths written on Windows stay splittable natively). The separator we
// insert is the platform's own, kSeparator.
#include "platform/path.h"

#include <cstring>

namespace platform {

namespace {

// Length in bytes of the character that starts at text (1 or 2; a lead byte
// with nothing after it counts as one byte).
std::size_t charLength(const char* text) {
  return isLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// Offset just past the last character of path that is not a separator.
std::size_t endWithoutSeparators(const char* path) {
  std::size_t end = 0;
  for (std::size_t i = 0; path[i] != '\0';) {
    std::size_t n = charLength(path + i);
    if (n == 2 || !isSeparator(path[i])) end = i + n;
    i += n;
  }
  return end;
}

// Offset of the last separator character, or npos.
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
std::size_t lastSeparator(const char* path) {
  std::size_t last = kNone;
  for (std::size_t i = 0; path[i] != '\0';) {
    std::size_t n = charLength(path + i);
    if (n == 1 && isSeparator(path[i])) last = i;
    i += n;
  }
  return last;
}

void clear(char* out, std::size_t capacity) {
  if (out && capacity > 0) out[0] = '\0';
}

unsigned char foldAscii(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool isLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

bool copyString(char* out, std::size_t capacity, const char* source) {
  if (!out || capacity == 0) return false;
  if (!source) source = "";
  std::size_t length = std::strlen(source);
  if (length + 1 > capacity) {
    out[0] = '\0';
    return false;
  }
  std::memmove(out, source, length + 1);
  return true;
}

void copyTruncated(char* out, std::size_t capacity, const char* source) {
  if (!out || capacity == 0) return;
  if (!source) source = "";
  std::size_t kept = 0;
  for (std::size_t i = 0; source[i] != '\0';) {
    std::size_t n = charLength(source + i);
    if (i + n > capacity - 1) break;
    i += n;
    kept = i;
  }
  std::memmove(out, source, kept);
  out[kept] = '\0';
}

bool endsWithSeparator(const char* path) {
  if (!path || path[0] == '\0') return false;
  return endWithoutSeparators(path) < std::strlen(path);
}

bool ensureTrailingSeparator(char* path, std::size_t capacity) {
  if (!path) return false;
  std::size_t length = std::strlen(path);
  if (length == 0) return true;
  std::size_t end = endWithoutSeparators(path);
  if (end < length) {
    // Keep the first separator of the trailing run, drop the others.
    path[end + 1] = '\0';
    return true;
  }
  if (length + 2 > capacity) {
    clear(path, capacity);
    return false;
  }
  path[length] = kSeparator;
  path[length + 1] = '\0';
  return true;
}

void removeTrailingSeparators(char* path) {
  if (!path) return;
  path[endWithoutSeparators(path)] = '\0';
}

bool joinPath(char* out, std::size_t capacity, const char* folder, const char* name) {
  if (!out || capacity == 0) return false;
  if (!folder) folder = "";
  if (!name) name = "";
  std::size_t folderLength = endWithoutSeparators(folder);
  // "" + name stays relative: a leading separator would make it a root path.
  bool separator = folder[0] != '\0';
  std::size_t nameLength = std::strlen(name);
  std::size_t total = folderLength + (separator ? 1 : 0) + nameLength;
  if (total + 1 > capacity) {
    out[0] = '\0';
    return false;
  }
  if (name >= out && name < out + capacity) {
    // name lives inside out: take it out of the way first.
    char copy[kMaxPath];
    if (nameLength + 1 > sizeof copy) {
      out[0] = '\0';
      return false;
    }
    std::memcpy(copy, name, nameLength + 1);
    return joinPath(out, capacity, folder, copy);
  }
  std::memmove(out, folder, folderLength);
  std::size_t at = folderLength;
  if (separator) out[at++] = kSeparator;
  std::memmove(out + at, name, nameLength);
  out[at + nameLength] = '\0';
  return true;
}

bool folderPart(const char* path, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return false;
  if (!path) path = "";
  std::size_t cut = lastSeparator(path);
  std::size_t length = 0;
  if (cut != kNone) {
    // Separators right before the cut ("a\\b") belong to it too.
    for (std::size_t i = 0; i < cut;) {
      std::size_t n = charLength(path + i);
      if (n == 2 || !isSeparator(path[i])) length = i + n;
      i += n;
    }
  }
  if (length + 1 > capacity) {
    out[0] = '\0';
    return false;
  }
  std::memmove(out, path, length);
  out[length] = '\0';
  return true;
}

const char* fileNamePart(const char* path) {
  if (!path) return "";
  std::size_t cut = lastSeparator(path);
  return cut == kNone ? path : path + cut + 1;
}

void cutExtension(char* path) {
  if (!path) return;
  char* name = const_cast<char*>(fileNamePart(path));
  char* dot = nullptr;
  for (std::size_t i = 0; name[i] != '\0';) {
    std::size_t n = charLength(name + i);
    if (n == 1 && name[i] == '.') dot = name + i;
    i += n;
  }
  if (dot) *dot = '\0';
}

bool replaceExtension(char* path, std::size_t capacity, const char* newExtension) {
  if (!path || capacity == 0) return false;
  if (!newExtension) newExtension = "";
  cutExtension(path);
  std::size_t length = std::strlen(path);
  bool dot = newExtension[0] != '\0' && newExtension[0] != '.';
  std::size_t extensionLength = std::strlen(newExtension);
  if (length + (dot ? 1 : 0) + extensionLength + 1 > capacity) {
    path[0] = '\0';
    return false;
  }
  if (dot) path[length++] = '.';
  std::memcpy(path + length, newExtension, extensionLength + 1);
  return true;
}

int compareNoCaseN(const char* a, const char* b, std::size_t n) {
  if (!a) a = "";
  if (!b) b = "";
  std::size_t i = 0;
  while (i < n) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (isLeadByte(ca) && ca == cb) {
      // A double-byte character: both bytes compare exactly.
      if (i + 1 >= n) return 0;
      unsigned char ta = static_cast<unsigned char>(a[i + 1]);
      unsigned char tb = static_cast<unsigned char>(b[i + 1]);
      if (ta != tb) return ta < tb ? -1 : 1;
      if (ta == 0) return 0;
      i += 2;
      continue;
    }
    unsigned char fa = isLeadByte(ca) ? ca : foldAscii(ca);
    unsigned char fb = isLeadByte(cb) ? cb : foldAscii(cb);
    if (fa != fb) return fa < fb ? -1 : 1;
    if (fa == 0) return 0;
    ++i;
  }
  return 0;
}

int compareNoCase(const char* a, const char* b) {
  return compareNoCaseN(a, b, static_cast<std::size_t>(-1));
}

bool equalNoCase(const char* a, const char* b) {
  return compareNoCase(a, b) == 0;
}

bool endsWithNoCase(const char* text, const char* suffix) {
  if (!text || !suffix) return false;
  std::size_t suffixLength = std::strlen(suffix);
  // Try only character starts of text, so the suffix never begins on a trail byte.
  for (std::size_t i = 0;; i += charLength(text + i)) {
    std::size_t rest = std::strlen(text + i);
    if (rest == suffixLength) return compareNoCase(text + i, suffix) == 0;
    if (rest < suffixLength || text[i] == '\0') return false;
  }
}

}  // namespace platform
