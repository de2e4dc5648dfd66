#include "libs/press/icc_writer.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>

#include "libs/press/press_separation.h"
#include "platform/atomic_file.h"
#include "platform/path.h"

namespace icc {
namespace {

using Bytes = std::vector<unsigned char>;

// Nodes per channel: CMYK to Lab is smooth and has four inputs; Lab to CMYK
// carries the replacement, the limit and the gamut's edge.
constexpr int kAToBPoints = 11;
constexpr int kBToAPoints = 17;
// A colour is in the gamut when the press prints it this close (CIE 1976).
constexpr double kGamutTolerance = 1.0;
// Steps of the driver's 0..4080 scale kept below its limit: the profile's
// tables and the driver's lookup each round every ink by up to one step.
constexpr double kRoundingSteps = 12;
// The header's manufacturer field of every profile made here ('vlxp'), and
// its model field the total ink in percent: how a paper's profile is told
// from one a shop brought.
constexpr cmsUInt32Number kMaker = 0x766C7870;

// What the profile is, for a person who opens it in a colour tool.
const char kDescriptionFormat[] =
    "JapanColor2001Coated (vellox), %d%% total ink: a model of coated offset printing built from published "
    "characterisation figures (solids, overprints, tone value increase), medium grey component replacement, "
    "every colour separated within %d%% total ink; not the characterisation's own data";
const char kCopyright[] = "No copyright, use freely";

enum class Table { Perceptual, Colorimetric, Gamut };

// What a sampler needs: the table it fills, the separator of the profile's
// total ink, and the colorimetric errors per node, which the colorimetric
// table leaves for the gamut table (both sample the same nodes in order).
struct Cargo {
  Table table;
  const press::Separator* separator;
  std::vector<double>* errors;
  std::size_t next = 0;
};

// Lab's encoding puts a* = b* = 0 at 128/255 of the range, between two nodes
// of a 17-node table: the input curves of the Lab tables move it onto the
// middle node, so that paper white and the greys are nodes themselves and
// take exactly the ink their separation gives (none for white).
constexpr double kLabZero = 128.0 / 255.0;

double onNodes(double encoded) {
  return encoded <= kLabZero ? 0.5 * encoded / kLabZero : 0.5 + 0.5 * (encoded - kLabZero) / (1 - kLabZero);
}

double fromNodes(double position) {
  return position <= 0.5 ? position / 0.5 * kLabZero : kLabZero + (position - 0.5) / 0.5 * (1 - kLabZero);
}

// 256 entries, so that 128/255 is an entry of its own.
cmsToneCurve* labAxisCurve() {
  cmsUInt16Number table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<cmsUInt16Number>(std::lround(onNodes(i / 255.0) * 65535));
  return cmsBuildTabulatedToneCurve16(nullptr, 256, table);
}

cmsUInt16Number toWord(double v) {
  return static_cast<cmsUInt16Number>(std::lround(std::clamp(v, 0.0, 1.0) * 65535));
}

// Colorimetric: the printed colour itself. Perceptual: its lightness taken
// back from the press's range into the perceptual reference medium's, the
// inverse of what the perceptual separation does, so that the press's black
// is the reference black a perceptual conversion out of the profile expects.
cmsInt32Number sampleCmykToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  double cmyk[4];
  for (int i = 0; i < 4; ++i) cmyk[i] = in[i] / 65535.0;
  const press::Lab lab = press::printedLab(cmyk);
  cmsCIELab l{lab.L, lab.a, lab.b};
  const Cargo& c = *static_cast<const Cargo*>(cargo);
  if (c.table == Table::Perceptual) {
    l.L = c.separator->referenceLightness(lab.L);
  }
  cmsFloat2LabEncoded(out, &l);
  return TRUE;
}

cmsInt32Number sampleLabToCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  // The node's position back through the input curves to Lab.
  const press::Lab wanted{in[0] * 100.0 / 65535, fromNodes(in[1] / 65535.0) * 255 - 128,
                          fromNodes(in[2] / 65535.0) * 255 - 128};
  Cargo& c = *static_cast<Cargo*>(cargo);
  if (c.table == Table::Gamut) {
    const double error = c.next < c.errors->size() ? (*c.errors)[c.next++] : c.separator->colorimetric(wanted).error;
    out[0] = error < kGamutTolerance ? 0 : toWord(error / 100);
    return TRUE;
  }
  const press::Separation s =
      c.table == Table::Perceptual ? c.separator->perceptual(wanted) : c.separator->colorimetric(wanted);
  if (c.table == Table::Colorimetric) c.errors->push_back(s.error);
  for (int i = 0; i < 4; ++i) out[i] = toWord(s.cmyk[i]);
  return TRUE;
}

