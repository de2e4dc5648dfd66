// Device: paper/colour profiles and their files, the render context and
// colour management.
//
// Choices of this library:
// - jColorProfileInit gives an all-zero profile: no name, no colour files,
//   not built in, RGB colour mode, render option 0, ink limit 0 (the driver
//   puts its default in), default conversion.
// - Paper-profile file (little-endian, byte-identical on every target):
//     0   8 bytes  magic "VLXCPF", 0x1A, 0x00
//     8   uint32   format version, 1
//     12  uint32   profile count, 0..50
//     16  uint32   bytes per profile, 1176
//     20  count x 1176 bytes, each profile field by field in its layout
//         order (texts as their whole fixed fields, integers little-endian,
//         the library's reserved ranges as they stand)
//     end uint32   CRC-32 (IEEE, reflected, as in zip) of every byte before it
//   A file whose size, magic, version, entry size, count or checksum does
//   not agree reads as 0 profiles: a damaged, truncated or foreign file is
//   never read as profiles. Text fields read back always end in a NUL.
// - Colour management samples the driver's conversion on a 17-node grid per
//   channel (color_transform.cpp); PFLink interpolates it in integers.
#include <cstdlib>
#include <cstring>

#include <zlib.h>

#include "Device.h"
#include "platform/atomic_file.h"
#include "platform/file.h"

namespace device {
namespace {

constexpr uint8_t kMagic[8] = {'V', 'L', 'X', 'C', 'P', 'F', 0x1A, 0x00};
constexpr uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 20;
constexpr std::size_t kProfileBytes = 1176;
constexpr std::size_t kMaxFileBytes = kHeaderBytes + J_MAX_PROFILES * kProfileBytes + 4;

uint32_t fileCrc(const uint8_t* data, std::size_t size) {
  return static_cast<uint32_t>(crc32(0L, data, static_cast<uInt>(size)));
}

void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t getU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

template <std::size_t N>
uint8_t* putText(uint8_t* p, const char (&field)[N]) {
  std::memcpy(p, field, N);
  return p + N;
}

template <std::size_t N>
const uint8_t* getText(const uint8_t* p, char (&field)[N]) {
  std::memcpy(field, p, N);
  field[N - 1] = '\0';
  return p + N;
}

uint8_t* putInt(uint8_t* p, int32_t v) {
  putU32(p, static_cast<uint32_t>(v));
  return p + 4;
}

const uint8_t* getInt(const uint8_t* p, int32_t* v) {
  *v = static_cast<int32_t>(getU32(p));
  return p + 4;
}

void encodeProfile(const ColorProfile& c, uint8_t* p) {
  p = putText(p, c.name);
  p = putText(p, c.colorFile1);
  p = putText(p, c.colorFile2);
  p = putInt(p, c.fixed);
  p = putText(p, c.reserved0);
  p = putInt(p, c.colorMode);
  p = putInt(p, c.drawOption);
  p = putText(p, c.reserved1);
  p = putInt(p, c.inkLimit);
  p = putText(p, c.reserved2);
  putText(p, c.conversionFunction);
}

void decodeProfile(const uint8_t* p, ColorProfile* c) {
  p = getText(p, c->name);
  p = getText(p, c->colorFile1);
  p = getText(p, c->colorFile2);
  p = getInt(p, &c->fixed);
  std::memcpy(c->reserved0, p, sizeof c->reserved0);
  p += sizeof c->reserved0;
  p = getInt(p, &c->colorMode);
  p = getInt(p, &c->drawOption);
  std::memcpy(c->reserved1, p, sizeof c->reserved1);
  p += sizeof c->reserved1;
  p = getInt(p, &c->inkLimit);
  std::memcpy(c->reserved2, p, sizeof c->reserved2);
  p += sizeof c->reserved2;
  getText(p, c->conversionFunction);
}

// The whole file when it is no bigger than any profile file can be.
bool readProfileFile(const char* path, uint8_t* buffer, std::size_t* length) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return false;
  std::uint64_t size = 0;
  bool ok = platform::fileSize(file, &size) && size <= kMaxFileBytes;
  std::size_t done = 0;
  while (ok && done < size) {
    std::int64_t got = platform::readFile(file, buffer + done, static_cast<std::size_t>(size) - done);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  platform::closeFile(file);
  *length = done;
  return ok && done == size;
}

}  // namespace
}  // namespace device

JDEVICE_API int jColorProfileInit(ColorProfile* profile) {
  if (!profile) return 0;
  std::memset(profile, 0, sizeof *profile);
  return 1;
}

JDEVICE_API int jColorLoadProfiles(const char* path, ColorProfile* profiles, int max) {
  using namespace device;
  if (!path || !profiles || max <= 0) return 0;
  auto* buffer = static_cast<uint8_t*>(std::malloc(kMaxFileBytes));
  if (!buffer) return 0;
  std::size_t length = 0;
  int result = 0;
  if (readProfileFile(path, buffer, &length) && length >= kHeaderBytes + 4) {
    uint32_t count = getU32(buffer + 12);
    bool valid = std::memcmp(buffer, kMagic, sizeof kMagic) == 0 && getU32(buffer + 8) == kVersion &&
                 getU32(buffer + 16) == kProfileBytes && count <= J_MAX_PROFILES &&
                 length == kHeaderBytes + count * kProfileBytes + 4 &&
                 getU32(buffer + length - 4) == fileCrc(buffer, length - 4);
    if (valid) {
      result = static_cast<int>(count) < max ? static_cast<int>(count) : max;
      for (int i = 0; i < result; ++i) decodeProfile(buffer + kHeaderBytes + i * kProfileBytes, &profiles[i]);
    }
  }
  std::free(buffer);
  return result;
}

JDEVICE_API int jColorSaveProfiles(const char* path, const ColorProfile* profiles, int count) {
  using namespace device;
  if (!path || count < 0 || count > J_MAX_PROFILES || (count > 0 && !profiles)) return 0;
  std::size_t length = kHeaderBytes + static_cast<std::size_t>(count) * kProfileBytes + 4;
  auto* buffer = static_cast<uint8_t*>(std::calloc(1, length));
  if (!buffer) return 0;
  std::memcpy(buffer, kMagic, sizeof kMagic);
  putU32(buffer + 8, kVersion);
  putU32(buffer + 12, static_cast<uint32_t>(count));
  putU32(buffer + 16, kProfileBytes);
  for (int i = 0; i < count; ++i) encodeProfile(profiles[i], buffer + kHeaderBytes + i * kProfileBytes);
  putU32(buffer + length - 4, fileCrc(buffer, length - 4));
  const bool ok = platform::saveFileAtomically(path, buffer, length);
  std::free(buffer);
  return ok ? 1 : 0;
}
