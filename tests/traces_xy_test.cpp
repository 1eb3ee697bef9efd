// _CDrawXYTrace as a host sees it: the blocks its "Draw" routine gets, the
// progress calls, the messages, and what is left afterwards. The cases all
// three drivers share are in traces_test.cpp.
#include <climits>

#include "host_test.h"
#include "ledger.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
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
    ExpectCleanRun(ledger, c.progress);
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

}  // namespace
}  // namespace vorda_test
