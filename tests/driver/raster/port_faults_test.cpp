// A job whose printer stops reading or drops the connection, through the
// document exports: the failure reaches the host as jPrintEndDoc 0, and a
// cancel given to the host's yield hook ends a blocked send no later than
// the port's time-out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SPOOL.h"
#include "driver/machines/exports.h"
#include "loopback_support.h"
#include "page_bench.h"
#include "platform/clock.h"

namespace {

using raster_test::PageBench;
using spool_test::LoopbackListener;
using spool_test::Peer;

// A bench whose spooled job goes to a loopback printer with the given
// time-out (seconds; 0 = the default) and holds 16 MB in its spool file.
void spoolToPrinter(PageBench& bench, const LoopbackListener& printer, int timeoutSeconds) {
  const std::string port = "127.0.0.1:" + std::to_string(printer.port());
  const std::string registry =
      timeoutSeconds ? "TIMEOUT\t" + port + "\t" + std::to_string(timeoutSeconds) + "\r\n" : std::string();
  ASSERT_TRUE(testing_support::writeBytes(bench.work.join("DEVICE.rgs"), registry.c_str()));
  jSplSaveDevicePort(bench.work.join("DEVICE.rgs").c_str());
  std::snprintf(bench.state->portName, sizeof bench.state->portName, "%s", port.c_str());
  ASSERT_TRUE(bench.openDocument(100));
  const std::vector<uint8_t> job(16 * 1024 * 1024, 0x11);
  jSPOOL spool = bench.state->engine.spoolHandle;
  ASSERT_EQ(1, jSplWrite_buff(spool, job.data(), static_cast<int>(job.size())));
  ASSERT_EQ(1, jSplWritePrinter(spool));
}

TEST(PortFaults, ADroppedConnectionOrAStalledPrinterFailsTheDocument) {
  for (Peer peer : {Peer::kDrop, Peer::kStall}) {
    LoopbackListener printer(peer, 2 * 1024 * 1024);
    PageBench bench;
    spoolToPrinter(bench, printer, 1);
    EXPECT_EQ(0, jPrintEndDoc(&bench.context)) << (peer == Peer::kDrop ? "dropped" : "stalled");
    EXPECT_EQ(nullptr, bench.state->engine.spoolHandle);
  }
}

// A cancel still owes the printer the job's end: a printer that takes
// nothing is given up at the port's time-out, not at the cancel, and not
// later either.
TEST(PortFaults, ACancelOnAStalledPrinterEndsAtThePortTimeOut) {
  LoopbackListener printer(Peer::kStall);
  PageBench bench;
  spoolToPrinter(bench, printer, 2);
  const long long start = platform::monotonicMilliseconds();
  long long cancelledAt = 0;
  bench.log.yieldAnswer = [&] {
    if (platform::monotonicMilliseconds() - start < 300) return 1;
    if (!cancelledAt) cancelledAt = platform::monotonicMilliseconds();
    return 0;
  };
  EXPECT_EQ(0, jPrintEndDoc(&bench.context));
  ASSERT_NE(0, cancelledAt) << "the host was asked while the send was blocked";
  const long long took = platform::monotonicMilliseconds() - start;
  EXPECT_GE(took, 2000);
  EXPECT_LT(took, 3000 + 1000);
}

}  // namespace
