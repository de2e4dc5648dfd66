#include "driver/raster/packbits.h"
#include "packbits_reference.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes pack(const Bytes& row) {
  Bytes out(row.size() * 2 + 2);
  out.resize(static_cast<size_t>(rx3::packRow(row.data(), 1, static_cast<int>(row.size()), out.data())));
  return out;
}

// Strict unpacking: false on a header 80 or a packet running past the end.
bool unpack(const Bytes& packed, Bytes* row) {
  row->clear();
  size_t i = 0;
  while (i < packed.size()) {
    const uint8_t h = packed[i++];
    if (h == 0x80) return false;
    if (h < 0x80) {
      if (i + h + 1 > packed.size()) return false;
      row->insert(row->end(), packed.begin() + static_cast<long>(i), packed.begin() + static_cast<long>(i + h + 1));
      i += h + 1;
    } else {
      if (i >= packed.size()) return false;
      row->insert(row->end(), 257 - h, packed[i++]);
    }
  }
  return true;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes counting(int n, int from = 1) {
  Bytes b;
  for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(from + i));
  return b;
}

TEST(PackBits, GoldenPackets) {
  struct Case {
    const char* what;
    Bytes row, packed;
  } cases[] = {
      {"single byte", {0x5A}, {0x00, 0x5A}},
      {"two zeros", Bytes(2, 0), {0xFF, 0x00}},
      {"64 zeros", Bytes(64, 0), {0xC1, 0x00}},
      {"128 zeros", Bytes(128, 0), {0x81, 0x00}},
      {"129 equal bytes", Bytes(129, 0xAA), {0x81, 0xAA, 0x00, 0xAA}},
      {"130 equal bytes", Bytes(130, 0xAA), {0x81, 0xAA, 0xFF, 0xAA}},
      {"literal then three equal", {1, 2, 3, 3, 3}, {0x01, 1, 2, 0xFE, 3}},
      {"single then pair", {7, 9, 9}, {0x00, 7, 0xFF, 9}},
      {"run then literal", {4, 4, 4, 5, 6}, {0xFE, 4, 0x01, 5, 6}},
      {"literal ends the row", {1, 2, 3}, {0x02, 1, 2, 3}},
      {"run ends after single", {1, 1, 2}, {0xFF, 1, 0x00, 2}},
      {"128 distinct", counting(128), concat({{0x7F}, counting(128)})},
      {"129 distinct", counting(129), concat({{0x7F}, counting(128), {0x00, 129}})},
      {"full literal meets a pair", concat({counting(128), {128}}), concat({{0x7E}, counting(127), {0xFF, 128}})},
  };
  for (const Case& c : cases) EXPECT_EQ(c.packed, pack(c.row)) << c.what;
}

TEST(PackBits, AlternatingRowOf128GrowsByOne) {
  Bytes row;
  for (int i = 0; i < 128; ++i) row.push_back(i % 2 ? 0x55 : 0xAA);
  const Bytes packed = pack(row);
  ASSERT_EQ(129u, packed.size());
  EXPECT_EQ(0x7F, packed[0]);
}

TEST(PackBits, ReadsEveryStrideByte) {
  const uint8_t interleaved[] = {1, 9, 1, 9, 2, 9, 3, 9};
  uint8_t out[8];
  ASSERT_EQ(5, rx3::packRow(interleaved, 2, 4, out));
  EXPECT_EQ(Bytes({0xFF, 1, 0x01, 2, 3}), Bytes(out, out + 5));
  EXPECT_EQ(0, rx3::packRow(interleaved, 2, 0, out));
}

TEST(PackBits, RandomRowsRoundTripWithinTheWorstCase) {
  std::mt19937 rng(42);
  for (int trial = 0; trial < 3000; ++trial) {
    const int length = 1 + static_cast<int>(rng() % 700);
    const int alphabet = 1 + static_cast<int>(rng() % 4);
    Bytes row;
    while (static_cast<int>(row.size()) < length) {
      const uint8_t byte = static_cast<uint8_t>(rng() % alphabet);
      const int run = rng() % 3 == 0 ? 1 + static_cast<int>(rng() % 200) : 1;
      for (int i = 0; i < run && static_cast<int>(row.size()) < length; ++i) row.push_back(byte);
    }
    const Bytes packed = pack(row);
    Bytes back;
    ASSERT_TRUE(unpack(packed, &back)) << "trial " << trial;
    ASSERT_EQ(row, back) << "trial " << trial;
    ASSERT_LE(static_cast<int>(packed.size()), rx3::maxPackedLength(length)) << "trial " << trial;
  }
}

TEST(PackBits, SamePacketsAsThePlainStateMachine) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 4000; ++trial) {
    const int length = static_cast<int>(rng() % 400);
    const int stride = 1 + static_cast<int>(rng() % 8);
    const int alphabet = trial % 4 == 0 ? 256 : 1 + static_cast<int>(rng() % 3);  // long literals too
    Bytes row(static_cast<size_t>(length) * stride + 1, 0xEE);
    for (int k = 0; k < length;) {
      const uint8_t byte = static_cast<uint8_t>(rng() % alphabet);
      const int run = rng() % 4 == 0 ? 1 + static_cast<int>(rng() % 300) : 1;
      for (int i = 0; i < run && k < length; ++i, ++k) row[static_cast<size_t>(k) * stride] = byte;
    }
    Bytes fast(static_cast<size_t>(length) * 2 + 2), plain(static_cast<size_t>(length) * 2 + 2);
    const int n = rx3::packRow(row.data(), stride, length, fast.data());
    ASSERT_EQ(raster_test::referencePackRow(row.data(), stride, length, plain.data()), n) << "trial " << trial;
    ASSERT_EQ(Bytes(plain.begin(), plain.begin() + n), Bytes(fast.begin(), fast.begin() + n)) << "trial " << trial;
  }
}

TEST(PackBits, WorstCaseIsReached) {
  // "a b b" repeated: a one-byte literal and a run of two, 4 bytes per 3.
  Bytes row;
  for (int i = 0; i < 300; ++i) row.insert(row.end(), {1, 2, 2});
  row.push_back(1);
  EXPECT_EQ(rx3::maxPackedLength(static_cast<int>(row.size())) - 1, static_cast<int>(pack(row).size()));
}

TEST(PackBits, PadPacketsUnpackToTheExcess) {
  struct Case {
    int excess;
    Bytes pads;
  } cases[] = {
      {1, {0x00, 0x00}},
      {2, {0xFF, 0x00}},
      {126, {0x83, 0x00}},
      {127, {0x83, 0x00, 0x00, 0x00}},
      {300, {0x83, 0x00, 0x83, 0x00, 0xD1, 0x00}},
  };
  for (const Case& c : cases) {
    Bytes pads;
    for (int p = c.excess; p > 0;) {
      uint8_t packet[2];
      p -= rx3::padPacket(p, packet);
      pads.insert(pads.end(), packet, packet + 2);
    }
    EXPECT_EQ(c.pads, pads) << c.excess;
    Bytes zeros;
    ASSERT_TRUE(unpack(pads, &zeros));
    EXPECT_EQ(Bytes(static_cast<size_t>(c.excess), 0), zeros);
  }
}

}  // namespace
