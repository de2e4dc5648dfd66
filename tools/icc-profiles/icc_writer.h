// Two small ICC version 2 profiles of our own: an RGB display profile
// (sRGB-like primaries, gamma 2.2) and a CMYK output profile (a simple
// subtractive model in lut8 tables). They are complete enough for any
// reader of ICC headers and tag tables; they are the installed defaults,
// not colour references.
#pragma once

#include <cstddef>
#include <vector>

namespace icc {

std::vector<unsigned char> rgbDisplayProfile();
std::vector<unsigned char> cmykOutputProfile();

// Writes bytes to path (created anew); false on any failure.
bool writeProfile(const char* path, const std::vector<unsigned char>& bytes);

// Writes both default profiles, under their installed names, into folder.
bool writeDefaultProfiles(const char* folder);

}  // namespace icc
