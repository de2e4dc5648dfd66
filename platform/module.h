// Modules and dynamic libraries.
#pragma once

#include <cstddef>

namespace platform {

// Full file name of the module (program or library) that contains address;
// null address: the program itself. False when it does not fit.
bool moduleFileName(const void* address, char* out, std::size_t capacity);

using Library = void*;
Library loadLibrary(const char* path);  // null on failure
void* librarySymbol(Library library, const char* name);
void freeLibrary(Library library);
// The library that contains address (for looking up one's own exports).
Library libraryOf(const void* address);

// Environment variable of this process, or null.
const char* environmentValue(const char* name);

}  // namespace platform
