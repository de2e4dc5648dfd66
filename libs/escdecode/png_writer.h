// The decoder's pictures as PNG files: 8-bit RGB, deflated. One writer for
// the project (stb's, with zlib's deflate and CRC underneath).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace escp {

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb);
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace escp
