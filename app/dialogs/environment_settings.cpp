#include "app/dialogs/environment_settings.h"

#include <cstdio>
#include <cstring>

#include "platform/path.h"

namespace vlx {
namespace {

constexpr const char* kIntentNames[] = {"視覚的", "相対的色彩", "彩度", "絶対的色彩"};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

EnvironmentCopy environmentCopyOf(const AppState& state) {
  EnvironmentCopy copy{};
  copy.autoPrint = state.autoPrint;
  copy.holdJobs = state.holdJobs;
  platform::copyTruncated(copy.profiles.rgbPath, sizeof copy.profiles.rgbPath, state.rgbProfile);
  platform::copyTruncated(copy.profiles.cmykPath, sizeof copy.profiles.cmykPath, state.cmykProfile);
  copy.profiles.intent = state.intent;
  return copy;
}

void applyEnvironmentCopy(AppState* state, EnvironmentCopy copy) {
  if (!state) return;
  jProfileBlock& p = copy.profiles;
  if (!jCol2SetupProfile(p.rgbPath, p.cmykPath, p.intent)) p.rgbPath[0] = p.cmykPath[0] = '\0';
  state->autoPrint = copy.autoPrint;
  state->holdJobs = copy.holdJobs;
  platform::copyTruncated(state->rgbProfile, sizeof state->rgbProfile, p.rgbPath);
  platform::copyTruncated(state->cmykProfile, sizeof state->cmykProfile, p.cmykPath);
  state->intent = p.intent;
}

int32_t holdJobsFromText(const char* text) {
  if (!text) return kHoldJobsMin;
  int i = 0;
  while (i < kHoldJobsTextLimit && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < kHoldJobsTextLimit && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int32_t value = 0;  // four characters cannot overflow
  for (; i < kHoldJobsTextLimit && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  if (negative) value = -value;
  if (value < kHoldJobsMin) return kHoldJobsMin;
  if (value > kHoldJobsMax) return kHoldJobsMax;
  return value;
}

int32_t holdJobsAfterEdit(const char* text, int32_t stored) {
  char shown[16];
  std::snprintf(shown, sizeof shown, "%d", static_cast<int>(stored));
  if (text && std::strcmp(text, shown) == 0) return stored;
  return holdJobsFromText(text);
}

int printedJobsToDelete(int32_t oldHoldJobs, int32_t newHoldJobs, int printedJobs) {
  if (newHoldJobs < 0 || printedJobs <= newHoldJobs) return 0;
  const int keptBefore = oldHoldJobs < 0 || oldHoldJobs > printedJobs ? printedJobs : oldHoldJobs;
  return keptBefore > newHoldJobs ? keptBefore - newHoldJobs : 0;
}

void acceptProfileChoice(EnvironmentCopy* copy, const jProfileBlock& chosen) {
  if (!copy) return;
  copy->profiles = chosen;
  jProfileBlock& p = copy->profiles;
  // The block comes from another library: its strings are ended here.
  p.rgbPath[sizeof p.rgbPath - 1] = p.cmykPath[sizeof p.cmykPath - 1] = '\0';
  if (p.rgbPath[0] == '\0' || p.cmykPath[0] == '\0') p.rgbPath[0] = p.cmykPath[0] = '\0';
}

const char* intentName(int32_t intent) {
  if (intent < 0 || intent > 3) return nullptr;
  return kIntentNames[intent];
}

const char* intentLabel(const jProfileBlock& profiles) {
  const char* name = intentName(profiles.intent);
  return profiles.rgbPath[0] != '\0' && name ? name : "";
}

}  // namespace vlx