// Input curves, a sampled table, identity output curves: the shape a
// version 4 lookup-table tag is written in. Lab inputs take the curves that
// put a* = b* = 0 on a node; device inputs identity curves.
cmsPipeline* sampledPipeline(int inputs, int outputs, int points, cmsSAMPLER16 sampler, Cargo& cargo) {
  cmsPipeline* p = cmsPipelineAlloc(nullptr, inputs, outputs);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, points, inputs, outputs, nullptr);
  cmsStage* in = nullptr;
  if (inputs == 3) {
    cmsToneCurve* identity = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* axis = labAxisCurve();
    cmsToneCurve* curves[3] = {identity, axis, axis};
    if (identity && axis) in = cmsStageAllocToneCurves(nullptr, 3, curves);
    if (identity) cmsFreeToneCurve(identity);
    if (axis) cmsFreeToneCurve(axis);
  } else {
    in = cmsStageAllocToneCurves(nullptr, inputs, nullptr);
  }
  const bool ok =
      p && table && in && cmsStageSampleCLut16bit(table, sampler, &cargo, 0) &&
      cmsPipelineInsertStage(p, cmsAT_END, in) && (in = nullptr, cmsPipelineInsertStage(p, cmsAT_END, table)) &&
      (table = nullptr, cmsPipelineInsertStage(p, cmsAT_END, cmsStageAllocToneCurves(nullptr, outputs, nullptr)));
  if (in) cmsStageFree(in);
  if (table) cmsStageFree(table);
  if (!ok) {
    if (p) cmsPipelineFree(p);
    return nullptr;
  }
  return p;
}

bool writePipeline(cmsHPROFILE h, cmsTagSignature tag, cmsPipeline* p) {
  const bool ok = p && cmsWriteTag(h, tag, p);
  if (p) cmsPipelineFree(p);
  return ok;
}

bool writeText(cmsHPROFILE h, cmsTagSignature tag, const char* text) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  const bool ok = mlu && cmsMLUsetASCII(mlu, "en", "US", text) && cmsWriteTag(h, tag, mlu);
  if (mlu) cmsMLUfree(mlu);
  return ok;
}

// The header's creation date is made fixed (1 January 2025), so the same
// profile is the same bytes on every run.
Bytes saved(cmsHPROFILE h) {
  Bytes bytes;
  cmsUInt32Number size = 0;
  if (h && cmsSaveProfileToMem(h, nullptr, &size) && size > 0) {
    bytes.resize(size);
    if (!cmsSaveProfileToMem(h, bytes.data(), &size)) bytes.clear();
  }
  if (h) cmsCloseProfile(h);
  constexpr std::size_t kDate = 24;
  constexpr unsigned char kFixedDate[12] = {0x07, 0xE9, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
  if (bytes.size() >= kDate + sizeof kFixedDate) std::copy(kFixedDate, kFixedDate + sizeof kFixedDate, &bytes[kDate]);
  return bytes;
}

Bytes makeCmykProfile(int percent) {
  cmsHPROFILE h = cmsCreateProfilePlaceholder(nullptr);
  if (!h) return {};
  cmsSetProfileVersion(h, 4.3);
  cmsSetDeviceClass(h, cmsSigOutputClass);
  cmsSetColorSpace(h, cmsSigCmykData);
  cmsSetPCS(h, cmsSigLabData);
  cmsSetHeaderRenderingIntent(h, INTENT_PERCEPTUAL);
  cmsSetHeaderManufacturer(h, kMaker);
  cmsSetHeaderModel(h, static_cast<cmsUInt32Number>(percent));
  double paper[3];
  press::labToXyz(press::paperLab(), paper);
  const cmsCIEXYZ white{paper[0], paper[1], paper[2]};
  const press::Separator separator(separationTotal(percent));
  char description[512];
  std::snprintf(description, sizeof description, kDescriptionFormat, percent, percent);
  std::vector<double> errors;
  Cargo perceptual{Table::Perceptual, &separator, &errors}, colorimetric{Table::Colorimetric, &separator, &errors},
      gamut{Table::Gamut, &separator, &errors};
  const bool ok = writeText(h, cmsSigProfileDescriptionTag, description) &&
                  writeText(h, cmsSigCopyrightTag, kCopyright) && cmsWriteTag(h, cmsSigMediaWhitePointTag, &white) &&
                  writePipeline(h, cmsSigAToB0Tag, sampledPipeline(4, 3, kAToBPoints, sampleCmykToLab, perceptual)) &&
                  writePipeline(h, cmsSigAToB1Tag, sampledPipeline(4, 3, kAToBPoints, sampleCmykToLab, colorimetric)) &&
                  cmsLinkTag(h, cmsSigAToB2Tag, cmsSigAToB0Tag) &&
                  writePipeline(h, cmsSigBToA0Tag, sampledPipeline(3, 4, kBToAPoints, sampleLabToCmyk, perceptual)) &&
                  writePipeline(h, cmsSigBToA1Tag, sampledPipeline(3, 4, kBToAPoints, sampleLabToCmyk, colorimetric)) &&
                  cmsLinkTag(h, cmsSigBToA2Tag, cmsSigBToA0Tag) &&
                  writePipeline(h, cmsSigGamutTag, sampledPipeline(3, 1, kBToAPoints, sampleLabToCmyk, gamut));
  if (!ok) {
    cmsCloseProfile(h);
    return {};
  }
  return saved(h);
}

}  // namespace

