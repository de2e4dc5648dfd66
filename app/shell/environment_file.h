// The environment file of vellox: settings and window layout kept between
// runs, read once while the main window is created and written once when it
// closes. One setting per line ("KEY=value"), comment lines begin with ";".
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

// A saved upper-list height below this falls back to the even split.
constexpr int32_t kMinSavedListHeight = 45;

constexpr char kDefaultRgbProfileName[] = "sRGB Color Space Profile.icm";
constexpr char kDefaultCmykProfileName[] = "JapanColor2001Coated.icc";

// 1 when the file was opened and read; 0 when path or state is missing or
// the file cannot be opened (state is left untouched then).
int readEnvironment(const char* path, AppState* state);

// Writes the 33 canonical lines, replacing an old file. 1 when every line was
// written; 0 when path or state is missing, the file cannot be created or a
// line could not be written (a full disk must not pass for a saved file).
int writeEnvironment(const char* path, const AppState* state);

// Hands a pair of colour profiles and an intent to the drawing library;
// non-zero when accepted (the shape of jCol2SetupProfile).
using ProfileSetup = int (*)(const char* rgbPath, const char* cmykPath, int intent);

// The values read are made usable: a too small saved list height is
// discarded, a never-configured intent gets the default profiles from
// programFolder, and the profile pair is handed to setup; a rejected pair is
// dropped (empty paths, intent 0).
void applyEnvironment(AppState* state, const char* programFolder, ProfileSetup setup);

// The same with the program's own folder (BaseD) and the drawing library.
void applyEnvironment(AppState* state);

}  // namespace vlx
