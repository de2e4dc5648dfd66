#include "driver/machines/record_codec.h"

#include <cstring>

namespace rx3 {
namespace {

struct Out {
  uint8_t* p;
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
  }
  void u64(uint64_t v) {
    for (int i = 0; i < 8; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
  }
  void bytes(const void* data, std::size_t n) {
    std::memcpy(p, data, n);
    p += n;
  }
  void zeros(std::size_t n) {
    std::memset(p, 0, n);
    p += n;
  }
};

struct In {
  const uint8_t* p;
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(*p++) << (8 * i);
    return v;
  }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  uint64_t u64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(*p++) << (8 * i);
    return v;
  }
  void bytes(void* data, std::size_t n) {
    std::memcpy(data, p, n);
    p += n;
  }
  template <std::size_t N>
  void text(char (&field)[N]) {
    bytes(field, N);
    field[N - 1] = '\0';
  }
  void skip(std::size_t n) { p += n; }
};

// Pointers and handles take four bytes on the 32-bit build.
constexpr std::size_t kReference = 4;

void encodeProfile(Out& o, const ColorProfile& c) {
  o.bytes(c.name, sizeof c.name);
  o.bytes(c.colorFile1, sizeof c.colorFile1);
  o.bytes(c.colorFile2, sizeof c.colorFile2);
  o.i32(c.fixed);
  o.bytes(c.reserved0, sizeof c.reserved0);
  o.i32(c.colorMode);
  o.i32(c.drawOption);
  o.bytes(c.reserved1, sizeof c.reserved1);
  o.i32(c.inkLimit);
  o.bytes(c.reserved2, sizeof c.reserved2);
  o.bytes(c.conversionFunction, sizeof c.conversionFunction);
}

void decodeProfile(In& in, ColorProfile* c) {
  in.text(c->name);
  in.text(c->colorFile1);
  in.text(c->colorFile2);
  c->fixed = in.i32();
  in.bytes(c->reserved0, sizeof c->reserved0);
  c->colorMode = in.i32();
  c->drawOption = in.i32();
  in.bytes(c->reserved1, sizeof c->reserved1);
  c->inkLimit = in.i32();
  in.bytes(c->reserved2, sizeof c->reserved2);
  in.text(c->conversionFunction);
}

void encodeEngine(Out& o, const EngineState& e) {
  o.zeros(kReference);  // spool handle
  o.i32(e.printing);
  o.i32(e.lineParity);
  o.zeros(2 * kReference);  // separation, error line
  for (int32_t v : e.carries) o.i32(v);
  o.zeros(3 * kReference);  // dot planes, pack buffer, noise
  o.i32(e.noisePos);
  o.i32(e.rowBytes);
  o.i32(e.pageWidth);
  o.i32(e.pageHeight);
  o.i32(e.inkLimitTotal);
  o.i32(e.lightCyanDensity);
  o.i32(e.lightMagentaDensity);
  o.i32(e.lightLightBlackDensity);
  o.i32(e.lightBlackDensity);
  o.zeros(2 * kReference);  // colour transform, progress
  for (int32_t v : e.pageRect) o.i32(v);
  o.i32(e.currentLine);
  for (uint64_t v : e.pageInk) o.u64(v);
  o.i32(e.dropletSmall);
  o.i32(e.dropletMedium);
  o.i32(e.dropletLarge);
}

void decodeEngine(In& in, EngineState* e) {
  std::memset(e, 0, sizeof *e);
  in.skip(kReference);
  e->printing = in.i32();
  e->lineParity = in.i32();
  in.skip(2 * kReference);
  for (int32_t& v : e->carries) v = in.i32();
  in.skip(3 * kReference);
  e->noisePos = in.i32();
  e->rowBytes = in.i32();
  e->pageWidth = in.i32();
  e->pageHeight = in.i32();
  e->inkLimitTotal = in.i32();
  e->lightCyanDensity = in.i32();
  e->lightMagentaDensity = in.i32();
  e->lightLightBlackDensity = in.i32();
  e->lightBlackDensity = in.i32();
  in.skip(2 * kReference);
  for (int32_t& v : e->pageRect) v = in.i32();
  e->currentLine = in.i32();
  for (uint64_t& v : e->pageInk) v = in.u64();
  e->dropletSmall = in.i32();
  e->dropletMedium = in.i32();
  e->dropletLarge = in.i32();
}

}  // namespace

void encodeRecord(const DeviceRecord& r, uint8_t out[kRecordBytes]) {
  Out o{out};
  o.i32(r.machineIndex);
  o.bytes(r.displayName, sizeof r.displayName);
  o.bytes(r.driverPath, sizeof r.driverPath);
  o.i32(r.recordFlag);
  o.i32(r.xResolution);
  o.i32(r.yResolution);
  o.i32(r.inchUnits);
  o.u32(r.state ? 1 : 0);
  o.i32(r.spoolMode);
  o.bytes(r.outputFile, sizeof r.outputFile);
}

void decodeRecord(const uint8_t in[kRecordBytes], DeviceRecord* r, bool* stateFollows) {
  In i{in};
  r->machineIndex = i.i32();
  i.text(r->displayName);
  i.text(r->driverPath);
  r->recordFlag = i.i32();
  r->xResolution = i.i32();
  r->yResolution = i.i32();
  r->inchUnits = i.i32();
  *stateFollows = i.u32() != 0;
  r->state = nullptr;
  r->spoolMode = i.i32();
  i.text(r->outputFile);
}

void encodeState(const MachineState& s, uint8_t out[kStateBytes]) {
  Out o{out};
  o.i32(s.xResolution);
  o.i32(s.yResolution);
  o.i32(s.bidirectional);
  o.i32(s.paperCut);
  o.i32(s.marginMode);
  o.i32(s.inkSet);
  o.i32(s.profileIndex);
  encodeProfile(o, s.profile);
  o.bytes(s.deviceName, sizeof s.deviceName);
  o.bytes(s.portName, sizeof s.portName);
  o.i32(s.spoolMode);
  o.i32(s.spoolLimitMB);
  o.bytes(s.driverDirectory, sizeof s.driverDirectory);
  encodeEngine(o, s.engine);
}

void decodeState(const uint8_t in[kStateBytes], MachineState* s) {
  In i{in};
  s->xResolution = i.i32();
  s->yResolution = i.i32();
  s->bidirectional = i.i32();
  s->paperCut = i.i32();
  s->marginMode = i.i32();
  s->inkSet = i.i32();
  s->profileIndex = i.i32();
  decodeProfile(i, &s->profile);
  i.text(s->deviceName);
  i.text(s->portName);
  s->spoolMode = i.i32();
  s->spoolLimitMB = i.i32();
  i.text(s->driverDirectory);
  decodeEngine(i, &s->engine);
}

}  // namespace rx3
