// What the printing-device layer and a printer-driver plug-in exchange: the
// machine record, the host job context, the progress hooks, the ink account
// and the signatures of the plug-in's exports (looked up by name).
#pragma once

#include "Device.h"
#include "jApi.h"

struct MachineState;

// The host's handle of one machine (612 bytes); first block of the settings file.
#pragma pack(push, 4)
typedef struct DeviceRecord {
  int32_t machineIndex;        // 0
  char displayName[64];        // 4
  char driverPath[260];        // 68
  int32_t recordFlag;          // 328
  int32_t xResolution;         // 332
  int32_t yResolution;         // 336
  int32_t inchUnits;           // 340: 0 = millimetres
  struct MachineState* state;  // 344: open state, or null
  int32_t spoolMode;           // 348
  char outputFile[260];        // 352
} DeviceRecord;

// One ink of a machine's ink account (64 bytes).
typedef struct InkEntry {
  char name[32];
  uint32_t color;
  int64_t totalUsed;  // picolitres
  int64_t lastPage;   // picolitres
  int32_t capacityMl;
  int32_t correctionPercent;
  int32_t warningPercent;
} InkEntry;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(InkEntry) == 64, "InkEntry is 64 bytes");
static_assert(offsetof(InkEntry, totalUsed) == 36 && offsetof(InkEntry, lastPage) == 44, "ink layout");
static_assert(offsetof(InkEntry, capacityMl) == 52 && offsetof(InkEntry, warningPercent) == 60, "ink layout");
static_assert(offsetof(DeviceRecord, driverPath) == 68 && offsetof(DeviceRecord, recordFlag) == 328, "record layout");
static_assert(offsetof(DeviceRecord, state) == 344, "record layout");
#if J_LAYOUT_CHECKED
static_assert(sizeof(DeviceRecord) == 612, "DeviceRecord is 612 bytes");
static_assert(offsetof(DeviceRecord, spoolMode) == 348 && offsetof(DeviceRecord, outputFile) == 352, "layout");
#endif
#endif

// The progress hooks that the application registers with jPdevSetPgsHook.
typedef struct jProgressHooks {
  void* (*begin)(void* owner);  // progress handle
  void (*end)(void* progress);
  int (*query)(void* progress);
  int (*step)(void* progress, int position, const char* text);  // position 0..100, -1 = text only
  int (*yield)(void* progress);                                 // 1 = go on
} jProgressHooks;

// The printing-device layer's context of one print run.
typedef struct jHostJobContext {
  void* owner;                  // 0: handed to the begin hook
  char documentName[64];        // 4: job name
  jGdc* drawContext;            // 68
  DeviceRecord* device;         // 72
  jCMS colorHandle;             // 76
  const jProgressHooks* hooks;  // 80
} jHostJobContext;
#if defined(__cplusplus) && J_LAYOUT_CHECKED
static_assert(offsetof(jHostJobContext, drawContext) == 68 && offsetof(jHostJobContext, device) == 72, "context");
#endif

// The plug-in's exports, looked up by these names.
typedef int (*jPrintEnumCallback)(DeviceRecord* record);
typedef int (*jPrintEnumMachine_t)(jPrintEnumCallback callback);
typedef int (*jPrintRecord_t)(DeviceRecord* record);
typedef int (*jPrintGetDeviceName_t)(DeviceRecord* record, char* device260, char* port260);
typedef int (*jPrintSetDeviceName_t)(DeviceRecord* record, const char* device, const char* port);
typedef ColorProfile (*jPrintGetCpf_t)(DeviceRecord* record);
typedef int (*jPrintSetCpf_t)(DeviceRecord* record, ColorProfile profile);
typedef int (*jPrintSetupWindow_t)(DeviceRecord* record, jHWND parent);
typedef int (*jPrintContext_t)(jHostJobContext* context);
typedef jCMS (*jPrintCmsSetup_t)(const ColorProfile* profile);
typedef int (*jPrintRect_t)(jHostJobContext* context, float x0, float y0, float x1, float y1);
typedef int (*jPrintEndPage_t)(jHostJobContext* context, int abort);
typedef int (*jPrintInk_t)(DeviceRecord* record, InkEntry* inks);

// ---- Additions of ours, not in the maker's plug-in interface ---------------
// A printing-device layer that finds them uses them; one that does not
// prints with the stored settings and makes no dry run.

// jPrintSetSettings: puts a job's settings image (the bytes an open record of
// the same plug-in kept, size as the plug-in wrote them) over an open record,
// keeping what belongs to this installation: the plug-in's folder and its
// colour files there, the spool choice, the device and port. The record's
// resolution fields follow the image. 1 when applied; 0 (record unchanged)
// when the image is not one of this plug-in's.
typedef int (*jPrintSetSettings_t)(DeviceRecord* record, const void* image, int size);
// jPrintGetInkSetName: the ink set an open record prints with, in the
// plug-in's own words (as its settings dialog names it), into text (size
// bytes, always ended). 1 when named; 0 (text empty) when not known.
typedef int (*jPrintGetInkSetName_t)(DeviceRecord* record, char* text, int size);
// jPrintGetPageDots: the size in dots of the page jPrintStartPage would open
// on the open record for a rectangle in host units (its borderless bleed
// included), without opening it. 1 with the size; 0 (sizes 0) when the
// rectangle makes no page on this record.
typedef int (*jPrintGetPageDots_t)(DeviceRecord* record, float x0, float y0, float x1, float y1, int32_t* width,
                                   int32_t* height);
// jPrintBeginDryRun: the open record's jobs go straight to its port (never
// through a spool file) and its pages are counted into a scratch account of
// the plug-in's own, started empty, which jPrintLoadInk reads meanwhile; the
// machine's account is not touched. 1 when the scratch account is ready.
// jPrintEndDryRun: removes the scratch account; the record counts into the
// machine's account again. Both take a jPrintRecord_t.