// LittleCMS's own sRGB, written as a version 2 profile, which every reader
// of the installed folder's profiles knows.
Bytes rgbDisplayProfile() {
  cmsHPROFILE h = cmsCreate_sRGBProfile();
  if (h) cmsSetProfileVersion(h, 2.1);
  return saved(h);
}

double separationTotal(int percent) {
  // The driver's limit on its 0..4080 scale, as the document sets it up,
  // less a few steps for the rounding of the tables and of the lookup.
  const double driverLimit = static_cast<double>((percent * 255 + 50) / 100) * 16;
  return std::max(driverLimit - kRoundingSteps, 16.0) / 4080;
}

Bytes cmykOutputProfile(int percent) {
  percent = std::clamp(percent, kLeastTotalInk, kDefaultTotalInk);
  static std::mutex mutex;
  static std::map<int, Bytes> made;
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = made.find(percent);
    if (found != made.end()) return found->second;
  }
  Bytes bytes = makeCmykProfile(percent);
  std::lock_guard<std::mutex> lock(mutex);
  if (!bytes.empty()) made.emplace(percent, bytes);
  return bytes;
}

int profileTotalInk(const unsigned char* bytes, std::size_t size) {
  cmsHPROFILE h = cmsOpenProfileFromMem(bytes, static_cast<cmsUInt32Number>(size));
  if (!h) return 0;
  const bool ours = cmsGetHeaderManufacturer(h) == kMaker && cmsGetColorSpace(h) == cmsSigCmykData;
  const int percent = ours ? static_cast<int>(cmsGetHeaderModel(h)) : 0;
  cmsCloseProfile(h);
  return percent >= kLeastTotalInk && percent <= kDefaultTotalInk ? percent : 0;
}

bool paperProfileName(char* out, std::size_t capacity, int percent) {
  const int n = std::snprintf(out, capacity, "JapanColor2001Coated-%d.icc", percent);
  return n > 0 && static_cast<std::size_t>(n) < capacity;
}

bool writeProfile(const char* path, const Bytes& bytes) {
  return !bytes.empty() && platform::saveFileAtomically(path, bytes.data(), bytes.size());
}

bool writeDefaultProfiles(const char* folder) {
  char rgb[platform::kMaxPath], cmyk[platform::kMaxPath];
  return platform::joinPath(rgb, sizeof rgb, folder, "sRGB Color Space Profile.icm") &&
         platform::joinPath(cmyk, sizeof cmyk, folder, "JapanColor2001Coated.icc") &&
         writeProfile(rgb, rgbDisplayProfile()) && writeProfile(cmyk, cmykOutputProfile(kDefaultTotalInk));
}

}  // namespace icc
