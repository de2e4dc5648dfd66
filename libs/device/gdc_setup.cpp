// The render context's resolution, set once per print run before rendering.
#include "Device.h"

JDEVICE_API int jGdcSetup(jGdc* context, float dotsPerUnitX, float dotsPerUnitY) {
  if (!context) return 0;
  context->dotsPerUnitX = dotsPerUnitX;
  context->dotsPerUnitY = dotsPerUnitY;
  return 1;
}
