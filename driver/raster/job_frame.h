// The command frame around every page: the job header (EJL preamble,
// remote-mode settings, ESC/P raster set-up), the page trailer, the abort
// trailer, and the closing of the output channel.
#pragma once

#include <cstdint>

#include "PrintDriver.h"
#include "SPOOL.h"

struct MachineState;

namespace rx3 {

// Every value of the job header, resolved from the machine's settings; the
// writer only serialises it. Each byte field is already the byte written.
struct JobHeader {
  bool borderless;         // marginMode != 0: "SN" 84/85 present, feed offset -43
  uint8_t marginLayout;    // "SN" 09
  uint8_t borderlessCut;   // "SN" 84
  int16_t feedOffset;      // "FP"
  uint8_t autoCut;         // "AC"
  uint8_t inkCode;         // "IK"
  uint8_t unitPage;        // ESC (U: 2880 / V, twice
  uint8_t unitHorizontal;  // ESC (U: 2880 / H
  uint8_t direction;       // ESC U
  uint8_t dotSize;         // ESC (e
  uint8_t spacingV;        // ESC (D: 14400 / V
  uint8_t spacingH;        // ESC (D: 14400 / H
};

// Header values of a machine; the resolutions must not be 0 (the caller
// refuses such a machine before).
JobHeader resolveJobHeader(const MachineState& state);
void emitJobHeader(jSPOOL spool, const JobHeader& header);
void emitPageTrailer(jSPOOL spool);
void emitAbortTrailer(jSPOOL spool);

// The writers on an open record. Each writes its frame only while the
// printing flag is 1, drops the flag when the port did not take the frame,
// and returns the flag (0 for a record without state).
int writeJobHeader(DeviceRecord* record);
int writePageTrailer(DeviceRecord* record);
int writeAbortTrailer(DeviceRecord* record);
// Ends and closes the channel if one is open and clears the printing flag.
// 0 when the channel's end failed (the job did not reach the port whole).
int closeChannel(DeviceRecord* record);

}  // namespace rx3
