// Colour management through LittleCMS.
//
// The pair is kept as the profiles' bytes, read when it is set, so a print
// uses what was checked then even if a file is replaced or removed later.
//
// Each paper takes its own total ink. When the CMYK profile of the pair is
// one of the press profiles made with this system (the installed default),
// a paper whose limit is below that profile's total ink prints through the
// same press made for the paper's limit instead: the intents then map
// colours into what the paper takes, where the driver would otherwise cut
// every colour over the limit afterwards. Those profiles are made once and
// kept beside the default profile, named by their limit (and in memory
// where that folder cannot be written). A shop's own CMYK profile is used as
// the shop set it.
//
// Black-point compensation maps the input's black onto the printer's
// darkest black for the perceptual and saturation intents. The colorimetric
// intents print what the paper can as measured: a colour darker than the
// paper's darkest is clipped to it, and darks within reach keep their
// lightness. The transform is evaluated without
// LittleCMS's own optimisation: the grid samples it at a few thousand nodes,
// so exactness costs little.
#include "libs/device/icc_transform.h"

#include <lcms2.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Device.h"
#include "libs/device/color_transform.h"
#include "libs/press/icc_writer.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/path.h"

namespace device {
namespace {

constexpr std::uint64_t kMaxProfileBytes = 64u << 20;
constexpr int kRelativeColorimetric = 1;
constexpr int kAbsoluteColorimetric = 3;
// The limit a document takes when its paper sets none.
constexpr int kDocumentInkLimit = 157;

using Bytes = std::vector<unsigned char>;

struct ProfilePair {
  Bytes rgb, cmyk;
  int intent = 0;
  int cmykTotalInk = 0;    // percent when the CMYK profile is a press profile of ours, else 0
  std::string cmykFolder;  // where that profile's siblings for other limits are kept
};

std::mutex gMutex;
ProfilePair gPair;
bool gHavePair = false;

bool readProfile(const char* path, Bytes* bytes) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return false;
  std::uint64_t size = 0;
  bool ok = platform::fileSize(file, &size) && size > 0 && size <= kMaxProfileBytes;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(size));
    ok = platform::readFile(file, bytes->data(), bytes->size()) == static_cast<std::int64_t>(size);
  }
  platform::closeFile(file);
  return ok;
}

// A profile opened from kept bytes, closed with its holder.
class Profile {
 public:
  explicit Profile(const Bytes& bytes)
      : handle_(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()))) {}
  ~Profile() {
    if (handle_) cmsCloseProfile(handle_);
  }
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;
  cmsHPROFILE get() const { return handle_; }
  bool is(cmsColorSpaceSignature space) const { return handle_ && cmsGetColorSpace(handle_) == space; }

 private:
  cmsHPROFILE handle_;
};

cmsUInt32Number flagsFor(int intent) {
  cmsUInt32Number flags = cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE;
  if (intent != kAbsoluteColorimetric && intent != kRelativeColorimetric) flags |= cmsFLAGS_BLACKPOINTCOMPENSATION;
  return flags;
}

// The press profile for a paper's total ink: from this process's memory,
// else from its file beside the default profile, else made (and that file
// written, where the folder can be).
std::mutex gPaperMutex;
std::map<int, Bytes> gPaperProfiles;

bool readPaperProfile(const std::string& path, int percent, Bytes* bytes) {
  return readProfile(path.c_str(), bytes) && icc::profileTotalInk(bytes->data(), bytes->size()) == percent;
}

Bytes paperProfile(const std::string& folder, int percent) {
  std::lock_guard<std::mutex> lock(gPaperMutex);
  const auto found = gPaperProfiles.find(percent);
  if (found != gPaperProfiles.end()) return found->second;
  char name[64], path[platform::kMaxPath];
  Bytes bytes;
  const bool named =
      icc::paperProfileName(name, sizeof name, percent) && platform::joinPath(path, sizeof path, folder.c_str(), name);
  if (!named || !readPaperProfile(path, percent, &bytes)) {
    bytes = icc::cmykOutputProfile(percent);
    if (named && !bytes.empty()) platform::saveFileAtomically(path, bytes.data(), bytes.size());
  }
  if (!bytes.empty()) gPaperProfiles.emplace(percent, bytes);
  return bytes;
}

cmsHTRANSFORM transformFor(const Profile& input, const Profile& output, int inputs, int intent) {
  return cmsCreateTransform(input.get(), inputs == 3 ? TYPE_RGB_16 : TYPE_CMYK_16, output.get(), TYPE_CMYK_16,
                            static_cast<cmsUInt32Number>(intent), flagsFor(intent));
}

