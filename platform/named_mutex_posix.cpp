// Named mutex on POSIX systems.
//
// Across processes: an exclusive flock() on a lock file named after the
// mutex ("/dev/shm/vlx-mutex-<name>", or under /tmp when /dev/shm is absent;
// every byte of the name outside [A-Za-z0-9._-] becomes '_' followed by its
// two hex digits, so distinct names stay distinct). flock() belongs to the
// open file description, and the kernel drops it when the holder dies.
//
// Within a process: one shared record per name with an owner thread and a
// depth, so that the holding thread may lock again (each lock needs its
// unlock) while other threads of the process wait on a condition variable.
// Only the thread that takes the in-process ownership touches the flock, so
// one file descriptor per name serves the whole process.
//
// One table of those records per process: every shared library of ours
// carries a copy of this code (the platform library is static), and a
// library loaded without global symbols would otherwise keep a table of its
// own, open the lock file a second time and wait in flock for the lock its
// own thread holds. The table is Base's (jBaseNamedLockTable), reached by a
// weak reference that each library's loader binds to the process's one Base;
// a program without Base (the platform's own tests) keeps this copy's.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "platform/named_mutex.h"

extern "C" __attribute__((weak)) void* jBaseNamedLockTable(void);

namespace platform {

class NamedMutex {
 public:
  std::string name;
  int fd = -1;
  int refs = 0;
  std::mutex guard;
  std::condition_variable released;
  std::thread::id owner;
  int depth = 0;
  NamedMutex* next = nullptr;
};

struct NamedMutexTable {
  std::mutex lock;
  NamedMutex* head = nullptr;
};

NamedMutexTable* newNamedMutexTable() {
  return new NamedMutexTable;
}

namespace {

NamedMutexTable& processTable() {
  if (jBaseNamedLockTable) {
    if (void* shared = jBaseNamedLockTable()) return *static_cast<NamedMutexTable*>(shared);
  }
  static NamedMutexTable own;
  return own;
}

std::string lockFilePath(const char* name) {
  std::string path = access("/dev/shm", W_OK) == 0 ? "/dev/shm/vlx-mutex-" : "/tmp/vlx-mutex-";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    bool plain =
        (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '-' || *p == '.';
    if (plain) {
      path += static_cast<char>(*p);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "_%02X", *p);
      path += hex;
    }
  }
  return path;
}

}  // namespace

NamedMutex* openNamedMutex(const char* name) {
  if (!name || !*name) return nullptr;
  NamedMutexTable& table = processTable();
  std::lock_guard<std::mutex> hold(table.lock);
  for (NamedMutex* m = table.head; m; m = m->next) {
    if (m->name == name) {
      ++m->refs;
      return m;
    }
  }
  std::string path = lockFilePath(name);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  NamedMutex* m = new NamedMutex;
  m->name = name;
  m->fd = fd;
  m->refs = 1;
  m->next = table.head;
  table.head = m;
  return m;
}

void lockNamedMutex(NamedMutex* mutex) {
  if (!mutex) return;
  std::thread::id me = std::this_thread::get_id();
  {
    std::unique_lock<std::mutex> lock(mutex->guard);
    if (mutex->depth > 0 && mutex->owner == me) {
      ++mutex->depth;
      return;
    }
    mutex->released.wait(lock, [mutex] { return mutex->depth == 0; });
    mutex->owner = me;
    mutex->depth = 1;
  }
  // This thread is now the process's only contender for the file lock.
  while (flock(mutex->fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

bool lockNamedMutexFor(NamedMutex* mutex, int timeoutMs) {
  if (!mutex) return false;
  const std::thread::id me = std::this_thread::get_id();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  {
    std::unique_lock<std::mutex> lock(mutex->guard);
    if (mutex->depth > 0 && mutex->owner == me) {
      ++mutex->depth;
      return true;
    }
    if (!mutex->released.wait_until(lock, deadline, [mutex] { return mutex->depth == 0; })) return false;
    mutex->owner = me;
    mutex->depth = 1;
  }
  // Another process may hold the file lock: tried in short steps until the deadline.
  for (;;) {
    if (flock(mutex->fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::lock_guard<std::mutex> lock(mutex->guard);
  mutex->depth = 0;
  mutex->owner = std::thread::id();
  mutex->released.notify_one();
  return false;
}

void unlockNamedMutex(NamedMutex* mutex) {
  if (!mutex) return;
  std::lock_guard<std::mutex> lock(mutex->guard);
  if (mutex->depth == 0 || mutex->owner != std::this_thread::get_id()) return;
  if (--mutex->depth > 0) return;
  flock(mutex->fd, LOCK_UN);
  mutex->owner = std::thread::id();
  mutex->released.notify_one();
}

void closeNamedMutex(NamedMutex* mutex) {
  if (!mutex) return;
  NamedMutexTable& table = processTable();
  std::lock_guard<std::mutex> hold(table.lock);
  if (--mutex->refs > 0) return;
  for (NamedMutex** link = &table.head; *link; link = &(*link)->next) {
    if (*link == mutex) {
      *link = mutex->next;
      break;
    }
  }
  close(mutex->fd);
  delete mutex;
}

}  // namespace platform
