// _CDrawXYTrace as a host sees it: the blocks its "Draw" routine gets, the
// progress calls, the messages, and what is left afterwards.
#include <climits>

#include "chain_hook.h"
#include "host_test.h"
#include "ledger.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Pairs = std::vector<std::pair<double, double>>;

class XYTraceTest : public HostTest {
 protected:
  tarn::Host& h = tarn::host();
};

struct BlockCase {
  const char* name;
  int first, last;
  std::vector<int> sizes, firstScans;
  Pairs progress;
};

TEST_F(XYTraceTest, BurstsAreCutIntoBlocksThatShareTheirLastSample) {
  const BlockCase cases[] = {
      {"250000 samples", 0, 249999, {100000, 100000, 50002}, {0, 99999, 199998},
       {{0, 249999}, {99999, 249999}, {199998, 249999}}},
      {"100000 samples", 7, 100006, {100000}, {7}, {{7, 100006}}},
      {"100001 samples", 0, 100000, {100000, 2}, {0, 99999}, {{0, 100000}, {99999, 100000}}},
      {"one sample", -5, -5, {1}, {-5}, {{-5, -5}}},
      {"up to the last scan", INT_MAX - 100000, INT_MAX, {100000, 2},
       {INT_MAX - 100000, INT_MAX - 1},
       {{INT_MAX - 100000.0, INT_MAX}, {INT_MAX - 1.0, INT_MAX}}},
  };
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(c.name);
    h.Reset();
    Ledger ledger;
    tarn::Handle x = ScanChannel(2, 1, {{0, c.first, c.last}});
    tarn::Handle y = ScanChannel(2, 1, {{0, c.first, c.last}}, -1);
    DrawRecorder draw;
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 1, 1), 1);

    ASSERT_EQ(draw.blocks().size(), c.sizes.size());
    for (size_t b = 0; b < c.sizes.size(); ++b) {
      const DrawnBlock& block = draw.blocks()[b];
      const int n = c.sizes[b];
      ASSERT_EQ(block.dataSize, 2 * n);
      ASSERT_EQ(block.bytes, 16u * n);
      EXPECT_EQ(block.data[0], c.firstScans[b]);
      EXPECT_EQ(block.data[2 * n - 2], static_cast<double>(c.firstScans[b]) + n - 1);
      bool paired = true;
      for (int k = 0; k < n; ++k) paired &= block.data[2 * k + 1] == -block.data[2 * k];
      EXPECT_TRUE(paired) << "y of each sample beside its x";
    }
    Pairs expected = c.progress;
    expected.push_back({0, 100});
    EXPECT_EQ(ProgressValues(), expected);
    ExpectProgressClosed();
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_F(XYTraceTest, DataInterleavesTheChosenDimensionsOfBothChannels) {
  // X records of 3 values, Y records of 2, in memory.
  tarn::Handle x = h.NewChannel(4, 1, {{0, 10, 12}});
  h.SetSamples(x, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  tarn::Handle y = h.NewChannel(3, 1, {{0, 10, 12}});
  h.SetSamples(y, 10, {-1, -2, -3, -4, -5, -6});
  DrawRecorder draw;
  ASSERT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 3, 2), 1);
  ASSERT_EQ(draw.blocks().size(), 1u);
  const double expected[] = {3, -2, 6, -4, 9, -6};
  const tarn::Property* data = h.Find(draw.object(), "Data");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::get<tarn::Bytes>(*data),
            std::string(reinterpret_cast<const char*>(expected), sizeof expected));
  EXPECT_EQ(LongOf(draw.object(), "DataSize"), 6);
}

TEST_F(XYTraceTest, BurstsEndingBeforeTheyBeginArePassedOverAndTheShorterYBurstBounds) {
  tarn::Handle x = ScanChannel(2, 1, {{0, 0, 9}, {0, 50, 49}, {0, 100, 200099}});
  tarn::Handle y = ScanChannel(2, 1, {{0, 0, 4}, {0, 50, 60}, {0, 100, 150099}}, -1);
  DrawRecorder draw;
  EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 1, 1), 1);
  std::vector<int> sizes;
  for (const DrawnBlock& b : draw.blocks()) sizes.push_back(b.dataSize / 2);
  EXPECT_THAT(sizes, ElementsAre(5, 100000, 50001));
  EXPECT_EQ(draw.blocks().back().data[2 * 50000], 150099);
  EXPECT_EQ(ProgressValues(), (Pairs{{0, 4}, {100, 150099}, {100099, 150099}, {0, 100}}));
  ExpectProgressClosed();
}

