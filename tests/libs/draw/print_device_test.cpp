#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "job_maker.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/setting_block.h"
#include "libs/draw/tile_block.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "platform/folders.h"
#include "plugin_folder.h"
#include "printing_fixture.h"
#include "tests/support/counting_hooks.h"

namespace {

using testing_support::ScratchFolder;

constexpr double kInchesPerMillimetre = 0.03937007874015748;

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> contents;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) contents.push_back(testing_support::readBytes(folder + platform::kSeparator + e.name));
    return true;
  });
  return contents;
}

using testing_support::g_progress;

struct Printing : draw_test::PrintingFixture {
  void SetUp() override {
    PrintingFixture::SetUp();
    jPdevSetPgsHook(&testing_support::kCountingHooks);
    g_progress = {};
  }
};

// The same page printed by calling the plug-in's exports directly, the
// drawing placed in dots by hand.
std::string printDirectly(const std::string& pluginPath, const jobfile::Job& job, const std::string& outFolder) {
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!plugin.load(pluginPath.c_str()) || !plugin.findMachine(job.machine.c_str(), &record)) return "no plug-in";
  const jdraw::DriverExports& d = plugin.exports();
  d.openMachine(&record);
  d.setDeviceName(&record, "direct", ("FILE:" + outFolder).c_str());
  const double sx = record.xResolution * kInchesPerMillimetre;
  const float sy = static_cast<float>(record.yResolution * kInchesPerMillimetre);
  std::vector<jGdcItem> items;
  for (const jobfile::Item& item : job.items) {
    jGdcItem g{item.kind,
               int32_t(double(item.x0) * sx),
               int32_t(item.y0 * sy),
               int32_t(double(item.x1) * sx),
               int32_t(item.y1 * sy),
               item.width,
               item.height,
               item.pixels.empty() ? nullptr : item.pixels.data(),
               {item.color[0], item.color[1], item.color[2], item.color[3]}};
    items.push_back(g);
  }
  jGdcScene scene{int32_t(items.size()), items.data()};
  jGdc drawing{};
  drawing.x1 = items[0].x1 - 1;
  drawing.y1 = items[0].y1 - 1;
  drawing.hasContent = 1;
  drawing.scene = &scene;
  jHostJobContext context{};
  std::strcpy(context.documentName, job.title.c_str());
  context.drawContext = &drawing;
  context.device = &record;
  d.setup(&context);
  d.startDoc(&context);
  d.startPage(&context, job.area.x0, job.area.y0, job.area.x1, job.area.y1);
  d.drawPage(&context, job.area.x0, job.area.y0, job.area.x1, job.area.y1);
  d.endPage(&context, 0);
  d.endDoc(&context);
  d.closeMachine(&record);
  const std::vector<std::string> files = filesIn(outFolder);
  return files.size() == 1 ? files[0] : "not one file";
}

TEST_F(Printing, AWholePageIsTheSameAsThroughThePluginsExports) {
  const jobfile::Job job = draw_test::sampleJob("EPSON RX-3", 30, 25);  // 850 x 708 dots: two bands
  ASSERT_TRUE(load(job));
  ASSERT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 1);
  const std::vector<std::string> printed = filesIn(out.path());
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_GT(g_progress.begins, 0) << "the installed hooks were called";
  ScratchFolder direct;
  const std::string expected = printDirectly(printer.join(draw_test::pluginFileName()), job, direct.path());
  ASSERT_GT(expected.size(), 1000u) << expected;
  EXPECT_TRUE(printed[0] == expected) << printed[0].size() << " bytes, directly " << expected.size();
}

TEST_F(Printing, TheJobsUnitScalePlacesThePageInMillimetres) {
  // The same page as above with its area and drawing in units of 2 mm
  // across and 2.5 mm down: the print is the millimetre job's, byte for byte.
  const jobfile::Job inMm = draw_test::sampleJob("EPSON RX-3", 30, 25);
  jobfile::Job job = inMm;
  job.area.mmPerUnitX = 2;
  job.area.mmPerUnitY = 2.5f;
  job.area.x1 /= 2;
  job.area.y1 /= 2.5f;
  for (jobfile::Item& item : job.items) {
    item.x0 /= 2;
    item.x1 /= 2;
    item.y0 /= 2.5f;
    item.y1 /= 2.5f;
  }
  ASSERT_TRUE(load(job));
  ASSERT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 1);
  const std::vector<std::string> printed = filesIn(out.path());
  ASSERT_EQ(printed.size(), 1u);
  ScratchFolder direct;
  const std::string expected = printDirectly(printer.join(draw_test::pluginFileName()), inMm, direct.path());
  ASSERT_GT(expected.size(), 1000u) << expected;
  EXPECT_TRUE(printed[0] == expected) << printed[0].size() << " bytes, the millimetre job " << expected.size();
}

escp::DotPage onlyPage(const std::string& job) {
  escp::Stream stream;
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_TRUE(escp::decodeStream(reinterpret_cast<const uint8_t*>(job.data()), job.size(), &stream));
  EXPECT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
  return pages.size() == 1 ? pages[0] : escp::DotPage{};
}

