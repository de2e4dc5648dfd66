// The job frame, compute then emit: resolveJobHeader turns the settings
// into one JobHeader; the emitters then write one command each, in the
// order the printer expects them.
#include "driver/raster/job_frame.h"

#include <initializer_list>

#include "driver/machines/machine_state.h"
#include "driver/raster/spool_writer.h"

namespace rx3 {
namespace {

constexpr int kPreambleBytes = 16384;
constexpr int kUnitBase = 2880;      // 0x0B40
constexpr int kSpacingBase = 14400;  // 0x3840
constexpr int16_t kBorderlessFeed = -43;

struct DotSize {
  int32_t xResolution;
  uint8_t code;
};
constexpr DotSize kDotSizes[] = {{360, 0x11}, {720, 0x10}, {1440, 0x12}, {2880, 0x05}};

uint8_t dotSizeFor(int32_t xResolution) {
  for (const DotSize& d : kDotSizes)
    if (d.xResolution == xResolution) return d.code;
  return static_cast<uint8_t>(kUnitBase / xResolution);
}

uint8_t inkCodeFor(int32_t inkSet) {
  return inkSet == 1 ? 0x51 : inkSet == 2 ? 0x41 : 0x31;
}

void remote(jSPOOL spool, const char* name, std::initializer_list<uint8_t> parameters) {
  putRemote(spool, name, parameters.begin(), static_cast<int>(parameters.size()));
}

void esc(jSPOOL spool, std::initializer_list<uint8_t> bytes) {
  put8(spool, 0x1B);
  for (uint8_t b : bytes) put8(spool, b);
}

// ---- commands, in protocol order --------------------------------------------

void preamble(jSPOOL spool) {
  for (int i = 0; i < kPreambleBytes; ++i) put8(spool, 0x11);
}

void exitPacketMode(jSPOOL spool) {
  for (uint8_t b : {0x00, 0x00, 0x00, 0x1B, 0x01}) put8(spool, b);
}

void ejlLines(jSPOOL spool) {
  putText(spool, "@EJL 1284.4\n");
  putText(spool, "@EJL     \n");
}

void initialise(jSPOOL spool) {
  esc(spool, {'@'});
}

void enterRemote(jSPOOL spool) {
  esc(spool, {'(', 'R', 0x08, 0x00, 0x00});
  putText(spool, "REMOTE1");
}

void exitRemote(jSPOOL spool) {
  esc(spool, {0x00, 0x00, 0x00});
}

void jobStart(jSPOOL spool) {
  remote(spool, "JS", {0x00, 'P', 'R', 'I', 'N', 'T', '_', 'J', 'O', 'B', 0x00});
  remote(spool, "JU", {0x00, 'n', 'o', 'n', 'e'});
  remote(spool, "IR", {0x00, 0x03});
}

void settings(jSPOOL spool, const JobHeader& h) {
  for (uint8_t item : {0x01, 0x08, 0x02, 0x03, 0x04}) remote(spool, "SN", {0x00, item, 0x00});
  remote(spool, "SN", {0x00, 0x05, 0x33});
  remote(spool, "SN", {0x00, 0x09, h.marginLayout});
  remote(spool, "SN", {0x00, 0x82, 0x47});
  if (h.borderless) {
    remote(spool, "SN", {0x00, 0x84, h.borderlessCut});
    remote(spool, "SN", {0x00, 0x85, 0x00});
  }
}

void paperFeed(jSPOOL spool, const JobHeader& h) {
  remote(spool, "EX", {0x00, 0x00, 0x00, 0x00, 0x05, 0x00});
  const uint16_t feed = static_cast<uint16_t>(h.feedOffset);
  remote(spool, "FP", {0x00, static_cast<uint8_t>(feed), static_cast<uint8_t>(feed >> 8)});
  remote(spool, "EX", {0x00, 0x00, 0x00, 0x00, 0x14, 0x00});
  remote(spool, "AC", {0x00, h.autoCut});
  remote(spool, "AC", {0x00, 0x40});
}

void inksAndHead(jSPOOL spool, const JobHeader& h) {
  remote(spool, "IK", {0x00, h.inkCode});
  remote(spool, "PH", {0x00, 0x00});
}

void rasterSetUp(jSPOOL spool, const JobHeader& h) {
  esc(spool, {'(', 'G', 0x01, 0x00, 0x01});
  esc(spool, {'(', 'U', 0x05, 0x00, h.unitPage, h.unitPage, h.unitHorizontal, 0x40, 0x0B});
  esc(spool, {'U', h.direction});
  esc(spool, {'(', 'i', 0x03, 0x00, 0x01, 0x00, 0x00});
  esc(spool, {'(', 'e', 0x02, 0x00, 0x00, h.dotSize});
  esc(spool, {'(', 'D', 0x04, 0x00, 0x40, 0x38, h.spacingV, h.spacingH});
}

void jobEnd(jSPOOL spool) {
  enterRemote(spool);
  remote(spool, "IR", {0x00, 0x02});
  remote(spool, "JE", {0x00});
  remote(spool, "LD", {});
  exitRemote(spool);
}

MachineState* stateOf(DeviceRecord* record) {
  return record ? record->state : nullptr;
}

}  // namespace

JobHeader resolveJobHeader(const MachineState& s) {
  const int32_t h = s.xResolution;
  const int32_t v = s.yResolution;
  const int32_t b = s.marginMode;
  JobHeader header{};
  header.borderless = b != 0;
  header.marginLayout = b == 0 ? 0x02 : 0x00;
  header.borderlessCut = b == 1 ? 0x00 : b == 2 ? 0x01 : 0x02;
  header.feedOffset = b == 0 ? 0 : kBorderlessFeed;
  header.autoCut = (s.paperCut == 1 || b >= 2) ? 0x01 : 0x00;
  header.inkCode = inkCodeFor(s.inkSet);
  header.unitPage = static_cast<uint8_t>(kUnitBase / v);
  header.unitHorizontal = static_cast<uint8_t>(kUnitBase / h);
  header.direction = s.bidirectional == 1 ? 0x00 : 0x01;
  header.dotSize = dotSizeFor(h);
  header.spacingV = static_cast<uint8_t>(kSpacingBase / v);
  header.spacingH = static_cast<uint8_t>(kSpacingBase / h);
  return header;
}

void emitJobHeader(jSPOOL spool, const JobHeader& header) {
  preamble(spool);
  exitPacketMode(spool);
  ejlLines(spool);
  initialise(spool);
  initialise(spool);
  enterRemote(spool);
  jobStart(spool);
  settings(spool, header);
  paperFeed(spool, header);
  inksAndHead(spool, header);
  exitRemote(spool);
  initialise(spool);
  rasterSetUp(spool, header);
  jSplWritePrinter(spool);
}

// What ends a job that the spool library cuts at a line on a cancel: the
// abort trailer's frame as emitAbortTrailer writes it.
constexpr uint8_t kCancelTail[] = {0x1B, '@',  0x1B, '(', 'R',  0x08, 0x00, 0x00, 'R',  'E',  'M',  'O',
                                   'T',  'E',  '1',  'A', 'C',  0x02, 0x00, 0x00, 0x41, 0x1B, 0x00, 0x00,
                                   0x00, 0x0C, 0x1B, '(', 'R',  0x08, 0x00, 0x00, 'R',  'E',  'M',  'O',
                                   'T',  'E',  '1',  'I', 'R',  0x02, 0x00, 0x00, 0x02, 'J',  'E',  0x01,
                                   0x00, 0x00, 'L',  'D', 0x00, 0x00, 0x1B, 0x00, 0x00, 0x00};

void emitPageTrailer(jSPOOL spool) {
  put8(spool, 0x0C);
  initialise(spool);
  jobEnd(spool);
  jSplMarkBoundary(spool, 1);
  jSplWritePrinter(spool);
}

void emitAbortTrailer(jSPOOL spool) {
  jSplSetAbortPoint(spool);
  jSplAbort(spool);
  initialise(spool);
  enterRemote(spool);
  remote(spool, "AC", {0x00, 0x41});
  exitRemote(spool);
  put8(spool, 0x0C);
  jobEnd(spool);
  jSplMarkBoundary(spool, 1);
  jSplWritePrinter(spool);
}

// A frame that could not be handed on to the port stops the job: the flag
// drops here rather than at the next raster line, so that a failed header or
// trailer is never reported as written.
static int checkPort(EngineState& engine) {
  if (jSplGetStatus(engine.spoolHandle) != 1) engine.printing = 0;
  return engine.printing;
}

int writeJobHeader(DeviceRecord* record) {
  MachineState* state = stateOf(record);
  if (!state) return 0;
  EngineState& engine = state->engine;
  if (state->xResolution <= 0 || state->yResolution <= 0) engine.printing = 0;  // no header describes it
  if (engine.printing != 1) return engine.printing;
  jSplSetCancelTail(engine.spoolHandle, kCancelTail, static_cast<int>(sizeof kCancelTail));
  emitJobHeader(engine.spoolHandle, resolveJobHeader(*state));
  return checkPort(engine);
}

int writePageTrailer(DeviceRecord* record) {
  MachineState* state = stateOf(record);
  if (!state) return 0;
  EngineState& engine = state->engine;
  if (engine.printing != 1) return engine.printing;
  emitPageTrailer(engine.spoolHandle);
  return checkPort(engine);
}

int writeAbortTrailer(DeviceRecord* record) {
  MachineState* state = stateOf(record);
  if (!state) return 0;
  EngineState& engine = state->engine;
  if (engine.printing != 1) return engine.printing;
  emitAbortTrailer(engine.spoolHandle);
  return checkPort(engine);
}

int closeChannel(DeviceRecord* record) {
  MachineState* state = stateOf(record);
  if (!state) return 1;
  // The end is where a spooled job goes to the port: a connection dropped or
  // a disk filled there fails the job, and the caller must hear of it.
  int ended = 1;
  if (state->engine.spoolHandle) {
    ended = jSplEnd(state->engine.spoolHandle) == 1 ? 1 : 0;
    jSplClose(state->engine.spoolHandle);
    state->engine.spoolHandle = nullptr;
  }
  state->engine.printing = 0;
  return ended;
}

}  // namespace rx3
