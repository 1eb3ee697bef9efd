// The chart tool in this process, where vorda's calls can be made to fail:
// every report vorda makes reaches the user with the step it came from,
// the run fails, and no output file is left.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "chart_run.h"
#include "host_probe.h"
#include "import_hook.h"
#include "ledger.h"
#include "stderr_capture.h"
#include "surface.h"
#include "tarn.h"

namespace {

using ::testing::HasSubstr;
using vorda_test::FileExists;

class ChartRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tarn::host().Reset();
    options_.input = vorda_test::TempPath("run.csv");
    options_.output = vorda_test::TempPath("run.bmp");
    options_.widthPx = 400;
    options_.heightPx = 300;
    std::ofstream f(options_.input, std::ios::binary);
    f << "t,a\n";
    for (int i = 0; i < 50; ++i) f << i * 0.1 << "," << (i % 7) << "\n";
  }
  void TearDown() override { tarn::host().Reset(); }
  chart::Options options_;
};

TEST_F(ChartRunTest, ARunLeavesNothingOfVordasBehind) {
  vorda_test::Ledger ledger;
  chart::Timings t;
  vorda_test::StderrCapture err;
  ASSERT_EQ(chart::RunChart(options_, &t), 0) << err.Text();
  EXPECT_EQ(err.Text(), "");
  EXPECT_TRUE(FileExists(options_.output));
  EXPECT_EQ(t.samples, 50);
  // vorda made the tool's pens and fonts, which the tool deletes itself
  // (out of the ledger's sight): they must be gone. The white background
  // brush lives with the process. Nothing else may be left.
  std::istringstream leaks(ledger.Leaks());
  std::string maker, handle;
  int brushes = 0;
  while (leaks >> maker >> handle) {
    if (maker == "CreateSolidBrush" && ++brushes == 1) continue;
    ASSERT_TRUE(maker == "CreatePen" || maker == "CreateFontA") << maker << " " << handle;
    HGDIOBJ object = reinterpret_cast<HGDIOBJ>(std::stoull(handle, nullptr, 16));
    EXPECT_EQ(GetObjectType(object), 0u) << maker << " " << handle;
  }
  // Channels, drawing objects and progress objects are all gone again.
  EXPECT_EQ(tarn::host().ObjectCount(), 2u);  // the root and the tool's own object
}

TEST_F(ChartRunTest, EveryVordaReportIsShownWithItsStep) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::vector<std::string> shown;
  };
  std::unique_ptr<vorda_test::ImportHook<BOOL(HDC, const POINT*, int)>> polyline;
  std::unique_ptr<vorda_test::ImportHook<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>> create;
  const Case cases[] = {
      {"read",
       [] { vorda_test::probe().AddFault({"tarnChannelGetDataDouble"}); },
       {"vorda-chart: drawing a: vorda says: In _CDrawXTTrace. tarnChannelGetDataDouble failed.\n"}},
      {"draw",
       [&] {
         polyline = std::make_unique<vorda_test::ImportHook<BOOL(HDC, const POINT*, int)>>(
             "gdi32.dll", "Polyline", [](HDC, const POINT*, int) -> BOOL { return FALSE; });
       },
       {"vorda-chart: drawing a: vorda says: In MSPolyLine. Polyline failed.\n",
        "vorda-chart: drawing a: vorda says: Draw failed.\n"}},
      {"save",
       [&] {
         polyline.reset();
         create = std::make_unique<vorda_test::ImportHook<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>>(
             "kernel32.dll", "CreateFileA",
             [](LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) -> HANDLE {
               SetLastError(ERROR_ACCESS_DENIED);
               return INVALID_HANDLE_VALUE;
             });
       },
       {"vorda-chart: saving " + options_.output + ": vorda says: Error in CreateBMPFile line 164\n"}},
  };
  for (const Case& c : cases) {
    tarn::host().Reset();
    c.arrange();
    std::string shown;
    {
      vorda_test::StderrCapture err;
      EXPECT_EQ(chart::RunChart(options_), 1) << c.name;
      shown = err.Text();
    }
    for (const std::string& line : c.shown) EXPECT_THAT(shown, HasSubstr(line)) << c.name;
    EXPECT_FALSE(FileExists(options_.output)) << c.name;
    EXPECT_FALSE(FileExists(options_.output + "." + std::to_string(GetCurrentProcessId()) + ".part")) << c.name;
  }
}

}  // namespace
