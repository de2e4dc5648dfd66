#include "driver/machines/record_codec.h"

#include <cstring>

namespace rx3 {
namespace {

// Each block's layout is told once, as a list of fields that a writer
// (Out) or a reader (In) walks: the two directions cannot drift apart.
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
  template <std::size_t N>
  void text(const char (&field)[N]) {
    bytes(field, N);
  }
  void reference(std::size_t count) {  // never stored: written as 0
    std::memset(p, 0, count * kReference);
    p += count * kReference;
  }
  // Pointers and handles take four bytes on the 32-bit build.
  static constexpr std::size_t kReference = 4;
};

struct In {
  const uint8_t* p;
  void u32(uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(*p++) << (8 * i);
  }
  void i32(int32_t& v) {
    uint32_t u;
    u32(u);
    v = static_cast<int32_t>(u);
  }
  void u64(uint64_t& v) {
    v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(*p++) << (8 * i);
  }
  void bytes(void* data, std::size_t n) {
    std::memcpy(data, p, n);
    p += n;
  }
  template <std::size_t N>
  void text(char (&field)[N]) {  // forced to end in a NUL
    bytes(field, N);
    field[N - 1] = '\0';
  }
  void reference(std::size_t count) { p += count * Out::kReference; }  // read back as null
};

template <class Io, class Profile>
void profileFields(Io& io, Profile& c) {
  io.text(c.name);
  io.text(c.colorFile1);
  io.text(c.colorFile2);
  io.i32(c.fixed);
  io.bytes(c.reserved0, sizeof c.reserved0);
  io.i32(c.colorMode);
  io.i32(c.drawOption);
  io.bytes(c.reserved1, sizeof c.reserved1);
  io.i32(c.inkLimit);
  io.bytes(c.reserved2, sizeof c.reserved2);
  io.text(c.conversionFunction);
}

template <class Io, class Engine>
void engineFields(Io& io, Engine& e) {
  io.reference(1);  // spool handle
  io.i32(e.printing);
  io.i32(e.lineParity);
  io.reference(2);  // separation, error line
  for (auto& v : e.carries) io.i32(v);
  io.reference(3);  // dot planes, pack buffer, noise
  io.i32(e.noisePos);
  io.i32(e.rowBytes);
  io.i32(e.pageWidth);
  io.i32(e.pageHeight);
  io.i32(e.inkLimitTotal);
  io.i32(e.lightCyanDensity);
  io.i32(e.lightMagentaDensity);
  io.i32(e.lightLightBlackDensity);
  io.i32(e.lightBlackDensity);
  io.reference(2);  // colour transform, progress
  for (auto& v : e.pageRect) io.i32(v);
  io.i32(e.currentLine);
  for (auto& v : e.pageInk) io.u64(v);
  io.i32(e.dropletSmall);
  io.i32(e.dropletMedium);
  io.i32(e.dropletLarge);
}

// The record's state reference is stored as a presence flag.
template <class Io, class Record, class Flag>
void recordFields(Io& io, Record& r, Flag& stateFlag) {
  io.i32(r.machineIndex);
  io.text(r.displayName);
  io.text(r.driverPath);
  io.i32(r.recordFlag);
  io.i32(r.xResolution);
  io.i32(r.yResolution);
  io.i32(r.inchUnits);
  io.u32(stateFlag);
  io.i32(r.spoolMode);
  io.text(r.outputFile);
}

template <class Io, class State>
void stateFields(Io& io, State& s) {
  io.i32(s.xResolution);
  io.i32(s.yResolution);
  io.i32(s.bidirectional);
  io.i32(s.paperCut);
  io.i32(s.marginMode);
  io.i32(s.inkSet);
  io.i32(s.profileIndex);
  profileFields(io, s.profile);
  io.text(s.deviceName);
  io.text(s.portName);
  io.i32(s.spoolMode);
  io.i32(s.spoolLimitMB);
  io.text(s.driverDirectory);
  engineFields(io, s.engine);
}

}  // namespace

void encodeRecord(const DeviceRecord& r, uint8_t out[kRecordBytes]) {
  Out o{out};
  const uint32_t stateFlag = r.state ? 1 : 0;
  recordFields(o, r, stateFlag);
}

void decodeRecord(const uint8_t in[kRecordBytes], DeviceRecord* r, bool* stateFollows) {
  In i{in};
  uint32_t stateFlag = 0;
  recordFields(i, *r, stateFlag);
  *stateFollows = stateFlag != 0;
  r->state = nullptr;
}

void encodeState(const MachineState& s, uint8_t out[kStateBytes]) {
  Out o{out};
  stateFields(o, s);
}

void decodeState(const uint8_t in[kStateBytes], MachineState* s) {
  std::memset(&s->engine, 0, sizeof s->engine);
  In i{in};
  stateFields(i, *s);
}

}  // namespace rx3
