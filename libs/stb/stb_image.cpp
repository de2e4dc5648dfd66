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
