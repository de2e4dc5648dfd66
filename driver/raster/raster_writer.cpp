// ESC/P raster output of one line: for each ink plane an absolute
// horizontal position, the raster command with the plane's colour code,
// the packed row and a carriage return; then a one-line advance. Command
// bytes go out one at a time, the packed data as one block. The writer
// never flushes: the next vertical skip or the page trailer does.
#include "driver/raster/raster_writer.h"

#include <algorithm>
#include <cstring>

#include "driver/machines/machine_state.h"
#include "driver/raster/halftone.h"
#include "driver/raster/packbits.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/spool_writer.h"

namespace rx3 {
namespace {

// Printer colour codes of planes 0..7: cyan, magenta, yellow, black, light
// cyan, light magenta, light black, light-light black.
constexpr uint8_t kColorCodes[8] = {0x02, 0x01, 0x04, 0x00, 0x12, 0x11, 0x10, 0x30};

constexpr int kAbortPointEvery = 200;
constexpr int kMaxSkipPerMove = 720;

constexpr uint8_t kHorizontalHome[] = {0x1B, '(', '$', 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr uint8_t kNextLine[] = {0x1B, '(', 'v', 0x04, 0x00, 0x01, 0x00, 0x00, 0x00};
constexpr uint8_t kVerticalMove[] = {0x1B, '(', 'v', 0x02, 0x00};
constexpr uint8_t kCompressed = 0x01;
constexpr uint8_t kTwoBitsPerDot = 0x02;
constexpr uint8_t kCarriageReturn = 0x0D;

template <size_t N>
void putCommand(jSPOOL spool, const uint8_t (&bytes)[N]) {
  for (uint8_t b : bytes) put8(spool, b);
}

// The status poll that opens both writers: a port that stops answering
// ends the page's output for good.
bool stillPrinting(EngineState& e) {
  if (jSplGetStatus(e.spoolHandle) != 1) e.printing = 0;
  return e.printing == 1;
}

// A plane's row, at stride bytes apart.
void writePlaneRow(EngineState& e, const uint8_t* row, int stride, int plane, int rowBytes) {
  const int packed = packRow(row, stride, rowBytes, e.packBuffer);
  const int declared = std::max(rowBytes, packed);
  putCommand(e.spoolHandle, kHorizontalHome);
  put8(e.spoolHandle, 0x1B);
  put8(e.spoolHandle, 'i');
  put8(e.spoolHandle, kColorCodes[plane]);
  put8(e.spoolHandle, kCompressed);
  put8(e.spoolHandle, kTwoBitsPerDot);
  putLE16(e.spoolHandle, declared);
  putLE16(e.spoolHandle, 1);  // one row
  putBytes(e.spoolHandle, e.packBuffer, packed);
  // A row that grew in packing is declared at its packed length, so it
  // must also unpack to that many bytes: pad with zero dots.
  for (int remaining = packed - rowBytes; remaining > 0;) {
    uint8_t pad[2];
    remaining -= padPacket(remaining, pad);
    put8(e.spoolHandle, pad[0]);
    put8(e.spoolHandle, pad[1]);
  }
  put8(e.spoolHandle, kCarriageReturn);
}

bool buffersReady(const EngineState& e) {
  return e.dotPlanes && e.packBuffer && e.separation && e.errorLine && e.noise;
}

// Everything of a line after its halftoning: the ink account and the
// planes' rows.
// The planes are packed from planar, when given (room for eight rows), as
// contiguous rows.
template <int Planes>
void writePlanes(EngineState& e, const uint8_t* planes, const uint64_t totals[8], int count, uint8_t* planar) {
  // A port that keeps nothing (a dry run for the ink alone) needs only the
  // account: the dots are counted, never packed.
  if (jSplDropsBytes(e.spoolHandle) == 1) {
    for (int plane = 0; plane < Planes; ++plane) e.pageInk[plane] += totals[plane];
    return;
  }
  const int rowBytes = rowBytesForWidth(count);
  if (planar) transposePlanes(planes, rowBytes, planar);
  for (int plane = 0; plane < Planes; ++plane) {
    e.pageInk[plane] += totals[plane];
    if (planar)
      writePlaneRow(e, planar + static_cast<size_t>(plane) * rowBytes, 1, plane, rowBytes);
    else
      writePlaneRow(e, planes + plane, 8, plane, rowBytes);
  }
  putCommand(e.spoolHandle, kNextLine);
  // A cancelled job may be cut here: the printer is between two lines.
  jSplMarkBoundary(e.spoolHandle, 0);
}

template <int Planes>
int writeLine(MachineState* state, int line, const ConvertedPixel* pixels, const SeparatedLine* separated, int count) {
  EngineState& e = state->engine;
  if (!stillPrinting(e)) return e.printing;
  if (!buffersReady(e)) return 0;
  if (line % kAbortPointEvery == 0) jSplSetAbortPoint(e.spoolHandle);

  std::memset(e.dotPlanes, 0, static_cast<size_t>(e.rowBytes) * 8);
  count = std::clamp(count, 0, static_cast<int>(e.pageWidth));
  uint64_t totals[8] = {};
  if (separated)
    halftoneLineInto(state, line, nullptr, separated, count, e.dotPlanes, totals);
  else if (Planes == 4)
    halftoneLineFour(state, line, pixels, count, totals);
  else
    halftoneLineEight(state, line, pixels, count, totals);
  writePlanes<Planes>(e, e.dotPlanes, totals, count, nullptr);
  return e.printing;
}

}  // namespace

int writeRasterLine(DeviceRecord* record, int line, const ConvertedPixel* pixels, int count) {
  MachineState* state = record ? record->state : nullptr;
  if (!state) return 0;
  if (state->inkSet == 2) return writeLine<4>(state, line, pixels, nullptr, count);
  return writeLine<8>(state, line, pixels, nullptr, count);
}

int writeSeparatedLine(DeviceRecord* record, int line, const SeparatedLine& separated, int count) {
  MachineState* state = record ? record->state : nullptr;
  if (!state) return 0;
  // Inks separated beforehand only go through the halftoner that takes them.
  if (!halftoneTakesSeparatedInks()) return 0;
  if (state->inkSet == 2) return writeLine<4>(state, line, nullptr, &separated, count);
  return writeLine<8>(state, line, nullptr, &separated, count);
}

int writeHalftonedLine(DeviceRecord* record, int line, const uint8_t* planes, const uint64_t totals[8], int count,
                       uint8_t* planar) {
  MachineState* state = record ? record->state : nullptr;
  if (!state) return 0;
  EngineState& e = state->engine;
  if (!stillPrinting(e)) return e.printing;
  if (!buffersReady(e)) return 0;
  if (line % kAbortPointEvery == 0) jSplSetAbortPoint(e.spoolHandle);
  count = std::clamp(count, 0, static_cast<int>(e.pageWidth));
  if (state->inkSet == 2)
    writePlanes<4>(e, planes, totals, count, planar);
  else
    writePlanes<8>(e, planes, totals, count, planar);
  return e.printing;
}

int writeVerticalSkip(DeviceRecord* record, int lines) {
  MachineState* state = record ? record->state : nullptr;
  if (!state) return 0;
  EngineState& e = state->engine;
  if (!stillPrinting(e)) return e.printing;
  for (int remaining = lines; remaining > 0; remaining -= kMaxSkipPerMove) {
    putCommand(e.spoolHandle, kVerticalMove);
    putLE16(e.spoolHandle, std::min(remaining, kMaxSkipPerMove));
  }
  jSplWritePrinter(e.spoolHandle);
  return e.printing;
}

}  // namespace rx3
