// The print-stream decoder and its dot pages: a bad stream is reported,
// never a crash or a giant allocation.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/frame_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  escp::Stream stream;
  const bool clean = escp::decodeStream(data, size, &stream);
  FUZZ_CHECK(clean == stream.problems.empty());
  for (const escp::Frame& frame : stream.frames) {
    escp::describe(frame);
    if (frame.kind == escp::FrameKind::kRasterRow)
      FUZZ_CHECK(frame.unpacked.size() == static_cast<std::size_t>(frame.declaredBytes));
  }
  std::vector<escp::DotPage> pages;
  std::string error;
  escp::buildPages(stream, 64, &pages, &error);
  return 0;
}
