// The printing-device layer: jPdevPrint and jPdevPrintTile.
//
// What it does, where the callers leave the choice to us:
// - The job's machine is printed by the plug-in of the printer folder that
//   offers it (printer_folder.h). The machine record is opened with the
//   settings image of the job's setting block when it carries one (handed
//   to the plug-in, which keeps what belongs to this installation), else with
//   the settings stored for the machine there, else with its defaults. The
//   output device and port are the ones the registry gives for the machine
//   (jPdevGetDevicePort's rule); when it gives none the record keeps what
//   the plug-in chose.
// - Page coordinates are millimetres: the job's area times its mm per unit.
//   The drawing is placed in device dots with the plug-in's own rounding of
//   page coordinates, so that a drawing and a page with the same edges meet
//   on the same dot.
// - Each page is one document of the plug-in (set-up, start document, start
//   page, bands from the top, end page, end document): the plug-in carries
//   one printed page per document, and a tile is a print of its own.
//   Bands are 512 dots high.
// - The progress hooks installed with jPdevSetPgsHook reach the plug-in
//   through the context; the owner value is the window passed in. A yield
//   hook that answers other than 1 interrupts: the page ends as aborted, the
//   document is ended, no further tile starts and the result is 0. Any other
//   failure (no document, no device, no plug-in for the machine, a start
//   that fails, a port that fails, an end of page or of document that did
//   not get the job to the printer) gives -1. Success is 1: the port took
//   every byte. The reason of a result other than 1 is kept for the thread
//   (jPdevGetLastError), in the port's own words when the port failed.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "Draw.h"
#include "SPOOL.h"
#include "libs/draw/devices.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/image_rows.h"
#include "libs/draw/library.h"
#include "libs/draw/print_route.h"
#include "libs/draw/printer_folder.h"
#include "libs/draw/setting_block.h"
#include "libs/draw/tile_block.h"
#include "platform/path.h"

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;
constexpr int kBandDots = 512;
constexpr int kFailed = -1, kInterrupted = 0, kPrinted = 1;

// The application's hooks, wrapped so that the layer sees an interrupt.
struct RunHooks {
  jProgressHooks app{};
  bool interrupted = false;
};
thread_local RunHooks* t_hooks = nullptr;

void* hookBegin(void* owner) {
  return t_hooks && t_hooks->app.begin ? t_hooks->app.begin(owner) : owner;
}
void hookEnd(void* progress) {
  if (t_hooks && t_hooks->app.end) t_hooks->app.end(progress);
}
int hookQuery(void* progress) {
  return t_hooks && t_hooks->app.query ? t_hooks->app.query(progress) : 1;
}
int hookStep(void* progress, int position, const char* text) {
  return t_hooks && t_hooks->app.step ? t_hooks->app.step(progress, position, text) : 1;
}
int hookYield(void* progress) {
  const int go = t_hooks && t_hooks->app.yield ? t_hooks->app.yield(progress) : 1;
  if (go != 1 && t_hooks) t_hooks->interrupted = true;
  return go;
}
const jProgressHooks kWrappedHooks{hookBegin, hookEnd, hookQuery, hookStep, hookYield};

// Why this thread's last print did not print; empty after a success.
thread_local char t_lastError[256];

// What the thread's last print printed with, and how many pages it got out.
thread_local jPrintReport t_lastPrint{};
thread_local bool t_printed = false;

void noteFailure(const char* why) {
  platform::copyTruncated(t_lastError, sizeof t_lastError, why);
}

struct DotScale {
  double x;
  float y;
  int32_t dotX(float mm) const { return static_cast<int32_t>(static_cast<double>(mm) * x); }
  int32_t dotY(float mm) const { return static_cast<int32_t>(mm * y); }
};

DotScale scaleOf(const DeviceRecord& record) {
  return DotScale{record.xResolution * kInchesPerMillimetre,
                  static_cast<float>(record.yResolution * kInchesPerMillimetre)};
}

// The render scene of a drawing: items placed in dots, and its extent.
struct Scene {
  jdraw::ImageRows rows;  // of the images left in their job file
  std::vector<jGdcItem> items;
  jGdcScene scene{};
  jGdc context{};
};

