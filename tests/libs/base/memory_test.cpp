#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Base.h"

namespace {

TEST(MemoryTest, BlocksAreZeroFilledAndCountedUntilFreed) {
  const int before = jMemCheck();
  unsigned char* block = static_cast<unsigned char*>(jMemAlloc(2196));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 2196; ++i) ASSERT_EQ(block[i], 0) << i;
  void* empty = jMemAlloc(0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(jMemCheck(), before + 2);
  jMemFree(block);
  jMemFree(empty);
  jMemFree(nullptr);  // ignored
  EXPECT_EQ(jMemCheck(), before);
}

TEST(MemoryTest, CountingHoldsAcrossThreads) {
  const int before = jMemCheck();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      std::vector<void*> blocks;
      for (int i = 0; i < 500; ++i) blocks.push_back(jMemAlloc(16));
      for (void* block : blocks) jMemFree(block);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(jMemCheck(), before);
}

}  // namespace
