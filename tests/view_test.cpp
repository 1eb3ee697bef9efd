// The viewer: how zooms and pans change the view, which sample the
// crosshair snaps to and how it reads out, and the viewer's window itself
// (a crosshair that never stays behind a repaint or the pointer, saving).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "options.h"
#include "readout.h"
#include "surface.h"
#include "summary_window.h"
#include "viewer.h"
#include "view_state.h"
#include "recording_samples.h"

namespace view {
namespace {

using chart::Range;
using ::testing::HasSubstr;

TEST(ViewState, ZoomsPansAndGoesBack) {
  ViewState s({0, 100});
  EXPECT_FALSE(s.Back());
  EXPECT_FALSE(s.ZoomTo({40, 40}, false, {}));  // a click is no zoom
  ASSERT_TRUE(s.ZoomTo({60, 20}, false, {}));   // dragged right to left
  EXPECT_EQ(s.Current().x.lo, 20);
  EXPECT_EQ(s.Current().x.hi, 60);
  EXPECT_FALSE(s.Current().yFixed);
  ASSERT_TRUE(s.ZoomTo({30, 40}, true, {5, -5}));
  EXPECT_TRUE(s.Current().yFixed);
  EXPECT_EQ(s.Current().y.lo, -5);
  EXPECT_EQ(s.Current().y.hi, 5);

  // Panning stays inside the recording and keeps the span.
  s.Pan(-10, 0, {});
  EXPECT_EQ(s.Current().x.lo, 0);
  EXPECT_EQ(s.Current().x.hi, 10);
  s.Pan(0, 0.5, {});
  EXPECT_EQ(s.Current().y.lo, 0);
  EXPECT_EQ(s.Current().y.hi, 10);

  // The two steps of panning are one view of their own: Back returns to
  // the view before them, then to the one before that.
  EXPECT_EQ(s.Depth(), 3u);
  ASSERT_TRUE(s.Back());
  EXPECT_EQ(s.Current().x.lo, 30);
  EXPECT_EQ(s.Current().y.lo, -5);
  ASSERT_TRUE(s.Back());
  EXPECT_EQ(s.Current().x.lo, 20);
  s.Home();
  EXPECT_EQ(s.Depth(), 0u);
  EXPECT_EQ(s.Current().x.hi, 100);
}

TEST(ViewState, WheelStepsZoomAroundThePointerAndGoBackAsOne) {
  ViewState s({0, 100});
  s.Wheel(20, 0.5);
  EXPECT_EQ(s.Current().x.lo, 10);
  EXPECT_EQ(s.Current().x.hi, 60);
  s.Wheel(20, 0.5);
  EXPECT_EQ(s.Current().x.lo, 15);
  EXPECT_EQ(s.Current().x.hi, 40);
  EXPECT_EQ(s.Depth(), 1u);
  // Zooming out stops at the whole recording.
  s.Wheel(90, 100);
  EXPECT_EQ(s.Current().x.lo, 0);
  EXPECT_EQ(s.Current().x.hi, 100);
  ASSERT_TRUE(s.Back());
  EXPECT_EQ(s.Depth(), 0u);

  // Panning a y that fits the data fixes it where it was shown; on a
  // logarithmic axis it moves in decades.
  s.ToggleLogY();
  s.Pan(0, 0.5, {1, 100});
  EXPECT_TRUE(s.Current().yFixed);
  EXPECT_DOUBLE_EQ(s.Current().y.lo, 10);
  EXPECT_DOUBLE_EQ(s.Current().y.hi, 1000);
  s.Home();
  EXPECT_FALSE(s.Current().yFixed);
}

chart::Recording Parse(const std::string& csv) {
  chart::Recording r;
  chart::ReadError e;
  EXPECT_TRUE(chart::ParseCsv(csv, "rec.csv", {}, &r, &e)) << e.message;
  return r;
}

TEST(Readout, SnapsToTheNearestSampleShownAndReadsEveryChannel) {
  // Two bursts at 0.5 s, "b" missing at 1 s; then an uneven recording.
  chart::Recording even = Parse("t,a,b\n0,1,10\n0.5,2,20\n1,3,\n\n5,4,40\n5.5,5,50\n");
  chart::ChartPlan plan;
  plan.series = {0, 1};
  CursorSample s;
  ASSERT_TRUE(SnapToTime(even, 0.7, {0, 10}, &s));
  EXPECT_EQ(s.index, 1);
  EXPECT_EQ(Readout(even, plan, s), "t = 0.5 s   a = 2   b = 20");
  ASSERT_TRUE(SnapToTime(even, 2.9, {0, 10}, &s));
  EXPECT_EQ(Readout(even, plan, s), "t = 1 s   a = 3   b = missing");
  ASSERT_TRUE(SnapToTime(even, 3.1, {0, 10}, &s));
  EXPECT_EQ(s.time, 5);
  // Only what is shown: the nearest sample inside the view.
  ASSERT_TRUE(SnapToTime(even, 0.9, {0, 0.6}, &s));
  EXPECT_EQ(s.time, 0.5);
  EXPECT_FALSE(SnapToTime(even, 2, {1.5, 4.5}, &s));

  chart::Recording uneven = Parse("t,a\n0,1\n1,2\n1.2,3\n4,4\n4.1,5\n4.3,6\n");
  ASSERT_TRUE(uneven.Uneven());
  plan.series = {0};
  ASSERT_TRUE(SnapToTime(uneven, 1.15, {0, 5}, &s));
  EXPECT_EQ(Readout(uneven, plan, s), "t = 1.2 s   a = 3");
  ASSERT_TRUE(SnapToTime(uneven, 4.22, {0, 5}, &s));
  EXPECT_EQ(s.index, 5);

  chart::Recording dated = Parse("when,a\n2024-03-29 12:00:00,1\n2024-03-29 12:00:30,2\n");
  ASSERT_TRUE(SnapToTime(dated, dated.bursts[0].start + 20, {0, 2e9}, &s));
  EXPECT_EQ(Readout(dated, plan, s), "2024-03-29 12:00:30 UTC   a = 2");
}

TEST(Readout, AgainstAnotherChannelSnapsToTheNearestPointOnScreen) {
  chart::Recording r = Parse("t,x,y\n0,0,0\n1,10,0\n2,10,10\n3,0,10\n");
  chart::AxisMap x, y;
  ASSERT_TRUE(chart::MakeAxisMap(0, 100, 0, 10, false, &x));
  ASSERT_TRUE(chart::MakeAxisMap(0, 100, 10, 0, false, &y));
  CursorSample s;
  ASSERT_TRUE(SnapToPoint(r, 0, 1, x, y, {0, 10}, {0, 10}, 95, 10, &s));
  EXPECT_EQ(s.index, 2);  // (10, 10) is at pixel (100, 0)
  chart::ChartPlan plan;
  plan.xChannel = 0;
  plan.series = {1};
  EXPECT_EQ(Readout(r, plan, s), "t = 2 s   x = 10   y = 10");
  EXPECT_DOUBLE_EQ(ValueAt(y, 25), 7.5);
  chart::AxisMap log;
  ASSERT_TRUE(chart::MakeAxisMap(0, 100, 1000, 1, true, &log));
  EXPECT_NEAR(ValueAt(log, 50), std::sqrt(1000.0), 1e-9);
}

// The viewer on a real window: 2000 samples over 20 s of a slow sine.
class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string csv = "t,a\n";
    for (int i = 0; i < 2000; ++i)
      csv += std::to_string(i / 100.0) + "," + std::to_string(std::sin(i / 300.0)) + "\n";
    recording_ = Parse(csv);
    const char* args[] = {"vorda-view", "rec.csv", "--size", "640x400px"};
    std::string error;
    ASSERT_TRUE(chart::ParseOptions(4, args, &options_, &error, chart::Output::kOptional)) << error;
  }
  // What the window shows now.
  std::vector<COLORREF> Pixels(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; y += 2)
      for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(hwnd, dc);
    return pixels;
  }
  chart::Recording recording_;
  chart::Options options_;
};

