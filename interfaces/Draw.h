// Draw: the drawing library. Drawing document and job files, the
// printing-device layer that drives printer-driver plug-ins, machine tables,
// fonts, colour-profile set-up.
#pragma once

#include "PrintDriver.h"
#include "jApi.h"

#ifdef JDRAW_BUILD
#define JDRAW_API J_EXTERN_C J_EXPORT
#else
#define JDRAW_API J_EXTERN_C J_IMPORT
#endif

// A printing device of one job: machine, driver plug-in, settings. 0 = none.
typedef struct jDevice_* jDEVICE;

// ---- library and document ------------------------------------------------

typedef struct jDrawOpenParams {
  int32_t version;  // 1000
  int32_t reserved[7];
} jDrawOpenParams;

typedef struct jDrawDocParams {
  jHWND window;
  int32_t reserved;    // 0
  int32_t maxObjects;  // 100000
  int32_t maxLayers;   // 256
  int32_t loadFlags;   // 16
  int32_t undoDepth;   // 3
  float scaleX;        // 1.0
  float scaleY;        // 1.0
} jDrawDocParams;

JDRAW_API int jDrawOpen(jHWND window, const jDrawOpenParams* params);
// Drawing document handle, 0 on failure.
JDRAW_API int32_t jDrawGDBOpen(const jDrawDocParams* params);
JDRAW_API int jDrawGDBClose(int32_t document);
JDRAW_API int jDrawClose(void);
// Empties the document (which = -1: everything).
JDRAW_API int jEditDelete(int32_t document, int which);
// Loads a job file into the document; non-zero when loaded.
JDRAW_API int jFileLoad(int32_t document, int flags, int reserved, const char* path);

// The five progress hooks; the printing-device layer hands them to the driver
// in the host job context.
JDRAW_API int jPdevSetPgsHook(const jProgressHooks* hooks);

// ---- fonts -----------------------------------------------------------------

#pragma pack(push, 4)
typedef struct jFontRecord {
  int32_t kind;  // 1 group, 11 file entry, 12 FNX file entry, 21 TrueType contents
  char name[32];
  char path[260];
  int32_t paramA;
  int32_t paramB;
} jFontRecord;
#pragma pack(pop)
#ifdef __cplusplus
static_assert(sizeof(jFontRecord) == 304, "font record is 304 bytes");
static_assert(offsetof(jFontRecord, name) == 4 && offsetof(jFontRecord, path) == 36, "font record layout");
static_assert(offsetof(jFontRecord, paramA) == 296 && offsetof(jFontRecord, paramB) == 300, "font record layout");
#endif

JDRAW_API int jFontClear(void);
JDRAW_API int jFontRegist(jFontRecord font, int mode);
JDRAW_API int jFontRegistTTF(jFontRecord font);
JDRAW_API int jFontSetCurrent(int which);
// Registered fonts, in registration order (for inspection).
JDRAW_API int jFontCount(void);
JDRAW_API int jFontGet(int index, jFontRecord* font);

// ---- drawing-file types ----------------------------------------------------

typedef struct jDrxInfo {
  char reserved0[32];
  char formatCode[4];  // offset 32
  char reserved1[28];
  char productName[64];  // offset 64
} jDrxInfo;

typedef struct jFileTypeInfo {  // 82 bytes
  char reserved[10];
  char extension[8];  // offset 10
  char filter[64];    // offset 18
} jFileTypeInfo;
#ifdef __cplusplus
static_assert(sizeof(jFileTypeInfo) == 82, "file-type record is 82 bytes");
static_assert(offsetof(jDrxInfo, formatCode) == 32 && offsetof(jDrxInfo, productName) == 64, "info record layout");
#endif

JDRAW_API int jFileSetDRXTag(const char* tag);
JDRAW_API int jFileGetDRXInfo(jDrxInfo* info);
JDRAW_API int jFileSetDRXInfo(const jDrxInfo* info);
JDRAW_API int jFileGetFinfoNum(int flags, int reserved);
JDRAW_API jFileTypeInfo* jFileGetFinfo(jFileTypeInfo* buffer, int type);
JDRAW_API int jFileSetFinfo(int type, const jFileTypeInfo* info);

// ---- text-file lines -------------------------------------------------------

// Next line without its line end (cut to size - 1); returns its length, or -1
// at the end of the file. mode 1: text lines.
JDRAW_API int jFileGets(jFILE file, char* buffer, int size, int mode);
// Writes text followed by CR LF.
JDRAW_API int jFilePuts(jFILE file, const char* text);

