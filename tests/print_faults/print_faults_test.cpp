// Real prints, from vellox's progress hooks through Draw, RX3 and SPOOL, to
// a printer that misbehaves: per fault, what jPdevPrint says and why, what
// the printer received, what stands in the output folder, and what the ink
// account was charged. A good print is the reference: the same job to a
// file port, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fault_bench.h"
#include "fault_printer.h"
#include "libs/escdecode/escp_decoder.h"

namespace {

using fault_bench::Bench;
using fault_bench::FaultPrinter;
using fault_bench::Outcome;
using fault_bench::PrinterBehaviour;
using Bytes = std::vector<uint8_t>;

constexpr int kTimeoutSeconds = 1;
constexpr long long kCancelBoundMs = 1000;

// The good print of the bench's job and what it costs in ink.
struct Reference {
  Bytes job;
  int64_t ink = 0;
  long long ms = 0;
};

const Reference& reference() {
  static const Reference ref = [] {
    Reference r;
    Bench bench;
    if (!bench.ready()) return r;
    const Outcome o = bench.print();
    const std::vector<std::string> files = bench.outputFiles();
    if (o.result != 1 || files.size() != 1) return r;
    r.job.assign(files[0].begin(), files[0].end());
    r.ink = bench.inkUsed();
    r.ms = o.ms;
    return r;
  }();
  return ref;
}

bool endsWith(const Bytes& bytes, const Bytes& tail) {
  return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - tail.size());
}

// Whether the stream decodes whole and a line's paper move ends right
// before offset cut.
bool cutAfterALine(const Bytes& stream, std::size_t cut) {
  escp::Stream decoded;
  if (!escp::decodeStream(stream.data(), stream.size(), &decoded)) return false;
  for (std::size_t i = 1; i < decoded.frames.size(); ++i) {
    const escp::Frame& before = decoded.frames[i - 1];
    if (decoded.frames[i].offset == cut) return before.kind == escp::FrameKind::kVerticalMove;
  }
  return false;
}

enum class Received { kWholeJob, kCutWithAbortTrailer, kPart };

struct TcpCase {
  const char* name;
  int spoolMode;
  PrinterBehaviour printer;
  double cancelAtShare;  // cancel once the printer has this share of the job; 0: none
  int result;
  const char* reason;  // part of jPdevGetLastError's text; "" for a success
  Received received;
  bool charged;  // the ink account took the page
  // The port's time-out: short where the printer fails, longer where a
  // healthy one must have time to drain what the connection holds at the end.
  int timeoutSeconds = kTimeoutSeconds;
};

// Read limits and speeds as shares of the reference job.
std::vector<TcpCase> tcpCases(std::size_t job) {
  const long slow = 1000 * 1000;  // 1 MB/s: a healthy, slow printer
  return {
      {"slow printer, direct", 0, {slow}, 0, 1, "", Received::kWholeJob, true, 3},
      {"slow printer, spooled", 1, {slow}, 0, 1, "", Received::kWholeJob, true, 3},
      {"stalled printer, direct", 0, {0, 0}, 0, -1, "受け取り", Received::kPart, false},
      {"stalled printer, spooled", 1, {0, 0}, 0, -1, "受け取り", Received::kPart, false},
      {"stops reading midway", 0, {0, job / 4}, 0, -1, "受け取り", Received::kPart, false},
      // More than the printer's window left unread: never acknowledged.
      {"leaves the tail unread", 1, {0, job - 200 * 1024}, 0, -1, "受け取り", Received::kPart, false},
      {"drops the connection, direct", 0, {0, job / 4, true}, 0, -1, "接続が切れました", Received::kPart, false},
      {"drops the connection, spooled", 1, {0, job / 4, true}, 0, -1, "接続が切れました", Received::kPart, false},
      {"cancel while busy, direct", 0, {slow}, 0.3, 0, "中断", Received::kCutWithAbortTrailer, false, 3},
      {"cancel while busy, spooled", 1, {slow}, 0.3, 0, "中断", Received::kCutWithAbortTrailer, false, 3},
  };
}

