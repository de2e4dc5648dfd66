// Base: the small services every module of both deliverables shares.
//
// How this library works where its users leave the choice to us:
// - Memory: jMemAlloc is calloc with a live-block counter (atomic, so the
//   print worker and the window thread may allocate at once). jMemCheck
//   reports the blocks not yet freed; a non-zero count at shutdown is a leak.
// - Host keyword (jOemText, oem_text.cpp): jOemSetText for this process,
//   else the environment variable VLX_OEM_TEXT, else the first line of
//   "OEM.TXT" beside this library, read at the first call (and again after
//   jOemSetText(null)); "" when none of them exists.
// - Text lines (lines.cpp): lines are written with CR LF; reading accepts CR,
//   LF and CR LF. A line longer than the caller's buffer is cut at a character
//   boundary and the rest of that line is skipped, so the tail of a long line
//   never turns up as a line of its own (the callers read key=value files).
// - Strings (strings.cpp): CP932-aware; a trail byte is never case-folded,
//   never a separator and never the start of a match.
// - Named locks (jBaseNamedLockTable): every library of ours carries the
//   platform code of the named locks; the one table of who holds what in
//   this process lives here, where each of them finds it.
// - Owner-drawn menus and rectangles (menu_win32.cpp, rectangle_win32.cpp):
//   GDI on Windows; on the native build they fail cleanly (null / 0).
#include <atomic>
#include <cstdlib>

#include "Base.h"
#include "platform/named_mutex.h"

namespace {

std::atomic<int> g_liveBlocks{0};

}  // namespace

void* jMemAlloc(size_t size) {
  // A zero-size request still gets a block of its own, as callers test for null.
  void* block = std::calloc(1, size ? size : 1);
  if (block) g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void jMemFree(void* block) {
  if (!block) return;
  g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

int jMemCheck(void) {
  return g_liveBlocks.load(std::memory_order_relaxed);
}

void* jBaseNamedLockTable(void) {
  static platform::NamedMutexTable* const table = platform::newNamedMutexTable();
  return table;
}
