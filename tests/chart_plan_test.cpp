// What a chart will show: series, ranges, titles and the cursor, decided
// from a recording and the options before anything is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chart_plan.h"
#include "csv_reader.h"

namespace chart {
namespace {

// Two bursts, 0..0.3 s and 1..1.2 s at 0.1 s: "a" with a missing sample,
// "b" with values of 0 and below.
Recording Sample() {
  Recording r;
  ReadError e;
  EXPECT_TRUE(ParseCsv("time,a,b\n0,1,-1\n0.1,2,0\n0.2,,10\n0.3,4,100\n\n1,-3,1000\n1.1,5,0.1\n1.2,6,1\n",
                       "rec.csv", {}, &r, &e))
      << e.message;
  return r;
}

Options With(std::initializer_list<const char*> extra) {
  std::vector<const char*> args = {"vorda-chart", "dir/rec.csv", "-o", "c.bmp"};
  args.insert(args.end(), extra);
  Options o;
  std::string error;
  EXPECT_TRUE(ParseOptions(static_cast<int>(args.size()), args.data(), &o, &error)) << error;
  return o;
}

ChartPlan Plan(const Options& o) {
  ChartPlan p;
  std::string error;
  EXPECT_TRUE(PlanChart(Sample(), o, &p, &error)) << error;
  return p;
}

std::string Refusal(const Options& o) {
  ChartPlan p;
  std::string error;
  EXPECT_FALSE(PlanChart(Sample(), o, &p, &error));
  return error;
}

TEST(ChartPlan, SeriesTitlesAndLegend) {
  ChartPlan all = Plan(With({}));
  EXPECT_EQ(all.series, (std::vector<int>{0, 1}));
  EXPECT_EQ(all.title, "rec.csv");
  EXPECT_EQ(all.xTitle, "time");
  EXPECT_EQ(all.yTitle, "value");
  EXPECT_EQ(all.legend, (std::vector<std::string>{"a", "b"}));

  ChartPlan one = Plan(With({"--channels", "b", "--title", "Run 4"}));
  EXPECT_EQ(one.series, (std::vector<int>{1}));
  EXPECT_EQ(one.yTitle, "b");
  EXPECT_EQ(one.title, "Run 4");
  EXPECT_EQ(Plan(With({"--channels", "b,a"})).series, (std::vector<int>{1, 0}));

  ChartPlan xy = Plan(With({"--xy", "b:a"}));
  EXPECT_EQ(xy.xChannel, 1);
  EXPECT_EQ(xy.series, (std::vector<int>{0}));
  EXPECT_EQ(xy.xTitle, "b");
  EXPECT_EQ(xy.yTitle, "a");
  EXPECT_EQ(xy.legend, (std::vector<std::string>{"a against b"}));

  EXPECT_EQ(Refusal(With({"--channels", "a,c"})), "--channels: rec.csv has no channel \"c\" (it has a, b)");
  EXPECT_EQ(Refusal(With({"--xy", "a:q"})), "--xy: rec.csv has no channel \"q\" (it has a, b)");
}

TEST(ChartPlan, RangesFollowTheDataShown) {
  // Time: exactly the recording; values: a margin of 5%.
  ChartPlan a = Plan(With({"--channels", "a"}));
  EXPECT_DOUBLE_EQ(a.x.lo, 0);
  EXPECT_DOUBLE_EQ(a.x.hi, 1.2);
  EXPECT_DOUBLE_EQ(a.y.lo, -3 - 0.45);
  EXPECT_DOUBLE_EQ(a.y.hi, 6 + 0.45);
  // Only the samples inside --xrange set the y range.
  ChartPlan early = Plan(With({"--channels", "a", "--xrange", "0:0.35"}));
  EXPECT_DOUBLE_EQ(early.y.lo, 1 - 0.15);
  EXPECT_DOUBLE_EQ(early.y.hi, 4 + 0.15);
  // Bars are a sample wide and stand on zero.
  ChartPlan bars = Plan(With({"--channels", "a", "--bars", "--xrange", "0:0.35"}));
  EXPECT_DOUBLE_EQ(bars.y.lo, -0.2);
  ChartPlan wide = Plan(With({"--channels", "a", "--bars"}));
  EXPECT_NEAR(wide.x.lo, -0.05, 1e-12);
  EXPECT_NEAR(wide.x.hi, 1.25, 1e-12);
  // A logarithmic axis sees only the values above zero.
  ChartPlan log = Plan(With({"--channels", "b", "--log-y"}));
  EXPECT_NEAR(std::log10(log.y.lo), -1 - 0.2, 1e-9);
  EXPECT_NEAR(std::log10(log.y.hi), 3 + 0.2, 1e-9);
  // Given ranges are used as they are.
  ChartPlan given = Plan(With({"--xrange", "-1:2", "--yrange", "0:50"}));
  EXPECT_EQ(given.x.lo, -1);
  EXPECT_EQ(given.y.hi, 50);
  // XY: both axes from the values, with margins.
  ChartPlan xy = Plan(With({"--xy", "a:b"}));
  EXPECT_DOUBLE_EQ(xy.x.lo, -3 - 0.45);

  EXPECT_EQ(Refusal(With({"--channels", "a", "--log-y", "--xrange", "0.15:0.25"})),
            "--log-y: the channels drawn have no value above 0 to show");
  EXPECT_EQ(Refusal(With({"--xrange", "0.4:0.9"})), "the channels drawn have no samples in the time shown");
}

TEST(ChartPlan, TheCursorSitsOnTheNearestSample) {
  ChartPlan p = Plan(With({"--cursor", "1.08"}));
  EXPECT_TRUE(p.haveCursor && p.cursorHasY);
  EXPECT_EQ(p.cursorX, 1.08);
  EXPECT_EQ(p.cursorY, 5);
  ChartPlan gap = Plan(With({"--cursor", "0.2"}));
  EXPECT_FALSE(gap.cursorHasY);  // the missing sample: a line at the time only
  ChartPlan xy = Plan(With({"--xy", "b:a", "--cursor", "1.2"}));
  EXPECT_EQ(xy.cursorX, 1);
  EXPECT_EQ(xy.cursorY, 6);
  EXPECT_EQ(Refusal(With({"--cursor", "0.6"})),
            "--cursor 0.6: no burst of rec.csv holds that time (it runs from 0 to 1.2 s)");
  EXPECT_EQ(Refusal(With({"--xy", "b:a", "--cursor", "0.2"})),
            "--cursor 0.2: the sample at that time is missing");
}

TEST(ChartPlan, InputsAreReadByTheirContentOrElseTheirExtension) {
  Recording r;
  ReadError e;
  Options dat = With({});
  dat.input = "rec.dat";
  EXPECT_FALSE(LoadRecording(dat, &r, &e));
  EXPECT_EQ(e.message, "cannot open rec.dat for reading");  // any name is read as text
  Options wav = With({"--rate", "100"});
  wav.input = "x/Song.WAV";
  EXPECT_FALSE(LoadRecording(wav, &r, &e));
  EXPECT_EQ(e.message, "--rate is for CSV files without a time column; x/Song.WAV gives its own rate");
  EXPECT_EQ(BaseName("a/b\\c.csv"), "c.csv");
}

}  // namespace
}  // namespace chart