void buildScene(const jdraw::Drawing& drawing, const DotScale& scale, Scene* out) {
  const jobfile::Area& a = drawing.area;
  bool any = false;
  for (const jobfile::Item& item : drawing.items) {
    jGdcItem g{};
    g.kind = item.kind;
    g.x0 = scale.dotX(item.x0 * a.mmPerUnitX);
    g.x1 = scale.dotX(item.x1 * a.mmPerUnitX);
    g.y0 = scale.dotY(item.y0 * a.mmPerUnitY);
    g.y1 = scale.dotY(item.y1 * a.mmPerUnitY);
    if (g.x1 <= g.x0 || g.y1 <= g.y0) continue;  // smaller than a dot
    g.width = item.width;
    g.height = item.height;
    g.pixels = item.pixels.empty() ? nullptr : item.pixels.data();
    if (item.inFile) g.row = jdraw::ImageRows::row, g.rowSource = out->rows.add(item);
    std::memcpy(g.color, item.color, sizeof g.color);
    jGdc& c = out->context;
    if (!any) {
      c.x0 = g.x0, c.y0 = g.y0, c.x1 = g.x1 - 1, c.y1 = g.y1 - 1;
    } else {
      c.x0 = std::min(c.x0, g.x0), c.y0 = std::min(c.y0, g.y0);
      c.x1 = std::max(c.x1, g.x1 - 1), c.y1 = std::max(c.y1, g.y1 - 1);
    }
    any = true;
    out->items.push_back(g);
  }
  out->scene = jGdcScene{static_cast<int32_t>(out->items.size()), out->items.data()};
  out->context.hasContent = any ? 1 : 0;
  out->context.drawing = &drawing;
  out->context.scene = &out->scene;
}

bool openMachine(const jdraw::DriverExports& driver, const char* printerFolder, const char* machine,
                 const void* setting, DeviceRecord* record) {
  jdraw::SettingBlock block;
  const bool hasBlock = jdraw::decodeHandedBlock(setting, &block);
  if (hasBlock && block.hasSettings) {
    // Opened with the installation's stored settings first, so that its
    // spool choice holds for this job as for every other.
    if (driver.loadMachine(record) != 1 && driver.openMachine(record) != 1) return false;
    // The image is the plug-in's own: it puts it over the record and sets the
    // record's resolution. One it does not take (or a plug-in without the
    // call) leaves the stored settings.
    if (driver.setSettings) driver.setSettings(record, block.settings, static_cast<int>(sizeof block.settings));
  } else if (driver.loadMachine(record) != 1 && driver.openMachine(record) != 1) {
    return false;
  }
  char device[100];
  char port[100];
  if (jPdevGetDevicePort(printerFolder, machine, hasBlock ? setting : nullptr, device, port) == 1)
    driver.setDeviceName(record, device, port);
  record->inchUnits = 0;
  return true;
}

struct PageMm {
  float x0, y0, x1, y1;
};

// One page as one document of the plug-in.
int printPage(const jdraw::DriverExports& driver, jHostJobContext* context, const PageMm& page, const DotScale& scale) {
  if (driver.setup(context) != 1 || driver.startDoc(context) != 1) {
    driver.endDoc(context);
    return kFailed;
  }
  int result = kFailed;
  if (driver.startPage(context, page.x0, page.y0, page.x1, page.y1) == 1) {
    const float bandMm = kBandDots / scale.y;
    int go = 1;
    for (int band = 0; go == 1; ++band) {
      const float top = page.y1 - bandMm * band;
      if (!(top > page.y0)) break;
      const float bottom = std::max(page.y0, page.y1 - bandMm * (band + 1));
      go = driver.drawPage(context, page.x0, bottom, page.x1, top);
    }
    // The end of the page carries its last bytes to the port, and the end of
    // the document (in spool mode) the whole job: either failing loses it.
    const int ended = driver.endPage(context, go == 1 ? 0 : 1);
    result = go == 1 && ended == 1 ? kPrinted : kFailed;
  }
  if (driver.endDoc(context) != 1) result = kFailed;
  return result;
}

