// Which machines the device-settings dialog offers under each host keyword.
#include "app/dialogs/device_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Base.h"

namespace vlx {
namespace {

// A machine table laid out as the drawing library hands it over.
class Table {
 public:
  Table(std::initializer_list<std::pair<const char*, int32_t>> machines) {
    table_ = static_cast<jMcnTable*>(jMemAlloc(offsetof(jMcnTable, entries) + machines.size() * sizeof(jMcnEntry)));
    table_->count = static_cast<int32_t>(machines.size());
    int i = 0;
    for (const auto& [name, usable] : machines) {
      std::strncpy(table_->entries[i].name, name, sizeof table_->entries[i].name);
      table_->entries[i++].usable = usable;
    }
  }
  ~Table() { jMemFree(table_); }
  jMcnTable* get() const { return table_; }

 private:
  jMcnTable* table_;
};

TEST(DeviceSettingsTest, HostKeywordChoosesTheMachines) {
  const Table table{{"RX3-1600", 1},  {"Lumora 64", 1}, {"RX3-1300", 1},
                    {"Lumora 42", 0}, {"lumora 30", 1}, {"RX3-1000", 2}};
  const struct {
    const char* keyword;
    std::vector<int> offered;
  } cases[] = {
      {"Tagwright", {1}},            // only Lumora, case-sensitive prefix
      {"Quillet", {0, 2, 4}},        // everything but Lumora
      {"Quaddle", {0, 1, 2, 4}},     // every usable machine
      {"Tagwright2", {0, 1, 2, 4}},  // the keyword is compared whole
      {"", {0, 1, 2, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.offered, offeredMachines(table.get(), c.keyword)) << c.keyword;
  EXPECT_EQ((std::vector<int>{0, 1, 2, 4}), offeredMachines(table.get(), nullptr)) << "flags 0 and 2 never";
  EXPECT_TRUE(offeredMachines(nullptr, "Quaddle").empty());
}

TEST(DeviceSettingsTest, ANameThatFillsItsFieldIsStillOffered) {
  const Table table{{"", 1}};
  std::memset(table.get()->entries[0].name, 'M', sizeof table.get()->entries[0].name);
  EXPECT_EQ(std::vector<int>{0}, offeredMachines(table.get(), "Quaddle"));
}

}  // namespace
}  // namespace vlx
