#include "libs/escdecode/frame_walk.h"

namespace escp {
namespace {

template <typename Decode>
Walk walk(const Decode& decode, const FrameVisitor& visit, std::string* error, const std::atomic<int>* cancel) {
  Step last = Step::kOn;
  bool cancelled = false;
  Problem problem{0, {}};
  const bool whole = decode(
      [&](const Frame& f) {
        if (cancel && cancel->load()) {
          cancelled = true;
          return false;
        }
        last = visit(f);
        return last == Step::kOn;
      },
      &problem);
  if (whole) return Walk::kWhole;
  if (cancelled) {
    *error = "cancelled";
    return Walk::kFailed;
  }
  if (last == Step::kEnough) return Walk::kEnough;
  if (last == Step::kOn) *error = problem.message;  // the frame that could not be decoded
  return Walk::kFailed;
}

}  // namespace

Walk walkFrames(const uint8_t* data, size_t size, const FrameVisitor& visit, std::string* error,
                const std::atomic<int>* cancel) {
  return walk([&](const auto& each, Problem* problem) { return decodeEachFrame(data, size, each, problem); }, visit,
              error, cancel);
}

Walk walkFrames(const ReadBytes& read, const FrameVisitor& visit, std::string* error, const std::atomic<int>* cancel) {
  return walk([&](const auto& each, Problem* problem) { return decodeEachFrame(read, each, problem); }, visit, error,
              cancel);
}

bool movePaper(const Frame& move, int64_t* line, std::string* error) {
  if (move.lines < 0) {
    *error = "upward paper move";
    return false;
  }
  *line += move.lines;
  return true;
}

}  // namespace escp
