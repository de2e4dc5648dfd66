#include "libs/escdecode/png_writer.h"

#include <stb_image_write.h>

#include "platform/atomic_file.h"

namespace escp {
namespace {

void collect(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png;
  if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3)
    return png;
  if (!stbi_write_png_to_func(collect, &png, width, height, 3, rgb.data(), width * 3)) png.clear();
  return png;
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  const std::vector<uint8_t> png = encodePng(width, height, rgb);
  if (png.empty()) return false;
  return platform::saveFileAtomically(path.c_str(), png.data(), png.size());
}

}  // namespace escp
