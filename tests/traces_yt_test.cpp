// _CDrawYTTrace and _CDrawYTBars as a host sees them: the blocks their
// "Draw" routine gets, the time base, the progress calls and the messages.
// The cases all three drivers share are in traces_test.cpp.
#include <climits>

#include "host_test.h"
#include "ledger.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Pairs = std::vector<std::pair<double, double>>;
using Driver = int (*)(HostObject, HostObject, HostObject, int);

class TimeSeriesTest : public HostTest {
 protected:
  tarn::Host& h = tarn::host();
};

TEST_F(TimeSeriesTest, BurstsAreCutIntoBlocksWithTheirTimeOrigins) {
  const double base = 2.5, inc = 0.001;
  const double step = 100000 * inc;
  // Each block's origin is the last one moved on by its size in
  // increments, less one increment for the trace, whose next block starts
  // with the sample this one ended with.
  const double traceOrigins[] = {base, base + step - inc, base + step - inc + step - inc};
  const double barOrigins[] = {base, base + step, base + step + step};
  struct Case {
    const char* name;
    Driver driver;
    int samples;
    std::vector<int> sizes, offsets;
    const double* origins;
    Pairs progress;
  };
  const Case cases[] = {
      {"trace of 250000", _CDrawYTTrace, 250000, {100000, 100000, 50002}, {0, 99999, 199998},
       traceOrigins, {{99999, 250000}, {199998, 250000}, {250000, 250000}}},
      {"bars of 250000", _CDrawYTBars, 250000, {100000, 100000, 50000}, {0, 100000, 200000},
       barOrigins, {{100000, 250000}, {200000, 250000}, {250000, 250000}}},
      {"trace of 100000", _CDrawYTTrace, 100000, {100000}, {0}, traceOrigins, {{100000, 100000}}},
      {"bars of 100000", _CDrawYTBars, 100000, {100000}, {0}, barOrigins, {{100000, 100000}}},
      {"trace of 100001", _CDrawYTTrace, 100001, {100000, 2}, {0, 99999}, traceOrigins,
       {{99999, 100001}, {100001, 100001}}},
      {"bars of one", _CDrawYTBars, 1, {1}, {0}, barOrigins, {{1, 1}}},
  };
  const int first = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.Reset();
    Ledger ledger;
    tarn::Handle channel = ScanChannel(3, inc, {{base, first, first + c.samples - 1}});
    DrawRecorder draw;
    EXPECT_EQ(c.driver(host_, draw.object(), channel, 2), 1);
    ASSERT_EQ(draw.blocks().size(), c.sizes.size());
    const bool bars = c.driver == _CDrawYTBars;
    const int perSample = bars ? 10 : 2;
    for (size_t b = 0; b < c.sizes.size(); ++b) {
      SCOPED_TRACE(b);
      const DrawnBlock& block = draw.blocks()[b];
      const int n = c.sizes[b];
      ASSERT_EQ(block.dataSize, perSample * n);
      ASSERT_EQ(block.bytes, 8u * perSample * n);
      bool right = true;
      for (int k = 0; k < n; ++k) {
        // Dimension 2 of scan s holds 2 s.
        const double t = k * inc + c.origins[b];
        const double y = 2.0 * (first + c.offsets[b] + k);
        const double* p = &block.data[static_cast<size_t>(perSample) * k];
        right &= bars ? p[2] == t - inc * 0.5 && p[3] == y : p[0] == t && p[1] == y;
      }
      EXPECT_TRUE(right) << "every sample at its time with its value";
    }
    ExpectCleanRun(ledger, c.progress);
  }
}

