// The current device context, the world transform and the clip rectangle,
// seen through what vorda draws and reports.
#include <cmath>

#include "host_test.h"
#include "import_hook.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class XFormTest : public HostTest {
 protected:
  // The background brush lives as long as the process: made before any
  // test's ledger counts.
  static void SetUpTestSuite() { MSEnable(0, DibSurface(1, 1).dc()); }
  // Draws a horizontal "LINES" segment from model (x0, y) to (x1, y).
  int Segment(double x0, double x1, double y) {
    HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
    const double seg[] = {x0, y, x1, y};
    int r = MSPolyLine(host_, &pen, "LINES", seg, 4);
    DeleteObject(pen);
    return r;
  }
};

TEST_F(XFormTest, LogAndLinearAxesPlaceModelPointsOnTheirPixels) {
  DibSurface s(500, 300);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  // Log x 1..1000 on 100..400: model 10 lies at 200. Linear y 10..0 on 50..250: 5 at 150.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LINEAR", 100, 400, 50, 250, 1, 1000, 10, 0), 1);
  ASSERT_EQ(Segment(10, 100, 5), 1);
  EXPECT_EQ(s.Pixel(200, 150), kBlack);
  EXPECT_EQ(s.Pixel(199, 150), kWhite);
  EXPECT_EQ(s.Pixel(299, 150), kBlack);
  EXPECT_EQ(s.Pixel(300, 150), kWhite) << "GDI leaves a line's last pixel out";
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(XFormTest, SecondEnableMakesItsDeviceContextCurrent) {
  DibSurface a(20, 20), b(20, 20);
  ASSERT_EQ(MSEnable(host_, a.dc()), 1);
  ASSERT_EQ(MSEnable(host_, b.dc()), 1);
  ASSERT_EQ(MSSetXForm(host_, 0, "", "", 0, 20, 0, 20, 0, 20, 0, 20), 1);
  ASSERT_EQ(Segment(2, 18, 10), 1);
  EXPECT_EQ(a.NonWhite(), 0);
  EXPECT_EQ(b.NonWhite(), 16);
}

TEST_F(XFormTest, AxisKeywordsAreExact) {
  DibSurface s(500, 40);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  // A linear axis puts model 10 at 10; a logarithmic one 1..1000 on 0..300 at 100.
  struct Case {
    const char* keyword;
    int expectedX;
  } cases[] = {{"LOG10", 100}, {"log10", 10}, {"LOG10 ", 10}, {"LOG", 10}, {"", 10}, {nullptr, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyword ? c.keyword : "(null)");
    bool log = c.keyword && std::string(c.keyword) == "LOG10";
    double right = log ? 1000 : 300;
    ASSERT_EQ(MSSetXForm(host_, 0, c.keyword, "", 0, 300, 0, 40, log ? 1 : 0, right, 40, 0), 1);
    s.Fill(kWhite);
    ASSERT_EQ(Segment(10, 10 * (log ? 10 : 1) + 1, 20), 1);
    EXPECT_EQ(s.Pixel(c.expectedX, 20), kBlack);
    EXPECT_EQ(s.Pixel(c.expectedX - 1, 20), kWhite);
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(XFormTest, FailedLogCheckKeepsTheOldTransformButSwitchesTheAxis) {
  DibSurface s(400, 40);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  ASSERT_EQ(MSSetXForm(host_, 1, "", "", 0, 400, 0, 40, 0, 400, 40, 0), 1);
  tarn::host().SetErrorResult(5);
  EXPECT_EQ(MSSetXForm(host_, 0, "LOG10", "", 0, 10, 0, 40, 0, 10, 40, 0), 5);
  EXPECT_EQ(MSSetXForm(host_, 0, "", "LOG10", 0, 10, 0, 40, 0, 10, 40, -1), 5);
  EXPECT_THAT(Messages(),
              ElementsAre("In MSSetXForm. ModelLeft and ModelRight must be positive for log scale.",
                          "In MSSetXForm. ModelTop and ModelBottom must be positive for log scale."));
  // The x axis is now linear again, the y axis logarithmic, under the first
  // transform: model y 10 becomes axis value 1 and lands at device y 39.
  ASSERT_EQ(Segment(100, 200, 10), 1);
  EXPECT_EQ(s.Pixel(100, 39), kBlack);
  EXPECT_EQ(s.Pixel(100, 30), kWhite);
}

TEST_F(XFormTest, ClipRegionIsMadeDeletedAndLifted) {
  DibSurface s(60, 20);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  Ledger ledger;
  ASSERT_EQ(MSSetXForm(host_, 1, "", "", 10, 30, 0, 20, 10, 30, 20, 0), 1);
  ASSERT_EQ(MSSetXForm(host_, 1, "", "", 10, 30, 0, 20, 10, 30, 20, 0), 1);
  EXPECT_EQ(ledger.Made("CreateRectRgn"), 2);
  EXPECT_EQ(ledger.Leaks(), "");
  ASSERT_EQ(Segment(0, 60, 10), 1);
  EXPECT_EQ(s.NonWhite(), 20) << "only the clip rectangle 10..30 is painted";
  EXPECT_EQ(s.Pixel(9, 10), kWhite);
  EXPECT_EQ(s.Pixel(10, 10), kBlack);
  EXPECT_EQ(s.Pixel(30, 10), kWhite);

  ASSERT_EQ(MSDisable(host_), 1);
  s.Fill(kWhite);
  ASSERT_EQ(Segment(0, 60, 10), 1);
  EXPECT_EQ(s.NonWhite(), 60);

  ASSERT_EQ(MSSetXForm(host_, 1, "", "", 10, 30, 0, 20, 10, 30, 20, 0), 1);
  ASSERT_EQ(MSSetXForm(host_, 0, "", "", 10, 30, 0, 20, 10, 30, 20, 0), 1);
  s.Fill(kWhite);
  ASSERT_EQ(Segment(0, 60, 10), 1);
  EXPECT_EQ(s.NonWhite(), 60) << "Clip 0 lifts the clipping";
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(XFormTest, RegionFailuresReportAndTheLeftOverRegionIsReused) {
  DibSurface s(60, 20);
  Ledger ledger;
  {
    VORDA_HOOK(fail, "gdi32.dll", CreateRectRgn, [](int, int, int, int) -> HRGN { return nullptr; });
    ASSERT_EQ(MSEnable(host_, s.dc()), 1);
    EXPECT_EQ(MSSetXForm(host_, 1, "", "", 0, 60, 0, 20, 0, 60, 20, 0), 0);
  }
  // A null device context makes the selection fail and leaves the region.
  ASSERT_EQ(MSEnable(host_, nullptr), 1);
  EXPECT_EQ(MSSetXForm(host_, 1, "", "", 0, 60, 0, 20, 0, 60, 20, 0), 0);
  EXPECT_EQ(MSSetXForm(host_, 0, "", "", 0, 60, 0, 20, 0, 60, 20, 0), 0);
  EXPECT_EQ(ledger.Alive(), 1) << "the region waits in the drawing state";
  {
    VORDA_HOOK(fail, "gdi32.dll", SetRectRgn, [](HRGN, int, int, int, int) -> BOOL { return 0; });
    ASSERT_EQ(MSEnable(host_, s.dc()), 1);
    EXPECT_EQ(MSSetXForm(host_, 1, "", "", 0, 60, 0, 20, 0, 60, 20, 0), 0);
  }
  // The next call reuses the region and then deletes it.
  ASSERT_EQ(MSSetXForm(host_, 1, "", "", 0, 60, 0, 20, 0, 60, 20, 0), 1);
  EXPECT_EQ(ledger.Made("CreateRectRgn"), 1);
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), ElementsAre("In MSSetXForm. CreateRectRgn failed.",
                                      "In MSSetXForm. SelectClipRgn failed.",
                                      "In MSSetXForm. SelectClipRgn failed.",
                                      "In MSSetXForm. SetRectRgn failed."));
}

TEST_F(XFormTest, HugeDeviceRectanglesDoNotOverflow) {
  DibSurface s(20, 20);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  // The device span exceeds 32 bits; the point in the middle still lands
  // in range once clamped.
  ASSERT_EQ(MSSetXForm(host_, 0, "", "", INT32_MIN, INT32_MAX, 0, 20, -1, 1, 20, 0), 1);
  ASSERT_EQ(Segment(0, 1e-9, 10), 1);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(XFormTest, EqualModelEndsSendEveryPointToZero) {
  DibSurface s(20, 20);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  ASSERT_EQ(MSSetXForm(host_, 0, "", "", 0, 20, 0, 20, 5, 5, 20, 0), 1);
  HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
  const double seg[] = {5, 10, 5, 10, 7, 0, 7, 20};
  ASSERT_EQ(MSPolyLine(host_, &pen, "LINES", seg, 8), 1);
  DeleteObject(pen);
  // The second segment runs down column 0 from y 20 (clamped 19.. to 0).
  EXPECT_EQ(s.Pixel(0, 5), kBlack);
  EXPECT_EQ(s.Pixel(1, 5), kWhite);
}

}  // namespace
}  // namespace vorda_test
