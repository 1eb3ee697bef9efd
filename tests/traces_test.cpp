// What the three trace drivers have in common, run for each of them: every
// failure reported once and ending the call, dimensions refused before any
// allocation or read, failed allocations giving back what was obtained,
// and a missing root or progress object not stopping the drawing. What is
// particular to one driver is in traces_xy_test.cpp and traces_yt_test.cpp.
#include <climits>

#include "chain_hook.h"
#include "host_test.h"
#include "ledger.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A failure: the fault, the message, how many blocks were drawn before it,
// and whether the fault is on the X channel (else the channel drawn as y).
// Faults on setting "Data" or "DataSize" and on "Draw" are on the drawing
// object.
struct FailureCase {
  const char* message;
  Fault fault;
  int drawn;
  bool onX = false;
};

// Channel record sizes and dimension indexes the sanity checks refuse.
struct Dims {
  int xDims, yDims, xDim, yDim;
};

// A driver as these cases call it: the time-series drivers draw `y` and
// leave `x` and its dimension alone.
struct Driver {
  const char* name;
  int (*draw)(HostObject host, HostObject drawing, HostObject x, HostObject y, int xDim, int yDim);
  std::string prefix;  // of every message but "Draw failed."
  int arrays;          // scratch arrays, allocated before the first read
  std::vector<FailureCase> failures;
  std::vector<Dims> badDims;
};

// The failures of the time-series drivers, which read one channel.
const std::vector<FailureCase> kTimeSeriesFailures = {
    {"In _CDrawXTTrace. Failed to get NumDims or SampleInc.", {"tarnObjectGetLong", "NumDims"}, 0},
    {"In _CDrawXTTrace. Failed to get NumDims or SampleInc.", {"tarnObjectGetDouble", "SampleInc"}, 0},
    {"In _CDrawXTTrace.  Failed to determine NumBursts.", {"tarnObjectGetSize", "BurstBase"}, 0},
    {"In _CDrawXTTrace.  Failed to get BurstBase etc.", {"tarnObjectGetDouble", "BurstBase", 1}, 2},
    {"In _CDrawXTTrace.  Failed to get BurstBase etc.", {"tarnObjectGetLong", "BurstBaseScan"}, 0},
    {"In _CDrawXTTrace.  Failed to get BurstBase etc.", {"tarnObjectGetLong", "BurstEndScan", 1}, 2},
    {"In _CDrawXTTrace. tarnChannelDataSeek failed.", {"tarnChannelDataSeek", "", 1}, 1},
    {"In _CDrawXTTrace. tarnChannelGetDataDouble failed.", {"tarnChannelGetDataDouble"}, 0},
    {"In _CDrawXTTrace. tarnChannelGetDataDouble failed.",
     {"tarnChannelGetDataDouble", "", 2, 1, 0, 1}, 2},
    {"Draw failed.", {"tarnObjectSetString", "Data"}, 0},
    {"Draw failed.", {"tarnObjectSetLong", "DataSize", 1}, 1},
    {"Draw failed.", {"tarnObjectCallSub", "Draw", 2}, 2},
};
// The X side is good; the channel drawn has these record sizes and indexes.
const std::vector<Dims> kTimeSeriesBadDims = {{2, 1, 1, 1},  {2, -1, 1, 1}, {2, 2, 1, 0}, {2, 2, 1, -1},
                                              {2, 2, 1, 2}, {2, 4, 1, 4},  {2, 3, 1, INT_MAX}};

const Driver kDrivers[] = {
    {"XYTrace",
     [](HostObject h, HostObject d, HostObject x, HostObject y, int xDim, int yDim) {
       return _CDrawXYTrace(h, d, x, y, xDim, yDim);
     },
     "In _CDrawXYTrace.",
     3,
     {
         {"In _CDrawXYTrace. Failed to get NumDims.", {"tarnObjectGetLong", "NumDims"}, 0, true},
         {"In _CDrawXYTrace. Failed to get NumDims.", {"tarnObjectGetLong", "NumDims"}, 0},
         {"In _CDrawXYTrace.  Failed to determine NumBursts.", {"tarnObjectGetSize", "BurstBase"}, 0,
          true},
         {"In _CDrawXYTrace.  Failed to get BurstAbsStart etc.",
          {"tarnObjectGetLong", "BurstBaseScan", 1}, 2, true},
         {"In _CDrawXYTrace.  Failed to get BurstAbsStart etc.", {"tarnObjectGetLong", "BurstEndScan"},
          0},
         {"In _CDrawXYTrace. tarnChannelDataSeek failed.", {"tarnChannelDataSeek"}, 0, true},
         {"In _CDrawXYTrace. tarnChannelDataSeek failed.", {"tarnChannelDataSeek", "", 1}, 1},
         {"In _CDrawXYTrace. tarnChannelGetDataDouble failed.", {"tarnChannelGetDataDouble"}, 0, true},
         {"In _CDrawXYTrace. tarnChannelGetDataDouble failed.",
          {"tarnChannelGetDataDouble", "", 0, 1, 0, 1}, 0},
         {"Draw failed.", {"tarnObjectSetString", "Data", 1}, 1},
         {"Draw failed.", {"tarnObjectSetLong", "DataSize"}, 0},
         {"Draw failed.", {"tarnObjectCallSub", "Draw", 1}, 1},
     },
     // The last three would read outside the sample record.
     {{1, 2, 1, 1}, {2, 1, 1, 1}, {2, 2, 0, 1}, {2, 2, 1, -3}, {0, 2, 1, 1}, {2, 2, 2, 1}, {3, 4, 1, 4},
      {2, 2, INT_MAX, 1}}},
    {"YTTrace",
     [](HostObject h, HostObject d, HostObject, HostObject y, int, int yDim) {
       return _CDrawYTTrace(h, d, y, yDim);
     },
     "In _CDrawXTTrace.", 2, kTimeSeriesFailures, kTimeSeriesBadDims},
    {"YTBars",
     [](HostObject h, HostObject d, HostObject, HostObject y, int, int yDim) {
       return _CDrawYTBars(h, d, y, yDim);
     },
     "In _CDrawXTTrace.", 2, kTimeSeriesFailures, kTimeSeriesBadDims},
};