TEST_F(TimeSeriesTest, BlocksHoldTheExactBytesOfTracesAndBarOutlines) {
  struct Case {
    const char* name;
    Driver driver;
    double inc;
    std::vector<double> expected;
  };
  // Records of two values; dimension 2 is 4, 0 and -1.5. Origin 10.
  const Case cases[] = {
      {"trace", _CDrawYTTrace, 0.5, {10, 4, 10.5, 0, 11, -1.5}},
      {"trace without increment", _CDrawYTTrace, 0, {10, 4, 10, 0, 10, -1.5}},
      {"bars", _CDrawYTBars, 0.5, {9.75,  0, 9.75,  4,    10.25, 4,    10.25, 0, 9.75,  0,
                                    10.25, 0, 10.25, 0,    10.75, 0,    10.75, 0, 10.25, 0,
                                    10.75, 0, 10.75, -1.5, 11.25, -1.5, 11.25, 0, 10.75, 0}},
      {"bars without width", _CDrawYTBars, 0, {10, 0, 10, 4,    10, 4,    10, 0, 10, 0,
                                                10, 0, 10, 0,    10, 0,    10, 0, 10, 0,
                                                10, 0, 10, -1.5, 10, -1.5, 10, 0, 10, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.Reset();
    tarn::Handle channel = h.NewChannel(3, c.inc, {{10, 40, 42}});
    h.SetSamples(channel, 40, {1, 4, 2, 0, 3, -1.5});
    DrawRecorder draw;
    ASSERT_EQ(c.driver(host_, draw.object(), channel, 2), 1);
    const tarn::Property* data = h.Find(draw.object(), "Data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::get<tarn::Bytes>(*data),
              std::string(reinterpret_cast<const char*>(c.expected.data()),
                          c.expected.size() * sizeof(double)));
    EXPECT_EQ(LongOf(draw.object(), "DataSize"), static_cast<int>(c.expected.size()));
  }
}

TEST_F(TimeSeriesTest, EmptyBurstsArePassedOverAndNoBurstsSucceed) {
  for (Driver driver : {_CDrawYTTrace, _CDrawYTBars}) {
    h.Reset();
    tarn::Handle channel = ScanChannel(2, 1, {{0, 5, 4}, {0, 9, 0}, {100, 20, 24}});
    DrawRecorder draw;
    EXPECT_EQ(driver(host_, draw.object(), channel, 1), 1);
    ASSERT_EQ(draw.blocks().size(), 1u);
    EXPECT_EQ(draw.blocks()[0].data[driver == _CDrawYTBars ? 3 : 1], 20);
    EXPECT_EQ(ProgressValues(), (Pairs{{5, 5}, {0, 100}}));

    h.Reset();
    tarn::Handle none = ScanChannel(2, 1, {});
    DrawRecorder nothing;
    EXPECT_EQ(driver(host_, nothing.object(), none, 1), 1);
    EXPECT_THAT(nothing.blocks(), IsEmpty());
    ExpectProgressClosed();
  }
}

TEST_F(TimeSeriesTest, ARecordTooLargeToAllocateIsAFailedAllocation) {
  // 100000 records of INT_MAX - 1 doubles do not fit any allocation.
  tarn::Handle channel = ScanChannel(2, 1, {{0, 0, 9}});
  h.Set(channel, "NumDims", INT_MAX);
  DrawRecorder draw;
  EXPECT_EQ(_CDrawYTBars(host_, draw.object(), channel, 1), 0);
  EXPECT_THAT(Messages(), ElementsAre("In _CDrawXTTrace. malloc failed."));
  ExpectProgressClosed();
}

TEST_F(TimeSeriesTest, AStopThroughTheProgressCallEndsQuietly) {
  for (Driver driver : {_CDrawYTTrace, _CDrawYTBars}) {
    h.Reset();
    Ledger ledger;
    tarn::Handle channel = ScanChannel(2, 1, {{0, 0, 249999}});
    DrawRecorder draw;
    int calls = 0;
    probe_.SetProgressAnswer([&](const tarn::ProgressCall&) { return ++calls < 2; });
    EXPECT_EQ(driver(host_, draw.object(), channel, 1), 0);
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(draw.blocks().size(), 2u);
    EXPECT_EQ(ProgressValues().size(), 3u);
    ExpectProgressClosed();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

}  // namespace
}  // namespace vorda_test