int printJob(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
             jdraw::PrintRoute* route) {
  jDevice_ job;
  auto drawing = jdraw::documentDrawing(document);
  if (!drawing || !jdraw::copyDevice(device, &job) || !job.fromJob) return kFailed;
  char printerFolder[platform::kMaxPath];
  if (!jdraw::currentPrinterFolder(printerFolder, sizeof printerFolder)) return kFailed;

  const jobfile::Area& area = job.area;
  std::vector<jdraw::Tile> tiles{{area.x0, area.y0, area.x1, area.y1}};
  if (tileBlock) {
    jdraw::TileGrid grid;
    if (!jdraw::decodeTileBlock(tileBlock, &grid)) return kFailed;
    tiles = jdraw::tilesOf(grid, area);
    if (tiles.empty()) return kFailed;
  }

  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(printerFolder, job.machine, &plugin, &record)) return kFailed;
  const jdraw::DriverExports& driver = plugin.exports();
  if (!openMachine(driver, printerFolder, job.machine, setting, &record)) return kFailed;
  if (route && !route->prepare(driver, &record)) {
    route->finish(driver, &record);
    driver.closeMachine(&record);
    return kFailed;
  }

  RunHooks hooks;
  if (route)
    hooks.app = route->hooks();
  else
    jdraw::installedHooks(&hooks.app);
  RunHooks* outer = t_hooks;
  t_hooks = &hooks;
  t_lastPrint.xResolution = record.xResolution;
  t_lastPrint.yResolution = record.yResolution;
  t_lastPrint.inkSet[0] = '\0';
  if (driver.inkSetName) driver.inkSetName(&record, t_lastPrint.inkSet, static_cast<int>(sizeof t_lastPrint.inkSet));
  int result = kPrinted;
  // The route sees every page ahead, and may refuse them, before the first is printed.
  for (size_t i = 0; route && result == kPrinted && i < tiles.size(); ++i) {
    const jdraw::Tile& t = tiles[i];
    if (!route->pageAhead(driver, &record, static_cast<int>(i), t.x0 * area.mmPerUnitX, t.y0 * area.mmPerUnitY,
                          t.x1 * area.mmPerUnitX, t.y1 * area.mmPerUnitY))
      result = kFailed;
  }
  const DotScale scale = scaleOf(record);
  Scene scene;
  if (result == kPrinted) buildScene(*drawing, scale, &scene);
  for (const jdraw::Tile& tile : tiles) {
    if (result != kPrinted) break;
    jHostJobContext context{};
    context.owner = window;
    platform::copyTruncated(context.documentName, sizeof context.documentName, job.title);
    context.drawContext = &scene.context;
    context.device = &record;
    context.hooks = &kWrappedHooks;
    const PageMm page{tile.x0 * area.mmPerUnitX, tile.y0 * area.mmPerUnitY, tile.x1 * area.mmPerUnitX,
                      tile.y1 * area.mmPerUnitY};
    result = printPage(driver, &context, page, scale);
    if (hooks.interrupted) result = kInterrupted;
    if (result != kPrinted) break;
    ++t_lastPrint.pages;
  }
  t_hooks = outer;
  if (route) route->finish(driver, &record);
  driver.closeMachine(&record);
  return result;
}

}  // namespace

int jdraw::printDocument(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
                         PrintRoute* route) {
  return printJob(window, document, device, tileBlock, setting, route);
}

static int printNoted(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, const void* setting) {
  t_lastError[0] = '\0';
  t_lastPrint = jPrintReport{};
  t_printed = true;
  jSplTakeFailureText(nullptr, 0);  // an earlier job's reason is not this one's
  const int result = printJob(window, document, device, tileBlock, setting, nullptr);
  // The port's own words say best why the job did not print.
  char port[sizeof t_lastError];
  if (result != kPrinted && jSplTakeFailureText(port, sizeof port) > 0) noteFailure(port);
  if (result == kInterrupted && !t_lastError[0]) noteFailure("ﾌﾟﾘﾝﾄは中断されました。");
  if (result == kFailed && !t_lastError[0]) noteFailure("ﾌﾟﾘﾝﾄに失敗しました。");
  return result;
}

JDRAW_API int jPdevPrint(jHWND window, int32_t document, jDEVICE device, int, const void* setting) {
  return printNoted(window, document, device, nullptr, setting);
}

JDRAW_API int jPdevPrintTile(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, int,
                             const void* setting) {
  if (!tileBlock) {
    noteFailure("ﾀｲﾙの指定がありません。");
    return kFailed;
  }
  return printNoted(window, document, device, tileBlock, setting);
}

JDRAW_API int jPdevGetLastError(char* text, int size) {
  if (!text || size <= 0) return 0;
  platform::copyTruncated(text, static_cast<std::size_t>(size), t_lastError);
  return static_cast<int>(std::strlen(text));
}

JDRAW_API int jPdevGetLastPrint(jPrintReport* report) {
  if (!report) return 0;
  *report = t_printed ? t_lastPrint : jPrintReport{};
  return t_printed ? 1 : 0;
}
