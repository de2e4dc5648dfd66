#include "libs/draw/printer_folder.h"

#include <mutex>

#include "Draw.h"
#include "platform/module.h"
#include "platform/path.h"

namespace jdraw {
namespace {

std::mutex& folderMutex() {
  static std::mutex mutex;
  return mutex;
}

char g_setFolder[platform::kMaxPath];
char g_namedFolder[platform::kMaxPath];
char anchor;

}  // namespace

void rememberPrinterFolder(const char* folder) {
  if (!folder || !folder[0]) return;
  std::lock_guard<std::mutex> lock(folderMutex());
  platform::copyString(g_namedFolder, sizeof g_namedFolder, folder);
}

bool currentPrinterFolder(char* out, std::size_t capacity) {
  {
    std::lock_guard<std::mutex> lock(folderMutex());
    if (g_setFolder[0]) return platform::copyString(out, capacity, g_setFolder);
    if (g_namedFolder[0]) return platform::copyString(out, capacity, g_namedFolder);
  }
  char self[platform::kMaxPath];
  char folder[platform::kMaxPath];
  return platform::moduleFileName(&anchor, self, sizeof self) && platform::folderPart(self, folder, sizeof folder) &&
         platform::joinPath(out, capacity, folder, "printer");
}

}  // namespace jdraw

JDRAW_API int jPdevSetPrinterFolder(const char* folder) {
  std::lock_guard<std::mutex> lock(jdraw::folderMutex());
  if (!folder) {
    jdraw::g_setFolder[0] = '\0';
    return 1;
  }
  return platform::copyString(jdraw::g_setFolder, sizeof jdraw::g_setFolder, folder) ? 1 : 0;
}
