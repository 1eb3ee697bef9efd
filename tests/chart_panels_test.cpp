// Channels of different units in panels of their own: the units read from
// the headers, the grouping, each panel's range, scale and title, how the
// plot is shared between the panels, and the traces drawn each in its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chart_plan.h"
#include "chart_tool_run.h"
#include "csv_reader.h"
#include "panel_layout.h"
#include "panels.h"

namespace chart {
namespace {

TEST(ChartPanels, HeaderUnitsAndGrouping) {
  const struct {
    const char* header;
    const char* name;
    const char* unit;
  } headers[] = {
      {"temperature (\xB0" "C)", "temperature", "\xB0" "C"},
      {"pressure [hPa]", "pressure", "hPa"},
      {" flow  ( l/min ) ", "flow", "l/min"},
      {"speed (rpm) (raw)", "speed (rpm)", "raw"},
      {"pump", "pump", ""},
      {"ratio ()", "ratio ()", ""},
      {"(V)", "(V)", ""},
      {"a (b", "a (b", ""},
      {"mixed (V]", "mixed (V]", ""},
      {"sensor (a (b))", "sensor", "a (b)"},
  };
  for (const auto& h : headers) {
    HeaderUnit u = SplitUnit(h.header);
    EXPECT_EQ(u.name, h.name) << h.header;
    EXPECT_EQ(u.unit, h.unit) << h.header;
  }

  using Groups = std::vector<std::vector<int>>;
  const SeriesKind celsius{"\xB0" "C", false}, hpa{"hPa", false}, none{"", false}, state{"", true},
      volts{"V", false}, voltState{"V", true};
  const struct {
    std::vector<SeriesKind> series;
    PanelMode mode;
    Groups panels;
  } cases[] = {
      {{celsius, hpa, state}, PanelMode::kAuto, {{0}, {1}, {2}}},
      {{celsius, hpa, celsius}, PanelMode::kAuto, {{0, 2}, {1}}},
      {{volts, volts}, PanelMode::kAuto, {{0, 1}}},                      // units agree
      {{none, none, state}, PanelMode::kAuto, {{0, 1, 2}}},              // no units at all
      {{volts, none, none, state, state}, PanelMode::kAuto, {{0}, {1, 2}, {3}, {4}}},
      {{volts, voltState}, PanelMode::kAuto, {{0, 1}}},                  // a state with the unit shares it
      {{celsius, hpa, state}, PanelMode::kOne, {{0, 1, 2}}},
      {{volts, volts}, PanelMode::kEach, {{0}, {1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupPanels(c.series, c.mode), c.panels);
}

// A logger: temperature 10..25 °C, pressure 990..1030 hPa, a pump's state
// and a second temperature, ten minutes apart.
Recording Logger() {
  std::string text = "time,temperature (\xB0" "C),pressure [hPa],pump,inside (\xB0" "C)\n";
  for (int i = 0; i <= 100; ++i) {
    char row[120];
    std::snprintf(row, sizeof row, "%d,%.2f,%.2f,%d,%.2f\n", i * 600, 10 + 15 * i / 100.0,
                  990 + 40 * std::sin(i / 30.0) * std::sin(i / 30.0), (i / 10) % 2, 18 + i / 50.0);
    text += row;
  }
  Recording r;
  ReadError e;
  EXPECT_TRUE(ParseCsv(text, "logger.csv", {}, &r, &e)) << e.message;
  return r;
}

bool PlanFor(std::vector<const char*> extra, ChartPlan* p, std::string* error) {
  std::vector<const char*> args = {"vorda-chart", "logger.csv", "-o", "c.bmp"};
  args.insert(args.end(), extra.begin(), extra.end());
  Options o;
  if (!ParseOptions(static_cast<int>(args.size()), args.data(), &o, error)) return false;
  return PlanChart(Logger(), o, p, error);
}

std::vector<std::vector<int>> PanelSeries(const ChartPlan& p) {
  std::vector<std::vector<int>> out;
  for (const PanelPlan& panel : p.panels) out.push_back(panel.series);
  return out;
}

TEST(ChartPanels, EachPanelGetsItsOwnRangeTitleAndScale) {
  ChartPlan p;
  std::string error;
  ASSERT_TRUE(PlanFor({}, &p, &error)) << error;
  ASSERT_EQ(PanelSeries(p), (std::vector<std::vector<int>>{{0, 3}, {1}, {2}}));
  EXPECT_EQ(p.panels[0].yTitle, "\xB0" "C");
  EXPECT_EQ(p.panels[1].yTitle, "pressure [hPa]");
  EXPECT_EQ(p.panels[2].yTitle, "pump");
  EXPECT_FALSE(p.panels[0].state);
  EXPECT_TRUE(p.panels[2].state);
  // Each range holds its own channels' values with a margin, and no more.
  EXPECT_LT(p.panels[0].y.lo, 10);
  EXPECT_GT(p.panels[0].y.lo, 9);
  EXPECT_GT(p.panels[0].y.hi, 25);
  EXPECT_LT(p.panels[0].y.hi, 26);
  EXPECT_LT(p.panels[1].y.lo, 990);
  EXPECT_GT(p.panels[1].y.lo, 987);
  EXPECT_GT(p.panels[1].y.hi, 1029);
  EXPECT_LT(p.panels[1].y.hi, 1033);
  EXPECT_LT(p.panels[2].y.lo, 0);
  EXPECT_GT(p.panels[2].y.hi, 1);

  ASSERT_TRUE(PlanFor({"--panels", "one"}, &p, &error)) << error;
  EXPECT_EQ(PanelSeries(p), (std::vector<std::vector<int>>{{0, 1, 2, 3}}));
  EXPECT_EQ(p.yTitle, "value");
  ASSERT_TRUE(PlanFor({"--panels", "each", "--channels", "pump,temperature"}, &p, &error)) << error;
  EXPECT_EQ(PanelSeries(p), (std::vector<std::vector<int>>{{0}, {1}}));
  // By hand: the named groups, then a panel for each channel left over.
  ASSERT_TRUE(PlanFor({"--panels", "pump,inside;pressure"}, &p, &error)) << error;
  EXPECT_EQ(PanelSeries(p), (std::vector<std::vector<int>>{{2, 3}, {1}, {0}}));

  // A range for one channel's panel, the others' own; log for one panel.
  ASSERT_TRUE(PlanFor({"--yrange", "pressure=900:1100", "--log-y", "inside"}, &p, &error)) << error;
  EXPECT_EQ(p.panels[1].y.lo, 900);
  EXPECT_EQ(p.panels[1].y.hi, 1100);
  EXPECT_LT(p.panels[0].y.hi, 27);
  EXPECT_TRUE(p.panels[0].logY);
  EXPECT_FALSE(p.panels[1].logY);
  ASSERT_TRUE(PlanFor({"--yrange", "0:2000"}, &p, &error)) << error;
  for (const PanelPlan& panel : p.panels) EXPECT_EQ(panel.y.hi, 2000);

  const struct {
    std::vector<const char*> args;
    const char* message;
  } refusals[] = {
      {{"--panels", "pump;flow"}, "--panels: logger.csv has no channel \"flow\""},
      {{"--channels", "pump", "--panels", "pressure"}, "--panels: \"pressure\" is not among the channels drawn"},
      {{"--yrange", "flow=0:1"}, "--yrange: logger.csv has no channel \"flow\""},
      {{"--log-y", "pump", "--yrange", "pump=-1:1"}, "--yrange: the range of \"pump\" must be above 0"},
      {{"--panels", "pump,,inside"}, "--panels pump,,inside: give auto, one, each, or groups"},
      {{"--xy", "pump:inside", "--panels", "each"}, "--xy draws one plot"},
  };
  for (const auto& r : refusals) {
    ChartPlan q;
    std::string message;
    EXPECT_FALSE(PlanFor(r.args, &q, &message)) << r.message;
    EXPECT_NE(message.find(r.message), std::string::npos) << message;
  }
}

// Infinities are placed beyond the axis of their own panel: placed by
// another, narrower panel's axis they would land on the visible part of
// their own (1.001e3 on a panel reaching 1e6).
TEST(ChartPanels, InfinitiesLieBeyondTheirOwnPanel) {
  Recording r;
  ReadError e;
  ASSERT_TRUE(ParseCsv("t,small (V),large (Pa)\n0,0,0\n1,1,1000000\n2,0.5,inf\n3,0.2,-inf\n", "inf.csv", {}, &r, &e))
      << e.message;
  std::vector<const char*> args = {"vorda-chart", "inf.csv", "-o", "c.bmp"};
  Options o;
  std::string error;
  ASSERT_TRUE(ParseOptions(static_cast<int>(args.size()), args.data(), &o, &error)) << error;
  ChartPlan p;
  ASSERT_TRUE(PlanChart(r, o, &p, &error)) << error;
  ASSERT_EQ(p.panels.size(), 2u);
  const Range large = p.panels[static_cast<size_t>(p.PanelOf(1))].y;
  ASSERT_GT(large.hi, 999999);
  PlaceInfinities(p, &r);
  double v[4];
  ASSERT_TRUE(r.source->Read(1, 0, 4, v, &error)) << error;
  EXPECT_GT(v[2], large.hi + 100 * (large.hi - large.lo));
  EXPECT_LT(v[3], large.lo - 100 * (large.hi - large.lo));
  EXPECT_EQ(v[1], 1000000);
  // Planned again, as the viewer does at each zoom: the placed values are
  // no samples, and the ranges stay what the samples give.
  ChartPlan again;
  ASSERT_TRUE(PlanChart(r, o, &again, &error)) << error;
  for (size_t i = 0; i < p.panels.size(); ++i) {
    EXPECT_EQ(again.panels[i].y.lo, p.panels[i].y.lo) << i;
    EXPECT_EQ(again.panels[i].y.hi, p.panels[i].y.hi) << i;
  }
}

TEST(ChartPanels, SplitsThePlotAndSaysHowTallItMustBe) {
  const int t = 12;
  const Rect plot{60, 40, 800, 540};
  PanelSplit split = SplitPanels(plot, {false, false, true}, t, 600);
  ASSERT_TRUE(split.ok);
  ASSERT_EQ(split.panels.size(), 3u);
  EXPECT_EQ(split.panels[0].top, plot.top);
  EXPECT_EQ(split.panels[2].bottom, plot.bottom);
  EXPECT_NEAR(split.panels[0].Height(), split.panels[1].Height(), 1);
  EXPECT_LT(split.panels[2].Height(), split.panels[0].Height() / 3);
  EXPECT_GE(split.panels[2].Height(), 2 * t);
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(split.panels[i].top - split.panels[i - 1].bottom, PanelGap(t));
    EXPECT_EQ(split.panels[i].left, plot.left);
    EXPECT_EQ(split.panels[i].right, plot.right);
  }
  // Twelve panels do not fit in 200 pixels: the height asked for does.
  const Rect small{60, 40, 800, 240};
  std::vector<bool> twelve(12, false);
  twelve[3] = true;
  split = SplitPanels(small, twelve, t, 300);
  ASSERT_FALSE(split.ok);
  ASSERT_GT(split.neededHeight, 300);
  Rect grown = small;
  grown.bottom += split.neededHeight - 300;
  EXPECT_TRUE(SplitPanels(grown, twelve, t, split.neededHeight).ok);
  grown.bottom -= 10;
  EXPECT_FALSE(SplitPanels(grown, twelve, t, split.neededHeight - 10).ok);
}

// The rows of the panels' frames down the middle of a chart: top and
// bottom of each panel in turn.
std::vector<int> FrameRows(const vorda_test::BmpFile& bmp) {
  std::vector<int> rows;
  const int x = bmp.info.biWidth / 2;
  for (int y = 0; y < bmp.info.biHeight; ++y)
    if (bmp.At(x, y) == RGB(51, 51, 51)) rows.push_back(y);
  return rows;
}

TEST(ChartPanels, EachTraceSpansItsOwnPanel) {
  std::string csv = Temp("logger.csv"), out = Temp("logger.bmp");
  std::string text = "time,temperature (\xC2\xB0" "C),pressure (hPa),pump\n";
  for (int i = 0; i <= 400; ++i) {
    char row[100];
    std::snprintf(row, sizeof row, "%d,%.2f,%.2f,%d\n", i * 60, 17.5 + 7.5 * std::sin(i / 40.0),
                  1010 + 20 * std::cos(i / 70.0), (i / 50) % 2);
    text += row;
  }
  Write(csv, text);
  Result r = RunTool("\"" + csv + "\" -o \"" + out + "\"");
  ASSERT_EQ(r.status, 0) << r.output;
  vorda_test::BmpFile bmp;
  ASSERT_TRUE(Load(&bmp, out));
  const std::vector<int> rows = FrameRows(bmp);
  ASSERT_EQ(rows.size(), 6u);
  const COLORREF colours[] = {RGB(30, 119, 181), RGB(255, 127, 12), RGB(43, 160, 43)};
  for (int k = 0; k < 3; ++k) {
    int top = 1 << 30, bottom = -1;
    for (int y = 0; y < bmp.info.biHeight; ++y)
      for (int x = 0; x < bmp.info.biWidth * 4 / 5; ++x)
        if (bmp.At(x, y) == colours[k]) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    const int panelTop = rows[2 * k], panelBottom = rows[2 * k + 1];
    EXPECT_GT(top, panelTop) << "series " << k;
    EXPECT_LT(bottom, panelBottom) << "series " << k;
    EXPECT_GT(bottom - top, (panelBottom - panelTop) * 7 / 10) << "series " << k;
  }
  // The state's panel is the short one.
  EXPECT_LT(rows[5] - rows[4], (rows[1] - rows[0]) / 3);

  // Too small for its panels: refused with the height that would do.
  r = RunTool("\"" + csv + "\" -o \"" + out + "\" --panels each --size 400x200px");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("too small for its 3 panels: give a --size at least "), std::string::npos) << r.output;
}

}  // namespace
}  // namespace chart
