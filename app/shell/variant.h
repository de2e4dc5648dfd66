// The four host products that one vellox program serves. The host keyword of
// the base library picks one record of the table; everything the variant
// changes is a field of that record, so the rest of the program asks the
// record instead of testing variant numbers.
#pragma once

#include <cstdint>

namespace vlx {

enum VariantNumber : int { kQuaddle = 0, kTagwright = 1, kMervale = 2, kBannerforge = 3 };
constexpr int kVariantCount = 4;

struct Variant {
  const char* keyword;  // matched as a prefix of the host keyword, case-sensitive
  int number;
  int captionId;           // string table id of the window caption
  int versionId;           // string table id of the version text
  const char* className;   // window class, single-instance lookup, accelerator table
  const char* iconName;    // class icon resource
  int32_t autoPrint;       // AUTOPRN default
  bool removesDeviceMenu;  // the device-settings item leaves the first menu
  bool registersFileType;  // registers its own drawing-file type with the drawing library
};

// The variant whose keyword begins text; variant 0 for anything else,
// an empty text and null included.
int variantOf(const char* text);
// The record of a variant number; out-of-range numbers give variant 0.
const Variant& variantRecord(int number);

}  // namespace vlx
