#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "libs/draw/driver_plugins.h"
#include "plugin_folder.h"

namespace {

using draw_test::PluginFolder;

std::vector<std::string> tableNames(const jMcnTable* table) {
  std::vector<std::string> names;
  for (int i = 0; i < table->count; ++i) {
    EXPECT_EQ(table->entries[i].usable, 1);
    names.emplace_back(table->entries[i].name);
  }
  return names;
}

struct MachineTables : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(folder.ready()) << draw_test::builtPluginPath(); }
  void TearDown() override { jOemSetText(nullptr); }
  PluginFolder folder;
};

TEST_F(MachineTables, ListTheMachinesThePluginOffersThisHost) {
  const struct {
    const char* keyword;
    std::vector<std::string> machines;
  } cases[] = {
      {"", {"EPSON RX-1", "EPSON RX-2", "EPSON RX-3"}},
      {"Quillet", {"EPSON RX-1", "EPSON RX-2", "EPSON RX-3"}},
      {"Tagwright", {"LumoraLX1", "LumoraLX2", "LumoraLX3"}},
  };
  for (const auto& c : cases) {
    jOemSetText(c.keyword);
    jMcnTable* table = jPdevMcnOpen(folder.path().c_str(), 1);
    ASSERT_NE(table, nullptr) << c.keyword;
    EXPECT_EQ(tableNames(table), c.machines) << c.keyword;
    EXPECT_EQ(jPdevMcnClose(table), 1);
  }
}

TEST_F(MachineTables, FilesThatAreNoPluginAreSkipped) {
  ASSERT_TRUE(testing_support::writeBytes(folder.join(std::string("AAA") + draw_test::pluginFileName()), "junk"));
  jOemSetText("");
  jMcnTable* table = jPdevMcnOpen(folder.path().c_str(), 1);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->count, 3);
  EXPECT_EQ(jPdevMcnClose(table), 1);
}

TEST(MachineTablesWithoutPlugins, GiveNoTableAndRefuseForeignOnes) {
  testing_support::ScratchFolder empty;
  EXPECT_EQ(jPdevMcnOpen(empty.path().c_str(), 1), nullptr);
  EXPECT_EQ(jPdevMcnOpen(nullptr, 1), nullptr);
  EXPECT_EQ(jPdevMcnOpen(empty.join("missing").c_str(), 1), nullptr);
  jMcnTable foreign{};
  EXPECT_EQ(jPdevMcnClose(&foreign), 0);
  EXPECT_EQ(jPdevMcnClose(nullptr), 0);
}

TEST_F(MachineTables, TheLoaderFindsThePluginOfAMachineAndUnloadsIt) {
  jOemSetText("");
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  ASSERT_TRUE(jdraw::loadPluginForMachine(folder.path().c_str(), "EPSON RX-2", &plugin, &record));
  EXPECT_EQ(record.machineIndex, 1);
  EXPECT_EQ(record.xResolution, 720);
  ASSERT_EQ(plugin.exports().openMachine(&record), 1);
  EXPECT_NE(record.state, nullptr);
  EXPECT_EQ(plugin.exports().closeMachine(&record), 1);
  plugin.unload();
  EXPECT_FALSE(plugin.loaded());
  EXPECT_FALSE(jdraw::loadPluginForMachine(folder.path().c_str(), "LumoraLX1", &plugin, &record))
      << "not offered to this host";
  EXPECT_FALSE(jdraw::loadPluginForMachine(folder.path().c_str(), "EPSON RX-", &plugin, &record));
  EXPECT_FALSE(plugin.loaded());
}

TEST_F(MachineTables, SetupOfAnUnknownMachineDoesNothing) {
  jMcnEntry entry{"No Such Machine", 1};
  EXPECT_EQ(jPdevMcnSetup(folder.path().c_str(), &entry, nullptr), 0);
  EXPECT_EQ(jPdevMcnSetup(folder.path().c_str(), nullptr, nullptr), 0);
}

}  // namespace
