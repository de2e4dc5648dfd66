// The image decoders (PNG, JPEG, BMP, PPM) and the one PNG writer, from the
// stb headers. The writer's deflate and its CRC-32 come from zlib, so the
// project has one compressor and one checksum, and its PNGs are as small as
// zlib makes them.
#include <zlib.h>

#include <cstdlib>

namespace {

unsigned char* zlibCompress(unsigned char* data, int size, int* outSize, int quality) {
  uLongf bound = compressBound(static_cast<uLong>(size));
  auto* out = static_cast<unsigned char*>(std::malloc(bound));
  if (!out) return nullptr;
  const int level = quality < 0 ? Z_DEFAULT_COMPRESSION : (quality > 9 ? 9 : quality);
  if (compress2(out, &bound, data, static_cast<uLong>(size), level) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *outSize = static_cast<int>(bound);
  return out;
}

unsigned int zlibCrc(unsigned char* data, int size) {
  return static_cast<unsigned int>(crc32(0L, data, static_cast<uInt>(size)));
}

}  // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_PNM
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_ZLIB_COMPRESS zlibCompress
#define STBIW_CRC32 zlibCrc
#include <stb_image_write.h>

#include "png_filter.h"

int stbPngFilterRow(const unsigned char* above, const unsigned char* row, int width, unsigned char* out) {
  // The whole-picture writer's choice, row by row: each filter tried, the
  // one whose bytes sum least (as signed) kept.
  const int bytes = width * 3;
  unsigned char* pixels = const_cast<unsigned char*>(above ? above : row);
  const int stride = above ? static_cast<int>(row - above) : bytes;
  const int y = above ? 1 : 0;
  signed char* line = reinterpret_cast<signed char*>(out + 1);
  int best = 0, bestSum = 0x7fffffff;
  for (int filter = 0; filter < 5; ++filter) {
    stbiw__encode_png_line(pixels, stride, width, 2, y, 3, filter, line);
    int sum = 0;
    for (int i = 0; i < bytes; ++i) sum += abs(line[i]);
    if (sum < bestSum) {
      bestSum = sum;
      best = filter;
    }
  }
  if (best != 4) stbiw__encode_png_line(pixels, stride, width, 2, y, 3, best, line);
  out[0] = static_cast<unsigned char>(best);
  return best;
}
