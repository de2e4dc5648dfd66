#include "tools/icc-profiles/icc_writer.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>

#include "platform/atomic_file.h"
#include "platform/path.h"
#include "tools/icc-profiles/press_separation.h"

namespace icc {
namespace {

using Bytes = std::vector<unsigned char>;

// Nodes per channel: CMYK to Lab is smooth and has four inputs; Lab to CMYK
// carries the replacement, the limit and the gamut's edge.
constexpr int kAToBPoints = 11;
constexpr int kBToAPoints = 17;
// A colour is in the gamut when the press prints it this close (CIE 1976).
constexpr double kGamutTolerance = 1.0;

const char kDescription[] =
    "JapanColor2001Coated (vellox): a model of coated offset printing built from published characterisation "
    "figures (solids, overprints, tone value increase) with medium GCR and 350% total ink; not the "
    "characterisation's own data";
const char kCopyright[] = "No copyright, use freely";

enum class Table { Perceptual, Colorimetric, Gamut };

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
  if (*static_cast<const Table*>(cargo) == Table::Perceptual) {
    const double black = press::darkestLightness();
    l.L = std::max(press::kReferenceBlackL + (lab.L - black) * (100 - press::kReferenceBlackL) / (100 - black), 0.0);
  }
  cmsFloat2LabEncoded(out, &l);
  return TRUE;
}

cmsInt32Number sampleLabToCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  cmsCIELab l;
  cmsLabEncoded2Float(&l, in);
  const press::Lab wanted{l.L, l.a, l.b};
  const Table table = *static_cast<const Table*>(cargo);
  const press::Separation s =
      table == Table::Perceptual ? press::separatePerceptual(wanted) : press::separateColorimetric(wanted);
  if (table == Table::Gamut) {
    out[0] = s.error < kGamutTolerance ? 0 : toWord(s.error / 100);
    return TRUE;
  }
  for (int i = 0; i < 4; ++i) out[i] = toWord(s.cmyk[i]);
  return TRUE;
}

// Identity curves, a sampled table, identity curves: the shape a version 4
// lookup-table tag is written in.
cmsPipeline* sampledPipeline(int inputs, int outputs, int points, cmsSAMPLER16 sampler, void* cargo) {
  cmsPipeline* p = cmsPipelineAlloc(nullptr, inputs, outputs);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, points, inputs, outputs, nullptr);
  if (!p || !table || !cmsStageSampleCLut16bit(table, sampler, cargo, 0) ||
      !cmsPipelineInsertStage(p, cmsAT_END, cmsStageAllocToneCurves(nullptr, inputs, nullptr)) ||
      !cmsPipelineInsertStage(p, cmsAT_END, table) ||
      !cmsPipelineInsertStage(p, cmsAT_END, cmsStageAllocToneCurves(nullptr, outputs, nullptr))) {
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

Bytes makeCmykProfile() {
  cmsHPROFILE h = cmsCreateProfilePlaceholder(nullptr);
  if (!h) return {};
  cmsSetProfileVersion(h, 4.3);
  cmsSetDeviceClass(h, cmsSigOutputClass);
  cmsSetColorSpace(h, cmsSigCmykData);
  cmsSetPCS(h, cmsSigLabData);
  cmsSetHeaderRenderingIntent(h, INTENT_PERCEPTUAL);
  double paper[3];
  press::labToXyz(press::paperLab(), paper);
  const cmsCIEXYZ white{paper[0], paper[1], paper[2]};
  Table perceptual = Table::Perceptual, colorimetric = Table::Colorimetric, gamut = Table::Gamut;
  const bool ok =
      writeText(h, cmsSigProfileDescriptionTag, kDescription) && writeText(h, cmsSigCopyrightTag, kCopyright) &&
      cmsWriteTag(h, cmsSigMediaWhitePointTag, &white) &&
      writePipeline(h, cmsSigAToB0Tag, sampledPipeline(4, 3, kAToBPoints, sampleCmykToLab, &perceptual)) &&
      writePipeline(h, cmsSigAToB1Tag, sampledPipeline(4, 3, kAToBPoints, sampleCmykToLab, &colorimetric)) &&
      cmsLinkTag(h, cmsSigAToB2Tag, cmsSigAToB0Tag) &&
      writePipeline(h, cmsSigBToA0Tag, sampledPipeline(3, 4, kBToAPoints, sampleLabToCmyk, &perceptual)) &&
      writePipeline(h, cmsSigBToA1Tag, sampledPipeline(3, 4, kBToAPoints, sampleLabToCmyk, &colorimetric)) &&
      cmsLinkTag(h, cmsSigBToA2Tag, cmsSigBToA0Tag) &&
      writePipeline(h, cmsSigGamutTag, sampledPipeline(3, 1, kBToAPoints, sampleLabToCmyk, &gamut));
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

Bytes cmykOutputProfile() {
  static const Bytes bytes = makeCmykProfile();
  return bytes;
}

bool writeProfile(const char* path, const Bytes& bytes) {
  return !bytes.empty() && platform::saveFileAtomically(path, bytes.data(), bytes.size());
}

bool writeDefaultProfiles(const char* folder) {
  char rgb[platform::kMaxPath], cmyk[platform::kMaxPath];
  return platform::joinPath(rgb, sizeof rgb, folder, "sRGB Color Space Profile.icm") &&
         platform::joinPath(cmyk, sizeof cmyk, folder, "JapanColor2001Coated.icc") &&
         writeProfile(rgb, rgbDisplayProfile()) && writeProfile(cmyk, cmykOutputProfile());
}

}  // namespace icc
