// The printer folder that the printing-device layer loads plug-ins from when
// a call names none (jPdevPrint): the one set with jPdevSetPrinterFolder,
// else the one the host last named (job load, machine table), else
// "printer" beside this library, where an installation keeps it.
#pragma once

#include <cstddef>

namespace jdraw {

void rememberPrinterFolder(const char* folder);
bool currentPrinterFolder(char* out, std::size_t capacity);

}  // namespace jdraw
