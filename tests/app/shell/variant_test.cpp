#include "app/shell/variant.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/shell/app_defaults.h"

namespace vlx {
namespace {

struct Expected {
  const char* keyword;
  int number;
  int captionId;
  int versionId;
  const char* className;
  const char* iconName;
  int autoPrint;
};

constexpr Expected kExpected[] = {
    {"Quaddle", kQuaddle, 3, 1, "VLXS3", "IDI_APP", 0},
    {"Tagwright", kTagwright, 6, 5, "VELLOX_TGW", "IDI_APP_BNF", 1},
    {"Mervale", kMervale, 4, 2, "VLXS3", "IDI_APP", 0},
    {"Bannerforge", kBannerforge, 7, 8, "VELLOX_BNF", "IDI_APP_BNF", 1},
};

TEST(Variant, EachKeywordChoosesItsRecord) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.keyword);
    const Variant& v = variantRecord(variantOf(e.keyword));
    EXPECT_EQ(v.number, e.number);
    EXPECT_EQ(v.captionId, e.captionId);
    EXPECT_EQ(v.versionId, e.versionId);
    EXPECT_STREQ(v.className, e.className);
    EXPECT_STREQ(v.iconName, e.iconName);
    EXPECT_EQ(v.autoPrint, e.autoPrint);
  }
}

TEST(Variant, OnlyBannerforgeRemovesTheDeviceMenuAndOnlyMervaleRegistersAFileType) {
  for (int n = 0; n < kVariantCount; ++n) {
    EXPECT_EQ(variantRecord(n).removesDeviceMenu, n == kBannerforge) << n;
    EXPECT_EQ(variantRecord(n).registersFileType, n == kMervale) << n;
  }
}

TEST(Variant, KeywordMatchesAsPrefixOfTheHostText) {
  EXPECT_EQ(variantOf("Tagwright 5.0"), kTagwright);
  EXPECT_EQ(variantOf("BannerforgePro"), kBannerforge);
  EXPECT_EQ(variantOf("Mervale\r\n"), kMervale);
}

TEST(Variant, AnythingElseIsQuaddle) {
  EXPECT_EQ(variantOf(""), kQuaddle);
  EXPECT_EQ(variantOf(nullptr), kQuaddle);
  EXPECT_EQ(variantOf("tagwright"), kQuaddle);  // case-sensitive
  EXPECT_EQ(variantOf("Tag"), kQuaddle);        // shorter than the keyword
  EXPECT_EQ(variantOf(" Mervale"), kQuaddle);
  EXPECT_EQ(variantOf("ﾀｸﾞﾗｲﾄ"), kQuaddle);
}

TEST(Variant, OutOfRangeNumberGivesQuaddle) {
  EXPECT_EQ(variantRecord(-1).number, kQuaddle);
  EXPECT_EQ(variantRecord(kVariantCount).number, kQuaddle);
}

TEST(AppDefaults, FirstStartValues) {
  AppState state;
  std::memset(&state, 0x5A, sizeof state);  // stale values must not survive
  setDefaults(&state, variantRecord(kQuaddle));
  EXPECT_EQ(state.autoPrint, 0);
  EXPECT_EQ(state.preview, 1);
  EXPECT_EQ(state.holdJobs, 20);
  EXPECT_EQ(state.intent, -1);
  EXPECT_STREQ(state.printerName, "");
  EXPECT_STREQ(state.rgbProfile, "");
  EXPECT_STREQ(state.cmykProfile, "");
  EXPECT_STREQ(state.environmentPath, "");
  const int32_t widths[kColumnCount] = {120, 150, 60, 115, 60, 120, 150};
  for (int list = 0; list < 2; ++list) {
    for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(state.columnWidths[list][c], widths[c]) << list << c;
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(state.mainRect[i], 0);
    EXPECT_EQ(state.listRect[i], 0);
  }
  EXPECT_EQ(state.mainWindow, nullptr);
  EXPECT_EQ(state.lists[0], nullptr);
  EXPECT_EQ(state.lists[1], nullptr);
  EXPECT_EQ(state.document, 0);
  EXPECT_EQ(state.previewBuffer, nullptr);
}

TEST(AppDefaults, AutoPrintFollowsTheVariant) {
  AppState state;
  for (int n = 0; n < kVariantCount; ++n) {
    setDefaults(&state, variantRecord(n));
    EXPECT_EQ(state.autoPrint, (n == kTagwright || n == kBannerforge) ? 1 : 0) << n;
  }
}

}  // namespace
}  // namespace vlx