TEST_F(ViewerTest, TheCrosshairFollowsThePointerAndNeverOutlivesARepaint) {
  Viewer viewer(options_, recording_, {});
  ASSERT_TRUE(viewer.Open());
  ASSERT_TRUE(viewer.Redraw());
  char title[64] = {};
  GetWindowTextA(viewer.hwnd(), title, sizeof title);
  EXPECT_STREQ(title, "vorda-view: rec.csv");
  const std::vector<COLORREF> plain = Pixels(viewer.hwnd());
  const chart::Rect& plot = viewer.frame().plot;
  const int x = (plot.left + plot.right) / 2, y = (plot.top + plot.bottom) / 2;

  viewer.MovePointer(x, y);
  ASSERT_TRUE(viewer.CursorShown());
  // The middle pixel of the plot is about 10 s in.
  double t = 0;
  ASSERT_EQ(std::sscanf(viewer.status().c_str(), "t = %lf s   a = ", &t), 1) << viewer.status();
  EXPECT_NEAR(t, 10, 0.05);
  EXPECT_THAT(viewer.status(), HasSubstr(" s   a = "));
  const std::vector<COLORREF> crossed = Pixels(viewer.hwnd());
  EXPECT_NE(crossed, plain);
  // A repaint draws the chart afresh and the crosshair once more, where
  // the pointer is: not a second time over the first.
  ASSERT_TRUE(viewer.Redraw());
  EXPECT_EQ(Pixels(viewer.hwnd()), crossed);
  // Moving on and leaving the window leave nothing behind.
  viewer.MovePointer(plot.left + 5, plot.top + 5);
  viewer.MovePointer(x, y);
  EXPECT_EQ(Pixels(viewer.hwnd()), crossed);
  viewer.LeaveWindow();
  EXPECT_FALSE(viewer.CursorShown());
  EXPECT_EQ(Pixels(viewer.hwnd()), plain);
  // Over the frame or the labels there is no crosshair.
  viewer.MovePointer(plot.left - 10, y);
  EXPECT_FALSE(viewer.CursorShown());
  EXPECT_EQ(Pixels(viewer.hwnd()), plain);
}

