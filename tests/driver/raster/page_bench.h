// An open machine with a real output channel on a file port, driven
// through the plug-in's document and page exports in-process, as the
// printing-device layer drives it: a host job context with a drawing
// context, a scene to render, and progress hooks that record every call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PrintDriver.h"
#include "driver/machines/machine_state.h"
#include "libs/escdecode/escp_decoder.h"
#include "platform/scratch_folder.h"

namespace raster_test {

using Bytes = std::vector<uint8_t>;

// "1B 28 'REMOTE1' 00": hex bytes and quoted text.
Bytes hex(const char* text);

struct ProgressCall {
  char hook;  // 'b'egin, 's'tep, 'y'ield, 'e'nd
  int position;
  std::string text;
};

struct ProgressLog {
  std::vector<ProgressCall> calls;
  int yields = 0;
  int cancelAtYield = 0;  // the n-th yield answers cancelAnswer (0 = never)
  int cancelAnswer = 0;
  std::function<int()> yieldAnswer;  // when set, answers every yield
  std::vector<ProgressCall> of(char hook) const;
};

struct Machine {
  int xResolution = 720;
  int yResolution = 720;
  int marginMode = 0;
  int inkSet = 0;
  int paperCut = 1;
  int bidirectional = 1;
  int inchUnits = 0;
};

class PageBench {
 public:
  explicit PageBench(const Machine& machine = Machine{});
  ~PageBench();
  PageBench(const PageBench&) = delete;
  PageBench& operator=(const PageBench&) = delete;

  // Opens the channel and the colour transform as a document start does.
  // spoolLimitMB > 0 spools through a file with that limit.
  bool openDocument(int spoolLimitMB = 0);
  // Ends the document and returns the job's bytes.
  Bytes finish();

  // The drawing: extent in dots (inclusive) and its items.
  void setDrawing(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void addFill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r, uint8_t g, uint8_t b);

  int startPage(float x0, float y0, float x1, float y1);
  int drawPage(float x0, float y0, float x1, float y1);
  int endPage(int abort);

  DeviceRecord record{};
  std::unique_ptr<MachineState> state;
  jHostJobContext context{};
  jGdc drawing{};
  std::vector<jGdcItem> items;
  jGdcScene scene{};
  ProgressLog log;
  testing_support::ScratchFolder out{"h5b-page"};
  testing_support::ScratchFolder work{"h5b-work"};
};

// Decodes a whole job; fails the test on a problem.
escp::Stream decode(const Bytes& job);
int countFrames(const escp::Stream& stream, escp::FrameKind kind, const char* name = nullptr);
// Lines moved by all vertical moves.
int linesMoved(const escp::Stream& stream);
// The first frame of that name (remote command or ESC command), or null.
const escp::Frame* findFrame(const escp::Stream& stream, const char* name);

}  // namespace raster_test
