// Folders on POSIX, with the Windows rules kept: a move never replaces an
// existing target, a temporary file is "<prefix><hex>.TMP" created empty.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/folders.h"
#include "platform/path.h"

namespace platform {

namespace {

// Copies a regular file to a target that must not exist yet, keeping its
// times; used when a move crosses file systems.
bool copyFileNoReplace(const char* from, const char* to) {
  int source = ::open(from, O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  struct stat info;
  if (::fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(source);
    return false;
  }
  int target = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777);
  if (target < 0) {
    ::close(source);
    return false;
  }
  bool ok = true;
  char buffer[16384];
  for (;;) {
    ssize_t got = ::read(source, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(target, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ok = false;
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  struct timespec times[2] = {info.st_atim, info.st_mtim};
  if (ok) ok = ::futimens(target, times) == 0;
  ok = ::close(target) == 0 && ok;
  ::close(source);
  if (!ok) ::unlink(to);
  return ok;
}

}  // namespace

bool createFolder(const char* path) {
  return path && path[0] && ::mkdir(path, 0755) == 0;
}

bool pathExists(const char* path) {
  struct stat info;
  return path && path[0] && ::stat(path, &info) == 0;
}

bool isFolder(const char* path) {
  struct stat info;
  return path && path[0] && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool moveFile(const char* from, const char* to) {
  if (!from || !to || !from[0] || !to[0]) return false;
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  int error = errno;
  if (error == EXDEV) return copyFileNoReplace(from, to) && ::unlink(from) == 0;
  if (error != EINVAL && error != ENOSYS) return false;
  // A file system without RENAME_NOREPLACE: a hard link refuses an existing
  // target just the same.
  if (::link(from, to) == 0) return ::unlink(from) == 0;
  error = errno;
  if (error == EXDEV) return copyFileNoReplace(from, to) && ::unlink(from) == 0;
  if (error == EEXIST) return false;
  // Folders cannot be linked: check, then rename (a small race we accept).
  if (pathExists(to)) return false;
  return ::rename(from, to) == 0;
}

bool deleteFile(const char* path) {
  struct stat info;
  if (!path || !path[0] || ::lstat(path, &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return ::unlink(path) == 0;
}

bool removeFolder(const char* path) {
  return path && path[0] && ::rmdir(path) == 0;
}

bool listFolder(const char* folder, const std::function<bool(const FolderEntry&)>& visit) {
  if (!folder || !folder[0]) return false;
  DIR* dir = ::opendir(folder);
  if (!dir) return false;
  while (struct dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    struct stat info;
    if (::fstatat(::dirfd(dir), name, &info, 0) != 0) continue;  // vanished meanwhile, or a dead link
    const std::int64_t written = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    FolderEntry item{name, S_ISDIR(info.st_mode), S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size),
                     written};
    if (!visit(item)) break;
  }
  ::closedir(dir);
  return true;
}

bool lookAtFile(const char* path, FolderEntry* out) {
  struct stat info;
  if (!path || !path[0] || !out || ::stat(path, &info) != 0) return false;
  out->name = fileNamePart(path);
  out->isDirectory = S_ISDIR(info.st_mode);
  out->size = out->isDirectory ? 0 : static_cast<std::uint64_t>(info.st_size);
  out->writeTime = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return true;
}

bool secondsSinceWritten(const char* path, std::int64_t* seconds) {
  struct stat info;
  if (!path || !path[0] || !seconds || ::stat(path, &info) != 0) return false;
  *seconds = static_cast<std::int64_t>(std::time(nullptr)) - static_cast<std::int64_t>(info.st_mtim.tv_sec);
  return true;
}

bool makeTempFile(const char* folder, const char* prefix, char* out, std::size_t capacity) {
  if (out && capacity) out[0] = '\0';
  if (!folder || !out) return false;
  char head[4] = {};
  if (prefix) std::strncpy(head, prefix, 3);  // only three characters, as on Windows
  static unsigned counter = 0;
  unsigned start = (static_cast<unsigned>(::getpid()) * 2654435761u ^ static_cast<unsigned>(std::time(nullptr)) ^
                    __atomic_add_fetch(&counter, 1, __ATOMIC_RELAXED) * 40503u) &
                   0xFFFFu;
  for (unsigned step = 0; step < 0x10000u; ++step) {
    unsigned number = (start + step) & 0xFFFFu;
    if (number == 0) continue;
    char name[32];
    std::snprintf(name, sizeof name, "%s%X.TMP", head, number);
    if (!joinPath(out, capacity, folder, name)) return false;
    int file = ::open(out, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file >= 0) {
      ::close(file);
      return true;
    }
    if (errno != EEXIST) break;
  }
  out[0] = '\0';
  return false;
}

}  // namespace platform
