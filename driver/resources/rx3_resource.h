// Resource names and control ids of the plug-in's dialogs. Included by RX3.rc
// and by the dialog procedures, so it holds only preprocessor definitions.
#pragma once

// Printer setup ("PRINTERSETUPDLG").
#define IDC_SETUP_BIDIRECTIONAL 1001
#define IDC_SETUP_PAPER_CUT 1003
#define IDC_SETUP_RESOLUTION 1004
#define IDC_SETUP_NAME 1005
#define IDC_SETUP_PICTURE 1006
#define IDC_SETUP_PAPER 1007
#define IDC_SETUP_EDIT_PAPER 1008
#define IDC_SETUP_ADD_PAPER 1009
#define IDC_SETUP_MARGIN 1011
#define IDC_SETUP_INK_SET 1012
#define IDC_SETUP_DELETE_PAPER 1013
#define IDC_SETUP_PORT_NAME 1057
#define IDC_SETUP_PORT_BUTTON 1058

// Port and spool ("DEVICESETUPDLG").
#define IDC_PORT_SPOOL_LIMIT 1036
#define IDC_PORT_SPOOL 1041
#define IDC_PORT_DEVICE 1056
#define IDC_PORT_PORT 1057
#define IDC_PORT_CHOOSE 1058
#define IDC_PORT_LIMIT_UNIT 1127

// Ink settings ("INKDLG"): the per-ink ids are listed in ink_dialog_rows.h.
#define IDC_INK_COPY_K1 3

// Commands the dialogs post to themselves.
#define IDC_REFRESH 101
#define IDC_UPDATE_ENABLING 102
