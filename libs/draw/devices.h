// Printing devices of the drawing library: one object per job's device,
// handed out as an opaque jDEVICE and checked against the live ones on
// every use, so that a stale or foreign handle is refused, never followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Draw.h"
#include "libs/draw/job_file.h"

// What a device knows of its job; a device from jPdevOpen knows nothing yet.
struct jDevice_ {
  char machine[64];               // output machine; empty for a new device
  std::vector<uint8_t> settings;  // the job's device-setting block
  bool fromJob;                   // title, info and area below are the job's
  char title[32];
  char info[256];
  jobfile::Area area;
};

namespace jdraw {

// A new live device for a machine and a copy of its setting block (size 0:
// none); null when machine does not fit the 64-byte field.
jDEVICE newDevice(const char* machine, const void* settings, std::size_t size);
// A new live device describing a job; null when out of memory.
jDEVICE newJobDevice(const jobfile::Job& job);
bool isLiveDevice(jDEVICE device);
// A copy of a live device; false for a stale or foreign handle.
bool copyDevice(jDEVICE device, jDevice_* copy);
// Copies a live device's machine name into a 64-byte buffer.
bool deviceMachine(jDEVICE device, char* machine64);

}  // namespace jdraw
