// Colour-profile checks and the accepted profile pair of the drawing
// library, for the library's own use (the profile dialog checks a choice
// before it offers it; printing reads the accepted pair).
#pragma once

#include "Draw.h"

namespace jdraw {

enum class ProfileSpace { Rgb, Cmyk };

// True when path names a readable, well-formed ICC profile (version 2 or 4)
// of the given colour space.
bool isIccProfile(const char* path, ProfileSpace space);

// The pair last accepted by jCol2SetupProfile; false (block cleared) when
// none was.
bool acceptedProfiles(jProfileBlock* block);

}  // namespace jdraw
