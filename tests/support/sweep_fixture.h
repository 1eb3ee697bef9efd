// The fixture of the fault sweep tests: runs a scene's sweep, prints its
// counts and adds them to the program's totals, printed at its end.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fault_sweep.h"
#include "host_test.h"
#include "surface.h"

namespace vorda_test {

class FaultSweepTest : public HostTest {
 protected:
  void Check(const Scene& scene) {
    SweepResult r = Sweep(scene);
    Totals().exports += 1;
    Totals().pairs += r.pairs;
    Totals().runs += r.runs;
    std::printf("fault sweep: %s: %d failing calls swept in %d runs (%d with every later call "
                "failing too)\n",
                scene.name.c_str(), r.pairs, r.runs, r.onwardRuns);
    if (std::getenv("VORDA_SWEEP_VERBOSE"))
      for (const std::string& line : r.swept) std::printf("  %s\n", line.c_str());
    EXPECT_GT(r.pairs, 0) << scene.name << " made no call that can fail";
    EXPECT_THAT(r.failures, ::testing::IsEmpty()) << scene.name;
  }

  // A white surface made current with a transform of pixels 0..w, 0..h.
  std::vector<CallerArray> Stage(int w = 64, int h = 48) {
    surface_ = std::make_unique<DibSurface>(w, h);
    MSEnable(host_, surface_->dc());
    MSSetXForm(host_, 0, "", "", 0, w, 0, h, 0, w, 0, h);
    return {};
  }

  std::unique_ptr<DibSurface> surface_;
};


class PrintTotals : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf("fault sweep: %d (export, failing call) pairs over %d scenes, %d runs\n",
                Totals().pairs, Totals().exports, Totals().runs);
  }
};
inline const auto* const kSweepTotals = ::testing::AddGlobalTestEnvironment(new PrintTotals);


}  // namespace vorda_test