TEST_F(XYTraceTest, NoBurstsDrawNothingAndSucceed) {
  for (int shape = 0; shape < 2; ++shape) {
    h.Reset();
    tarn::Handle x = ScanChannel(2, 1, {});
    tarn::Handle y = ScanChannel(2, 1, {{0, 0, 9}});
    DrawRecorder draw;
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 1, 1), 1);
    EXPECT_THAT(draw.blocks(), IsEmpty());
    EXPECT_EQ(ProgressValues(), (Pairs{{0, 100}}));
    ExpectProgressClosed();
  }
}

// Each failure: the fault, the message, and how many blocks were drawn.
struct FailureCase {
  const char* message;
  Fault fault;
  int drawn;
  bool onY = false;
};

TEST_F(XYTraceTest, EveryFailureIsReportedOnceAndEndsTheCall) {
  const FailureCase cases[] = {
      {"In _CDrawXYTrace. Failed to get NumDims.", {"tarnObjectGetLong", "NumDims"}, 0},
      {"In _CDrawXYTrace. Failed to get NumDims.", {"tarnObjectGetLong", "NumDims"}, 0, true},
      {"In _CDrawXYTrace.  Failed to determine NumBursts.", {"tarnObjectGetSize", "BurstBase"}, 0},
      {"In _CDrawXYTrace.  Failed to get BurstAbsStart etc.",
       {"tarnObjectGetLong", "BurstBaseScan", 1}, 2},
      {"In _CDrawXYTrace.  Failed to get BurstAbsStart etc.", {"tarnObjectGetLong", "BurstEndScan"},
       0, true},
      {"In _CDrawXYTrace. tarnChannelDataSeek failed.", {"tarnChannelDataSeek"}, 0},
      {"In _CDrawXYTrace. tarnChannelDataSeek failed.", {"tarnChannelDataSeek", "", 1}, 1, true},
      {"In _CDrawXYTrace. tarnChannelGetDataDouble failed.", {"tarnChannelGetDataDouble"}, 0},
      {"In _CDrawXYTrace. tarnChannelGetDataDouble failed.",
       {"tarnChannelGetDataDouble", "", 0, 1, 0, 1}, 0, true},
      {"Draw failed.", {"tarnObjectSetString", "Data", 1}, 1},
      {"Draw failed.", {"tarnObjectSetLong", "DataSize"}, 0},
      {"Draw failed.", {"tarnObjectCallSub", "Draw", 1}, 1},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(std::string(c.message) + " / " + c.fault.operation + " " + c.fault.name +
                 (c.onY ? " on Y" : ""));
    h.Reset();
    h.SetErrorResult(7);  // ignored: the drivers return 0
    Ledger ledger;
    tarn::Handle x = ScanChannel(2, 1, {{0, 0, 150000}, {0, 200000, 200009}});
    tarn::Handle y = ScanChannel(2, 1, {{0, 0, 150000}, {0, 200000, 200009}});
    DrawRecorder draw;
    Fault fault = c.fault;
    fault.object = c.onY ? y : x;
    if (fault.operation.rfind("tarnObjectSet", 0) == 0 || fault.operation == "tarnObjectCallSub")
      fault.object = draw.object();
    probe_.AddFault(fault);
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 1, 1), 0);
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    EXPECT_EQ(h.Errors()[0].object, host_);
    EXPECT_EQ(static_cast<int>(draw.blocks().size()), c.drawn);
    EXPECT_EQ(static_cast<int>(ProgressValues().size()), c.drawn + 1);
    ExpectProgressClosed();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_F(XYTraceTest, ADrawRoutineThatFailsIsReported) {
  DrawRecorder draw([](tarn::Handle) { return 0; });
  tarn::Handle x = ScanChannel(2, 1, {{0, 0, 9}});
  EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, x, 1, 1), 0);
  EXPECT_THAT(Messages(), ElementsAre("Draw failed."));
  EXPECT_EQ(draw.blocks().size(), 1u);
  ExpectProgressClosed();
}