TEST_F(ViewerTest, ZoomsRedrawTheVisibleRangeAndSaveWhatIsShown) {
  Viewer viewer(options_, recording_, {});
  ASSERT_TRUE(viewer.Open());
  ASSERT_TRUE(viewer.Redraw());
  EXPECT_DOUBLE_EQ(viewer.plan().x.hi, 19.99);
  ASSERT_TRUE(viewer.state().ZoomTo({5, 7}, false, {}));
  ASSERT_TRUE(viewer.Redraw());
  EXPECT_EQ(viewer.plan().x.lo, 5);
  EXPECT_EQ(viewer.plan().x.hi, 7);
  // y fits the data shown: sin(t / 3) falls from 5 s to 7 s, with a margin.
  EXPECT_NEAR(viewer.plan().y.hi, std::sin(5 / 3.0) + 0.05 * (std::sin(5 / 3.0) - std::sin(7 / 3.0)),
              0.01);

  const std::string path = vorda_test::TempPath("view.png");
  ASSERT_TRUE(viewer.Save(path));
  std::vector<uint8_t> png = vorda_test::ReadBytes(path);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_THAT(viewer.status(), HasSubstr("saved "));
  EXPECT_FALSE(viewer.Save(vorda_test::TempPath("view.gif")));
}

TEST_F(ViewerTest, ASlowRedrawShowsItsProgressAndGivesWayToTheNextRequest) {
  // 300000 samples: the trace driver asks the host after each of its blocks.
  chart::Recording big;
  std::vector<double> a(300000);
  for (size_t i = 0; i < a.size(); ++i) a[i] = std::sin(i * 1e-4);
  big.channels.push_back({"a"});
  big.source = std::make_shared<recording::MemorySource>(std::vector<std::vector<double>>{std::move(a)});
  big.bursts.push_back({0, 0, 300000});
  big.sampleInc = 1e-3;
  Viewer viewer(options_, big, {});
  ASSERT_TRUE(viewer.Open());
  viewer.SetSlowRedrawSeconds(0);
  // A key waits while the chart is drawn: the drawing stops at once.
  ASSERT_TRUE(PostMessageA(viewer.hwnd(), WM_KEYDOWN, 'X', 0));
  EXPECT_FALSE(viewer.Redraw());
  EXPECT_EQ(viewer.status(), "drawing...");
  char title[64] = {};
  GetWindowTextA(viewer.hwnd(), title, sizeof title);
  EXPECT_STREQ(title, "vorda-view: rec.csv");
  // With nothing waiting, the same redraw runs to its end.
  MSG msg;
  while (PeekMessageA(&msg, viewer.hwnd(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
  }
  EXPECT_TRUE(viewer.Redraw());
  EXPECT_EQ(viewer.status(), "");
}

}  // namespace
}  // namespace view

