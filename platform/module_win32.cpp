// Modules on Windows.
#include <windows.h>

#include <cstdlib>

#include "platform/module.h"
#include "platform/path.h"

namespace platform {

bool moduleFileName(const void* address, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return false;
  out[0] = '\0';
  HMODULE module = nullptr;
  if (address &&
      !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return false;
  char path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(module, path, sizeof path);
  // A full buffer means the name was cut: refuse it.
  if (length == 0 || length >= MAX_PATH) return false;
  path[length] = '\0';
  return copyString(out, capacity, path);
}

Library loadLibrary(const char* path) {
  return path && path[0] ? LoadLibraryA(path) : nullptr;
}

void* librarySymbol(Library library, const char* name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void freeLibrary(Library library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

Library libraryOf(const void* address) {
  HMODULE module = nullptr;
  if (!address ||
      !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

const char* environmentValue(const char* name) {
  return name ? std::getenv(name) : nullptr;
}

}  // namespace platform
