// What only the first calls of a process show: the background brush is made
// by the first MSEnable that succeeds in making it, and GLNewFont has no
// rendering context before the first GLEnable. These cases need a process
// of their own; neither touches the other's state, so they run in any
// order.
#include "import_hook.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FirstCallsTest : public HostTest {};

TEST_F(FirstCallsTest, BrushFailureIsReportedAndRetriedByTheNextEnable) {
  DibSurface s(8, 8);
  Ledger ledger;
  {
    VORDA_HOOK(fail, "gdi32.dll", CreateSolidBrush, [](COLORREF) -> HBRUSH { return nullptr; });
    tarn::host().SetErrorResult(7);
    EXPECT_EQ(MSEnable(host_, s.dc()), 7);
    EXPECT_THAT(Messages(), ElementsAre("In MSEnable. CreateSolidBrush failed."));
  }
  tarn::host().ClearErrors();
  EXPECT_EQ(MSEnable(host_, s.dc()), 1);
  EXPECT_EQ(MSEnable(host_, s.dc()), 1);
  EXPECT_EQ(ledger.Made("CreateSolidBrush"), 1) << "one brush for the whole process";
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(FirstCallsTest, NewFontRefusesBeforeAnyEnable) {
  Ledger ledger;
  EXPECT_EQ(GLNewFont("Arial", 16, 0), 0);
  // A null device context is no GLEnable either.
  EXPECT_EQ(GLEnable(host_, nullptr, 0, 10, 10, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("invalid operation"));
  EXPECT_EQ(GLNewFont("Arial", 16, 0), 0);
  EXPECT_EQ(ledger.Made("glGenLists"), 0);
  EXPECT_EQ(ledger.Made("CreateFontA"), 0);
  EXPECT_EQ(GLDisable(), 1);
}

}  // namespace
}  // namespace vorda_test