namespace view {
namespace {

TEST(Readout, TwoCursorsReadTheirTimesAndEachChannelsDifference) {
  chart::Recording r;
  chart::ReadError e;
  ASSERT_TRUE(chart::ParseCsv("t,a (V),b (A)\n0,1,10\n0.5,2,\n1,4,40\n", "rec.csv", {}, &r, &e)) << e.message;
  chart::ChartPlan plan;
  plan.series = {0, 1};
  EXPECT_EQ(TwoCursorReadout(r, plan, {0, 0}, {2, 1}),
            "A 0 s   B 1 s   dt = 1 s   1/dt = 1 Hz   a (V): 1 / 4, d = 3   b (A): 10 / 40, d = 30");
  EXPECT_EQ(TwoCursorReadout(r, plan, {2, 1}, {1, 0.5}),
            "A 1 s   B 0.5 s   dt = -0.5 s   1/dt = -2 Hz   a (V): 4 / 2, d = -2   b (A): 40 / missing");
  EXPECT_EQ(TwoCursorReadout(r, plan, {1, 0.5}, {1, 0.5}),
            "A 0.5 s   B 0.5 s   dt = 0 s   1/dt = -   a (V): 2 / 2, d = 0   b (A): missing / missing");
}

// Two channels of different units: two panels, one crosshair through both,
// cursor A pinned and cleared, and a pan that Back undoes.
TEST(ViewerPanels, CrosshairThroughEveryPanelAndTwoCursors) {
  std::string csv = "t,a (V),b (rpm)\n";
  for (int i = 0; i < 2000; ++i)
    csv += std::to_string(i / 100.0) + "," + std::to_string(std::sin(i / 300.0)) + "," +
           std::to_string(1000 + 500 * std::cos(i / 200.0)) + "\n";
  chart::Recording r;
  chart::ReadError e;
  ASSERT_TRUE(chart::ParseCsv(csv, "rec.csv", {}, &r, &e)) << e.message;
  const char* args[] = {"vorda-view", "rec.csv", "--size", "640x400px"};
  chart::Options o;
  std::string error;
  ASSERT_TRUE(chart::ParseOptions(4, args, &o, &error, chart::Output::kOptional)) << error;
  Viewer viewer(o, r, {});
  ASSERT_TRUE(viewer.Open());
  ASSERT_TRUE(viewer.Redraw());
  ASSERT_EQ(viewer.frame().panels.size(), 2u);
  const chart::Rect top = viewer.frame().panels[0].plot, bottom = viewer.frame().panels[1].plot;
  EXPECT_LT(top.bottom, bottom.top);

  // The pointer in the lower panel: its column changes in both panels.
  HDC dc = GetDC(viewer.hwnd());
  const int x = (top.left + top.right) / 2, y = (bottom.top + bottom.bottom) / 2;
  auto column = [&](const chart::Rect& p) {
    std::vector<COLORREF> c;
    for (int row = p.top + 2; row < p.bottom - 2; ++row) c.push_back(GetPixel(dc, x, row));
    return c;
  };
  const std::vector<COLORREF> plainTop = column(top), plainBottom = column(bottom);
  viewer.MovePointer(x, y);
  ASSERT_TRUE(viewer.CursorShown());
  auto changed = [](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
  };
  EXPECT_GT(changed(plainTop, column(top)), plainTop.size() * 9 / 10);
  EXPECT_GT(changed(plainBottom, column(bottom)), plainBottom.size() * 9 / 10);
  EXPECT_NE(viewer.status().find("a (V) = "), std::string::npos) << viewer.status();
  EXPECT_NE(viewer.status().find("b (rpm) = "), std::string::npos) << viewer.status();
  ReleaseDC(viewer.hwnd(), dc);

  viewer.PinAt(top.left + 20, (top.top + top.bottom) / 2);
  ASSERT_TRUE(viewer.Pinned());
  ASSERT_TRUE(viewer.Redraw());
  viewer.MovePointer(x, y);
  EXPECT_EQ(viewer.status().rfind("A ", 0), 0u) << viewer.status();
  EXPECT_NE(viewer.status().find("dt = "), std::string::npos);
  EXPECT_NE(viewer.status().find("b (rpm): "), std::string::npos);
  viewer.ClearPin();
  EXPECT_FALSE(viewer.Pinned());

  // A zoom, then a pan: Back returns to the zoom, not the whole recording.
  ASSERT_TRUE(viewer.state().ZoomTo({5, 10}, false, {}));
  viewer.state().Pan(0.25, 0, {});
  EXPECT_EQ(viewer.state().Current().x.lo, 6.25);
  ASSERT_TRUE(viewer.state().Back());
  EXPECT_EQ(viewer.state().Current().x.lo, 5);
  // A panel's y zoom leaves the other panel fitting its data.
  ASSERT_TRUE(viewer.state().ZoomTo({5, 10}, true, {900, 1100}, 1));
  ASSERT_TRUE(viewer.Redraw());
  EXPECT_EQ(viewer.plan().panels[1].y.lo, 900);
  EXPECT_LT(viewer.plan().panels[0].y.hi, 1.2);
}

// A recording whose reads take a while, pressing Escape in the summary's
// window once it is up, when asked to.
class SlowSource final : public recording::SampleSource {
 public:
  SlowSource(std::int64_t frames, HWND* window, bool escape)
      : inner_(std::vector<std::vector<double>>{std::vector<double>(static_cast<size_t>(frames), 1.0)}),
        window_(window), escape_(escape) {}
  int ChannelCount() const override { return 1; }
  std::int64_t FrameCount() const override { return inner_.FrameCount(); }
  bool Read(int c, std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    return inner_.Read(c, first, count, out, error);
  }
  bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    Sleep(30);
    if (*window_) {
      seen = true;
      if (escape_) PostMessageA(*window_, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return inner_.ReadFrames(first, count, out, error);
  }
  recording::FileIdentity Identity() const override { return {}; }
  bool Changed() const override { return false; }
  bool seen = false;

 private:
  recording::MemorySource inner_;
  HWND* window_;
  bool escape_;
};

TEST(SummaryWindow, ShowsTheLongPassAndEscapeStopsIt) {
  for (bool escape : {false, true}) {
    HWND window = nullptr;
    auto source = std::make_shared<SlowSource>(600000, &window, escape);
    chart::Recording r;
    r.channels.push_back({"a"});
    r.source = source;
    r.bursts.push_back({0, 0, 600000});
    r.sampleInc = 1;
    chart::Options o;
    o.input = "slow.wav";
    EXPECT_EQ(SummarizeInWindow(o, &r, &window, 0.0), !escape) << escape;
    EXPECT_TRUE(source->seen) << escape;
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(FindWindowA("vorda-view-summary", nullptr), nullptr) << escape;
    if (escape) {
      EXPECT_EQ(r.summaries, nullptr);
    } else {
      ASSERT_NE(r.summaries, nullptr);
      EXPECT_EQ((*r.summaries)[0].Count(), 600000);
      EXPECT_EQ((*r.summaries)[0].Node((*r.summaries)[0].Levels() - 1, 0).hi, 1.0);
    }
  }
}

}  // namespace
}  // namespace view
