// Resource name and control ids of the port selection dialog (SPOOL.rc and
// port_dialog_win32.cpp).
#pragma once

#define IDC_SPL_DEVICES 100
#define IDC_SPL_MACHINE 101
#define IDC_SPL_FILE 201
#define IDC_SPL_TCP 202
#define IDC_SPL_PRINTER 203
#define IDC_SPL_FOLDER 211
#define IDC_SPL_HOST 212
#define IDC_SPL_TCP_PORT 213
#define IDC_SPL_PRINTERS 214
#define IDC_SPL_REGISTRY 215
