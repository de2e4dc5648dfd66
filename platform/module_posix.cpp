// Modules on POSIX: dladdr names the shared object holding an address; the
// program itself is /proc/self/exe.
#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/module.h"
#include "platform/path.h"

namespace platform {

namespace {

bool programFileName(char* out, std::size_t capacity) {
  char path[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  path[length] = '\0';
  return copyString(out, capacity, path);
}

}  // namespace

bool moduleFileName(const void* address, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return false;
  out[0] = '\0';
  if (!address) return programFileName(out, capacity);
  Dl_info info;
  struct link_map* map = nullptr;
  if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) return false;
  // The program's own map comes first in the chain and carries no usable name.
  if (!map || !map->l_prev || !info.dli_fname || !info.dli_fname[0]) return programFileName(out, capacity);
  char resolved[PATH_MAX];
  if (!::realpath(info.dli_fname, resolved)) return false;
  return copyString(out, capacity, resolved);
}

Library loadLibrary(const char* path) {
  return path && path[0] ? ::dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
}

void* librarySymbol(Library library, const char* name) {
  return library && name ? ::dlsym(library, name) : nullptr;
}

void freeLibrary(Library library) {
  if (library) ::dlclose(library);
}

Library libraryOf(const void* address) {
  Dl_info info;
  struct link_map* map = nullptr;
  if (!address || ::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || !map)
    return nullptr;
  // The program itself is reached with a null name.
  const char* name = map->l_prev && info.dli_fname && info.dli_fname[0] ? info.dli_fname : nullptr;
  Library library = ::dlopen(name, RTLD_NOW | RTLD_NOLOAD);
  // Like GetModuleHandleEx with an unchanged reference count: the library
  // is loaded anyway, the caller does not free it.
  if (library) ::dlclose(library);
  return library;
}

const char* environmentValue(const char* name) {
  return name ? std::getenv(name) : nullptr;
}

}  // namespace platform
