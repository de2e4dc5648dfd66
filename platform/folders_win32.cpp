// Folders on Windows.
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/folders.h"
#include "platform/path.h"

namespace platform {
namespace {

// A path too long for the "A" calls in the long form the wide calls take
// ("\\?\C:\..." or "\\?\UNC\server\..."); empty for one that fits
// (or cannot be converted).
std::wstring longForm(const char* path) {
  if (std::strlen(path) < MAX_PATH) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

// The wide form of a path, the long form when it needs one; empty when it
// cannot be converted.
std::wstring wideOf(const char* path) {
  std::wstring wide = longForm(path);
  if (!wide.empty()) return wide;
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  wide.resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

// Folder entry fields from a find, whichever its character width.
template <typename Found>
void fillEntry(const Found& found, FolderEntry* out) {
  const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out->isDirectory = directory;
  out->size = directory ? 0 : (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  out->writeTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                             found.ftLastWriteTime.dwLowDateTime);
}

}  // namespace

bool createFolder(const char* path) {
  return path && path[0] && CreateDirectoryA(path, nullptr) != 0;
}

bool pathExists(const char* path) {
  return path && path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const char* path) {
  if (!path || !path[0]) return false;
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool moveFile(const char* from, const char* to) {
  if (!from || !to || !from[0] || !to[0]) return false;
  if (std::strlen(from) < MAX_PATH && std::strlen(to) < MAX_PATH) return MoveFileA(from, to) != 0;
  // A name another system wrote into a deep folder: only the wide call
  // reaches it.
  const std::wstring wideFrom = wideOf(from), wideTo = wideOf(to);
  return !wideFrom.empty() && !wideTo.empty() && MoveFileW(wideFrom.c_str(), wideTo.c_str()) != 0;
}

bool deleteFile(const char* path) {
  return path && path[0] && DeleteFileA(path) != 0;
}

bool removeFolder(const char* path) {
  return path && path[0] && RemoveDirectoryA(path) != 0;
}

bool listFolder(const char* folder, const std::function<bool(const FolderEntry&)>& visit) {
  char pattern[kMaxPath];
  if (!folder || !folder[0] || !joinPath(pattern, sizeof pattern, folder, "*")) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND && isFolder(folder);
  do {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
    bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::uint64_t size = directory ? 0 : (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    const std::int64_t written = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime);
    if (!visit(FolderEntry{found.cFileName, directory, size, written})) break;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

bool lookAtFile(const char* path, FolderEntry* out) {
  // A path without wild cards finds that one entry, with the same fields a
  // folder listing gives.
  if (!path || !path[0] || !out || std::strpbrk(path, "*?")) return false;
  out->name = fileNamePart(path);
  const std::wstring longPath = longForm(path);
  if (!longPath.empty()) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(longPath.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    fillEntry(found, out);
    return true;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  fillEntry(found, out);
  return true;
}

bool secondsSinceWritten(const char* path, std::int64_t* seconds) {
  FolderEntry entry{};
  if (!seconds || !lookAtFile(path, &entry)) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t current =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  *seconds = (current - entry.writeTime) / 10000000;  // 100-ns steps
  return true;
}

bool makeTempFile(const char* folder, const char* prefix, char* out, std::size_t capacity) {
  if (out && capacity) out[0] = '\0';
  if (!folder || !out) return false;
  // GetTempFileNameA writes up to MAX_PATH bytes and needs room for the name.
  if (std::strlen(folder) + 14 >= MAX_PATH) return false;
  char path[MAX_PATH];
  if (GetTempFileNameA(folder, prefix ? prefix : "", 0, path) == 0) return false;
  if (!copyString(out, capacity, path)) {
    DeleteFileA(path);
    return false;
  }
  return true;
}

}  // namespace platform
