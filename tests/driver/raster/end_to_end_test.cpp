// Whole documents through the loaded plug-in to a file port, read back with
// the stream decoder: the ink follows the image, a cancelled page ends with
// the abort frame, and two processes printing at once never mix their jobs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/ink/process_support.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "plugin_host.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::ScratchFolder;

std::vector<Bytes> jobsIn(const ScratchFolder& folder) {
  std::vector<Bytes> jobs;
  platform::listFolder(folder.path().c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) jobs.push_back(testing_support::readByteVector(folder.join(e.name)));
    return true;
  });
  return jobs;
}

std::vector<escp::DotPage> pagesOf(const Bytes& job, escp::Stream* stream) {
  EXPECT_TRUE(escp::decodeStream(job.data(), job.size(), stream))
      << (stream->problems.empty() ? "" : stream->problems[0].message);
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_TRUE(escp::buildPages(*stream, 1, &pages, &error)) << error;
  return pages;
}

int count(const escp::Stream& stream, escp::FrameKind kind, const char* name) {
  int n = 0;
  for (const escp::Frame& f : stream.frames)
    if (f.kind == kind && f.name == name) ++n;
  return n;
}

// Mean brightness (0..255) of the soft proof over a region: the light inks
// count at their densities, as they darken paper.
double brightness(const escp::DotPage& page, const std::vector<uint8_t>& proof, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      for (int c = 0; c < 3; ++c) sum += proof[(static_cast<size_t>(y) * page.width + x) * 3 + c];
  return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

double totalInk(const escp::DotPage& page, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int plane = 0; plane < escp::kPlanes; ++plane) sum += escp::meanCoverage(page, plane, x0, y0, x1, y1);
  return sum;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = raster_test::copyPluginInto(driver.path());
    ASSERT_FALSE(plugin.empty()) << raster_test::builtPluginPath();
  }
  ScratchFolder driver{"h5b-plugin"};
  ScratchFolder out{"h5b-out"};
  std::string plugin;
};

// A 2 x 2 image over a 1 x 0.5 inch page: cyan and near-white on top, dark
// grey and light grey below.
raster_test::Document quarters() {
  static const uint8_t pixels[] = {0, 255, 255, 245, 245, 245, 40, 40, 40, 200, 200, 200};
  jGdcItem image{};
  image.kind = J_GDC_RGB_IMAGE;
  image.x1 = 720;
  image.y1 = 360;
  image.width = 2;
  image.height = 2;
  image.pixels = pixels;
  raster_test::Document document;
  document.items.push_back(image);
  return document;
}

TEST_F(EndToEnd, TheInkOnPaperFollowsTheImage) {
  {
    raster_test::PluginHost host(plugin);
    ASSERT_TRUE(host.loaded());
    const raster_test::PrintResult r = host.print(quarters(), out.path());
    EXPECT_EQ(1, r.startDoc);
    EXPECT_EQ((std::vector<int>{1}), r.startPage);
    EXPECT_EQ((std::vector<int>{1, 1}), r.drawPage);
    EXPECT_EQ((std::vector<int>{1}), r.endPage);
    EXPECT_EQ(1, r.endDoc);
  }
  const std::vector<Bytes> jobs = jobsIn(out);
  ASSERT_EQ(1u, jobs.size());
  escp::Stream stream;
  const std::vector<escp::DotPage> pages = pagesOf(jobs[0], &stream);
  ASSERT_EQ(1u, pages.size());
  const escp::DotPage& page = pages[0];
  ASSERT_EQ(360, page.dotHeight);
  // Page rows run from the top: rows 0..179 are the image's top half.
  const double cyanTopLeft = escp::meanCoverage(page, 0, 0, 0, 360, 180) + escp::meanCoverage(page, 4, 0, 0, 360, 180);
  EXPECT_GT(cyanTopLeft, 0.5) << "cyan where the image is cyan";
  EXPECT_LT(escp::meanCoverage(page, 1, 0, 0, 360, 180), 0.05) << "no magenta there";
  EXPECT_LT(escp::meanCoverage(page, 2, 0, 0, 360, 180), 0.05) << "no yellow there";
  const std::vector<uint8_t> proof = escp::composite(page);
  const double dark = brightness(page, proof, 0, 180, 360, 360);
  const double light = brightness(page, proof, 360, 180, 720, 360);
  const double nearWhite = brightness(page, proof, 360, 0, 720, 180);
  EXPECT_LT(dark + 60, light) << "dark grey prints darker than light grey";
  EXPECT_LT(light, nearWhite) << "light grey darker than near white";
  EXPECT_GT(nearWhite, 200);
  EXPECT_FALSE(testing_support::readByteVector(driver.join("EPSON RX-3.ink")).empty()) << "the page was accounted";
}

