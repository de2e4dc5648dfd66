// PFLink: applies a colour transform built by the Device library.
#pragma once

#include "Device.h"

#ifdef JPFLINK_BUILD
#define JPFLINK_API J_EXTERN_C J_EXPORT
#else
#define JPFLINK_API J_EXTERN_C J_IMPORT
#endif

// values: in RGB (0..255 each, fourth 0) or CMYK (cyan, magenta, yellow,
// black, 0..255) as the transform was built for; out: cyan, magenta, yellow,
// black on the 0..4080 scale.
JPFLINK_API int jPFLinkCOLtoCMYK16(jCMS transform, int32_t* values);
