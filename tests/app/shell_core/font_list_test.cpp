// The host's font list: version, groups, entries, blank and line rules, the
// stored form with exchanged 4-bit halves, and what reaches the drawing
// library's registry.
#include "app/shell/font_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

const std::string kFolder = "D" + std::string(1, platform::kSeparator) + "FONT";
const std::string kGothm = kFolder + platform::kSeparator + "gothm.fnx";

// One registered record as "kind|name|path|A|B".
std::string describe(const jFontRecord& f) {
  return std::to_string(f.kind) + "|" + f.name + "|" + f.path + "|" + std::to_string(f.paramA) + "|" +
         std::to_string(f.paramB);
}

std::vector<std::string> records(const std::string& text) {
  std::vector<std::string> out;
  for (const jFontRecord& f : fontListRecords(text, kFolder.c_str())) out.push_back(describe(f));
  return out;
}

TEST(FontList, ListsRegisterTheirGroupsAndEntries) {
  const std::string group = "1|Gothic||0|1";
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {"the example",
       "[FILEVER]=2000\r\n[FONT]Gothic\r\nFNX;2;Gothic-M;gothm.fnx;\r\nEND_BLOCK\r\n",
       {group, "12|Gothic-M|" + kGothm + "|13|1"}},
      {"tag ttf, number 11, drive colon",
       "[FILEVER]=2000\n[FONT]Gothic\nttf;11;Mincho;C:\\F\\min.ttf;rest\n",
       {group, "11|Mincho|C:\\F\\min.ttf|13|2"}},
      {"fnx in any case, blanks before fields",
       "[FILEVER]=2000\n[FONT] Gothic\n  fNx; 12;\x81\x40M;m.fnx;\n",
       {group, "12|M|" + kFolder + platform::kSeparator + "m.fnx|13|1"}},
      {"entry outside a group ignored", "[FILEVER]=2000\n[FONT]Gothic\nEND_BLOCK\nFNX;2;X;x.fnx;\n", {group}},
      {"fewer than four fields ignored", "[FILEVER]=2000\n[FONT]Gothic\nFNX;2;X;x.fnx\n", {group}},
      {"comment after the group name", "[FILEVER]=2000\n[FONT]Gothic;a comment\n", {group}},
      {"version 3 reads nothing", "[FILEVER]=3000\n[FONT]Gothic\nFNX;2;X;x.fnx;\n", {}},
      {"no version line", "[FONT]Gothic\nFNX;2;X;x.fnx;\n", {}},
      {"version line after a comment mark", "; [FILEVER]=2000\n[FONT]Gothic\n", {}},
      {"name cut to 31 bytes",
       "[FILEVER]=2000\n[FONT]" + std::string(40, 'g') + "\n",
       {"1|" + std::string(31, 'g') + "||0|1"}},
      {"empty lines and NUL line ends", std::string("\r\n\r\n[FILEVER]=2000\0[FONT]Gothic\n\n", 34), {group}},
  };
  for (const auto& c : cases) EXPECT_EQ(records(c.text), c.expected) << c.name;
}

TEST(FontList, ALineLongerThanTheBufferContinuesAsTheNextLineWithoutTheCutByte) {
  // 511 bytes fit; byte 512 ('X') is dropped and the rest is its own line.
  const std::string text = "[FILEVER]=2000\n[FONT]Gothic\n" + std::string(511, ' ') + "X" + "FNX;2;Long;l.fnx;\n";
  EXPECT_EQ(records(text),
            (std::vector<std::string>{"1|Gothic||0|1", "12|Long|" + kFolder + platform::kSeparator + "l.fnx|13|1"}));
}

TEST(FontList, StoredBytesHaveTheirHalvesExchanged) {
  std::string bytes = "\xB3\x3B";
  swapNibbles(&bytes);
  EXPECT_EQ(bytes, ";\xB3");
}

TEST(FontList, RegistrationPutsTheBuiltInGroupsFirstAndTheListAfter) {
  testing_support::ScratchFolder folder;
  std::string stored = "[FILEVER]=2000\r\n[FONT]Gothic\r\nFNX;2;Gothic-M;gothm.fnx;\r\nEND_BLOCK\r\n";
  swapNibbles(&stored);
  const std::string list = folder.join("Tagwright.ini");
  ASSERT_TRUE(testing_support::writeBytes(list, stored));
  const std::string builtIn[] = {"1|日本語TrueType一覧表||0|1", "21|||4|1", "1|欧文TrueType一覧表||0|1", "21|||3|1"};

  const struct {
    std::string path;
    int count;
  } cases[] = {{list, 6}, {folder.join("missing.ini"), 4}};
  for (const auto& c : cases) {
    ASSERT_EQ(registerFonts(c.path.c_str(), kFolder.c_str()), 1);
    ASSERT_EQ(jFontCount(), c.count) << c.path;
    for (int i = 0; i < 4; ++i) {
      jFontRecord f{};
      ASSERT_TRUE(jFontGet(i, &f));
      EXPECT_EQ(describe(f), builtIn[i]);
    }
  }
  ASSERT_EQ(registerFonts(list.c_str(), kFolder.c_str()), 1);
  jFontRecord entry{};
  ASSERT_TRUE(jFontGet(5, &entry));
  EXPECT_EQ(describe(entry), "12|Gothic-M|" + kGothm + "|13|1");

  // Written as plain text the list is unreadable: only the built-in groups.
  ASSERT_TRUE(testing_support::writeBytes(list, "[FILEVER]=2000\r\n[FONT]Gothic\r\n"));
  ASSERT_EQ(registerFonts(list.c_str(), kFolder.c_str()), 1);
  EXPECT_EQ(jFontCount(), 4);
  EXPECT_EQ(registerFonts(nullptr, kFolder.c_str()), 0);
}

}  // namespace
}  // namespace vlx
