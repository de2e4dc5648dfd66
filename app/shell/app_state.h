// The application-wide record of vellox: paths, settings, list views, job
// lists, drawing document and preview buffer. One static instance lives for
// the life of the program; every part of the program receives a pointer.
#pragma once

#include <cstdint>

#include "jApi.h"

struct JobRecord;

namespace vlx {

class JobListView;  // app/jobs/job_list_view_port.h: what the job code asks of a list view

constexpr int kColumnCount = 7;
constexpr int kPreviewPixels = 100 * 100;
constexpr jCOLOR kPreviewBackground = 0xF0F0F0;  // light grey

enum ListIndex : int { kPrintList = 0, kPrintedList = 1 };

struct AppState {
  jHWND mainWindow;
  char environmentPath[260];
  int32_t autoPrint;  // AUTOPRN
  int32_t preview;    // PREVIEW
  char hotFolder[260];
  char printedFolder[260];
  char printerFolder[260];
  char printerName[64];                   // PRNNAME
  int32_t columnWidths[2][kColumnCount];  // CLMWIDE, CLMWID2
  int32_t mainRect[4];                    // MAINRC1..4: left, top, right, bottom (screen)
  int32_t listRect[4];                    // LISTRC1..4: upper list (client)
  int32_t holdJobs;                       // HOLDJOB
  char rgbProfile[260];                   // PF_RGB
  char cmykProfile[260];                  // PF_CMYK
  int32_t intent;                         // PF_INTENT, -1 = never configured
  int32_t settleWait;                     // SETTLEWAIT: seconds a cut-short file waits for its writer
  jHWND listViews[2];
  JobRecord* lists[2];    // head records
  int32_t document;       // drawing document, 0 = none
  jCOLOR* previewBuffer;  // kPreviewPixels values, red lowest

  // The two list views as the job code sees them (the Win32 shell implements
  // them over listViews, tests fake them); index as for lists.
  JobListView* viewPorts[2];
};

}  // namespace vlx
