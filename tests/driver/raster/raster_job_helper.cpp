// Prints one document through the plug-in from a process of its own, so
// that the tests can run several at once on one output folder.
//   raster_job_helper <plug-in> <output folder> <pages> <cyan|magenta>
// Exit code 0 when every export answered 1.
#include <cstdlib>
#include <cstring>

#include "plugin_host.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  raster_test::PluginHost host(argv[1]);
  if (!host.loaded()) return 3;
  raster_test::Document document;
  document.pages = std::atoi(argv[3]);
  jGdcItem fill{};
  fill.kind = J_GDC_RGB_FILL;
  fill.x1 = 720;
  fill.y1 = 360;
  const bool cyan = std::strcmp(argv[4], "cyan") == 0;
  fill.color[0] = cyan ? 0 : 255;
  fill.color[1] = cyan ? 255 : 0;
  fill.color[2] = 255;
  document.items.push_back(fill);
  const raster_test::PrintResult r = host.print(document, argv[2]);
  bool ok = r.startDoc == 1 && r.endDoc == 1 && static_cast<int>(r.endPage.size()) == document.pages;
  for (int v : r.startPage) ok = ok && v == 1;
  for (int v : r.drawPage) ok = ok && v == 1;
  for (int v : r.endPage) ok = ok && v == 1;
  return ok ? 0 : 1;
}
