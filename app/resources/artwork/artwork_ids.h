// Resource names and ids of the main window's artwork (artwork.rc). Plain
// macros: the resource compiler reads this file too.
#pragma once

#define VLX_TOOLBAR_BITMAP "VLXS_TOOLBAR"    // 8 images of 16 x 16, mask RGB 192,192,192
#define VLX_ANIMATION_BITMAP "PRINTER_ICON"  // 11 frames of 32 x 32, mask RGB 0,0,1
#define VLX_SPLITTER_CURSOR "SEPA_LR"

// Images of the toolbar bitmap.
#define VLX_IMAGE_PRINT 0
#define VLX_IMAGE_CANCEL 1
#define VLX_IMAGE_ENVIRONMENT 2
#define VLX_IMAGE_DELETE 3
#define VLX_IMAGE_DELETE_ALL 4
#define VLX_IMAGE_PROPERTIES 5
#define VLX_IMAGE_VERSION 6
#define VLX_IMAGE_PREVIEW 7

// Frames of the animation: 0-5 the print head, 6-10 the paper.
#define VLX_FRAME_HEAD_IDLE 0
#define VLX_FRAME_PAPER_IDLE 6
#define VLX_HEAD_FRAMES 6
#define VLX_PAPER_FRAMES 5

// Icons of the job lists' states, added to the image list as 114, 115, 113.
#define IDI_JOB_PRINTING 113
#define IDI_JOB_IDLE 114
#define IDI_JOB_WAITING 115