TEST_F(EndToEnd, EveryPageOfADocumentComesOutWhole) {
  raster_test::Document document = quarters();
  document.pages = 3;
  {
    raster_test::PluginHost host(plugin);
    const raster_test::PrintResult r = host.print(document, out.path());
    EXPECT_EQ((std::vector<int>{1, 1, 1}), r.startPage);
    EXPECT_EQ((std::vector<int>(6, 1)), r.drawPage);
    EXPECT_EQ((std::vector<int>{1, 1, 1}), r.endPage);
  }
  const std::vector<Bytes> jobs = jobsIn(out);
  ASSERT_EQ(1u, jobs.size());
  escp::Stream stream;
  const std::vector<escp::DotPage> pages = pagesOf(jobs[0], &stream);
  ASSERT_EQ(3u, pages.size());
  EXPECT_EQ(3, count(stream, escp::FrameKind::kRemoteCommand, "JS"));
  EXPECT_EQ(3, count(stream, escp::FrameKind::kRemoteCommand, "JE"));
  for (const escp::DotPage& page : pages) EXPECT_GT(totalInk(page, 0, 180, 360, 360), 0.5);
}

TEST_F(EndToEnd, ACancelledPageEndsWithTheAbortFrame) {
  raster_test::Document document = quarters();
  document.cancelAtYield = 2;  // at line 100 of 360
  {
    raster_test::PluginHost host(plugin);
    const raster_test::PrintResult r = host.print(document, out.path());
    EXPECT_EQ((std::vector<int>{0}), r.drawPage);
    EXPECT_EQ((std::vector<int>{1}), r.endPage) << "the abort trailer was written";
    EXPECT_EQ(1, r.endDoc);
  }
  const std::vector<Bytes> jobs = jobsIn(out);
  ASSERT_EQ(1u, jobs.size());
  escp::Stream stream;
  pagesOf(jobs[0], &stream);
  EXPECT_EQ(1, count(stream, escp::FrameKind::kRemoteCommand, "JE"));
  int abortCut = -1;
  for (size_t i = 0; i < stream.frames.size(); ++i)
    if (stream.frames[i].name == "AC" && stream.frames[i].params == std::vector<uint8_t>{0x00, 0x41})
      abortCut = static_cast<int>(i);
  ASSERT_GE(abortCut, 0) << "the abort command is there";
  for (size_t i = static_cast<size_t>(abortCut); i < stream.frames.size(); ++i)
    EXPECT_NE(escp::FrameKind::kRasterRow, stream.frames[i].kind) << "no raster after the abort";
}

std::vector<std::string> namesIn(const ScratchFolder& folder) {
  std::vector<std::string> names;
  platform::listFolder(folder.path().c_str(), [&](const platform::FolderEntry& e) {
    names.push_back(e.name);
    return true;
  });
  return names;
}

TEST_F(EndToEnd, SpooledDocumentsGoThroughATemporaryFileThatIsGoneAfterwards) {
  raster_test::Document document = quarters();
  document.spoolMode = 1;
  raster_test::PluginHost host(plugin);
  const raster_test::PrintResult r = host.print(document, out.path());
  EXPECT_EQ(1, r.startDoc);
  EXPECT_EQ(157, r.inkLimitAfterStart) << "an ink limit of 0 becomes 157 and stays";
  EXPECT_EQ((std::vector<int>{1}), r.endPage);
  ASSERT_EQ(1u, jobsIn(out).size());
  escp::Stream stream;
  EXPECT_EQ(1u, pagesOf(jobsIn(out)[0], &stream).size());
  for (const std::string& name : namesIn(driver))
    EXPECT_NE(0, name.rfind("SPL", 0)) << name << ": the spool file is removed with its job";
}

TEST_F(EndToEnd, TheHostsSpoolFileNameIsUsed) {
  ScratchFolder work("h5b-spool");
  raster_test::Document document = quarters();
  document.spoolMode = 2;
  document.outputFile = work.join("host.spl");
  raster_test::PluginHost host(plugin);
  EXPECT_EQ(1, host.print(document, out.path()).startDoc);
  EXPECT_EQ(1u, jobsIn(out).size());
  EXPECT_TRUE(namesIn(work).empty()) << "spooled there, sent, and removed";
}

TEST_F(EndToEnd, TwoProcessesPrintingAtOnceKeepTheirJobsApart) {
  const std::string helper = testing_support::siblingProgram("raster_job_helper");
  const std::vector<int> codes = testing_support::runTogether({
      {helper, plugin, out.path(), "3", "cyan"},
      {helper, plugin, out.path(), "3", "magenta"},
  });
  EXPECT_EQ((std::vector<int>{0, 0}), codes);
  const std::vector<Bytes> jobs = jobsIn(out);
  ASSERT_EQ(2u, jobs.size());
  int cyanJobs = 0;
  for (const Bytes& job : jobs) {
    escp::Stream stream;
    const std::vector<escp::DotPage> pages = pagesOf(job, &stream);
    ASSERT_EQ(3u, pages.size()) << "one whole document per file";
    EXPECT_EQ(3, count(stream, escp::FrameKind::kRemoteCommand, "JS"));
    const bool cyan = escp::meanCoverage(pages[0], 0, 0, 0, 720, 360) > 0.3;
    cyanJobs += cyan ? 1 : 0;
    for (const escp::DotPage& page : pages) {
      EXPECT_GT(escp::meanCoverage(page, cyan ? 0 : 1, 0, 0, 720, 360), 0.3);
      EXPECT_LT(escp::meanCoverage(page, cyan ? 1 : 0, 0, 0, 720, 360), 0.05) << "no ink of the other job";
    }
  }
  EXPECT_EQ(1, cyanJobs);
}

}  // namespace
