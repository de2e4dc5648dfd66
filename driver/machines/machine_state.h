// The open state of one machine: its settings (stored in the settings file)
// followed by the raster engine's runtime area of the current job.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Device.h"
#include "PrintDriver.h"
#include "SPOOL.h"

// The engine's runtime area (204 bytes on the 32-bit build). Pointers and
// handles widen on 64-bit targets; nothing here is ever written to a file
// by a raw copy.
#pragma pack(push, 4)
struct EngineState {
  jSPOOL spoolHandle;  // 0 when no channel is open
  int32_t printing;    // 1 while output may continue
  int32_t lineParity;  // 1 = right-to-left line
  int16_t* separation; // W x 2 slots x 8 inks
  int16_t* errorLine;  // (W + 2) x 8 inks
  int32_t carries[8];
  uint8_t* dotPlanes;   // rowBytes x 8, interleaved
  uint8_t* packBuffer;  // rowBytes x 2
  int8_t* noise;        // 4199 entries, -64..64
  int32_t noisePos;
  int32_t rowBytes;
  int32_t pageWidth;
  int32_t pageHeight;
  int32_t inkLimitTotal;
  int32_t lightCyanDensity;
  int32_t lightMagentaDensity;
  int32_t lightLightBlackDensity;
  int32_t lightBlackDensity;
  jCMS colorTransform;
  void* progress;       // from the host's begin hook
  int32_t pageRect[4];  // x0, bottom y0, x1, top y1 in dots
  int32_t currentLine;
  uint64_t pageInk[8];  // picolitres of this page per plane
  int32_t dropletSmall;
  int32_t dropletMedium;
  int32_t dropletLarge;
};

struct MachineState {
  int32_t xResolution;    // 0
  int32_t yResolution;    // 4
  int32_t bidirectional;  // 8: 1 on, 0 off, -1 not offered
  int32_t paperCut;       // 12: 1 on, 0 off, -1 not offered
  int32_t marginMode;     // 16: 0..3
  int32_t inkSet;         // 20: 0 photo black, 1 matte black, 2 four inks
  int32_t profileIndex;   // 24
  ColorProfile profile;   // 28
  char deviceName[260];   // 1204
  char portName[260];     // 1464
  int32_t spoolMode;      // 1724: 0 direct, 1 or 2 spool
  int32_t spoolLimitMB;   // 1728
  char driverDirectory[260];  // 1732
  EngineState engine;         // 1992
};
#pragma pack(pop)

constexpr std::size_t kMachineSettingsBytes = 1992;
constexpr std::size_t kMachineStateFileBytes = 2196;
constexpr std::size_t kDeviceRecordFileBytes = 612;

static_assert(offsetof(MachineState, profile) == 28);
static_assert(offsetof(MachineState, deviceName) == 1204);
static_assert(offsetof(MachineState, portName) == 1464);
static_assert(offsetof(MachineState, spoolMode) == 1724);
static_assert(offsetof(MachineState, spoolLimitMB) == 1728);
static_assert(offsetof(MachineState, driverDirectory) == 1732);
static_assert(offsetof(MachineState, engine) == kMachineSettingsBytes);

#if J_LAYOUT_CHECKED
static_assert(sizeof(EngineState) == 204);
static_assert(offsetof(EngineState, carries) == 20);
static_assert(offsetof(EngineState, pageRect) == 108);
static_assert(offsetof(MachineState, engine) + offsetof(EngineState, pageInk) == 2120);
static_assert(sizeof(MachineState) == kMachineStateFileBytes);
#endif