TEST_F(Printing, TheJobsSettingsImageChoosesTheResolution) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3", 30, 25);
  {
    jdraw::DriverPlugin plugin;
    DeviceRecord record{};
    ASSERT_TRUE(plugin.load(printer.join(draw_test::pluginFileName()).c_str()));
    ASSERT_TRUE(plugin.findMachine("EPSON RX-3", &record));
    ASSERT_EQ(plugin.exports().openMachine(&record), 1);
    jdraw::SettingBlock block;
    std::memcpy(block.settings, record.state, sizeof block.settings);
    plugin.exports().closeMachine(&record);
    const int32_t resolution = 1440;
    std::memcpy(block.settings, &resolution, 4);                                  // horizontal dots per inch
    std::strcpy(reinterpret_cast<char*>(block.settings) + 1464, "FILE:nowhere");  // the registry's port wins
    block.hasSettings = true;
    ASSERT_TRUE(jdraw::encodeSettingBlock(block, &job.settings));
  }
  ASSERT_TRUE(load(job));
  ASSERT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 1);
  const std::vector<std::string> printed = filesIn(out.path());
  ASSERT_EQ(printed.size(), 1u);
  const escp::DotPage page = onlyPage(printed[0]);
  EXPECT_EQ(page.dotHeight, 708);
  EXPECT_GE(page.dotWidth, 1690) << "30 mm at 1440 dpi";
}

TEST_F(Printing, ACancelFromAHookInterruptsWithTheAbortFrame) {
  ASSERT_TRUE(load(draw_test::sampleJob("EPSON RX-3", 30, 25)));
  g_progress.cancelAtYield = 2;
  EXPECT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 0);
  const std::vector<std::string> printed = filesIn(out.path());
  ASSERT_EQ(printed.size(), 1u);
  escp::Stream stream;
  escp::decodeStream(reinterpret_cast<const uint8_t*>(printed[0].data()), printed[0].size(), &stream);
  bool aborted = false;
  for (const escp::Frame& f : stream.frames)
    aborted = aborted || (f.name == "AC" && f.params == std::vector<uint8_t>{0x00, 0x41});
  EXPECT_TRUE(aborted);
}

TEST_F(Printing, EveryTileIsAPageOfItsOwn) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3", 30, 20);
  job.hasTiling = true;
  job.tiling = jdraw::encodeTileBlock(jdraw::TileGrid{3, 2, 1.5f});
  ASSERT_TRUE(load(job));
  std::vector<uint8_t> tile(J_TILE_BLOCK_SIZE);
  ASSERT_EQ(jFileLoadDRXTrep(jobs.join("job.vjx").c_str(), tile.data()), 1);
  EXPECT_EQ(jPdevPrintTile(nullptr, document, device, tile.data(), 0, setting), 1);
  EXPECT_EQ(filesIn(out.path()).size(), 6u);
  EXPECT_EQ(g_progress.begins, 6);
}

TEST_F(Printing, WithoutPluginMachineOrDocumentItFails) {
  ASSERT_TRUE(load(draw_test::sampleJob("EPSON RX-3")));
  EXPECT_EQ(jPdevPrint(nullptr, document + 99, device, 0, setting), -1) << "no document";
  EXPECT_EQ(jPdevPrint(nullptr, document, nullptr, 0, setting), -1) << "no device";
  std::vector<uint8_t> badTile(J_TILE_BLOCK_SIZE, 0xFF);
  EXPECT_EQ(jPdevPrintTile(nullptr, document, device, badTile.data(), 0, setting), -1) << "no tiling block";
  jOemSetText("Tagwright");
  EXPECT_EQ(jPdevPrint(nullptr, document, device, 0, setting), -1) << "machine not offered";
  jOemSetText("");
  ScratchFolder empty;
  jPdevSetPrinterFolder(empty.path().c_str());
  EXPECT_EQ(jPdevPrint(nullptr, document, device, 0, setting), -1) << "no plug-in";
  EXPECT_TRUE(filesIn(out.path()).empty());
}

TEST(TileGrid, SplitsTheAreaWithOverlapsBetweenNeighbours) {
  const jobfile::Area area{0, 0, 30, 20, 1, 1, 1};
  const std::vector<jdraw::Tile> tiles = jdraw::tilesOf(jdraw::TileGrid{3, 2, 1}, area);
  ASSERT_EQ(tiles.size(), 6u);
  const jdraw::Tile expected[] = {{0, 9, 11, 20}, {9, 9, 21, 20}, {19, 9, 30, 20},
                                  {0, 0, 11, 11}, {9, 0, 21, 11}, {19, 0, 30, 11}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(tiles[i].x0, expected[i].x0) << i;
    EXPECT_FLOAT_EQ(tiles[i].y0, expected[i].y0) << i;
    EXPECT_FLOAT_EQ(tiles[i].x1, expected[i].x1) << i;
    EXPECT_FLOAT_EQ(tiles[i].y1, expected[i].y1) << i;
  }
  EXPECT_TRUE(jdraw::tilesOf(jdraw::TileGrid{3, 2, 5}, area).empty()) << "overlap of a whole cell";
  jdraw::TileGrid back;
  EXPECT_TRUE(jdraw::decodeTileBlock(jdraw::encodeTileBlock(jdraw::TileGrid{4, 5, 2}).data(), &back));
  EXPECT_EQ(back.columns, 4);
  EXPECT_EQ(back.rows, 5);
  std::array<uint8_t, 122> zero{};
  EXPECT_FALSE(jdraw::decodeTileBlock(zero.data(), &back));
}

}  // namespace
