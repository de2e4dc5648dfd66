// Device: paper/colour profiles and their files, the profile editor, the
// render context that draws a document into 8-byte pixels at device
// resolution, colour management and the simple colour conversions.
#pragma once

#include "jApi.h"

#ifdef JDEVICE_BUILD
#define JDEVICE_API J_EXTERN_C J_EXPORT
#else
#define JDEVICE_API J_EXTERN_C J_IMPORT
#endif

// One paper and colour profile (1176 bytes). The driver uses the named
// fields; the reserved ranges belong to this library and are carried whole.
#pragma pack(push, 4)
typedef struct ColorProfile {
  char name[64];                // 0: paper name; "(%dx%d)" inside selects a resolution
  char colorFile1[260];         // 64
  char colorFile2[260];         // 324
  int32_t fixed;                // 584: 1 = built in, neither editable nor deletable
  char reserved0[332];          // 588
  int32_t colorMode;            // 920: 254 = convert in CMYK, else RGB
  int32_t drawOption;           // 924: render option for jGdcDraw
  char reserved1[176];          // 928
  int32_t inkLimit;             // 1104: percent
  char reserved2[4];            // 1108
  char conversionFunction[64];  // 1112: driver export; empty = "RgbToCmykFunc16"
} ColorProfile;
#pragma pack(pop)
#ifdef __cplusplus
static_assert(sizeof(ColorProfile) == 1176, "ColorProfile is 1176 bytes");
static_assert(offsetof(ColorProfile, colorFile1) == 64 && offsetof(ColorProfile, colorFile2) == 324, "profile layout");
static_assert(offsetof(ColorProfile, fixed) == 584 && offsetof(ColorProfile, colorMode) == 920, "profile layout");
static_assert(offsetof(ColorProfile, drawOption) == 924 && offsetof(ColorProfile, inkLimit) == 1104, "profile layout");
static_assert(offsetof(ColorProfile, conversionFunction) == 1112, "profile layout");
#endif

#define J_MAX_PROFILES 50

JDEVICE_API int jColorProfileInit(ColorProfile* profile);
// Reads up to max profiles into consecutive slots; returns how many were read.
// A damaged or foreign file reads as 0 profiles.
JDEVICE_API int jColorLoadProfiles(const char* path, ColorProfile* profiles, int max);
JDEVICE_API int jColorSaveProfiles(const char* path, const ColorProfile* profiles, int count);
// Modal profile editor; 1 when the user accepted (profile updated).
JDEVICE_API int jColorProfileDlg(jHWND owner, ColorProfile* profile);

// ---- render context --------------------------------------------------------

// The drawing context of one print run: the drawing's extent in device dots
// (x1, y1 inclusive, y growing upward) and whether it has content. Made by
// the printing-device layer, passed unchanged to jGdcSetup and jGdcDraw.
// What jGdcDraw renders: items in device dots (x1, y1 exclusive, y growing
// upward), painted in order, later items over earlier ones.
enum {
  J_GDC_RGB_IMAGE = 1,   // pixels: 3 bytes red, green, blue per pixel
  J_GDC_CMYK_IMAGE = 2,  // pixels: 4 bytes cyan, magenta, yellow, black per pixel
  J_GDC_RGB_FILL = 3,    // color: red, green, blue
  J_GDC_CMYK_FILL = 4,   // color: cyan, magenta, yellow, black
};

typedef struct jGdcItem {
  int32_t kind;            // J_GDC_*
  int32_t x0, y0, x1, y1;  // placed rectangle in dots
  int32_t width, height;   // image size in pixels (images only)
  const uint8_t* pixels;   // images: rows top first, width x height pixels
  uint8_t color[4];        // fills
  // Images not held in memory (pixels null): copies row y (0 = top) of the
  // image into `into` (width pixels); 0 when it cannot be had, which fails
  // the render. Called from any thread that renders.
  int (*row)(void* source, int32_t y, uint8_t* into);
  void* rowSource;
} jGdcItem;

typedef struct jGdcScene {
  int32_t count;
  const jGdcItem* items;
} jGdcScene;

typedef struct jGdc {
  int32_t x0, y0, x1, y1;
  int32_t hasContent;
  float dotsPerUnitX;  // set by jGdcSetup
  float dotsPerUnitY;
  const void* drawing;     // the drawing library's document of this run
  const jGdcScene* scene;  // what jGdcDraw renders; null = nothing drawn
} jGdc;

JDEVICE_API int jGdcSetup(jGdc* context, float dotsPerUnitX, float dotsPerUnitY);
// Renders the rectangle [x0, x1) x [y0, y1) in dots into buffer, top row
// (y1 - 1) first, 8 bytes per pixel: byte 7 FF = RGB (bytes 0..2), FE = CMYK
// (byte 0 black, 1..3 cyan, magenta, yellow), other = nothing drawn. Items
// are placed nearest-neighbour into their rectangles. 0 for a null context or
// buffer and for an empty, inverted or oversized rectangle (buffer untouched),
// and when an image's row cannot be had (the buffer is then not a picture).
JDEVICE_API int jGdcDraw(jGdc* context, void* buffer, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t option);

// ---- colour management -----------------------------------------------------

// The driver's conversion export: four values changed in place, returns 1.
typedef int (*jColorConvertFunc)(int32_t* values);
typedef struct jColorTransform_* jCMS;

// Builds a transform for a profile from the driver's conversion; 0 on failure.
JDEVICE_API jCMS jColorCmsSetupEx(const ColorProfile* profile, jColorConvertFunc convert);
JDEVICE_API int jColorCmsRelease(jCMS transform);

// Ours: the profile pair that colour management uses from now on, handed
// over by the drawing library's profile set-up. With a pair, jColorCmsSetupEx
// fills its transform from the ICC transform of the input profile (RGB, or the
// CMYK profile itself for a profile whose colour mode converts in CMYK) into
// the CMYK profile, with the ICC intent 0..3; without one (both paths null or
// empty) it samples the driver's conversion. 1 when the pair is taken (or
// cleared); 0, with the pair kept as it was, when a profile cannot be read,
// is not of its colour space or no transform can be built for the intent.
JDEVICE_API int jColorCmsSetProfiles(const char* rgbPath, const char* cmykPath, int intent);

// Packed CMYK: cyan in the most significant byte, black in the least.
JDEVICE_API uint32_t jColorRGBtoCMYK(int red, int green, int blue);
// Packed RGB: red in the least significant byte.
JDEVICE_API uint32_t jColorCMYKtoRGB(int cyan, int magenta, int yellow, int black);
