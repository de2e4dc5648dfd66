// Resource ids of vellox: strings, menu commands. Included by vellox.rc and
// by the shell, so plain macros only.
#pragma once

// String table. 9 and 10 are the start-up caption and version text; each
// variant then loads its own pair (caption, version text).
#define IDS_VERSION_QUADDLE 1
#define IDS_VERSION_MERVALE 2
#define IDS_CAPTION_QUADDLE 3
#define IDS_CAPTION_MERVALE 4
#define IDS_VERSION_TAGWRIGHT 5
#define IDS_CAPTION_TAGWRIGHT 6
#define IDS_CAPTION_BANNERFORGE 7
#define IDS_VERSION_BANNERFORGE 8
#define IDS_CAPTION_DEFAULT 9
#define IDS_VERSION_DEFAULT 10

// Commands of the main window (menu, toolbar, context menus, keyboard).
#define IDM_CANCEL_AND_MANUAL 102
#define IDM_PRINT_CANCEL 40005
#define IDM_EXIT 40006
#define IDM_PRINT 40007
#define IDM_DELETE 40010
#define IDM_DELETE_ALL 40011
#define IDM_MOVE_TOP 40013
#define IDM_MOVE_BOTTOM 40014
#define IDM_VERSION 40016
#define IDM_DEVICE_SETTINGS 40017
#define IDM_PREVIEW 40019
#define IDM_PROPERTIES 40021
#define IDM_MOVE_UP 40023
#define IDM_REFRESH 40024
#define IDM_MOVE_DOWN 40025
#define IDM_MOVE_OTHER_FOLDER 40026
#define IDM_ENVIRONMENT 40028
#define IDM_SOFT_PROOF 40030
#define IDM_INK_SETTINGS 40031

// Environment settings dialog: base dialog and its two pages.
#define IDC_ENV_PAGE_OK 1
#define IDC_ENV_HOLDJOB 1007
#define IDC_ENV_HOLDJOB_SPIN 1008
#define IDC_ENV_SHOW_PAGE 1009
#define IDC_ENV_AUTO 1028
#define IDC_ENV_MANUAL 1029
#define IDC_ENV_TABS 1147
#define IDC_ENV_REFRESH 1211
#define IDC_ENV_RGB 1217
#define IDC_ENV_PAGE_AREA 1288
#define IDC_ENV_CMYK 1301
#define IDC_ENV_SET_PROFILES 1302
#define IDC_ENV_TEST 1303
#define IDC_ENV_INTENT 1304

// Job properties dialog.
#define IDC_PROP_PATH 1002
#define IDC_PROP_TITLE 1011
#define IDC_PROP_KIND 1012
#define IDC_PROP_PRINT_SIZE 1014
#define IDC_PROP_FILE_SIZE 1016
#define IDC_PROP_MACHINE 1017
#define IDC_PROP_DATE 1018
#define IDC_PROP_INK 1019
#define IDC_PROP_HISTORY 1020

// Version dialog.
#define IDC_VER_CAPTION 1010
#define IDC_VER_TEXT 1022
#define IDC_VER_ICON 1025

// Device-settings dialog.
#define IDC_DEV_MACHINES 1000
#define IDC_DEV_SETUP 1012
