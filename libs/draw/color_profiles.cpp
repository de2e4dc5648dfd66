// Colour-profile set-up of the drawing library (jCol2SetupProfile).
//
// The choice that is ours: a profile is accepted when its file can be read
// and its ICC header and tag table are sound, so that a wrong or damaged
// file is refused at set-up instead of failing in the middle of a print:
//   - at least the 128-byte header and the tag count; the declared profile
//     size lies between that and the file's real size (trailing padding is
//     tolerated, a file shorter than it claims is not);
//   - the signature "acsp" at offset 36 and major version 2 or 4;
//   - colour space "RGB " for the RGB profile, "CMYK" for the CMYK profile;
//   - 1 to 1024 tags, the table inside the profile, and every tag's data
//     inside the profile.
// The intent must be 0 to 3 (perceptual, relative colorimetric, saturation,
// absolute colorimetric). A pair that passes is handed to the device-colour
// library, which prints with it from then on and refuses a pair it cannot
// build a transform from. An accepted pair replaces the one kept by the
// library; a refused call leaves the kept pair as it was, except that two
// empty paths (the user chose no profiles) end colour management: printing
// goes back to the driver's conversion, and the call still reports 0, as no
// pair was accepted. The pair is guarded by a mutex because the print worker
// reads it while the window thread may set it.
#include "libs/draw/color_profiles.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include "Device.h"
#include "platform/file.h"
#include "platform/path.h"

namespace jdraw {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kTagEntrySize = 12;
constexpr std::uint32_t kMaxTags = 1024;
constexpr int kMaxIntent = 3;

std::mutex gMutex;
jProfileBlock gAccepted{};
bool gHaveAccepted = false;

std::uint32_t be32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

bool readExactly(platform::FileHandle file, unsigned char* buffer, std::size_t size) {
  return platform::readFile(file, buffer, size) == static_cast<std::int64_t>(size);
}

bool headerIsSound(const unsigned char* header, std::uint64_t fileSize, ProfileSpace space) {
  const std::uint32_t declared = be32(header);
  if (declared < kHeaderSize + 4 || declared > fileSize) return false;
  if (std::memcmp(header + 36, "acsp", 4) != 0) return false;
  if (header[8] != 2 && header[8] != 4) return false;
  const char* wanted = space == ProfileSpace::Rgb ? "RGB " : "CMYK";
  return std::memcmp(header + 16, wanted, 4) == 0;
}

bool tagTableIsSound(platform::FileHandle file, std::uint32_t declared, std::uint32_t count) {
  if (count == 0 || count > kMaxTags) return false;
  if (kHeaderSize + 4 + std::uint64_t{count} * kTagEntrySize > declared) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    unsigned char entry[kTagEntrySize];
    if (!readExactly(file, entry, sizeof entry)) return false;
    const std::uint64_t offset = be32(entry + 4);
    const std::uint64_t size = be32(entry + 8);
    if (offset < kHeaderSize + 4 || size == 0 || offset + size > declared) return false;
  }
  return true;
}

}  // namespace

bool isIccProfile(const char* path, ProfileSpace space) {
  if (!path || path[0] == '\0' || std::strlen(path) >= platform::kMaxPath) return false;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return false;
  unsigned char header[kHeaderSize + 4];
  std::uint64_t fileSize = 0;
  const bool sound = platform::fileSize(file, &fileSize) && readExactly(file, header, sizeof header) &&
                     headerIsSound(header, fileSize, space) &&
                     tagTableIsSound(file, be32(header), be32(header + kHeaderSize));
  platform::closeFile(file);
  return sound;
}

bool acceptedProfiles(jProfileBlock* block) {
  if (!block) return false;
  std::lock_guard<std::mutex> lock(gMutex);
  *block = gHaveAccepted ? gAccepted : jProfileBlock{};
  return gHaveAccepted;
}

}  // namespace jdraw

JDRAW_API int jCol2SetupProfile(const char* rgbPath, const char* cmykPath, int intent) {
  using jdraw::ProfileSpace;
  if ((!rgbPath || !rgbPath[0]) && (!cmykPath || !cmykPath[0])) {
    std::lock_guard<std::mutex> lock(jdraw::gMutex);
    jColorCmsSetProfiles(nullptr, nullptr, 0);
    jdraw::gAccepted = jProfileBlock{};
    jdraw::gHaveAccepted = false;
    return 0;
  }
  if (intent < 0 || intent > jdraw::kMaxIntent) return 0;
  if (!jdraw::isIccProfile(rgbPath, ProfileSpace::Rgb) || !jdraw::isIccProfile(cmykPath, ProfileSpace::Cmyk)) return 0;
  std::lock_guard<std::mutex> lock(jdraw::gMutex);
  if (!jColorCmsSetProfiles(rgbPath, cmykPath, intent)) return 0;
  platform::copyString(jdraw::gAccepted.rgbPath, sizeof jdraw::gAccepted.rgbPath, rgbPath);
  platform::copyString(jdraw::gAccepted.cmykPath, sizeof jdraw::gAccepted.cmykPath, cmykPath);
  jdraw::gAccepted.intent = intent;
  jdraw::gHaveAccepted = true;
  return 1;
}
