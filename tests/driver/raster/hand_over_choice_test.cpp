// Which rows the caller keeps: rows cheap to make stay alone, dear ones go to
// the pipeline as a try, and a try stays only where the pipeline also
// brought the caller's pace up; tries that did not pay put the next off.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "driver/raster/pipeline_choice.h"

namespace rx3 {
namespace {

constexpr double kAloneWallPerRow = 0.001;

// Rows made alone in looks of 64 rows at this share of their work, until
// the choice hands over or the rows run out: how many rows were kept.
int32_t keepAlone(HandOverChoice& choice, double share, int32_t most) {
  for (int32_t rows = 64; rows <= most; rows += 64)
    if (choice.madeAlone(64, static_cast<int64_t>(share * 1000), 1000, 64 * kAloneWallPerRow)) return rows;
  return most;
}

TEST(HandOverChoice, DearRowsAreTriedInThePipelineAndStayWhereThePaceGains) {
  constexpr int32_t kNever = 100000;
  struct Case {
    const char* what;
    double aloneShare;   // render, conversion and separation of a row's work, made alone
    double handedShare;  // the same in the pipeline
    double pace;         // the caller's wall time per row in the pipeline, of its time alone
    int32_t firstTry;    // rows kept before the first hand-over
    bool stays;          // handing over after the try
    int32_t secondTry;   // rows kept before the next try (when it does not stay)
  } const cases[] = {
      {"a photograph", 0.58, 0.60, 0.6, 192, true, 0},
      {"an enlarged photograph: its separation is the dear part", 0.45, 0.47, 0.5, 192, true, 0},
      {"flat colour: never handed over", 0.30, 0.30, 0.9, kNever, false, kNever},
      {"flat colour under load: looks dear, but two threads get no more time than one", 0.37, 0.40, 1.1, 192, false,
       384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HandOverChoice choice;
    EXPECT_FALSE(choice.handsOver()) << "rows start on the caller";
    EXPECT_EQ(keepAlone(choice, c.aloneShare, kNever), c.firstTry);
    if (c.firstTry == kNever) continue;
    EXPECT_TRUE(choice.handsOver());
    EXPECT_LT(choice.pipelinedRows(), 1024) << "a try takes a few strips, not a band";
    choice.handedOver(c.handedShare, c.pace * kAloneWallPerRow);
    EXPECT_EQ(choice.handsOver(), c.stays);
    if (c.stays) {
      EXPECT_EQ(choice.pipelinedRows(), INT32_MAX) << "once it pays, the whole band";
      continue;
    }
    EXPECT_EQ(keepAlone(choice, c.aloneShare, kNever), c.secondTry);
    choice.handedOver(c.handedShare, c.pace * kAloneWallPerRow);
    EXPECT_EQ(keepAlone(choice, c.aloneShare, kNever), 2 * c.secondTry) << "put off twice as long again";
  }
}

}  // namespace
}  // namespace rx3
