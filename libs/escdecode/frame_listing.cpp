#include "libs/escdecode/frame_listing.h"

#include <cstdio>
#include <vector>

namespace escp {
namespace {

std::string hex(const std::vector<uint8_t>& bytes, size_t max = 16) {
  std::string s;
  char buf[4];
  for (size_t i = 0; i < bytes.size() && i < max; ++i) {
    std::snprintf(buf, sizeof buf, "%02X ", bytes[i]);
    s += buf;
  }
  if (bytes.size() > max) s += "...";
  if (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

std::string describe(const Frame& f) {
  char head[64];
  std::snprintf(head, sizeof head, "%08llX ", static_cast<unsigned long long>(f.offset));
  std::string s = head;
  char buf[160];
  switch (f.kind) {
    case FrameKind::kPreamble:
      std::snprintf(buf, sizeof buf, "preamble: %zu bytes of 11", f.length);
      break;
    case FrameKind::kExitPacketMode:
      std::snprintf(buf, sizeof buf, "exit packet mode");
      break;
    case FrameKind::kEjlLine:
      std::snprintf(buf, sizeof buf, "EJL \"%s\"", f.name.c_str());
      break;
    case FrameKind::kRemoteEnter:
      std::snprintf(buf, sizeof buf, "enter remote mode \"%s\"",
                    std::string(f.params.begin() + (f.params.empty() ? 0 : 1), f.params.end()).c_str());
      break;
    case FrameKind::kRemoteCommand:
      std::snprintf(buf, sizeof buf, "  remote %s [%zu] %s", f.name.c_str(), f.params.size(), hex(f.params).c_str());
      break;
    case FrameKind::kRemoteExit:
      std::snprintf(buf, sizeof buf, "exit remote mode");
      break;
    case FrameKind::kEscCommand:
      std::snprintf(buf, sizeof buf, "ESC %s %s", f.name.c_str(), hex(f.params).c_str());
      break;
    case FrameKind::kRasterRow:
      std::snprintf(buf, sizeof buf, "raster %-17s code %02X, %d bytes declared, %zu packed",
                    inkName(planeOfColorCode(f.colorCode)), f.colorCode, f.declaredBytes, f.params.size());
      break;
    case FrameKind::kVerticalMove:
      std::snprintf(buf, sizeof buf, "move down %d lines", f.lines);
      break;
    case FrameKind::kCarriageReturn:
      std::snprintf(buf, sizeof buf, "CR");
      break;
    case FrameKind::kFormFeed:
      std::snprintf(buf, sizeof buf, "form feed (end of page)");
      break;
  }
  return s + buf;
}

}  // namespace escp
