// The ICC side of colour management: the profile pair set with
// jColorCmsSetProfiles and the grid it fills through LittleCMS.
#pragma once

#include <cstdint>

namespace device {

// Fills nodes x 4 values (0..4080) of a grid of kGridPoints nodes per input
// channel from the kept profile pair: inputs 3 from the RGB profile, 4 from
// the CMYK profile, both into the CMYK profile, or into the press profile
// made for the paper's total ink (inkLimit in percent, 0 for the document's
// default) where the pair's CMYK profile is a press profile of ours. Returns
// 0 when no pair is kept (the caller samples the driver), 1 when filled, -1
// when the kept pair fails to give a transform (the caller refuses).
int fillGridFromProfiles(int inputs, int32_t inkLimit, int32_t* grid);

}  // namespace device
