// The soft proof window: a window of its own beside the queue, showing the
// dots of a job's dry run. The dry run runs on a thread of the window at a
// low priority; closing the window cancels it.
#pragma once

#include <windows.h>

#include "app/shell/soft_proof.h"

namespace vlx {

constexpr char kSoftProofClass[] = "VlxSoftProof";
constexpr UINT kSoftProofDoneMessage = WM_APP + 40;  // the dry run has ended

// Menu commands of the window.
constexpr int kProofFit = 100;    // the page fitted to the window
constexpr int kProofDots = 101;   // one pixel per dot
constexpr int kProofClose = 102;  // close the window
constexpr int kProofPreviousPage = 103;
constexpr int kProofNextPage = 104;
constexpr int kProofInkAll = 110;  // all inks mixed; kProofInkAll + 1 + n: ink n alone

constexpr int kSoftProofStatusId = 1;

// What a test reads back from a soft proof window.
struct SoftProofFacts {
  bool running = false;
  bool failed = false;
  bool oneToOne = false;
  int ink = -1;                  // -1: all inks mixed
  int scrollX = 0, scrollY = 0;  // dots, at one pixel per dot
  int dotWidth = 0, dotHeight = 0;
  int overviewScale = 0;
  int page = 0;  // 0-based
  int pages = 0;
};

// Opens a window for the named job and starts making its picture, the
// stream waiting in a file in scratchFolder until the window closes.
HWND openSoftProof(HINSTANCE instance, const char* title, ProofProducer producer, const char* scratchFolder);
bool softProofFacts(HWND window, SoftProofFacts* out);
// Closes every soft proof window of the calling thread, ending their dry runs.
void closeSoftProofs();

}  // namespace vlx
