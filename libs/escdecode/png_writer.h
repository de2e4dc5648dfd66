// The decoder's pictures as PNG files: 8-bit RGB, deflated. One writer for
// the project (stb's, with zlib's deflate and CRC underneath), whole or a
// row at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace escp {

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb);
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// A PNG written a row at a time as its rows are made, with the memory of
// two rows whatever the picture: the same bytes as writePng gives for the
// whole picture. The file is saved atomically at finish; a writer let go
// before leaves nothing behind.
class PngRowWriter {
 public:
  PngRowWriter();
  ~PngRowWriter();
  PngRowWriter(const PngRowWriter&) = delete;
  PngRowWriter& operator=(const PngRowWriter&) = delete;

  // False when the file cannot be made or the size is not a picture's.
  bool begin(const std::string& path, int width, int height);
  // The next row, width * 3 bytes. False once a write failed.
  bool row(const uint8_t* rgb);
  // After the last row: false when rows are missing or the file could not
  // be saved.
  bool finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace escp