// ---- job files and printing devices ----------------------------------------

#define J_TILE_BLOCK_SIZE 122
#define J_PREVIEW_SIZE 100

JDRAW_API jDEVICE jPdevOpen(void);
JDRAW_API int jPdevClose(jDEVICE device);
// Device of a job file, 0 when the file is not a job.
JDRAW_API jDEVICE jFileLoadDRXDevOpen(const char* path);
// Device-setting block of a job file (free with jMemFree), null when none.
JDRAW_API void* jFileLoadDRXDevSetting(const char* path);
// Fills a 122-byte tiling block; non-zero when the job is tiled.
JDRAW_API int jFileLoadDRXTrep(const char* path, void* tileBlock);
JDRAW_API int jPdevGetMcnName(jDEVICE device, char* machine64);
// Virtual device and port (100 bytes each) of a machine and setting block.
JDRAW_API int jPdevGetDevicePort(const char* printerFolder, const char* machine, const void* setting, char* device100,
                                 char* port100);
JDRAW_API int jPdevGetTitle(jDEVICE device, char* title32);
JDRAW_API int jPdevGetDevInfo(jDEVICE device, char* info256);

typedef struct jPdevArea {
  float x0, y0, x1, y1;
  char reserved0[304];
  float mmPerUnitX;  // offset 320
  float mmPerUnitY;  // offset 324
  char reserved1[12];
  int32_t tiled;  // offset 340
} jPdevArea;
#ifdef __cplusplus
static_assert(offsetof(jPdevArea, mmPerUnitX) == 320 && offsetof(jPdevArea, tiled) == 340, "area record layout");
#endif
JDRAW_API int jPdevGetArea(jDEVICE device, jPdevArea* area);

// Ours, an addition to the maker's calls: what the job file at path is, for
// a host that takes files other programs write. One of the values below.
#define J_DRX_WHOLE 0       // a sound job file
#define J_DRX_UNREADABLE 1  // it cannot be read now (held, gone, an I/O error)
#define J_DRX_CUT_SHORT 2   // it ends before its own structure does: maybe not written to its end yet
#define J_DRX_EMPTY 3       // no byte yet
#define J_DRX_NOT_A_JOB 4   // not a job file, damaged, or of a newer version
#define J_DRX_OFF_PAGE 5    // a job whose page or drawing lies beyond what a page can hold
JDRAW_API int jFileCheckDRX(const char* path);

// 100 x 100 colour values (red lowest), row after row from the top.
JDRAW_API int jFilePreviewGet(jCOLOR* preview, int flags, int reserved, const char* path);

// -1 failure, 0 interrupted by a progress hook, other values success.
JDRAW_API int jPdevPrint(jHWND window, int32_t document, jDEVICE device, int reserved, const void* setting);
JDRAW_API int jPdevPrintTile(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, int reserved,
                             const void* setting);

// Ours, an addition to the maker's calls: why the calling thread's last
// jPdevPrint or jPdevPrintTile did not print, in the failing layer's own words
// (CP932: a port time-out, a full disk, a dropped connection, a cancel). The
// text is copied into `text` (at most size - 1 bytes and a terminator); the
// result is its length, 0 after a print that succeeded or before any print.
JDRAW_API int jPdevGetLastError(char* text, int size);

// Ours, an addition to the maker's calls: how the calling thread's last
// jPdevPrint or jPdevPrintTile printed, for the host's records. Resolutions
// and ink set are those the machine printed with (the ink set in the
// plug-in's own words, CP932, empty when the plug-in does not name it or no
// machine was opened); pages counts the pages (tiles) that the port took
// whole. 1 after a print, 0 before any (all fields 0).
typedef struct jPrintReport {
  int32_t xResolution, yResolution;  // dots per inch
  int32_t pages;
  char inkSet[64];
} jPrintReport;
JDRAW_API int jPdevGetLastPrint(jPrintReport* report);

// Ours, an addition to the maker's calls: the ink account of a machine as
// it stands now, read through the plug-in that serves it (printer folder of
// jPdevSetPrinterFolder). Fills at most count entries; the result is how
// many, 0 when no installed plug-in offers the machine.
JDRAW_API int jPdevGetInk(const char* machine, InkEntry* inks, int count);

