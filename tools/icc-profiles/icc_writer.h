// The two default colour profiles of the installed folder, made with
// LittleCMS: the sRGB profile from LittleCMS's own sRGB, and a CMYK output
// profile of a press model (press_model.h): perceptual and colorimetric
// tables from the model's inverse with medium grey replacement under a 350 %
// total ink limit (the perceptual pair in the perceptual reference medium),
// and a gamut tag.
#pragma once

#include <cstddef>
#include <vector>

namespace icc {

std::vector<unsigned char> rgbDisplayProfile();
// Made once per process (it takes a moment) and then handed out again.
std::vector<unsigned char> cmykOutputProfile();

// Writes bytes to path through a temporary file beside it; false on any failure.
bool writeProfile(const char* path, const std::vector<unsigned char>& bytes);

// Writes both default profiles, under their installed names, into folder.
bool writeDefaultProfiles(const char* folder);

}  // namespace icc
