// The chart tool's axis arithmetic, layout and command line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "axes.h"
#include "tick_labels.h"
#include "layout.h"
#include "options.h"
#include "recording.h"

namespace chart {
namespace {

TEST(ChartAxes, ExtentSkipsWhatCannotBeDrawn) {
  const double values[] = {3, kMissingSample, NAN, -2, INFINITY, 0, 7};
  Extent linear, log(true);
  linear.Add(values, 7);
  log.Add(values, 7);
  EXPECT_EQ(linear.Get().lo, -2);
  EXPECT_EQ(linear.Get().hi, 7);
  EXPECT_EQ(log.Get().lo, 3);
  EXPECT_EQ(log.Get().hi, 7);
  Extent none(true);
  none.Add(-1);
  EXPECT_TRUE(none.Empty());
}

TEST(ChartAxes, RangesGetAMarginAndNeverCollapse) {
  struct Case {
    std::vector<double> values;
    bool log;
    double lo, hi;
  };
  const Case cases[] = {
      {{0, 10}, false, -0.5, 10.5},
      {{5, 5}, false, 4.5, 5.5},
      {{0, 0}, false, -1, 1},
      {{}, false, 0, 1},
      {{1, 1000}, true, std::pow(10, -0.15), std::pow(10, 3.15)},
      {{10, 10}, true, std::pow(10, 0.5), std::pow(10, 1.5)},
      {{}, true, 1, 10},
  };
  for (const Case& c : cases) {
    Extent e(c.log);
    for (double v : c.values) e.Add(v);
    Range r = PadRange(e, c.log, kRangeMargin);
    EXPECT_NEAR(r.lo, c.lo, 1e-9 * std::fabs(c.lo) + 1e-12) << c.values.size();
    EXPECT_NEAR(r.hi, c.hi, 1e-9 * std::fabs(c.hi) + 1e-12);
  }
}

TEST(ChartAxes, LinearTicksStepByOneTwoOrFive) {
  struct Case {
    double lo, hi;
    int max;
    std::vector<double> ticks;
  };
  const Case cases[] = {
      {-0.5, 10.5, 6, {0, 2, 4, 6, 8, 10}},
      {-0.5, 10.5, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {0, 1, 5, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
      {-1.3, 1.3, 3, {-1, 0, 1}},
      {0.0012, 0.0049, 4, {0.002, 0.003, 0.004}},
      {1e6, 5e6, 2, {2e6, 4e6}},
      {-7, -3, 2, {-6, -4}},
      {2, 2, 5, {}},
  };
  for (const Case& c : cases) {
    std::vector<double> t = LinearTicks({c.lo, c.hi}, c.max);
    ASSERT_EQ(t.size(), c.ticks.size()) << c.lo << ".." << c.hi;
    for (size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i], c.ticks[i], 1e-12 * (1 + std::fabs(c.ticks[i])));
    EXPECT_LE(static_cast<int>(t.size()), c.max + 1);
  }
  // No "negative zero" or 0.30000000000000004 reaches a label.
  std::vector<double> t = LinearTicks({-0.35, 0.35}, 7);
  EXPECT_EQ(FormatLinearTick(t[3], 0.1), "0.0");
  EXPECT_EQ(FormatLinearTick(0.1 * 3, 0.1), "0.3");
}

TEST(ChartAxes, LogTicksAreDecadesOrOneTwoFiveWithinOne) {
  EXPECT_EQ(LogTicks({0.7, 1500}, 10), (std::vector<double>{1, 10, 100, 1000}));
  EXPECT_EQ(LogTicks({1e-9, 1e9}, 6), (std::vector<double>{1e-5, 1, 1e5}));
  EXPECT_EQ(LogTicks({1e-9, 1e9}, 10), (std::vector<double>{1e-8, 1e-6, 1e-4, 1e-2, 1, 1e2, 1e4, 1e6, 1e8}));
  std::vector<double> narrow = LogTicks({3, 60}, 10);
  ASSERT_EQ(narrow.size(), 4u);
  EXPECT_DOUBLE_EQ(narrow[0], 5);
  EXPECT_DOUBLE_EQ(narrow[1], 10);
  EXPECT_DOUBLE_EQ(narrow[2], 20);
  EXPECT_DOUBLE_EQ(narrow[3], 50);
  EXPECT_TRUE(LogTicks({-1, 10}, 5).empty());
}

TEST(ChartAxes, TickLabels) {
  struct Case {
    double value, step;
    const char* text;
  };
  const Case cases[] = {
      {0, 1, "0"},          {5, 5, "5"},          {-20, 10, "-20"},     {0.2, 0.2, "0.2"},
      {1.5, 0.5, "1.5"},    {0.05, 0.05, "0.05"}, {-0.0, 0.1, "0.0"},   {2500, 500, "2500"},
      {2e6, 1e6, "2e6"},    {1.5e6, 5e5, "1.5e6"}, {-3e-5, 1e-5, "-3e-5"}, {2.5e-5, 5e-6, "2.5e-5"},
      {1e-6 * 3, 1e-6, "3e-6"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatLinearTick(c.value, c.step), c.text) << c.value;
  EXPECT_EQ(FormatLogTick(1), "1");
  EXPECT_EQ(FormatLogTick(0.001), "0.001");
  EXPECT_EQ(FormatLogTick(100000), "100000");
  EXPECT_EQ(FormatLogTick(1e6), "1e6");
  EXPECT_EQ(FormatLogTick(1e-5), "1e-5");
  EXPECT_EQ(FormatLogTick(2e-7), "2e-7");
}

TEST(ChartAxes, AxisMapPutsValuesWhereTheTracesGo) {
  // A logarithmic y axis from 1000 at pixel 50 down to 1 at pixel 350:
  // 100 pixels a decade, as MSSetXForm maps the traces' values.
  AxisMap y;
  ASSERT_TRUE(MakeAxisMap(50, 350, 1000, 1, true, &y));
  EXPECT_DOUBLE_EQ(y(1000), 50);
  EXPECT_DOUBLE_EQ(y(100), 150);
  EXPECT_DOUBLE_EQ(y(1), 350);
  // Device ends whose difference does not fit an int still map.
  AxisMap x;
  ASSERT_TRUE(MakeAxisMap(-2000000000, 2000000000, 0, 4, false, &x));
  EXPECT_DOUBLE_EQ(x(1), -1000000000);
  // No logarithm for an end at 0: refused, and the map is left as it was.
  const AxisMap kept = y;
  EXPECT_FALSE(MakeAxisMap(0, 100, 0, 10, true, &y));
  EXPECT_EQ(y.mapping.scale, kept.mapping.scale);
  EXPECT_EQ(y.mapping.offset, kept.mapping.offset);
}

TEST(ChartLayout, PartsDoNotOverlapAndScaleWithTheText) {
  LayoutInput in;
  in.width = 960;
  in.height = 600;
  in.textHeight = 16;
  in.titleHeight = 20;
  in.yLabelWidth = 40;
  in.xLabelWidth = 30;
  in.legendTextWidth = 80;
  in.legendEntries = 3;
  Layout l = ComputeLayout(in);
  ASSERT_TRUE(l.ok);
  // Title above the plot, y labels left of it, x labels and title below,
  // legend to its right and inside the canvas.
  EXPECT_LT(l.titleTop + in.titleHeight, l.plot.top);
  EXPECT_LE(l.yTitleCenterX + in.textHeight / 2, l.yLabelRight - in.yLabelWidth);
  EXPECT_LT(l.yLabelRight + l.tickLength, l.plot.left + 1);
  EXPECT_GT(l.xLabelTop, l.plot.bottom + l.tickLength - 1);
  EXPECT_GE(l.xTitleTop, l.xLabelTop + in.textHeight);
  EXPECT_LE(l.xTitleTop + in.textHeight, in.height);
  EXPECT_GT(l.legend.left, l.plot.right);
  EXPECT_LE(l.legend.right, in.width);
  EXPECT_GE(l.legend.Width(), in.legendTextWidth + l.legendSwatch);
  EXPECT_GE(l.legend.Height(), 3 * in.textHeight);
  // The plot takes most of the canvas.
  EXPECT_GT(l.plot.Width(), in.width * 2 / 3);
  EXPECT_GT(l.plot.Height(), in.height * 2 / 3);

  in.legendEntries = 0;
  Layout bare = ComputeLayout(in);
  EXPECT_GT(bare.plot.right, l.plot.right);
  EXPECT_EQ(bare.legend.Width(), 0);

  in.width = 120;
  in.height = 90;
  EXPECT_FALSE(ComputeLayout(in).ok);
  EXPECT_EQ(TicksThatFit(800, 60, 20), 10);
  EXPECT_EQ(TicksThatFit(50, 60, 20), 2);
}

Options Parse(std::vector<const char*> args, std::string* error = nullptr) {
  args.insert(args.begin(), "vorda-chart");
  Options o;
  std::string e;
  bool ok = ParseOptions(static_cast<int>(args.size()), args.data(), &o, &e);
  if (error) *error = ok ? "" : e;
  else EXPECT_TRUE(ok) << e;
  return o;
}

TEST(ChartOptions, EveryOptionIsReadAndDocumented) {
  Options o = Parse({"rec.csv", "-o", "c.EMF", "--rate", "250", "--log-y", "--yrange=0.1:100",
                     "--xrange", "-5:5", "--size", "8x5in", "--channels", "b,a", "--markers",
                     "--cursor", "1.5", "--picture", "p.png", "--progress", "--title", "T"});
  EXPECT_EQ(o.input, "rec.csv");
  EXPECT_TRUE(o.emf);
  EXPECT_EQ(o.rate, 250);
  EXPECT_TRUE(o.logY);
  EXPECT_TRUE(o.haveYRange && o.haveXRange);
  EXPECT_EQ(o.yRange.lo, 0.1);
  EXPECT_EQ(o.xRange.lo, -5);
  EXPECT_TRUE(o.sizeInInches);
  EXPECT_EQ(o.widthIn, 8);
  EXPECT_EQ(o.channels, (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(o.markers && o.haveCursor && o.progress && o.haveTitle);
  EXPECT_EQ(o.cursor, 1.5);
  EXPECT_EQ(o.picture, "p.png");
  EXPECT_EQ(o.style, Style::kTrace);

  Options xy = Parse({"-o", "x.bmp", "rec.wav", "--xy", "ch1:ch2", "--size", "1200x750px"});
  EXPECT_EQ(xy.style, Style::kXY);
  EXPECT_EQ(xy.xChannel, "ch1");
  EXPECT_EQ(xy.yChannel, "ch2");
  EXPECT_FALSE(xy.emf);
  EXPECT_EQ(xy.widthPx, 1200);
  EXPECT_EQ(xy.heightPx, 750);
  EXPECT_EQ(Parse({"r.csv", "-o", "b.bmp", "--bars"}).style, Style::kBars);
  EXPECT_TRUE(Parse({"--help"}).help);

  const std::string help = HelpText();
  for (const char* name : {"-o, --output", "--rate", "--xy", "--bars", "--log-y", "--xrange", "--yrange",
                           "--size", "--channels", "--markers", "--cursor", "--picture",
                           "--progress", "--title", "-h, --help"})
    EXPECT_NE(help.find(std::string("  ") + name), std::string::npos) << name;
}

TEST(ChartOptions, WrongCommandLinesAreExplained) {
  struct Case {
    std::vector<const char*> args;
    const char* message;
  };
  const Case cases[] = {
      {{}, "no input file: give a recording (.csv or .wav) and -o OUT.png (see --help)"},
      {{"r.csv"}, "no output file: give -o OUT.png, OUT.bmp or OUT.emf"},
      {{"r.csv", "-o"}, "-o needs a value (see --help)"},
      {{"r.csv", "-o", "c.gif"}, "-o c.gif: the output must end in .png, .bmp or .emf"},
      {{"r.csv", "s.csv", "-o", "c.bmp"}, "more than one input file (r.csv, s.csv)"},
      {{"r.csv", "-o", "c.bmp", "--colour"}, "unknown option --colour (see --help)"},
      {{"r.csv", "-o", "c.bmp", "--rate", "0"}, "--rate 0: give the sample rate in Hz, a number above 0"},
      {{"r.csv", "-o", "c.bmp", "--xy", "a"}, "--xy a: give two channel names as X:Y"},
      {{"r.csv", "-o", "c.bmp", "--xrange", "5:1"}, "--xrange 5:1: give MIN:MAX with MIN below MAX"},
      {{"r.csv", "-o", "c.bmp", "--yrange", "x"}, "--yrange x: give MIN:MAX with MIN below MAX"},
      {{"r.csv", "-o", "c.bmp", "--size", "8x5"},
       "--size 8x5: give WxHin (inches) or WxHpx (pixels), for example 8x5in or 1200x750px"},
      {{"r.csv", "-o", "c.bmp", "--size", "100x50px"}, "--size 100x50px: pixel sizes are whole numbers from 200 to 16000"},
      {{"r.csv", "-o", "c.bmp", "--size", "1x1in"}, "--size 1x1in: inch sizes run from 2 to 100"},
      {{"r.csv", "-o", "c.bmp", "--channels", "a,,b"}, "--channels a,,b: give channel names separated by commas"},
      {{"r.csv", "-o", "c.bmp", "--cursor", "soon"}, "--cursor soon: give a time in seconds, or a date and time such as 2024-03-29T12:00"},
      {{"r.csv", "-o", "c.bmp", "--xy", "a:b", "--bars"}, "--xy and --bars do not go together: bars are drawn against time"},
      {{"r.csv", "-o", "c.bmp", "--xy", "a:b", "--channels", "a"}, "--xy names its two channels itself; leave out --channels"},
      {{"r.csv", "-o", "c.bmp", "--log-y", "--yrange", "-1:10"}, "--yrange must be above 0 on a logarithmic axis (--log-y)"},
  };
  for (const Case& c : cases) {
    std::string error;
    Parse(c.args, &error);
    EXPECT_EQ(error, c.message);
  }
}

}  // namespace
}  // namespace chart

namespace chart {
namespace {

TEST(ChartAxes, SharedOffsetOrScaleIsSaidOnce) {
  const struct {
    std::vector<double> ticks;
    double step;
    std::vector<std::string> labels;
    const char* note;
  } cases[] = {
      {{1718005000, 1718006000, 1718007000}, 1000, {"5000", "6000", "7000"}, "+1.718e9"},
      {{50000000.00, 50000000.01, 50000000.02}, 0.01, {"0.00", "0.01", "0.02"}, "+5e7"},
      {{-1718009000, -1718008000}, 1000, {"1000", "2000"}, "-1.71801e9"},
      {{0, 1e-5, 2e-5, 3e-5}, 1e-5, {"0", "1", "2", "3"}, "\xD7" "10^-5"},
      {{-5e-4, 0, 5e-4}, 5e-4, {"-5", "0", "5"}, "\xD7" "10^-4"},
      {{2e6, 4e6, 6e6}, 2e6, {"2", "4", "6"}, "\xD7" "10^6"},
      {{0, 0.5, 1}, 0.5, {"0.0", "0.5", "1.0"}, ""},
      {{990, 1000, 1010}, 10, {"990", "1000", "1010"}, ""},
      {{1, 1.00001, 1.00002}, 1e-5, {"1.00000", "1.00001", "1.00002"}, ""},
      {{1, 1.000001, 1.000002}, 1e-6, {"0", "1", "2"}, "\xD7" "10^-6 +1"},
  };
  for (const auto& c : cases) {
    TickLabels t = LabelLinearTicks(c.ticks, c.step);
    EXPECT_EQ(t.labels, c.labels) << c.note;
    EXPECT_EQ(t.note, c.note);
  }
  // Zero beside labels with exponents reads as 0.
  EXPECT_EQ(FormatLinearTick(0, 5e-6), "0");
  EXPECT_EQ(FormatLinearTick(0, 1e-5), "0");
}

TEST(ChartAxes, LogAxisWithinADecadeIsSubdivided) {
  EXPECT_EQ(LogTicks({3, 9.5}, 8), (std::vector<double>{3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(LogTicks({0.25, 0.45}, 8), (std::vector<double>{0.3, 0.4}));
  std::vector<double> narrow = LogTicks({3.1, 3.45}, 5);
  ASSERT_GE(narrow.size(), 2u);
  for (double t : narrow) {
    EXPECT_GE(t, 3.1 - 1e-9);
    EXPECT_LE(t, 3.45);
  }
  EXPECT_EQ(FormatLogTick(3.2), "3.2");
  EXPECT_EQ(FormatLogTick(2.5e-5), "2.5e-5");
}

}  // namespace
}  // namespace chart
