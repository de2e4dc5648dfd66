// Resource name and control ids of the profile editor (Device.rc and
// profile_dialog_win32.cpp).
#pragma once

#define IDC_CPF_NAME 101
#define IDC_CPF_INK_LIMIT 102
#define IDC_CPF_COLOR_MODE 103
#define IDC_CPF_DRAW_OPTION 104
#define IDC_CPF_CONVERSION 105
#define IDC_CPF_COLOR_FILE1 106
#define IDC_CPF_COLOR_FILE2 107
#define IDC_CPF_BUILT_IN 108
