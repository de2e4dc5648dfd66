// Base: memory, host keyword, text-file lines, path and string helpers,
// owner-drawn menus with icons, filled rectangles.
#pragma once

#include "jApi.h"

#ifdef JBASE_BUILD
#define JBASE_API J_EXTERN_C J_EXPORT
#else
#define JBASE_API J_EXTERN_C J_IMPORT
#endif

// Ours, an addition to the maker's calls: the process's one table of named
// locks, for the copies of our platform code in every library (null where
// the system keeps the names). Made at the first call.
JBASE_API void* jBaseNamedLockTable(void);

// Zero-filled block, or null when memory is exhausted.
JBASE_API void* jMemAlloc(size_t size);
JBASE_API void jMemFree(void* block);
// Number of blocks allocated with jMemAlloc and not yet freed.
JBASE_API int jMemCheck(void);

// The host product's keyword (argument 0). Read once from the one-line file
// "OEM.TXT" beside the Base library; the environment variable VLX_OEM_TEXT
// or jOemSetText override it for this process. Never null.
JBASE_API const char* jOemText(int which);
// Overrides the keyword for this process (null: back to the file, which is
// then read again at the next call).
JBASE_API void jOemSetText(const char* keyword);

// Text-file lines: jFilesPuts writes text followed by CR LF; jFilesGets
// delivers the next line without its line end (CR, LF or CR LF), cut to
// size - 1 bytes, and returns its length + 1 (so an empty line is still
// positive), or 0 at the end of the file. A cut never splits a double-byte
// character, and the rest of a cut line is skipped, not delivered as a line.
JBASE_API int jFilesPuts(jFILE file, const char* text);
JBASE_API int jFilesGets(jFILE file, char* buffer, int size);

// Splits path at its last separator: folder (without trailing separator) and
// name (with extension). Either output may be null; each holds 260 bytes.
JBASE_API int jFilesSplitPath(const char* path, char* folder, char* name);

// 0 when the first n characters agree, ignoring the case of single-byte
// letters (double-byte characters compare exactly).
JBASE_API int jStrCmpNI(const char* a, const char* b, int n);
// First occurrence of pattern in text (double-byte aware), or null.
JBASE_API const char* jStrStr(const char* text, const char* pattern);

// Owner-drawn menus with icons for a window's menu bar.
typedef struct jMenu_* jMENU;
JBASE_API jMENU jMenuInit(jHWND window);
JBASE_API int jMenuSetIcon(jMENU menu, int command, jHBITMAP strip, int image);
// drawItem is a DRAWITEMSTRUCT*, measureItem a MEASUREITEMSTRUCT*.
JBASE_API int jMenuDrawItem(jMENU menu, void* drawItem);
JBASE_API int jMenuMeasureItem(jMENU menu, jHWND window, void* measureItem);
JBASE_API int jMenuEnd(jMENU menu);

// Filled rectangle with a frame.
JBASE_API int jRectangle(jHDC dc, int left, int top, int right, int bottom, jCOLOR frame, jCOLOR fill, int mode);
