// Path and string helpers. Strings are CP932 bytes; a trail byte of a
// double-byte character (0x5C in 表, ソ, 能 ...) is never a separator and is
// never case-folded. Every helper that fills a buffer refuses (returns false
// and leaves an empty string) rather than cut a path: a cut path names
// another file.
#pragma once

#include <cstddef>

namespace platform {

constexpr std::size_t kMaxPath = 260;  // bytes, terminator included

#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// First byte of a double-byte CP932 character.
bool isLeadByte(unsigned char c);
// '\\' and '/' are separators on every target (Windows takes both, and paths
// written on Windows stay splittable natively); kSeparator is the one inserted.
// Only a single-byte character can be a separator: the scans walk by character.
bool isSeparator(char c);

// Bounded copy; false (and out empty) when source does not fit.
bool copyString(char* out, std::size_t capacity, const char* source);
// Bounded copy that cuts at a character boundary when source is too long;
// for display texts and fixed fields, never for paths.
void copyTruncated(char* out, std::size_t capacity, const char* source);

// The separator that ends path, if the last character is one.
bool endsWithSeparator(const char* path);
// Makes path end in exactly one separator (an empty path stays empty).
bool ensureTrailingSeparator(char* path, std::size_t capacity);
// Removes trailing separators.
void removeTrailingSeparators(char* path);
// folder + one separator + name.
bool joinPath(char* out, std::size_t capacity, const char* folder, const char* name);
// Folder part without trailing separator; empty when path has no separator.
bool folderPart(const char* path, char* out, std::size_t capacity);
// Pointer to the file-name part (after the last separator) inside path.
const char* fileNamePart(const char* path);
// Cuts the extension at the last '.' after the last separator (a name without
// '.' is left whole).
void cutExtension(char* path);
// Replaces the extension (or appends when there is none): "x.exe" -> "x.ENV".
bool replaceExtension(char* path, std::size_t capacity, const char* newExtension);

// Case-insensitive comparisons of single-byte letters; double-byte characters
// compare exactly. Same result sign convention as strcmp.
int compareNoCase(const char* a, const char* b);
// Over at most n bytes.
int compareNoCaseN(const char* a, const char* b, std::size_t n);
bool equalNoCase(const char* a, const char* b);
// Does text end with suffix, ignoring case.
bool endsWithNoCase(const char* text, const char* suffix);

}  // namespace platform
