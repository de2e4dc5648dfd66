// Dry runs: a job printed through the same printing-device layer and the
// same plug-in exports as the queue's print, making the same dots and the
// same stream, with the stream handed to the caller instead of a port. The
// machine's ink account and the job are left as they were: the plug-in
// counts the run's pages into an account of its own in a scratch folder,
// which gives the job's ink to the picolitre.
#pragma once

#include <atomic>
#include <cstdint>

#include "Draw.h"
#include "PrintDriver.h"
#include "libs/spool/proof_port.h"

typedef struct jPdevProofRun {
  // In: where the stream goes (null: nowhere, only the ink is wanted), and
  // a flag that, once set, ends the run at the next band as a cancel does.
  jSplProofWrite write;
  void* user;
  const std::atomic<int>* cancel;
  // Out: the machine's ink account as it stands, the ink the job takes in
  // picolitres (the plug-in's own count, as its account would add it) and
  // the resolution it printed at.
  InkEntry account[8];
  uint64_t inkPicolitres[8];
  int32_t xResolution, yResolution;
} jPdevProofRun;

// As jPdevPrint / jPdevPrintTile (tileBlock null for the whole area): 1 when
// the run went through, 0 when it was cancelled, -1 on any failure (the
// figures are then not the job's).
JDRAW_API int jPdevProof(int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
                         jPdevProofRun* run);

// The same for a job file: loaded into a document of its own (the library
// must be open), tiled when the file says so. The file is only read.
JDRAW_API int jPdevProofFile(const char* path, jPdevProofRun* run);
