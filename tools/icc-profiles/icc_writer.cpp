#include "tools/icc-profiles/icc_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/path.h"

namespace icc {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr double kD50[3] = {0.9642, 1.0, 0.8249};
constexpr double kGamma = 2.2;

void put8(Bytes& b, unsigned v) {
  b.push_back(static_cast<unsigned char>(v));
}
void put16(Bytes& b, unsigned v) {
  put8(b, v >> 8);
  put8(b, v & 0xFF);
}
void put32(Bytes& b, std::uint32_t v) {
  put16(b, v >> 16);
  put16(b, v & 0xFFFF);
}
void putText(Bytes& b, const char* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) put8(b, static_cast<unsigned char>(s[i]));
}
void putSig(Bytes& b, const char* s) {
  putText(b, s, 4);
}
void putS15(Bytes& b, double v) {
  put32(b, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 65536.0))));
}
void pad4(Bytes& b) {
  while (b.size() % 4 != 0) put8(b, 0);
}

// ---- tag data --------------------------------------------------------------

Bytes textDescription(const char* text) {
  Bytes b;
  putSig(b, "desc");
  put32(b, 0);
  const std::uint32_t n = static_cast<std::uint32_t>(std::strlen(text)) + 1;
  put32(b, n);
  putText(b, text, n);
  put32(b, 0);  // Unicode language
  put32(b, 0);  // Unicode count
  put16(b, 0);  // ScriptCode code
  put8(b, 0);   // ScriptCode count
  b.resize(b.size() + 67, 0);
  return b;
}

Bytes text(const char* s) {
  Bytes b;
  putSig(b, "text");
  put32(b, 0);
  putText(b, s, std::strlen(s) + 1);
  return b;
}

Bytes xyz(double x, double y, double z) {
  Bytes b;
  putSig(b, "XYZ ");
  put32(b, 0);
  putS15(b, x);
  putS15(b, y);
  putS15(b, z);
  return b;
}

Bytes gammaCurve(double gamma) {
  Bytes b;
  putSig(b, "curv");
  put32(b, 0);
  put32(b, 1);
  put16(b, static_cast<unsigned>(std::lround(gamma * 256.0)));  // u8Fixed8
  return b;
}

// lut8Type: identity matrix and identity input/output tables around a CLUT
// whose entries come from fill(grid coordinates in 0..1, outputs in 0..1).
template <typename Fill>
Bytes lut8(int inputs, int outputs, int grid, Fill fill) {
  Bytes b;
  putSig(b, "mft1");
  put32(b, 0);
  put8(b, inputs);
  put8(b, outputs);
  put8(b, grid);
  put8(b, 0);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) putS15(b, r == c ? 1.0 : 0.0);
  for (int i = 0; i < inputs; ++i)
    for (int v = 0; v < 256; ++v) put8(b, v);
  int points = 1;
  for (int i = 0; i < inputs; ++i) points *= grid;
  for (int p = 0; p < points; ++p) {
    double in[8] = {};
    int rest = p;
    for (int i = inputs - 1; i >= 0; --i) {  // the first input varies slowest
      in[i] = static_cast<double>(rest % grid) / (grid - 1);
      rest /= grid;
    }
    double out[8] = {};
    fill(in, out);
    for (int o = 0; o < outputs; ++o) put8(b, static_cast<unsigned>(std::lround(std::clamp(out[o], 0.0, 1.0) * 255.0)));
  }
  for (int o = 0; o < outputs; ++o)
    for (int v = 0; v < 256; ++v) put8(b, v);
  return b;
}

// ---- colour model ----------------------------------------------------------

void linearRgbToXyz(const double rgb[3], double xyzOut[3]) {
  xyzOut[0] = 0.4360747 * rgb[0] + 0.3850649 * rgb[1] + 0.1430804 * rgb[2];
  xyzOut[1] = 0.2225045 * rgb[0] + 0.7168786 * rgb[1] + 0.0606169 * rgb[2];
  xyzOut[2] = 0.0139322 * rgb[0] + 0.0971045 * rgb[1] + 0.7141733 * rgb[2];
}

void xyzToLinearRgb(const double x[3], double rgb[3]) {
  rgb[0] = 3.1338561 * x[0] - 1.6168667 * x[1] - 0.4906146 * x[2];
  rgb[1] = -0.9787684 * x[0] + 1.9161415 * x[1] + 0.0334540 * x[2];
  rgb[2] = 0.0719453 * x[0] - 0.2289914 * x[1] + 1.4052427 * x[2];
}

double labF(double t) {
  return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
}
double labFInverse(double f) {
  return f * f * f > 216.0 / 24389.0 ? f * f * f : (116.0 * f - 16.0) * 27.0 / 24389.0;
}

void xyzToLab(const double x[3], double lab[3]) {
  const double fx = labF(x[0] / kD50[0]), fy = labF(x[1] / kD50[1]), fz = labF(x[2] / kD50[2]);
  lab[0] = 116.0 * fy - 16.0;
  lab[1] = 500.0 * (fx - fy);
  lab[2] = 200.0 * (fy - fz);
}

void labToXyz(const double lab[3], double x[3]) {
  const double fy = (lab[0] + 16.0) / 116.0;
  x[0] = kD50[0] * labFInverse(fy + lab[1] / 500.0);
  x[1] = kD50[1] * labFInverse(fy);
  x[2] = kD50[2] * labFInverse(fy - lab[2] / 200.0);
}

