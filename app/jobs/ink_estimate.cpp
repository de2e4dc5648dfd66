#include "app/jobs/ink_estimate.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/path.h"

namespace vlx {
namespace {

constexpr int64_t kPicolitresPerMl = 1000000000;
constexpr int64_t kMaxCorrection = 100000;  // percent; keeps the products within 64 bits

int64_t corrected(uint64_t picolitres, int32_t correctionPercent) {
  const int64_t rate = correctionPercent < 0                ? 0
                       : correctionPercent > kMaxCorrection ? kMaxCorrection
                                                            : correctionPercent;
  const uint64_t limit = static_cast<uint64_t>(INT64_MAX) / (kMaxCorrection + 1);
  const uint64_t volume = picolitres > limit ? limit : picolitres;
  return static_cast<int64_t>(volume) * rate / 100;
}

int64_t capacityOf(const InkEntry& account) {
  return account.capacityMl > 0 ? static_cast<int64_t>(account.capacityMl) * kPicolitresPerMl : 0;
}

void inkName(const InkEntry& account, char* out, std::size_t capacity) {
  char name[sizeof account.name + 1] = {};
  std::memcpy(name, account.name, sizeof account.name);
  platform::copyTruncated(out, capacity, name);
}

// Appends text; false (nothing appended) when it does not fit.
bool append(char* out, std::size_t capacity, std::size_t* used, const char* text) {
  const std::size_t length = std::strlen(text);
  if (*used + length + 1 > capacity) return false;
  std::memcpy(out + *used, text, length + 1);
  *used += length;
  return true;
}

}  // namespace

InkOutlook inkOutlook(const InkEntry& account, uint64_t jobPicolitres) {
  InkOutlook o{};
  o.jobPicolitres = corrected(jobPicolitres, account.correctionPercent);
  const int64_t used =
      account.totalUsed > 0 ? corrected(static_cast<uint64_t>(account.totalUsed), account.correctionPercent) : 0;
  const int64_t capacity = capacityOf(account);
  o.remainingPicolitres = capacity > used ? capacity - used : 0;
  o.jobMl = static_cast<double>(o.jobPicolitres) / kPicolitresPerMl;
  if (o.jobPicolitres == 0) return o;
  o.sharePercent = o.remainingPicolitres > 0
                       ? 100.0 * static_cast<double>(o.jobPicolitres) / static_cast<double>(o.remainingPicolitres)
                       : 100.0;
  const int32_t warning = account.warningPercent < 0 ? 0 : account.warningPercent > 100 ? 100 : account.warningPercent;
  const int64_t threshold = capacity / 100 * warning;
  const int64_t after = o.remainingPicolitres - o.jobPicolitres;
  o.level = after < 0 ? InkLevel::kPastRemaining : after < threshold ? InkLevel::kBelowWarning : InkLevel::kEnough;
  return o;
}

InkLevel worstInkLevel(const InkEstimate& estimate) {
  InkLevel worst = InkLevel::kEnough;
  for (int i = 0; i < kEstimateInks; ++i) {
    const InkLevel level = inkOutlook(estimate.account[i], estimate.picolitres[i]).level;
    if (level > worst) worst = level;
  }
  return worst;
}

bool formatInkEstimate(const InkEstimate& estimate, char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  std::size_t used = 0;
  bool any = false;
  for (int i = 0; i < kEstimateInks; ++i) {
    const InkOutlook o = inkOutlook(estimate.account[i], estimate.picolitres[i]);
    if (o.jobPicolitres == 0) continue;
    char name[32];
    inkName(estimate.account[i], name, sizeof name);
    char line[96];
    if (o.level == InkLevel::kPastRemaining)
      std::snprintf(line, sizeof line, "%s%-3s %9.3f ml  残量不足", any ? "\r\n" : "", name, o.jobMl);
    else
      std::snprintf(line, sizeof line, "%s%-3s %9.3f ml  残量の %.1f%%%s", any ? "\r\n" : "", name, o.jobMl,
                    o.sharePercent, o.level == InkLevel::kBelowWarning ? " (警告)" : "");
    if (!append(out, capacity, &used, line)) return false;
    any = true;
  }
  return any || append(out, capacity, &used, "ｲﾝｸを使用しません");
}

void inkNamesAtLevel(const InkEstimate& estimate, InkLevel level, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  std::size_t used = 0;
  for (int i = 0; i < kEstimateInks; ++i) {
    if (inkOutlook(estimate.account[i], estimate.picolitres[i]).level < level) continue;
    char name[32];
    inkName(estimate.account[i], name, sizeof name);
    if ((used && !append(out, capacity, &used, ", ")) || !append(out, capacity, &used, name)) return;
  }
}

void inkWarningQuestion(const InkEstimate& estimate, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  char names[160];
  const InkLevel worst = worstInkLevel(estimate);
  if (worst == InkLevel::kEnough) return;
  inkNamesAtLevel(estimate, InkLevel::kBelowWarning, names, sizeof names);
  std::snprintf(out, capacity, "%s\r\n(%s)\r\n\r\n印刷を続けますか？",
                worst == InkLevel::kPastRemaining ? "このｼﾞｮﾌﾞを印刷するとｲﾝｸ残量が不足します。"
                                                  : "このｼﾞｮﾌﾞを印刷するとｲﾝｸ残量が警告値を下回ります。",
                names);
}

void inkWarningStatus(const InkEstimate& estimate, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  const InkLevel worst = worstInkLevel(estimate);
  if (worst == InkLevel::kEnough) return;
  char names[160];
  inkNamesAtLevel(estimate, InkLevel::kBelowWarning, names, sizeof names);
  std::snprintf(out, capacity, "%s: %s", worst == InkLevel::kPastRemaining ? "ｲﾝｸ残量不足" : "ｲﾝｸ残量警告", names);
}

}  // namespace vlx
