#include "tools/paper-profiles/builtin_papers.h"

#include <cstdio>
#include <cstring>

namespace papers {
namespace {

struct Paper {
  const char* name;
  const char* tableKey;        // part of the colour-table file names
  int32_t inkLimit[kInkSets];  // percent, per ink set
  int32_t colorMode;           // 254 converts in CMYK
};

constexpr Paper kPapers[] = {
    {"普通紙 (720x720)", "PLAIN", {120, 110}, 0},      {"普通紙 (1440x720)", "PLAIN", {120, 110}, 0},
    {"ﾏｯﾄ紙 (1440x720)", "MATTE", {157, 157}, 0},      {"光沢ﾌｫﾄ紙 (1440x720)", "GLOSS", {180, 160}, 0},
    {"光沢ﾌｫﾄ紙 (1440x1440)", "GLOSS", {180, 160}, 0}, {"半光沢ﾌｫﾄ紙 (1440x720)", "SEMIGLOSS", {170, 150}, 0},
    {"合成紙 (720x720)", "SYNTH", {140, 130}, 0},      {"ﾌﾟﾙｰﾌ用紙 CMYK (1440x720)", "PROOF", {157, 150}, 254},
};

void copyField(char* out, std::size_t capacity, const char* text) {
  std::snprintf(out, capacity, "%s", text);
}

}  // namespace

const char* const kCpfNames[6] = {"RX1.cpf", "RX2.cpf", "RX3.cpf", "LX1.cpf", "LX2.cpf", "LX3.cpf"};

int builtinPapers(const char* cpfName, int inkSet, ColorProfile* profiles, int max) {
  // "RX3.cpf" -> "RX3": the machine part of the colour-table names.
  char machine[16];
  copyField(machine, sizeof machine, cpfName);
  if (char* dot = std::strchr(machine, '.')) *dot = '\0';
  int count = 0;
  for (const Paper& paper : kPapers) {
    if (count == max) break;
    ColorProfile& p = profiles[count++];
    jColorProfileInit(&p);
    copyField(p.name, sizeof p.name, paper.name);
    std::snprintf(p.colorFile1, sizeof p.colorFile1, "%s_%s%d.ct1", machine, paper.tableKey, inkSet);
    std::snprintf(p.colorFile2, sizeof p.colorFile2, "%s_%s%d.ct2", machine, paper.tableKey, inkSet);
    p.fixed = 1;
    p.colorMode = paper.colorMode;
    p.drawOption = 0;
    p.inkLimit = paper.inkLimit[inkSet];
  }
  return count;
}

}  // namespace papers
