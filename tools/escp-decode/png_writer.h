// A minimal PNG writer: 8-bit RGB, no filtering, the image data in stored
// (uncompressed) deflate blocks, with the CRC-32 and Adler-32 checks that
// readers verify. No compression library needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace escp {

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb);
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t size);

}  // namespace escp
