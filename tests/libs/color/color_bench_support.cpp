#include "color_bench.h"

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "driver/machines/machine_state.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/setting_block.h"
#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/printed_colour.h"
#include "libs/press/icc_writer.h"
#include "platform/folders.h"

namespace color_test {

std::vector<Rgb> chartPatches() {
  std::vector<Rgb> patches = {{255, 0, 0},     {0, 255, 0},   {0, 0, 255},   {0, 255, 255},   {255, 0, 255},
                              {255, 255, 0},   {0, 0, 0},     {64, 64, 64},  {128, 128, 128}, {192, 192, 192},
                              {255, 255, 255}, {255, 128, 0}, {128, 0, 255}, {0, 128, 64},    {200, 150, 120},
                              {80, 150, 60},   {200, 60, 20}};
  for (int r = 0; r < 4; ++r)
    for (int g = 0; g < 4; ++g)
      for (int b = 0; b < 4; ++b) patches.push_back({uint8_t(r * 85), uint8_t(g * 85), uint8_t(b * 85)});
  return patches;
}

Picture photograph(const char* name, int width) {
  const char* named = std::getenv("VLX_COLOR_PHOTO");
  const std::string path = std::string(name) == "LadyBird.jpg" && named && *named
                               ? named
                               : std::string("/usr/share/backgrounds/mate/nature/") + name;
  int w = 0, h = 0, channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
  Picture p;
  if (!data) return p;
  p.width = width;
  p.height = std::max(1, h * width / w);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const int x0 = x * w / p.width, x1 = std::max(x0 + 1, (x + 1) * w / p.width);
      const int y0 = y * h / p.height, y1 = std::max(y0 + 1, (y + 1) * h / p.height);
      for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) sum += data[(static_cast<size_t>(yy) * w + xx) * 3 + c];
        p.rgb.push_back(static_cast<uint8_t>(sum / ((x1 - x0) * (y1 - y0))));
      }
    }
  stbi_image_free(data);
  return p;
}

Cmyk printedCmyk(const escp::DotPage& page, int x0, int y0, int x1, int y1) {
  auto cov = [&](int plane) { return 100 * escp::meanCoverage(page, plane, x0, y0, x1, y1); };
  return {cov(0) + 0.30 * cov(4), cov(1) + 0.30 * cov(5), cov(2), cov(3) + 0.50 * cov(6) + 0.17 * cov(7)};
}

