// Trace drivers whose "Draw" routine hands each block on to MSPolyLine
// unchanged, nested inside the driver's call: real pixels on a white DIB.
#include "host_test.h"
#include "ledger.h"
#include "surface.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::IsEmpty;

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

class TraceDrawTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    pen_ = CreatePen(PS_SOLID, 1, kBlack);
  }
  void TearDown() override { DeleteObject(pen_); }

  // A drawing object whose "Draw" draws its block as a connected line.
  DrawRecorder PolyLineDrawer() {
    return DrawRecorder([this](tarn::Handle self) {
      std::vector<double> data = DoublesOf(self, "Data");
      return MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(),
                        static_cast<unsigned>(LongOf(self, "DataSize")));
    });
  }

  HPEN pen_ = nullptr;
};

TEST_F(TraceDrawTest, ATraceStaysJoinedAcrossBlocks) {
  // 200001 samples over 200 pixels: 20 up to scan 99999, then 70. Only the
  // sample shared by the first two blocks joins the two levels.
  DibSurface s(201, 101);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, 200, 0, 100, 0, 200, 100, 0), 1);
  tarn::Handle channel = tarn::host().NewChannel(2, 0.001, {{0, 0, 200000}});
  tarn::host().SetGenerator(channel, 0, 200000, [](int first, int count, double* out) {
    for (int k = 0; k < count; ++k) out[k] = first + k < 100000 ? 20 : 70;
  });
  Ledger ledger;
  DrawRecorder draw = PolyLineDrawer();
  ASSERT_EQ(_CDrawYTTrace(host_, draw.object(), channel, 1), 1);
  EXPECT_EQ(draw.blocks().size(), 3u);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_EQ(ledger.Leaks(), "");

  for (int x : {0, 50, 98}) EXPECT_EQ(s.Pixel(x, 80), kBlack) << x;
  for (int x : {101, 150, 199}) EXPECT_EQ(s.Pixel(x, 30), kBlack) << x;
  // The joining segment runs from about (99, 80) to (100, 30).
  for (int y = 31; y < 80; ++y)
    EXPECT_TRUE(s.Pixel(99, y) == kBlack || s.Pixel(100, y) == kBlack) << y;
  EXPECT_EQ(s.Pixel(50, 30), kWhite);
  EXPECT_EQ(s.Pixel(150, 80), kWhite);
  EXPECT_LT(s.NonWhite(), 260);
}

TEST_F(TraceDrawTest, BarsAreOutlinedUpAndDownFromZero) {
  // Four bars 40 pixels wide centred on 20, 60, 100 and 140; zero lies on
  // row 50.
  DibSurface s(201, 101);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, 200, 0, 100, 0, 200, 50, -50), 1);
  tarn::Handle channel = tarn::host().NewChannel(2, 40, {{20, 0, 3}});
  tarn::host().SetSamples(channel, 0, {30, -20, 0, 45});
  DrawRecorder draw = PolyLineDrawer();
  ASSERT_EQ(_CDrawYTBars(host_, draw.object(), channel, 1), 1);
  EXPECT_THAT(Messages(), IsEmpty());

  EXPECT_EQ(s.Pixel(20, 20), kBlack);   // top of the first bar
  EXPECT_EQ(s.Pixel(20, 35), kWhite);   // inside it
  EXPECT_EQ(s.Pixel(0, 35), kBlack);    // its left side
  EXPECT_EQ(s.Pixel(60, 70), kBlack);   // bottom of the bar that hangs down
  EXPECT_EQ(s.Pixel(60, 60), kWhite);
  EXPECT_EQ(s.Pixel(100, 50), kBlack);  // the zero bar lies on the baseline
  EXPECT_EQ(s.Pixel(100, 45), kWhite);
  EXPECT_EQ(s.Pixel(140, 5), kBlack);   // top of the last bar
  EXPECT_EQ(s.Pixel(170, 30), kWhite);  // nothing right of the last bar
}

}  // namespace
}  // namespace vorda_test