// Both transforms a print can ask for must build: a pair is refused at
// set-up, not in the middle of a print.
bool pairWorks(const ProfilePair& pair) {
  const Profile rgb(pair.rgb), cmyk(pair.cmyk);
  if (!rgb.is(cmsSigRgbData) || !cmyk.is(cmsSigCmykData)) return false;
  for (int inputs : {3, 4}) {
    cmsHTRANSFORM t = transformFor(inputs == 3 ? rgb : cmyk, cmyk, inputs, pair.intent);
    if (!t) return false;
    cmsDeleteTransform(t);
  }
  return true;
}

// LittleCMS reports its errors through a handler; ours stays silent, as the
// results already say what failed.
void quietErrors(cmsContext, cmsUInt32Number, const char*) {}

void installQuietErrors() {
  static std::once_flag once;
  std::call_once(once, [] { cmsSetLogErrorHandler(quietErrors); });
}

// A node index on the grid to the 16-bit encoding: node i stands for the
// 8-bit input i * 255 / 16, and 8-bit v is v * 257 in 16 bits.
cmsUInt16Number nodeValue(int index) {
  return static_cast<cmsUInt16Number>((index * 65535 + (kGridPoints - 1) / 2) / (kGridPoints - 1));
}

int32_t toScale(cmsUInt16Number v) {
  return static_cast<int32_t>((std::uint32_t{v} * kFullScale + 32767) / 65535);
}

}  // namespace

int paperTotalInk(int32_t inkLimit) {
  return inkLimit <= 0 ? kDocumentInkLimit : inkLimit;
}

int fillGridFromProfiles(int inputs, int32_t inkLimit, int32_t* grid) {
  ProfilePair pair;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gHavePair) return 0;
    pair = gPair;
  }
  installQuietErrors();
  // CMYK input is described by the pair's own CMYK profile; the output is
  // the paper's.
  Bytes output = pair.cmyk;
  const int percent = paperTotalInk(inkLimit);
  if (pair.cmykTotalInk != 0 && percent < pair.cmykTotalInk) {
    output = paperProfile(pair.cmykFolder, percent);
    if (output.empty()) return -1;
  }
  const Profile rgb(pair.rgb), cmyk(pair.cmyk), paper(output);
  cmsHTRANSFORM t = transformFor(inputs == 3 ? rgb : cmyk, paper, inputs, pair.intent);
  if (!t) return -1;
  int nodes = 1;
  for (int c = 0; c < inputs; ++c) nodes *= kGridPoints;
  std::vector<cmsUInt16Number> in(static_cast<std::size_t>(nodes) * inputs);
  std::vector<cmsUInt16Number> out(static_cast<std::size_t>(nodes) * 4);
  for (int n = 0; n < nodes; ++n) {
    int rest = n;
    for (int c = inputs - 1; c >= 0; --c) {
      in[static_cast<std::size_t>(n) * inputs + c] = nodeValue(rest % kGridPoints);
      rest /= kGridPoints;
    }
  }
  cmsDoTransform(t, in.data(), out.data(), static_cast<cmsUInt32Number>(nodes));
  cmsDeleteTransform(t);
  for (std::size_t i = 0; i < out.size(); ++i) grid[i] = toScale(out[i]);
  return 1;
}

}  // namespace device

JDEVICE_API int jColorCmsSetProfiles(const char* rgbPath, const char* cmykPath, int intent) {
  using namespace device;
  const bool noRgb = !rgbPath || !rgbPath[0], noCmyk = !cmykPath || !cmykPath[0];
  if (noRgb && noCmyk) {
    std::lock_guard<std::mutex> lock(gMutex);
    gPair = ProfilePair{};
    gHavePair = false;
    return 1;
  }
  if (noRgb || noCmyk || intent < 0 || intent > kAbsoluteColorimetric) return 0;
  installQuietErrors();
  ProfilePair pair;
  pair.intent = intent;
  if (!readProfile(rgbPath, &pair.rgb) || !readProfile(cmykPath, &pair.cmyk) || !pairWorks(pair)) return 0;
  pair.cmykTotalInk = icc::profileTotalInk(pair.cmyk.data(), pair.cmyk.size());
  char folder[platform::kMaxPath];
  if (platform::folderPart(cmykPath, folder, sizeof folder)) pair.cmykFolder = folder;
  std::lock_guard<std::mutex> lock(gMutex);
  gPair = std::move(pair);
  gHavePair = true;
  return 1;
}