Reference::Reference(const std::string& rgbProfile, const std::string& cmykProfile, int intent)
    : rgb_(cmsOpenProfileFromFile(rgbProfile.c_str(), "r")),
      cmyk_(cmsOpenProfileFromFile(cmykProfile.c_str(), "r")),
      lab_(cmsCreateLab4Profile(nullptr)) {
  const cmsUInt32Number flags =
      cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE | (intent == 0 || intent == 2 ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0);
  toCmyk_ = cmsCreateTransform(rgb_, TYPE_RGB_8, cmyk_, TYPE_CMYK_DBL, intent, flags);
  toLab_ = cmsCreateTransform(cmyk_, TYPE_CMYK_DBL, lab_, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  sourceToLab_ = cmsCreateTransform(rgb_, TYPE_RGB_8, lab_, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  toRgb_ = cmsCreateTransform(cmyk_, TYPE_CMYK_DBL, rgb_, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                              cmsFLAGS_BLACKPOINTCOMPENSATION);
  cmsUInt16Number alarm[cmsMAXCHANNELS] = {};
  cmsSetAlarmCodes(alarm);
  gamut_ = cmsCreateProofingTransform(rgb_, TYPE_RGB_8, lab_, TYPE_Lab_16, cmyk_, INTENT_RELATIVE_COLORIMETRIC,
                                      INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_GAMUTCHECK | cmsFLAGS_NOCACHE);
}

Reference::~Reference() {
  for (cmsHTRANSFORM t : {toCmyk_, toLab_, sourceToLab_, gamut_, toRgb_})
    if (t) cmsDeleteTransform(t);
  for (cmsHPROFILE p : {rgb_, cmyk_, lab_})
    if (p) cmsCloseProfile(p);
}

Cmyk Reference::cmyk(const Rgb& rgb) const {
  double out[4] = {};
  cmsDoTransform(toCmyk_, &rgb, out, 1);
  return {out[0], out[1], out[2], out[3]};
}

cmsCIELab Reference::lab(const Cmyk& cmyk) const {
  const double in[4] = {cmyk.c, cmyk.m, cmyk.y, cmyk.k};
  cmsCIELab out{};
  cmsDoTransform(toLab_, in, &out, 1);
  return out;
}

cmsCIELab Reference::sourceLab(const Rgb& rgb) const {
  cmsCIELab out{};
  cmsDoTransform(sourceToLab_, &rgb, &out, 1);
  return out;
}

bool Reference::inGamut(const Rgb& rgb) const {
  cmsUInt16Number out[3] = {};
  cmsDoTransform(gamut_, &rgb, out, 1);
  return out[0] != 0 || out[1] != 0 || out[2] != 0;
}

namespace {

int gProgress;
void* begin(void*) {
  return &gProgress;
}
void end(void*) {}
int keepGoing(void*) {
  return 1;
}
int step(void*, int, const char*) {
  return 1;
}
const jProgressHooks kHooks{begin, end, keepGoing, step, keepGoing};

}  // namespace

Rgb Reference::onScreen(const Cmyk& cmyk) const {
  const double in[4] = {cmyk.c, cmyk.m, cmyk.y, cmyk.k};
  Rgb out{};
  cmsDoTransform(toRgb_, in, &out, 1);
  return out;
}

void Bench::SetUp() {
  PrintingFixture::SetUp();
  jPdevSetPgsHook(&kHooks);
  ASSERT_TRUE(icc::writeDefaultProfiles(profiles.path().c_str()));
  srgb = profiles.join("sRGB Color Space Profile.icm");
  press = profiles.join("JapanColor2001Coated.icc");
}

std::string Bench::paperProfile(int limit) {
  if (limit >= icc::kDefaultTotalInk) return press;
  char name[64];
  if (!icc::paperProfileName(name, sizeof name, limit)) return {};
  const std::string path = profiles.join(name);
  return icc::writeProfile(path.c_str(), icc::cmykOutputProfile(limit)) ? path : std::string();
}

escp::DotPage Bench::print(const std::vector<uint8_t>& pixels, int width, int height, float widthMm, float heightMm) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3", widthMm, heightMm);
  job.items.clear();
  if (inkLimit != 0) {
    // The machine's settings as the job carries them, with the paper's ink limit.
    jdraw::DriverPlugin plugin;
    DeviceRecord record{};
    if (!plugin.load(printer.join(draw_test::pluginFileName()).c_str()) || !plugin.findMachine("EPSON RX-3", &record) ||
        plugin.exports().openMachine(&record) != 1)
      return {};
    jdraw::SettingBlock block;
    std::memcpy(block.settings, record.state, sizeof block.settings);
    plugin.exports().closeMachine(&record);
    std::memcpy(block.settings + offsetof(MachineState, profile) + offsetof(ColorProfile, inkLimit), &inkLimit, 4);
    block.hasSettings = true;
    if (!jdraw::encodeSettingBlock(block, &job.settings)) return {};
  }
  jobfile::Item image;
  image.kind = jobfile::kRgbImage;
  image.x1 = widthMm;
  image.y1 = heightMm;
  image.width = width;
  image.height = height;
  image.pixels = pixels;
  job.items.push_back(image);
  // Every print lands in a fresh file of the port's folder.
  platform::listFolder(out.path().c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) platform::deleteFile(out.join(e.name).c_str());
    return true;
  });
  if (!load(job)) {
    ADD_FAILURE() << "the job does not load";
    return {};
  }
  if (jPdevPrint(nullptr, document, device, 0, setting) != 1) {
    char reason[256] = "";
    jPdevGetLastError(reason, sizeof reason);
    ADD_FAILURE() << "the print failed: " << reason;
    return {};
  }
  jPdevClose(device);
  jMemFree(setting);
  device = nullptr;
  setting = nullptr;
  std::string bytes;
  platform::listFolder(out.path().c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) bytes = testing_support::readBytes(out.join(e.name));
    return true;
  });
  escp::Stream stream;
  std::vector<escp::DotPage> pages;
  std::string error;
  if (!escp::decodeStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &stream) ||
      !escp::buildPages(stream, 1, &pages, &error) || pages.size() != 1)
    return {};
  return pages[0];
}

std::vector<Cmyk> Bench::printPatches(const std::vector<Rgb>& patches, int columns) {
  const int rows = static_cast<int>((patches.size() + columns - 1) / columns);
  std::vector<uint8_t> pixels(static_cast<size_t>(columns) * rows * 3, 255);
  for (size_t i = 0; i < patches.size(); ++i) {
    pixels[i * 3] = patches[i].r;
    pixels[i * 3 + 1] = patches[i].g;
    pixels[i * 3 + 2] = patches[i].b;
  }
  const float patchMm = 3;
  const escp::DotPage page = print(pixels, columns, rows, columns * patchMm, rows * patchMm);
  std::vector<Cmyk> printed;
  patchComposites.clear();
  patchLabs.clear();
  if (page.width == 0) return printed;
  // The page can be wider than the picture (the head's width); the picture
  // starts at its top left corner.
  const double patchDots = patchMm * 720 / 25.4;
  for (size_t i = 0; i < patches.size(); ++i) {
    const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
    const int x0 = static_cast<int>(col * patchDots), x1 = static_cast<int>((col + 1) * patchDots);
    const int y0 = static_cast<int>(row * patchDots), y1 = static_cast<int>((row + 1) * patchDots);
    const int qx = (x1 - x0) / 4, qy = (y1 - y0) / 4;
    printed.push_back(printedCmyk(page, x0 + qx, y0 + qy, x1 - qx, y1 - qy));
    double coverage[escp::kPlanes];
    for (int plane = 0; plane < escp::kPlanes; ++plane)
      coverage[plane] = escp::meanCoverage(page, plane, x0 + qx, y0 + qy, x1 - qx, y1 - qy);
    uint8_t shown[3];
    escp::inkColour(coverage, -1, shown);
    patchComposites.push_back({shown[0], shown[1], shown[2]});
    double lab[3];
    escp::printedLab(coverage, lab);
    patchLabs.push_back({lab[0], lab[1], lab[2]});
  }
  return printed;
}

}  // namespace color_test
