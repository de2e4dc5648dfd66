// Text-file lines of the drawing library. They go through the base
// library's reader and writer, so that a file written partly with
// jFilePuts and partly with jFilesPuts has one line end throughout
// (CR LF) and reads back alike.
#include "Base.h"
#include "Draw.h"

namespace {

constexpr int kTextLines = 1;

}  // namespace

JDRAW_API int jFileGets(jFILE file, char* buffer, int size, int mode) {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!file || !buffer || size <= 0 || mode != kTextLines) return -1;
  // The base reader counts the line end in (0 = end of file).
  return jFilesGets(file, buffer, size) - 1;
}

JDRAW_API int jFilePuts(jFILE file, const char* text) {
  return jFilesPuts(file, text);
}