TEST_F(XYTraceTest, BurstsThatBeginApartStopAfterTheBurstsBefore) {
  tarn::Handle x = ScanChannel(2, 1, {{0, 0, 9}, {0, 20, 29}, {0, 40, 49}});
  tarn::Handle y = ScanChannel(2, 1, {{0, 0, 9}, {0, 20, 29}, {0, 41, 49}});
  DrawRecorder draw;
  EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, 1, 1), 0);
  EXPECT_THAT(Messages(), ElementsAre("In _CDrawXYTrace.  Bursts do not begin at same location."));
  EXPECT_EQ(draw.blocks().size(), 2u);
  ExpectProgressClosed();
}

TEST_F(XYTraceTest, BadDimensionsAreRefusedBeforeAnyAllocationOrRead) {
  struct Dims {
    int xDims, yDims, xDim, yDim;
  };
  // The last three would read outside the sample record.
  const Dims cases[] = {{1, 2, 1, 1}, {2, 1, 1, 1}, {2, 2, 0, 1}, {2, 2, 1, -3}, {0, 2, 1, 1},
                        {2, 2, 2, 1}, {3, 4, 1, 4}, {2, 2, INT_MAX, 1}};
  for (const Dims& d : cases) {
    SCOPED_TRACE(::testing::Message() << d.xDims << " " << d.yDims << " " << d.xDim << " " << d.yDim);
    h.Reset();
    Ledger ledger;
    tarn::Handle x = ScanChannel(d.xDims, 1, {{0, 0, 9}});
    tarn::Handle y = ScanChannel(d.yDims, 1, {{0, 0, 9}});
    DrawRecorder draw;
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, y, d.xDim, d.yDim), 0);
    EXPECT_THAT(Messages(), ElementsAre("In _CDrawXYTrace. Sanity checks failed."));
    EXPECT_EQ(ledger.Made("malloc"), 0);
    EXPECT_EQ(probe_.CallCount("tarnChannelDataSeek") + probe_.CallCount("tarnChannelGetDataDouble"), 0);
    EXPECT_THAT(draw.blocks(), IsEmpty());
    ExpectProgressClosed();
  }
}

TEST_F(XYTraceTest, FailedAllocationsFreeWhatWasObtained) {
  // The X input, the Y input and the output are asked for in this order.
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    h.Reset();
    Ledger ledger;
    auto fail = FailNth<MallocSig>("msvcrt.dll", "malloc", failing, nullptr);
    tarn::Handle x = ScanChannel(3, 1, {{0, 0, 9}});
    DrawRecorder draw;
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, x, 1, 2), 0);
    EXPECT_EQ(ledger.Made("malloc"), failing - 1) << "no allocation after the failed one";
    EXPECT_THAT(Messages(), ElementsAre("In _CDrawXYTrace. malloc failed."));
    EXPECT_THAT(draw.blocks(), IsEmpty());
    EXPECT_EQ(probe_.CallCount("tarnObjectGetSize"), 0);
    ExpectProgressClosed();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_F(XYTraceTest, AStopThroughTheProgressCallEndsQuietly) {
  tarn::Handle x = ScanChannel(2, 1, {{0, 0, 249999}, {0, 300000, 300009}});
  DrawRecorder draw;
  probe_.SetProgressAnswer([](const tarn::ProgressCall&) { return 0; });
  EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, x, 1, 1), 0);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_EQ(draw.blocks().size(), 1u);
  EXPECT_EQ(ProgressValues(), (Pairs{{0, 249999}, {0, 100}}));
  ExpectProgressClosed();
}

TEST_F(XYTraceTest, AMissingRootOrProgressObjectDoesNotStopTheDrawing) {
  for (const char* operation : {"tarnObjectGetObject", "tarnProgressNew"}) {
    SCOPED_TRACE(operation);
    h.Reset();
    probe_.AddFault({operation});
    tarn::Handle x = ScanChannel(2, 1, {{0, 0, 150000}});
    DrawRecorder draw;
    EXPECT_EQ(_CDrawXYTrace(host_, draw.object(), x, x, 1, 1), 1);
    EXPECT_EQ(draw.blocks().size(), 2u);
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(probe_.CallCount("tarnProgress"), 0);
    EXPECT_THAT(DeletedProgress(), IsEmpty());
  }
}

}  // namespace
}  // namespace vorda_test
