// Resource ids of the colour-profile selection dialog of the drawing
// library. Included by draw.rc and by the dialog, so plain macros only.
#pragma once

#define IDC_PROFILE_RGB 101
#define IDC_PROFILE_RGB_BROWSE 102
#define IDC_PROFILE_CMYK 103
#define IDC_PROFILE_CMYK_BROWSE 104
#define IDC_PROFILE_INTENT 105