class TraceDriverTest : public HostTest, public ::testing::WithParamInterface<Driver> {
 protected:
  tarn::Host& h = tarn::host();
};

TEST_P(TraceDriverTest, EveryFailureIsReportedOnceAndEndsTheCall) {
  for (const FailureCase& c : GetParam().failures) {
    SCOPED_TRACE(std::string(c.message) + " / " + c.fault.operation + " " + c.fault.name +
                 (c.onX ? " on X" : ""));
    h.Reset();
    h.SetErrorResult(7);  // ignored: the drivers return 0
    Ledger ledger;
    tarn::Handle x = ScanChannel(2, 1, {{0, 0, 150000}, {0, 200000, 200009}});
    tarn::Handle y = ScanChannel(2, 1, {{0, 0, 150000}, {0, 200000, 200009}});
    DrawRecorder draw;
    Fault fault = c.fault;
    fault.object = c.onX ? x : y;
    if (fault.operation.rfind("tarnObjectSet", 0) == 0 || fault.operation == "tarnObjectCallSub")
      fault.object = draw.object();
    probe_.AddFault(fault);
    EXPECT_EQ(GetParam().draw(host_, draw.object(), x, y, 1, 1), 0);
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    EXPECT_EQ(h.Errors()[0].object, host_);
    EXPECT_EQ(static_cast<int>(draw.blocks().size()), c.drawn);
    EXPECT_EQ(static_cast<int>(ProgressValues().size()), c.drawn + 1);
    ExpectProgressClosed();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_P(TraceDriverTest, BadDimensionsAreRefusedBeforeAnyAllocationOrRead) {
  for (const Dims& d : GetParam().badDims) {
    SCOPED_TRACE(::testing::Message() << d.xDims << " " << d.yDims << " " << d.xDim << " " << d.yDim);
    h.Reset();
    Ledger ledger;
    tarn::Handle x = ScanChannel(d.xDims, 1, {{0, 0, 9}});
    tarn::Handle y = ScanChannel(d.yDims, 1, {{0, 0, 9}});
    DrawRecorder draw;
    EXPECT_EQ(GetParam().draw(host_, draw.object(), x, y, d.xDim, d.yDim), 0);
    EXPECT_THAT(Messages(), ElementsAre(GetParam().prefix + " Sanity checks failed."));
    EXPECT_EQ(ledger.Made("malloc"), 0);
    EXPECT_EQ(probe_.CallCount("tarnChannelDataSeek") + probe_.CallCount("tarnChannelGetDataDouble"), 0);
    EXPECT_THAT(draw.blocks(), IsEmpty());
    ExpectProgressClosed();
  }
}

TEST_P(TraceDriverTest, FailedAllocationsFreeWhatWasObtained) {
  // The inputs and then the output are asked for, before the bursts are counted.
  for (int failing = 1; failing <= GetParam().arrays; ++failing) {
    SCOPED_TRACE(failing);
    h.Reset();
    Ledger ledger;
    auto fail = FailNth<MallocSig>("msvcrt.dll", "malloc", failing, nullptr);
    tarn::Handle channel = ScanChannel(3, 1, {{0, 0, 9}});
    DrawRecorder draw;
    EXPECT_EQ(GetParam().draw(host_, draw.object(), channel, channel, 1, 2), 0);
    EXPECT_EQ(ledger.Made("malloc"), failing - 1) << "no allocation after the failed one";
    EXPECT_THAT(Messages(), ElementsAre(GetParam().prefix + " malloc failed."));
    EXPECT_THAT(draw.blocks(), IsEmpty());
    EXPECT_EQ(probe_.CallCount("tarnObjectGetSize"), 0);
    ExpectProgressClosed();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_P(TraceDriverTest, AMissingRootOrProgressObjectDoesNotStopTheDrawing) {
  for (const char* operation : {"tarnObjectGetObject", "tarnProgressNew"}) {
    SCOPED_TRACE(operation);
    h.Reset();
    probe_.AddFault({operation});
    tarn::Handle channel = ScanChannel(2, 1, {{0, 0, 150000}});
    DrawRecorder draw;
    EXPECT_EQ(GetParam().draw(host_, draw.object(), channel, channel, 1, 1), 1);
    EXPECT_EQ(draw.blocks().size(), 2u);
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(probe_.CallCount("tarnProgress"), 0);
    EXPECT_THAT(DeletedProgress(), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(AllDrivers, TraceDriverTest, ::testing::ValuesIn(kDrivers),
                         [](const ::testing::TestParamInfo<Driver>& driver) { return driver.param.name; });

}  // namespace
}  // namespace vorda_test
