#include "page_bench.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "platform/folders.h"

namespace raster_test {
namespace {

ProgressLog* g_log = nullptr;
// Benches may live side by side; the driver stays attached (to the first
// one's folder) until the last of them goes.
int g_benches = 0;

void* onBegin(void* owner) {
  g_log->calls.push_back({'b', 0, ""});
  return owner;
}
void onEnd(void*) {
  g_log->calls.push_back({'e', 0, ""});
}
int onQuery(void*) {
  return 1;
}
int onStep(void*, int position, const char* text) {
  g_log->calls.push_back({'s', position, text ? text : ""});
  return 1;
}
int onYield(void*) {
  ++g_log->yields;
  g_log->calls.push_back({'y', g_log->yields, ""});
  if (g_log->yieldAnswer) return g_log->yieldAnswer();
  return g_log->cancelAtYield == g_log->yields ? g_log->cancelAnswer : 1;
}
const jProgressHooks kHooks{onBegin, onEnd, onQuery, onStep, onYield};

}  // namespace

Bytes hex(const char* text) {
  Bytes out;
  for (const char* p = text; *p;) {
    if (*p == '\'') {
      for (++p; *p && *p != '\''; ++p) out.push_back(static_cast<uint8_t>(*p));
      if (*p) ++p;
    } else if (std::isxdigit(static_cast<unsigned char>(*p))) {
      out.push_back(static_cast<uint8_t>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16)));
      p += 2;
    } else {
      ++p;
    }
  }
  return out;
}

std::vector<ProgressCall> ProgressLog::of(char hook) const {
  std::vector<ProgressCall> found;
  for (const ProgressCall& c : calls)
    if (c.hook == hook) found.push_back(c);
  return found;
}

PageBench::PageBench(const Machine& m) : state(new MachineState()) {
  // The ink account of every page lands beside this "plug-in", in the
  // scratch folder.
  if (g_benches++ == 0) {
    EXPECT_TRUE(rx3::attachDriver(work.join("RX3.dll").c_str()));
  }
  std::memset(state.get(), 0, sizeof(MachineState));
  std::strcpy(record.displayName, "EPSON RX-3");
  record.xResolution = m.xResolution;
  record.yResolution = m.yResolution;
  record.inchUnits = m.inchUnits;
  record.state = state.get();
  state->xResolution = m.xResolution;
  state->yResolution = m.yResolution;
  state->marginMode = m.marginMode;
  state->inkSet = m.inkSet;
  state->paperCut = m.paperCut;
  state->bidirectional = m.bidirectional;
  jColorProfileInit(&state->profile);
  std::snprintf(state->portName, sizeof state->portName, "FILE:%s", out.path().c_str());
  std::snprintf(state->driverDirectory, sizeof state->driverDirectory, "%s", work.path().c_str());
  std::strcpy(context.documentName, "bench");
  context.owner = &log;
  context.device = &record;
  context.drawContext = &drawing;
  context.hooks = &kHooks;
  g_log = &log;
}

PageBench::~PageBench() {
  g_log = &log;
  jPrintEndDoc(&context);
  jPrintEndPage(&context, 0);  // gives back the buffers of a page a test left open
  if (--g_benches == 0) rx3::detachDriver();
  g_log = nullptr;
}

bool PageBench::openDocument(int spoolLimitMB) {
  EngineState& e = state->engine;
  e.lightCyanDensity = 30;
  e.lightMagentaDensity = 30;
  e.lightLightBlackDensity = 17;
  e.lightBlackDensity = 50;
  e.inkLimitTotal = 400;
  // The conversion linked into this program; the plug-in's own lookup of
  // it by name is exercised through the loaded plug-in.
  e.colorTransform = jColorCmsSetupEx(&state->profile, RgbToCmykFunc16);
  jSplOpenBlock block;
  std::memset(&block, 0, sizeof block);
  std::strcpy(block.jobName, "bench");
  std::memcpy(block.portName, state->portName, sizeof block.portName);
  block.one = 1;
  if (spoolLimitMB > 0) {
    block.spoolMode = 1;
    block.spoolLimitMB = spoolLimitMB;
    std::snprintf(block.spoolPath, sizeof block.spoolPath, "%s", work.join("SPLBENCH.TMP").c_str());
  }
  e.spoolHandle = jSplOpen(&block);
  e.printing = e.spoolHandle ? 1 : 0;
  return e.colorTransform && e.spoolHandle;
}

Bytes PageBench::finish() {
  jPrintEndDoc(&context);
  Bytes job;
  platform::listFolder(out.path().c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) job = testing_support::readByteVector(out.join(e.name));
    return true;
  });
  return job;
}

void PageBench::setDrawing(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  drawing.x0 = x0;
  drawing.y0 = y0;
  drawing.x1 = x1;
  drawing.y1 = y1;
  drawing.hasContent = 1;
}

void PageBench::addFill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r, uint8_t g, uint8_t b) {
  jGdcItem item{};
  item.kind = J_GDC_RGB_FILL;
  item.x0 = x0;
  item.y0 = y0;
  item.x1 = x1;
  item.y1 = y1;
  item.color[0] = r;
  item.color[1] = g;
  item.color[2] = b;
  items.push_back(item);
  scene.count = static_cast<int32_t>(items.size());
  scene.items = items.data();
  drawing.scene = &scene;
}

int PageBench::startPage(float x0, float y0, float x1, float y1) {
  return jPrintStartPage(&context, x0, y0, x1, y1);
}
int PageBench::drawPage(float x0, float y0, float x1, float y1) {
  return jPrintDrawPage(&context, x0, y0, x1, y1);
}
int PageBench::endPage(int abort) {
  return jPrintEndPage(&context, abort);
}

escp::Stream decode(const Bytes& job) {
  escp::Stream stream;
  EXPECT_TRUE(escp::decodeStream(job.data(), job.size(), &stream))
      << (stream.problems.empty() ? "" : stream.problems[0].message);
  return stream;
}

int countFrames(const escp::Stream& stream, escp::FrameKind kind, const char* name) {
  int n = 0;
  for (const escp::Frame& f : stream.frames)
    if (f.kind == kind && (!name || f.name == name)) ++n;
  return n;
}

int linesMoved(const escp::Stream& stream) {
  int lines = 0;
  for (const escp::Frame& f : stream.frames)
    if (f.kind == escp::FrameKind::kVerticalMove) lines += f.lines;
  return lines;
}

const escp::Frame* findFrame(const escp::Stream& stream, const char* name) {
  for (const escp::Frame& f : stream.frames)
    if (f.name == name && (f.kind == escp::FrameKind::kRemoteCommand || f.kind == escp::FrameKind::kEscCommand))
      return &f;
  return nullptr;
}

}  // namespace raster_test
