// SPOOL: the byte channel from a printer driver to a port, the device
// registry file and the port dialogs.
#pragma once

#include "jApi.h"

#ifdef JSPOOL_BUILD
#define JSPOOL_API J_EXTERN_C J_EXPORT
#else
#define JSPOOL_API J_EXTERN_C J_IMPORT
#endif

typedef struct jSpool_* jSPOOL;

typedef struct jSplOpenBlock {
  char jobName[64];
  char deviceName[260];
  char portName[260];
  char spoolPath[260];  // empty when not spooling
  int32_t spoolMode;    // 0 direct, 1 or 2 spool to a file first
  int32_t one;          // 1
  int32_t spoolLimitMB;
} jSplOpenBlock;
#ifdef __cplusplus
static_assert(sizeof(jSplOpenBlock) == 856, "spool-open block is 856 bytes");
static_assert(offsetof(jSplOpenBlock, spoolPath) == 584 && offsetof(jSplOpenBlock, spoolMode) == 844, "layout");
#endif

// Non-zero handle when the channel is open.
JSPOOL_API jSPOOL jSplOpen(const jSplOpenBlock* block);
JSPOOL_API int jSplWrite_c(jSPOOL spool, int byte);
JSPOOL_API int jSplWrite_s(jSPOOL spool, const char* text);
JSPOOL_API int jSplWrite_buff(jSPOOL spool, const void* data, int length);
// Hands everything appended so far on to the port or spool file.
JSPOOL_API int jSplWritePrinter(jSPOOL spool);
// 1 while output can go on.
JSPOOL_API int jSplGetStatus(jSPOOL spool);
// 1 when the channel's port keeps no byte (a dry run's proof port opened
// without a receiver): a writer may then leave out what only the bytes
// would carry, the raster's packing among them. Ours.
JSPOOL_API int jSplDropsBytes(jSPOOL spool);
JSPOOL_API int jSplSetAbortPoint(jSPOOL spool);
JSPOOL_API int jSplAbort(jSPOOL spool);
// While a hand-on waits on a port that takes no byte, the channel asks this
// hook about every 100 ms whether the job is still wanted; any answer other
// than 1 cancels the job: the send goes on to the next boundary, the cancel
// tail follows and the channel stops (status 0). A null hook removes it.
typedef int (*jSplContinueHook)(void* data);
JSPOOL_API int jSplSetContinueHook(jSPOOL spool, jSplContinueHook hook, void* data);
JSPOOL_API int jSplEnd(jSPOOL spool);
// ---- Additions of ours, not in the maker's library ----------------------
// Marks the end of the bytes appended so far as a place where the printer's
// stream may be cut when the job is cancelled: jobComplete 0 inside a job
// (a cut there is followed by the cancel tail), 1 right after a job's end.
// jSplWritePrinter marks such a place (inside a job) by itself.
JSPOOL_API int jSplMarkBoundary(jSPOOL spool, int jobComplete);
// The bytes that end a job cut inside it (the driver's abort frame and job
// end); length 0 removes them.
JSPOOL_API int jSplSetCancelTail(jSPOOL spool, const void* data, int length);
// Why this thread's last channel failed (or could not open), in the port's
// own words (CP932); the text is cleared by reading it and by jSplOpen.
// Returns the text's length, 0 when there is none; text may be null.
JSPOOL_API int jSplTakeFailureText(char* text, int size);
// Proof ports: a port that hands the printer stream to a function of the
// calling process instead of a file, printer or socket, so that a job can be
// printed through the real driver without a drop of ink. The port text
// "PROOF:<n>" names one; it is valid from jSplProofOpen to jSplProofClose,
// only in the process that opened it.
// The receiver gets the stream in the order it would reach the port; 1 to go
// on, anything else fails the channel as a dead port would.
typedef int (*jSplProofWrite)(void* user, const void* data, int length);
// Opens a proof port and writes its port text into port (at least 32
// bytes); without a write function the port drops every byte
// (jSplDropsBytes). 0 when no port is free or the port text has no room.
JSPOOL_API int jSplProofOpen(jSplProofWrite write, void* user, char* port, int portSize);
// Closes the port; channels opened on it afterwards fail to open. 1 when
// the port was open.
JSPOOL_API int jSplProofClose(const char* port);
JSPOOL_API int jSplClose(jSPOOL spool);

// Current virtual device and port (260 bytes each).
JSPOOL_API int jSplGetPort(char* device, char* port);
JSPOOL_API int jSplGetDevicePortDlg(jHWND owner, char* device, char* port);
JSPOOL_API int jSplGetDevicePortNetworkDlg(jHWND owner, char* device, char* port, const char* registryPath);
// The virtual device and port (260 bytes each) that print for a machine in
// the registry file at registryPath: the preferred device when it serves the
// machine, else the current device when it does, else the first that does.
// 1 when one was found.
JSPOOL_API int jSplFindMachinePort(const char* registryPath, const char* machine, const char* preferredDevice,
                                   char* device, char* port);
// Where the device registry file of this installation lies.
JSPOOL_API int jSplSaveDevicePort(const char* registryPath);
// Ours, an addition to the maker's calls: a file port writes each job under
// a temporary name and gives it its name when the job ended whole; this
// removes the temporary files a crash left in the folders of the registry's
// file ports: those whose writing process no longer runs, and those not
// written for olderThanSeconds (another process may be printing into the
// folder now). How many went.
JSPOOL_API int jSplSweepPorts(const char* registryPath, int olderThanSeconds);
