#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "driver/machines/record_codec.h"

namespace {

uint32_t fnv1a(const uint8_t* data, std::size_t size) {
  uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

void fillSample(DeviceRecord* r, MachineState* s) {
  std::memset(r, 0, sizeof *r);
  std::memset(s, 0, sizeof *s);
  r->machineIndex = 4;
  std::strcpy(r->displayName, "LumoraLX2");
  std::strcpy(r->driverPath, "C:\\ﾌﾟﾘﾝﾀ\\表\\RX3.dll");
  r->recordFlag = 1;
  r->xResolution = 1440;
  r->yResolution = 720;
  r->state = s;
  r->spoolMode = 1;
  std::strcpy(r->outputFile, "job.prn");
  s->xResolution = 1440;
  s->yResolution = 720;
  s->bidirectional = -1;
  s->paperCut = 1;
  s->marginMode = 3;
  s->inkSet = 2;
  s->profileIndex = 7;
  std::strcpy(s->profile.name, "光沢ﾌｫﾄ紙 (1440x720)");
  std::strcpy(s->profile.colorFile1, "C:\\D\\G1.ct1");
  s->profile.fixed = 1;
  s->profile.reserved0[5] = 9;
  s->profile.colorMode = 254;
  s->profile.drawOption = 3;
  s->profile.inkLimit = 157;
  std::strcpy(s->profile.conversionFunction, "RgbToCmykFunc16");
  std::strcpy(s->deviceName, "表示");
  std::strcpy(s->portName, "FILE:C:\\out");
  s->spoolMode = 2;
  s->spoolLimitMB = 1000;
  std::strcpy(s->driverDirectory, "C:\\D");
  s->engine.printing = 1;
  s->engine.carries[7] = -5;
  s->engine.noisePos = 4198;
  s->engine.pageRect[3] = 9999;
  s->engine.pageInk[7] = 5000000000ull;
  s->engine.dropletSmall = 3;
  s->engine.spoolHandle = reinterpret_cast<jSPOOL>(s);
  s->engine.noise = reinterpret_cast<int8_t*>(s);
}

// The same record gives the same bytes on every target: the hash below is
// checked on the native, 64-bit and 32-bit builds alike.
TEST(RecordCodec, BytesAreTheSameOnEveryTarget) {
  DeviceRecord r;
  MachineState s;
  fillSample(&r, &s);
  uint8_t bytes[rx3::kRecordBytes + rx3::kStateBytes + 1];
  bytes[sizeof bytes - 1] = 0xA5;
  rx3::encodeRecord(r, bytes);
  rx3::encodeState(s, bytes + rx3::kRecordBytes);
  EXPECT_EQ(0xA5, bytes[sizeof bytes - 1]) << "the blocks keep to their sizes";
  EXPECT_EQ(1, bytes[344]);
  EXPECT_EQ(0xFE, bytes[612 + 28 + 920]);
  EXPECT_EQ(0, bytes[612 + 1992]) << "no handle is stored";
  EXPECT_EQ(0x5Cu, bytes[612 + 1204 + 1]) << "表 is stored as its CP932 bytes";
  EXPECT_EQ(0x7A343C77u, fnv1a(bytes, rx3::kRecordBytes + rx3::kStateBytes));
}

TEST(RecordCodec, DecodeGivesBackEveryStoredValueAndNoReference) {
  DeviceRecord r;
  MachineState s;
  fillSample(&r, &s);
  uint8_t bytes[rx3::kRecordBytes + rx3::kStateBytes];
  rx3::encodeRecord(r, bytes);
  rx3::encodeState(s, bytes + rx3::kRecordBytes);

  DeviceRecord r2;
  MachineState s2;
  bool follows = false;
  rx3::decodeRecord(bytes, &r2, &follows);
  rx3::decodeState(bytes + rx3::kRecordBytes, &s2);
  EXPECT_TRUE(follows);
  EXPECT_EQ(nullptr, r2.state);
  EXPECT_EQ(nullptr, s2.engine.spoolHandle);
  EXPECT_EQ(nullptr, s2.engine.noise);
  r.state = nullptr;
  s.engine.spoolHandle = nullptr;
  s.engine.noise = nullptr;
  EXPECT_EQ(0, std::memcmp(&r, &r2, sizeof r));
  EXPECT_EQ(0, std::memcmp(&s, &s2, sizeof s));
}

}  // namespace
