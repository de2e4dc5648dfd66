// escp-decode: reads a printer byte stream as RX3 writes it and shows what
// is in it: a frame listing, the pages' sizes and ink coverage, and a
// composite PNG per page as a soft proof. The file is read piece by piece
// and each page is built, shown and let go before the next: a print file of
// any length and any number of pages takes the memory of one page.
//
//   escp-decode [--list] [--png out.png] [--scale N] [--grid N] stream.prn
//
// --list   one line per frame (raster rows included)
// --png    composite picture; pages after the first get -2, -3 ... before .png
// --scale  cells of N x N dots for the picture and the statistics (default 1;
//          2N x N where the stream's dots are twice as fine across)
// --grid   mean coverage of every ink over an N x N grid of regions
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/frame_listing.h"
#include "libs/escdecode/page_stream.h"
#include "libs/escdecode/png_writer.h"

namespace {

struct Options {
  bool list = false;
  std::string png;
  int scale = 1;
  int grid = 0;
  std::string input;
};

int usage() {
  std::fprintf(stderr, "usage: escp-decode [--list] [--png out.png] [--scale N] [--grid N] stream\n");
  return 2;
}

bool parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--list") {
      o->list = true;
    } else if (a == "--png") {
      if (!value(&o->png)) return false;
    } else if (a == "--scale" || a == "--grid") {
      if (!value(&v)) return false;
      const int n = std::atoi(v.c_str());
      if (n < 1 || n > 4096) return false;
      (a == "--scale" ? o->scale : o->grid) = n;
    } else if (!a.empty() && a[0] == '-') {
      return false;
    } else {
      if (!o->input.empty()) return false;
      o->input = a;
    }
  }
  return !o->input.empty();
}

std::string pagePath(const std::string& base, size_t page) {
  if (page == 0) return base;
  const size_t dot = base.rfind('.');
  const std::string suffix = "-" + std::to_string(page + 1);
  if (dot == std::string::npos) return base + suffix;
  return base.substr(0, dot) + suffix + base.substr(dot);
}

void printCoverage(const escp::DotPage& page, int grid) {
  for (int j = 0; j < escp::kPlanes; ++j) {
    const double mean = escp::meanCoverage(page, j, 0, 0, page.width, page.height);
    std::printf("  %-17s %6.2f %%", escp::inkName(j), mean * 100);
    if (grid > 0) {
      std::printf("  |");
      for (int gy = 0; gy < grid; ++gy)
        for (int gx = 0; gx < grid; ++gx) {
          const int x0 = page.width * gx / grid, x1 = page.width * (gx + 1) / grid;
          const int y0 = page.height * gy / grid, y1 = page.height * (gy + 1) / grid;
          std::printf(" %5.1f", escp::meanCoverage(page, j, x0, y0, x1, y1) * 100);
        }
    }
    std::printf("\n");
  }
}

bool showPage(const Options& o, size_t index, const escp::DotPage& page) {
  std::printf("page %zu: %d x %d dots\n", index + 1, page.dotWidth, page.dotHeight);
  printCoverage(page, o.grid);
  if (o.png.empty() || page.width <= 0 || page.height <= 0) return true;
  const std::string path = pagePath(o.png, index);
  if (escp::writePng(path, page.width, page.height, escp::composite(page))) return true;
  std::fprintf(stderr, "escp-decode: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, &o)) return usage();
  std::FILE* file = std::fopen(o.input.c_str(), "rb");
  if (!file) {
    std::fprintf(stderr, "escp-decode: cannot read %s\n", o.input.c_str());
    return 1;
  }
  bool unwritten = false, refused = false;
  escp::PageStream pages(
      o.scale,
      [&](size_t index, const escp::DotPage& page) {
        unwritten = !showPage(o, index, page);
        return !unwritten;
      },
      [&](size_t index, const std::string& why) {
        std::printf("page %zu: refused: %s\n", index + 1, why.c_str());
        refused = true;
        return true;
      });
  size_t frames = 0, rows = 0;
  escp::StreamOffset bytes = 0;
  std::string error;
  escp::Problem problem{0, {}};
  const bool clean = escp::decodeEachFrame(
      escp::readFromFile(file),
      [&](const escp::Frame& f) {
        if (o.list) std::printf("%s\n", escp::describe(f).c_str());
        ++frames;
        rows += f.kind == escp::FrameKind::kRasterRow;
        bytes = f.offset + f.length;
        return pages.take(f, &error);
      },
      &problem);
  std::fclose(file);
  if (unwritten) return 1;
  if (!error.empty()) {
    std::printf("problem: %s\n", error.c_str());
    return 1;
  }
  // Rows decoded before a problem still make their page, as far as they go.
  if (!pages.finish(&error)) return 1;
  std::printf("%llu bytes, %zu frames, %zu raster rows\n", static_cast<unsigned long long>(bytes), frames, rows);
  if (!clean)
    std::printf("problem at %08llX: %s\n", static_cast<unsigned long long>(problem.offset), problem.message.c_str());
  return clean && !refused ? 0 : 1;
}