// Lab in lut8 encoding (version 2): L 0..100 and a, b -128..127 over 0..1.
void encodeLab(const double lab[3], double out[3]) {
  out[0] = lab[0] / 100.0;
  out[1] = (lab[1] + 128.0) / 255.0;
  out[2] = (lab[2] + 128.0) / 255.0;
}

void decodeLab(const double in[3], double lab[3]) {
  lab[0] = in[0] * 100.0;
  lab[1] = in[1] * 255.0 - 128.0;
  lab[2] = in[2] * 255.0 - 128.0;
}

// Inks on paper: each ink takes away its complement, black takes all;
// paper is a little darker than the white point, full black not quite 0.
void cmykToLab(const double* cmyk, double* encoded) {
  double rgb[3];
  for (int i = 0; i < 3; ++i) {
    const double device = 0.03 + 0.94 * (1.0 - cmyk[i]) * (1.0 - cmyk[3]);
    rgb[i] = std::pow(device, kGamma);
  }
  double x[3], lab[3];
  linearRgbToXyz(rgb, x);
  xyzToLab(x, lab);
  encodeLab(lab, encoded);
}

// The inverse with full under-colour removal.
void labToCmyk(const double* encoded, double* cmyk) {
  double lab[3], x[3], rgb[3];
  decodeLab(encoded, lab);
  labToXyz(lab, x);
  xyzToLinearRgb(x, rgb);
  double cmy[3];
  for (int i = 0; i < 3; ++i) cmy[i] = 1.0 - std::pow(std::clamp(rgb[i], 0.0, 1.0), 1.0 / kGamma);
  const double k = std::min({cmy[0], cmy[1], cmy[2]});
  for (int i = 0; i < 3; ++i) cmyk[i] = k < 1.0 ? (cmy[i] - k) / (1.0 - k) : 0.0;
  cmyk[3] = k;
}

// ---- assembling --------------------------------------------------------------

struct Tag {
  const char* signature;
  Bytes data;
};

Bytes assemble(const char* deviceClass, const char* space, const char* pcs, const std::vector<Tag>& tags) {
  Bytes b(128, 0);
  put32(b, static_cast<std::uint32_t>(tags.size()));
  const std::size_t tableAt = b.size();
  b.resize(b.size() + tags.size() * 12, 0);
  pad4(b);
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const std::uint32_t offset = static_cast<std::uint32_t>(b.size());
    for (unsigned char byte : tags[i].data) put8(b, byte);
    Bytes entry;
    putSig(entry, tags[i].signature);
    put32(entry, offset);
    put32(entry, static_cast<std::uint32_t>(tags[i].data.size()));
    std::memcpy(b.data() + tableAt + i * 12, entry.data(), entry.size());
    pad4(b);
  }
  Bytes h;
  put32(h, static_cast<std::uint32_t>(b.size()));
  put32(h, 0);           // preferred CMM: none
  put32(h, 0x02100000);  // version 2.1
  putSig(h, deviceClass);
  putSig(h, space);
  putSig(h, pcs);
  for (unsigned v : {2026u, 1u, 1u, 0u, 0u, 0u}) put16(h, v);  // fixed date: same bytes on every run
  putSig(h, "acsp");
  put32(h, 0);  // primary platform: none in particular
  put32(h, 0);  // flags
  put32(h, 0);  // manufacturer
  put32(h, 0);  // model
  put32(h, 0);  // attributes
  put32(h, 0);
  put32(h, 0);  // rendering intent: perceptual
  putS15(h, kD50[0]);
  putS15(h, kD50[1]);
  putS15(h, kD50[2]);
  putSig(h, "vlx ");  // creator
  std::memcpy(b.data(), h.data(), h.size());
  return b;
}

constexpr char kCopyright[] = "Copyright (c) vellox developers; free to use and copy";

}  // namespace

Bytes rgbDisplayProfile() {
  const Bytes curve = gammaCurve(kGamma);
  return assemble("mntr", "RGB ", "XYZ ",
                  {
                      {"desc", textDescription("sRGB Color Space Profile (vellox)")},
                      {"cprt", text(kCopyright)},
                      {"wtpt", xyz(kD50[0], kD50[1], kD50[2])},
                      {"rXYZ", xyz(0.4360747, 0.2225045, 0.0139322)},
                      {"gXYZ", xyz(0.3850649, 0.7168786, 0.0971045)},
                      {"bXYZ", xyz(0.1430804, 0.0606169, 0.7141733)},
                      {"rTRC", curve},
                      {"gTRC", curve},
                      {"bTRC", curve},
                  });
}

Bytes cmykOutputProfile() {
  return assemble("prtr", "CMYK", "Lab ",
                  {
                      {"desc", textDescription("JapanColor2001Coated (vellox)")},
                      {"cprt", text(kCopyright)},
                      {"wtpt", xyz(kD50[0], kD50[1], kD50[2])},
                      {"A2B0", lut8(4, 3, 5, cmykToLab)},
                      {"B2A0", lut8(3, 4, 9, labToCmyk)},
                      {"gamt", lut8(3, 1, 2, [](const double*, double* out) { out[0] = 0.0; })},
                  });
}

bool writeProfile(const char* path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool writeDefaultProfiles(const char* folder) {
  char rgb[platform::kMaxPath], cmyk[platform::kMaxPath];
  return platform::joinPath(rgb, sizeof rgb, folder, "sRGB Color Space Profile.icm") &&
         platform::joinPath(cmyk, sizeof cmyk, folder, "JapanColor2001Coated.icc") &&
         writeProfile(rgb, rgbDisplayProfile()) && writeProfile(cmyk, cmykOutputProfile());
}

}  // namespace icc