// ---- dry runs (ours, an addition to the maker's calls) ---------------------
// A dry run prints a job through the same printing-device layer and the same
// plug-in exports as jPdevPrint, making the same dots and the same stream,
// but hands the stream to a function of the caller instead of a port. The
// machine's ink account and the job are left as they were: the plug-in
// counts the run's pages into a scratch account of its own, which gives the
// job's ink to the picolitre.

// Receives the stream in the order it would reach the port; 1 to go on,
// anything else fails the run as a dead port would.
typedef int (*jPdevProofWrite)(void* user, const void* data, int length);
// Asked at every band and while the run waits for the printing lock;
// non-zero ends the run as a cancel does.
typedef int (*jPdevProofCancelled)(void* user);
// Told of each page the run will print, before the first is printed: its
// index (0-based) and its size in dots (0 x 0 when the plug-in cannot say),
// the run's resolution already set. Non-zero refuses the run at once: it
// fails without printing.
typedef int (*jPdevProofPage)(void* user, int page, int32_t dotWidth, int32_t dotHeight);

typedef struct jPdevProofRun {
  // In: where the stream goes (write null: nowhere, only the ink is
  // wanted) and who says the run is no longer wanted (null: nobody).
  jPdevProofWrite write;
  void* writeUser;
  jPdevProofCancelled cancelled;
  void* cancelUser;
  // Out: the machine's ink account as it stands, the ink the job takes in
  // picolitres (the plug-in's own count, as its account would add it) and
  // the resolution it printed at.
  InkEntry account[8];
  uint64_t inkPicolitres[8];
  int32_t xResolution, yResolution;
  // In: who is told of the pages ahead (null: nobody).
  jPdevProofPage page;
  void* pageUser;
} jPdevProofRun;

// As jPdevPrint / jPdevPrintTile (tileBlock null for the whole area): 1 when
// the run went through, 0 when it was cancelled, -1 on any failure (the
// figures are then not the job's). A plug-in without the dry-run exports
// (PrintDriver.h) fails.
JDRAW_API int jPdevProof(int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
                         jPdevProofRun* run);
// The same for a job file: loaded into a document of its own (the library
// must be open), tiled when the file says so. The file is only read.
JDRAW_API int jPdevProofFile(const char* path, jPdevProofRun* run);

// ---- machine tables --------------------------------------------------------

typedef struct jMcnEntry {
  char name[64];
  int32_t usable;  // 1 = selectable
} jMcnEntry;

typedef struct jMcnTable {
  int32_t count;
  int32_t reserved;
  jMcnEntry entries[1];  // count entries
} jMcnTable;
#ifdef __cplusplus
static_assert(offsetof(jMcnTable, entries) == 8 && sizeof(jMcnEntry) == 68, "machine table layout");
#endif

JDRAW_API jMcnTable* jPdevMcnOpen(const char* printerFolder, int flags);
JDRAW_API int jPdevMcnSetup(const char* printerFolder, const jMcnEntry* entry, jHWND owner);
JDRAW_API int jPdevMcnClose(jMcnTable* table);
// Ours, an addition to the maker's calls: the machine's ink dialog, the
// plug-in's own (jPrintSetupInk), over its account; the dialog's result, 1
// when the user confirmed and the account was saved, 0 otherwise.
JDRAW_API int jPdevMcnSetupInk(const char* printerFolder, const jMcnEntry* entry, jHWND owner);
// The printer folder whose plug-ins print jobs (null: back to the default,
// the folder last named by the host, else "printer" beside this library).
JDRAW_API int jPdevSetPrinterFolder(const char* folder);

// ---- colour profiles -------------------------------------------------------

typedef struct jProfileBlock {
  char rgbPath[260];
  char cmykPath[260];
  int32_t intent;
} jProfileBlock;

// Non-zero when both profiles are readable ICC profiles and intent is 0..3.
JDRAW_API int jCol2SetupProfile(const char* rgbPath, const char* cmykPath, int intent);
// 1 when the user confirmed; the block is updated then.
JDRAW_API int jCol2ProfileSelectDlg(jHWND owner, jProfileBlock* block);

// ---- drawing ---------------------------------------------------------------

// modes: 0 = filled, 1 = frame only (second mode argument).
JDRAW_API int jrRectangle(jHDC dc, int left, int top, int right, int bottom, jCOLOR colour1, jCOLOR colour2, int mode1,
                          int mode2);
