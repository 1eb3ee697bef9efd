// The fault sweep of MSEnable, in a process of its own: the background
// brush is made by the first MSEnable of the process only, so only a
// process in which no MSEnable ran before has that call to sweep.
#include "sweep_fixture.h"

namespace vorda_test {
namespace {

TEST_F(FaultSweepTest, MSEnable) {
  Scene s;
  s.name = "MSEnable";
  s.prepare = [this] {
    surface_ = std::make_unique<DibSurface>(8, 8);
    return std::vector<CallerArray>{};
  };
  s.call = [this] { return MSEnable(host_, surface_->dc()); };
  s.finish = [](Ledger& ledger, int) { ledger.Keep("CreateSolidBrush"); };
  s.messages = {"In MSEnable. CreateSolidBrush failed."};
  Check(s);
}

}  // namespace
}  // namespace vorda_test
