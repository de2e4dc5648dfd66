// Which rows the caller keeps: rows cheap to make stay alone, dear ones go to
// the pipeline, and rows kept alone for long are tried in the pipeline now
// and then, because the looks of rows made alone miss the separation.
#include <gtest/gtest.h>

#include <cstdint>

#include "driver/raster/pipeline_choice.h"

namespace rx3 {
namespace {

// Rows made alone in looks of 64 rows at this share of their work, until
// the choice hands over or the rows run out: how many rows were kept.
int32_t keepAlone(HandOverChoice& choice, double share, int32_t most) {
  for (int32_t rows = 64; rows <= most; rows += 64)
    if (choice.madeAlone(64, static_cast<int64_t>(share * 1000), 1000)) return rows;
  return most;
}

TEST(HandOverChoice, RowsCheapAloneAreTriedInThePipelineAndStayThereOnlyWhereTheWholeMakingIsDear) {
  struct Case {
    const char* what;
    double aloneShare;   // render and conversion of a row's work, made alone
    double handedShare;  // the whole making, separation included, in the pipeline
    int32_t firstTry;    // rows kept before the first hand-over
    bool stays;          // handing over after the try
    int32_t secondTry;   // rows kept before the next try (when it does not stay)
  } const cases[] = {
      {"a photograph: dear alone", 0.34, 0.60, 192, true, 0},
      {"an enlarged photograph: cheap alone, dear with its separation", 0.16, 0.47, 1024, true, 0},
      {"flat colour: cheap either way, tried again later and later", 0.14, 0.30, 1024, false, 2048},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HandOverChoice choice;
    EXPECT_FALSE(choice.handsOver()) << "rows start on the caller";
    EXPECT_EQ(keepAlone(choice, c.aloneShare, 100000), c.firstTry);
    EXPECT_TRUE(choice.handsOver());
    choice.handedOver(c.handedShare);
    EXPECT_EQ(choice.handsOver(), c.stays);
    if (!c.stays) {
      EXPECT_EQ(keepAlone(choice, c.aloneShare, 100000), c.secondTry);
      choice.handedOver(c.handedShare);
      EXPECT_EQ(keepAlone(choice, c.aloneShare, 100000), 2 * c.secondTry) << "doubling again";
    }
  }
}

}  // namespace
}  // namespace rx3
