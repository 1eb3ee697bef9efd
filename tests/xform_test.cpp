// The current device context, the world transform and the clip rectangle,
// seen through what vorda draws and reports.
#include "host_test.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

class XFormTest : public HostTest {};

TEST_F(XFormTest, WorkedExamplesPlaceModelPointsOnTheirPixels) {
  DibSurface s(500, 300);
  ASSERT_EQ(MSEnable(host_, s.dc()), 1);
  // Log x 1..1000 on 100..400: model 10 lies at 200. Linear y 10..0 on 50..250: 5 at 150.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LINEAR", 100, 400, 50, 250, 1, 1000, 10, 0), 1);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  const double seg[] = {10, 5, 100, 5};
  ASSERT_EQ(MSPolyLine(host_, &pen, "LINES", seg, 4), 1);
  DeleteObject(pen);
  EXPECT_EQ(s.Pixel(200, 150), RGB(0, 0, 0));
  EXPECT_EQ(s.Pixel(199, 150), RGB(255, 255, 255));
  EXPECT_EQ(s.Pixel(299, 150), RGB(0, 0, 0));
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace vorda_test
