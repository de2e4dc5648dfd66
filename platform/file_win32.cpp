// Files on Windows: the handle is the HANDLE of CreateFileA.
#include <windows.h>

#include "platform/file.h"

namespace platform {

namespace {

HANDLE handleOf(FileHandle file) {
  return static_cast<HANDLE>(file);
}

}  // namespace

FileHandle openFile(const char* path, OpenMode mode) {
  if (!path || path[0] == '\0') return nullptr;
  DWORD access = GENERIC_READ;
  DWORD share = 0;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::ReadExclusive:
      break;
    case OpenMode::ReadShared:
      share = FILE_SHARE_READ;
      break;
    case OpenMode::ReadAnyShare:
      // A reader that only looks must never stand in the way of the queue's
      // own move or delete of the file.
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      break;
    case OpenMode::CreateAlways:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case OpenMode::AppendOrCreate:
      access = GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = OPEN_ALWAYS;
      break;
  }
  HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (mode == OpenMode::AppendOrCreate) {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file, zero, nullptr, FILE_END)) {
      CloseHandle(file);
      return nullptr;
    }
  }
  return file;
}

void closeFile(FileHandle file) {
  if (file) CloseHandle(handleOf(file));
}

std::int64_t readFile(FileHandle file, void* buffer, std::size_t size) {
  if (!file || (!buffer && size)) return -1;
  DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(handleOf(file), buffer, chunk, &got, nullptr)) return -1;
  return got;
}

std::int64_t writeFile(FileHandle file, const void* data, std::size_t size) {
  if (!file || (!data && size)) return -1;
  DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD put = 0;
  if (!WriteFile(handleOf(file), data, chunk, &put, nullptr)) return -1;
  return put;
}

bool seekRelative(FileHandle file, std::int64_t offset) {
  if (!file) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  return SetFilePointerEx(handleOf(file), distance, nullptr, FILE_CURRENT) != 0;
}

bool fileSize(FileHandle file, std::uint64_t* size) {
  LARGE_INTEGER value;
  if (!file || !size || !GetFileSizeEx(handleOf(file), &value)) return false;
  *size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool lastWriteLocalTime(FileHandle file, LocalTime* time) {
  FILETIME written;
  SYSTEMTIME universal;
  SYSTEMTIME local;
  if (!file || !time || !GetFileTime(handleOf(file), nullptr, nullptr, &written) ||
      !FileTimeToSystemTime(&written, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
    return false;
  *time = LocalTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
  return true;
}

}  // namespace platform
