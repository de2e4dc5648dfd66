#include <gtest/gtest.h>

#include <vector>

#include "Draw.h"

namespace {

jDrawDocParams documentParams() {
  jDrawDocParams p{};
  p.maxObjects = 100000;
  p.maxLayers = 256;
  p.loadFlags = 16;
  p.undoDepth = 3;
  p.scaleX = 1.0f;
  p.scaleY = 1.0f;
  return p;
}

struct DrawLibrary : ::testing::Test {
  void SetUp() override {
    jDrawOpenParams open{1000, {}};
    ASSERT_EQ(jDrawOpen(nullptr, &open), 1);
  }
  void TearDown() override { jDrawClose(); }
  jDrawDocParams params = documentParams();
};

TEST(DrawLibraryClosed, NoDocumentWithoutTheLibrary) {
  jDrawDocParams params = documentParams();
  EXPECT_EQ(jDrawGDBOpen(&params), 0);
  EXPECT_EQ(jDrawClose(), 0) << "nothing to close";
}

TEST(DrawLibraryClosed, OpeningNeedsItsParameterRecord) {
  jDrawOpenParams wrong{999, {}};
  EXPECT_EQ(jDrawOpen(nullptr, nullptr), 0);
  EXPECT_EQ(jDrawOpen(nullptr, &wrong), 0);
  jDrawDocParams params = documentParams();
  EXPECT_EQ(jDrawGDBOpen(&params), 0);
}

TEST_F(DrawLibrary, DocumentsOpenWithDistinctHandlesAndCloseOnce) {
  const int32_t first = jDrawGDBOpen(&params);
  const int32_t second = jDrawGDBOpen(&params);
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(jDrawGDBClose(first), 1);
  EXPECT_EQ(jDrawGDBClose(first), 0) << "already closed";
  EXPECT_EQ(jDrawGDBClose(second), 1);
}

TEST_F(DrawLibrary, UnknownDocumentsAreRefused) {
  EXPECT_EQ(jDrawGDBClose(0), 0);
  EXPECT_EQ(jDrawGDBClose(12345), 0);
  EXPECT_EQ(jDrawGDBClose(-1), 0);
  EXPECT_EQ(jEditDelete(0, -1), 0);
  EXPECT_EQ(jEditDelete(12345, -1), 0);
}

TEST_F(DrawLibrary, NonsenseDocumentParametersGiveNoDocument) {
  EXPECT_EQ(jDrawGDBOpen(nullptr), 0);
  jDrawDocParams noObjects = params;
  noObjects.maxObjects = 0;
  EXPECT_EQ(jDrawGDBOpen(&noObjects), 0);
  jDrawDocParams noLayers = params;
  noLayers.maxLayers = -5;
  EXPECT_EQ(jDrawGDBOpen(&noLayers), 0);
}

TEST_F(DrawLibrary, EmptyingADocumentKeepsItOpen) {
  const int32_t document = jDrawGDBOpen(&params);
  ASSERT_NE(document, 0);
  EXPECT_EQ(jEditDelete(document, -1), 1);
  EXPECT_EQ(jEditDelete(document, -1), 1);
  EXPECT_EQ(jEditDelete(document, 0), 0) << "an empty document has no object 0";
  EXPECT_EQ(jEditDelete(document, -7), 0);
  EXPECT_EQ(jDrawGDBClose(document), 1);
}

TEST_F(DrawLibrary, ClosingTheLibraryClosesItsDocuments) {
  const int32_t document = jDrawGDBOpen(&params);
  ASSERT_NE(document, 0);
  EXPECT_EQ(jDrawClose(), 1);
  EXPECT_EQ(jDrawGDBClose(document), 0);
  jDrawOpenParams open{1000, {}};
  ASSERT_EQ(jDrawOpen(nullptr, &open), 1);
  EXPECT_EQ(jEditDelete(document, -1), 0);
}

TEST_F(DrawLibrary, OpenDocumentsAreLimited) {
  std::vector<int32_t> open;
  for (int i = 0; i < 100; ++i) {
    const int32_t d = jDrawGDBOpen(&params);
    if (d == 0) break;
    open.push_back(d);
  }
  EXPECT_GT(open.size(), 1u);
  EXPECT_LT(open.size(), 100u);
  ASSERT_EQ(jDrawGDBClose(open.back()), 1);
  EXPECT_NE(jDrawGDBOpen(&params), 0) << "a closed document frees its place";
}

TEST(DrawDevices, EachOpenGivesALiveDeviceThatClosesOnce) {
  jDEVICE a = jPdevOpen();
  jDEVICE b = jPdevOpen();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(jPdevClose(a), 1);
  EXPECT_EQ(jPdevClose(a), 0);
  EXPECT_EQ(jPdevClose(b), 1);
}

TEST(DrawDevices, ForeignHandlesAreRefusedNotFollowed) {
  int notADevice = 0;
  EXPECT_EQ(jPdevClose(nullptr), 0);
  EXPECT_EQ(jPdevClose(reinterpret_cast<jDEVICE>(&notADevice)), 0);
}

}  // namespace
