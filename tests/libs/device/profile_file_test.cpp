#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Device.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::readByteVector;
using testing_support::writeBytes;

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      jColorProfileInit(&saved[i]);
      std::snprintf(saved[i].name, sizeof saved[i].name, "用紙%d (1440x720)", i);
      std::snprintf(saved[i].colorFile1, sizeof saved[i].colorFile1, "P%d.ct1", i);
      saved[i].fixed = i == 0;
      saved[i].colorMode = i == 2 ? 254 : 0;
      saved[i].drawOption = i;
      saved[i].inkLimit = 150 + i;
      saved[i].reserved1[10] = static_cast<char>(0x80 + i);
    }
    std::strcpy(saved[1].conversionFunction, "RgbToCmykFunc16");
    ASSERT_EQ(1, jColorSaveProfiles(path.c_str(), saved, 3));
    bytes = readByteVector(path);
  }

  int load(int max = J_MAX_PROFILES) {
    for (ColorProfile& p : loaded) std::memset(&p, 0x77, sizeof p);
    return jColorLoadProfiles(path.c_str(), loaded, max);
  }

  testing_support::ScratchFolder folder{"h4cpf"};
  std::string path = folder.join("RX3.cpf0");
  ColorProfile saved[3];
  ColorProfile loaded[J_MAX_PROFILES];
  std::vector<unsigned char> bytes;
};

TEST_F(ProfileFile, RoundTripKeepsEveryByteOfEveryProfile) {
  ASSERT_EQ(20u + 3 * 1176 + 4, bytes.size());
  EXPECT_EQ(0, std::memcmp(bytes.data(), "VLXCPF\x1A", 8));
  ASSERT_EQ(3, load());
  EXPECT_EQ(0, std::memcmp(saved, loaded, sizeof saved));
  EXPECT_EQ(2, load(2)) << "no more than the caller has room for";
}

TEST_F(ProfileFile, EmptyListIsAValidFile) {
  ASSERT_EQ(1, jColorSaveProfiles(path.c_str(), nullptr, 0));
  EXPECT_EQ(0, load());
  EXPECT_EQ(24u, readByteVector(path).size());
}

TEST_F(ProfileFile, DamagedFilesReadAsNoProfiles) {
  struct Damage {
    const char* what;
    std::size_t at;  // byte to flip, or the size to cut to when cut
    bool cut;
  } damages[] = {
      {"magic", 0, false},         {"version", 8, false},       {"count", 12, false},
      {"entry size", 16, false},   {"profile text", 30, false}, {"checksum", 3551, false},
      {"no checksum", 3548, true}, {"half a header", 10, true}, {"empty", 0, true},
  };
  for (const Damage& d : damages) {
    std::vector<unsigned char> b = bytes;
    if (d.cut)
      b.resize(d.at);
    else
      b[d.at] ^= 0x01;
    ASSERT_TRUE(writeBytes(path, b.data(), b.size()));
    EXPECT_EQ(0, load()) << d.what;
  }
  std::vector<unsigned char> longer = bytes;
  longer.push_back(0);
  ASSERT_TRUE(writeBytes(path, longer.data(), longer.size()));
  EXPECT_EQ(0, load()) << "trailing bytes";
  ASSERT_TRUE(testing_support::writeBytes(path, "RX3 paper list\r\n"));
  EXPECT_EQ(0, load()) << "foreign file";
  EXPECT_EQ(0, jColorLoadProfiles(folder.join("missing").c_str(), loaded, J_MAX_PROFILES));
}

TEST_F(ProfileFile, SaveRefusesCountsOutsideTheList) {
  ColorProfile many[J_MAX_PROFILES + 1] = {};
  EXPECT_EQ(0, jColorSaveProfiles(path.c_str(), many, J_MAX_PROFILES + 1));
  EXPECT_EQ(0, jColorSaveProfiles(path.c_str(), many, -1));
  EXPECT_EQ(bytes, readByteVector(path)) << "a refused save leaves the file alone";
  EXPECT_EQ(1, jColorSaveProfiles(path.c_str(), many, J_MAX_PROFILES));
  EXPECT_EQ(J_MAX_PROFILES, load());
}

TEST_F(ProfileFile, UnterminatedTextsReadBackTerminated) {
  std::memset(saved[0].name, 'n', sizeof saved[0].name);
  std::memset(saved[0].conversionFunction, 'f', sizeof saved[0].conversionFunction);
  ASSERT_EQ(1, jColorSaveProfiles(path.c_str(), saved, 1));
  ASSERT_EQ(1, load());
  EXPECT_EQ(63u, std::strlen(loaded[0].name));
  EXPECT_EQ(63u, std::strlen(loaded[0].conversionFunction));
}

TEST(RenderContext, SetupStoresTheResolution) {
  jGdc context{};
  EXPECT_EQ(1, jGdcSetup(&context, 28.5f, 720.0f));
  EXPECT_EQ(28.5f, context.dotsPerUnitX);
  EXPECT_EQ(720.0f, context.dotsPerUnitY);
  EXPECT_EQ(0, jGdcSetup(nullptr, 1.0f, 1.0f));
}

}  // namespace
