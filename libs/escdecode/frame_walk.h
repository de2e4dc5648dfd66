// The one way the readers of a stream walk its frames: each frame goes to a
// visitor, which says whether to go on, that it has all it needs, or that
// the frame fails it; a set cancel flag ends the walk between two frames.
// The walk's end is told the same way to every reader: a frame that cannot
// be decoded gives its problem, a cancel gives "cancelled".
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "libs/escdecode/escp_decoder.h"

namespace escp {

enum class Step {
  kOn,      // the next frame, please
  kEnough,  // the visitor has what it wanted: the walk ends well
  kFail,    // the visitor's message (in the walk's error) ends the walk
};

enum class Walk {
  kWhole,   // every frame of the stream was visited
  kEnough,  // the visitor ended it early, content
  kFailed,  // *error says why: the visitor's message, the stream's problem, or "cancelled"
};

using FrameVisitor = std::function<Step(const Frame&)>;

Walk walkFrames(const uint8_t* data, size_t size, const FrameVisitor& visit, std::string* error,
                const std::atomic<int>* cancel = nullptr);
Walk walkFrames(const ReadBytes& read, const FrameVisitor& visit, std::string* error,
                const std::atomic<int>* cancel = nullptr);

// Moves *line down by a vertical move's lines. Paper only goes down: an
// upward move is no placement any page can have (false, with a message).
bool movePaper(const Frame& move, int64_t* line, std::string* error);

}  // namespace escp