void runTcpCase(const TcpCase& c, const Reference& ref) {
  {
    SCOPED_TRACE(c.name);
    Bench bench;
    ASSERT_TRUE(bench.ready());
    FaultPrinter printer(c.printer);
    bench.usePort(printer.portText(), c.timeoutSeconds);
    ASSERT_TRUE(bench.setSpoolMode(c.spoolMode));
    const std::size_t cancelAt = static_cast<std::size_t>(c.cancelAtShare * static_cast<double>(ref.job.size()));
    const Outcome o = bench.print(
        c.cancelAtShare > 0 ? std::function<bool()>([&] { return printer.receivedCount() >= cancelAt; }) : nullptr);
    EXPECT_EQ(c.result, o.result);
    if (c.reason[0])
      EXPECT_NE(std::string::npos, o.reason.find(c.reason)) << o.reason;
    else
      EXPECT_EQ("", o.reason);
    // Every wait has its bound: a fault ends the job within the port's
    // time-out (plus the page's own making and a second), a cancel within a
    // second.
    EXPECT_LT(o.ms, ref.ms * 2 + (c.printer.bytesPerSecond ? 3000 : 0) + c.timeoutSeconds * 1000 + 1000);
    if (o.cancelledAt) {
      EXPECT_LT(o.endedAt - o.cancelledAt, kCancelBoundMs);
    }
    // A printer that stops taking bytes fails the job within the time-out
    // and a second of the last byte it got.
    if (c.result == -1 && !c.printer.dropAtLimit) {
      EXPECT_LT(o.endedAt - printer.lastArrivalMs(), c.timeoutSeconds * 1000 + 1000);
    }
    // Spooled, the printer hears of the job only once the page is made; direct, while it is made.
    if (printer.firstByteMs() && o.pageEndedAt) {
      EXPECT_EQ(c.spoolMode != 0, printer.firstByteMs() >= o.pageEndedAt) << "the installation's spool choice";
    }
    EXPECT_TRUE(printer.waitSettled(2000)) << "the printer reads what it was sent";
    const Bytes got = printer.received();
    switch (c.received) {
      case Received::kWholeJob:
        EXPECT_TRUE(got == ref.job) << got.size() << " of " << ref.job.size();
        EXPECT_TRUE(printer.sawJobEnd());
        break;
      case Received::kCutWithAbortTrailer: {
        const Bytes& tail = fault_bench::abortTrailer();
        ASSERT_TRUE(endsWith(got, tail)) << got.size();
        ASSERT_LT(got.size(), ref.job.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end() - tail.size(), ref.job.begin())) << "a part of the job";
        EXPECT_TRUE(cutAfterALine(got, got.size() - tail.size())) << "cut between two lines";
        EXPECT_TRUE(printer.sawJobEnd());
        break;
      }
      case Received::kPart:
        EXPECT_LT(got.size(), ref.job.size());
        break;
    }
    EXPECT_EQ(c.charged ? ref.ink : 0, bench.inkUsed());
    EXPECT_TRUE(bench.strayFiles().empty()) << "no spool file stays behind";
  }
}

TEST(PrintFaults, EveryTcpFaultIsReportedAndLeavesThePrinterOutsideAJob) {
  const Reference& ref = reference();
  ASSERT_FALSE(ref.job.empty()) << "no good print to compare with";
  ASSERT_GT(ref.ink, 0);
  for (const TcpCase& c : tcpCases(ref.job.size()))
    if (c.cancelAtShare == 0) runTcpCase(c, ref);
}

TEST(PrintFaults, ACancelWhileAJobIsSentEndsWithTheAbortTrailer) {
  const Reference& ref = reference();
  ASSERT_FALSE(ref.job.empty()) << "no good print to compare with";
  for (const TcpCase& c : tcpCases(ref.job.size()))
    if (c.cancelAtShare > 0) runTcpCase(c, ref);
}

struct FileCase {
  const char* name;
  int spoolMode;
  long long room;  // bytes a file may grow to; negative: the job's size less that much
  const char* reason;
};

TEST(PrintFaults, AFullDiskFailsThePrintAndLeavesNoPartialFile) {
  if (!fault_bench::FileSizeLimit::available()) GTEST_SKIP() << "no file size limit here";
  const Reference& ref = reference();
  ASSERT_FALSE(ref.job.empty());
  const FileCase cases[] = {
      {"room for the header only", 0, 20000, "出力ﾌｧｲﾙ"},
      {"room for all but the job's end", 0, -16, "出力ﾌｧｲﾙ"},
      {"the spool file fills the disk", 1, 20000, "ｽﾌﾟｰﾙﾌｧｲﾙ"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    ASSERT_TRUE(bench.ready());
    ASSERT_TRUE(bench.setSpoolMode(c.spoolMode));
    const int64_t inkBefore = bench.inkUsed();
    Outcome o;
    {
      fault_bench::FileSizeLimit limit(c.room > 0 ? static_cast<uint64_t>(c.room)
                                                  : static_cast<uint64_t>(ref.job.size() + c.room));
      o = bench.print();
    }
    EXPECT_EQ(-1, o.result);
    EXPECT_NE(std::string::npos, o.reason.find(c.reason)) << o.reason;
    EXPECT_TRUE(bench.outputFiles().empty()) << "only whole jobs stand in the output folder";
    EXPECT_TRUE(bench.strayFiles().empty());
    EXPECT_EQ(inkBefore, bench.inkUsed()) << "a page that did not reach the printer is not charged";
  }
}

TEST(PrintFaults, AGoodPrintIsTheSameJobOnEveryPortAndMode) {
  const Reference& ref = reference();
  ASSERT_FALSE(ref.job.empty());
  Bench bench;
  ASSERT_TRUE(bench.ready());
  ASSERT_TRUE(bench.setSpoolMode(1));
  const Outcome o = bench.print();
  EXPECT_EQ(1, o.result);
  const std::vector<std::string> files = bench.outputFiles();
  ASSERT_EQ(1u, files.size());
  EXPECT_TRUE(Bytes(files[0].begin(), files[0].end()) == ref.job) << "spooled to the file port";
  EXPECT_EQ(ref.ink, bench.inkUsed());
}

}  // namespace
