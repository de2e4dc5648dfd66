// Proof ports: the stream reaches the caller's function, and a port once
// closed (or never opened) takes no channel.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SPOOL.h"
#include "open_block.h"

namespace {

using spool_test::blockFor;

int append(void* user, const void* data, int length) {
  static_cast<std::string*>(user)->append(static_cast<const char*>(data), static_cast<std::size_t>(length));
  return 1;
}
int refuse(void*, const void*, int) {
  return 0;
}

TEST(ProofPort, TheStreamReachesTheFunctionInOrder) {
  std::string got;
  char port[32];
  ASSERT_EQ(jSplProofOpen(append, &got, port, sizeof port), 1);
  const jSplOpenBlock block = blockFor(port);
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(spool, nullptr);
  EXPECT_EQ(jSplDropsBytes(spool), 0);
  EXPECT_EQ(jSplWrite_s(spool, "ab"), 1);
  EXPECT_EQ(jSplWritePrinter(spool), 1);
  EXPECT_EQ(jSplWrite_c(spool, 'c'), 1);
  EXPECT_EQ(jSplEnd(spool), 1);
  EXPECT_EQ(jSplClose(spool), 1);
  EXPECT_EQ(got, "abc");
  EXPECT_EQ(jSplProofClose(port), 1);
  EXPECT_EQ(jSplProofClose(port), 0);
}

// Without a receiver the port takes everything and keeps nothing, and says
// so to the writer.
TEST(ProofPort, APortWithoutAReceiverDropsTheStream) {
  char port[32];
  ASSERT_EQ(jSplProofOpen(nullptr, nullptr, port, sizeof port), 1);
  const jSplOpenBlock block = blockFor(port);
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(spool, nullptr);
  EXPECT_EQ(jSplDropsBytes(spool), 1);
  EXPECT_EQ(jSplWrite_s(spool, "ab"), 1);
  EXPECT_EQ(jSplWritePrinter(spool), 1);
  EXPECT_EQ(jSplEnd(spool), 1);
  EXPECT_EQ(jSplClose(spool), 1);
  EXPECT_EQ(jSplDropsBytes(spool), 0) << "a closed channel";
  EXPECT_EQ(jSplProofClose(port), 1);
}

TEST(ProofPort, ARefusingFunctionFailsTheChannel) {
  char port[32];
  ASSERT_EQ(jSplProofOpen(refuse, nullptr, port, sizeof port), 1);
  const jSplOpenBlock block = blockFor(port);
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(spool, nullptr);
  jSplWrite_s(spool, "ab");
  EXPECT_EQ(jSplWritePrinter(spool), 0);
  EXPECT_EQ(jSplGetStatus(spool), 0);
  jSplClose(spool);
  jSplProofClose(port);
}

TEST(ProofPort, OnlyAnOpenPortTakesAChannel) {
  char port[32];
  std::string got;
  ASSERT_EQ(jSplProofOpen(append, &got, port, sizeof port), 1);
  ASSERT_EQ(jSplProofClose(port), 1);
  for (const char* text : {static_cast<const char*>(port), "PROOF:999999", "PROOF:"}) {
    const jSplOpenBlock block = blockFor(text);
    EXPECT_EQ(jSplOpen(&block), nullptr) << text;
  }
  EXPECT_EQ(jSplProofOpen(append, &got, port, 8), 0) << "too small for the port text";
}

}  // namespace
