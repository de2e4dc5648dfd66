// Files on POSIX: a file descriptor boxed in the handle (descriptor + 1, so
// that descriptor 0 is not the null handle).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include "platform/file.h"

namespace platform {

namespace {

int descriptorOf(FileHandle file) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}

FileHandle handleOf(int descriptor) {
  return reinterpret_cast<FileHandle>(static_cast<std::intptr_t>(descriptor) + 1);
}

}  // namespace

FileHandle openFile(const char* path, OpenMode mode) {
  if (!path || path[0] == '\0') return nullptr;
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::ReadExclusive:
    case OpenMode::ReadShared:
    case OpenMode::ReadAnyShare:
      flags |= O_RDONLY;
      break;
    case OpenMode::CreateAlways:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
    case OpenMode::AppendOrCreate:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      break;
  }
  int descriptor;
  do {
    descriptor = ::open(path, flags, 0644);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return nullptr;
  struct stat info;
  if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
    // A folder opens for reading on POSIX but never as a file on Windows.
    ::close(descriptor);
    return nullptr;
  }
  return handleOf(descriptor);
}

void closeFile(FileHandle file) {
  if (file) ::close(descriptorOf(file));
}

std::int64_t readFile(FileHandle file, void* buffer, std::size_t size) {
  if (!file || (!buffer && size)) return -1;
  ssize_t got;
  do {
    got = ::read(descriptorOf(file), buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

std::int64_t writeFile(FileHandle file, const void* data, std::size_t size) {
  if (!file || (!data && size)) return -1;
  ssize_t put;
  do {
    put = ::write(descriptorOf(file), data, size);
  } while (put < 0 && errno == EINTR);
  return put;
}

bool seekRelative(FileHandle file, std::int64_t offset) {
  return file && ::lseek(descriptorOf(file), static_cast<off_t>(offset), SEEK_CUR) >= 0;
}

bool fileSize(FileHandle file, std::uint64_t* size) {
  struct stat info;
  if (!file || !size || ::fstat(descriptorOf(file), &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool lastWriteLocalTime(FileHandle file, LocalTime* time) {
  struct stat info;
  if (!file || !time || ::fstat(descriptorOf(file), &info) != 0) return false;
  std::tm local{};
  std::time_t seconds = info.st_mtime;
  if (!::localtime_r(&seconds, &local)) return false;
  *time = LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
  return true;
}

}  // namespace platform
