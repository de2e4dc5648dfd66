// The default colour profiles of the installed folder, made with LittleCMS:
// the sRGB profile from LittleCMS's own sRGB, and CMYK output profiles of a
// press model (press_model.h), one per total ink: perceptual and
// colorimetric tables from the model's inverse with medium grey replacement
// within that total (the perceptual pair in the perceptual reference
// medium), and a gamut tag of what the press prints within it.
//
// Each paper takes its own total ink. The installed default profile is the
// press's own 350 %; a paper's profile is the same model within the paper's
// limit, so that colours the paper cannot take are mapped into it by the
// profile's intents instead of being cut by the driver afterwards.
#pragma once

#include <cstddef>
#include <vector>

namespace icc {

// Total ink in percent: the press's own, and the least a profile is made for.
constexpr int kDefaultTotalInk = 350;
constexpr int kLeastTotalInk = 10;

std::vector<unsigned char> rgbDisplayProfile();
// The CMYK output profile for a total ink in percent (clamped to
// kLeastTotalInk..kDefaultTotalInk). Made once per process and limit (it
// takes a moment) and then handed out again; empty on failure.
std::vector<unsigned char> cmykOutputProfile(int percent = kDefaultTotalInk);

// The total ink, as a fraction of full coverage, the profile for percent
// separates within: the driver's own limit for that percent, less its
// rounding, so that the driver's safety net never has to cut.
double separationTotal(int percent);

// The total ink in percent of a CMYK profile made here, or 0 for any other
// profile (a shop's own) or bytes that are no profile.
int profileTotalInk(const unsigned char* bytes, std::size_t size);

// The file name of the profile for a total ink ("JapanColor2001Coated-157.icc").
bool paperProfileName(char* out, std::size_t capacity, int percent);

// Writes bytes to path through a temporary file beside it; false on any failure.
bool writeProfile(const char* path, const std::vector<unsigned char>& bytes);

// Writes the sRGB and the default (350 %) CMYK profile, under their
// installed names, into folder.
bool writeDefaultProfiles(const char* folder);

}  // namespace icc
