// Pens and polylines: what reaches GDI (runs, points, segments), the
// pixels drawn, and every message.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "host_test.h"
#include "chain_hook.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMissing = VORDA_MISSING_SAMPLE;

class PolyLineTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(MSEnable(host_, surface_.dc()), 1);
    // Identity transform: model units are pixels, y down.
    ASSERT_EQ(MSSetXForm(host_, 0, "", "", 0, 100, 0, 100, 0, 100, 0, 100), 1);
    ASSERT_EQ(MSNewPen(host_, &pen_, "SOLID", 1, 0, 0, 0), 1);
  }
  void TearDown() override { DeleteObject(pen_); }

  DibSurface surface_{200, 200};
  HPEN pen_ = nullptr;
};

// Records every run that vorda hands to Polyline, passing it on to GDI.
struct PolylineRecorder {
  std::vector<std::vector<POINT>> runs;
  VORDA_HOOK(hook, "gdi32.dll", Polyline, [this](HDC dc, const POINT* p, int n) {
    runs.emplace_back(p, p + n);
    return hook.Original()(dc, p, n);
  });
};

std::vector<double> Ramp(int points) {
  std::vector<double> data;
  for (int k = 0; k < points; ++k) {
    data.push_back(k % 100);
    data.push_back(k / 100 % 100);
  }
  return data;
}

TEST_F(PolyLineTest, LongStripsAreCutIntoJoinedRunsOfAtMost16000Points) {
  struct Case {
    int points;
    std::vector<size_t> runLengths;
  } cases[] = {
      {16000, {16000}},
      {16001, {16000, 2}},
      {100000, {16000, 16000, 16000, 16000, 16000, 16000, 4006}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points);
    std::vector<double> data = Ramp(c.points);
    PolylineRecorder rec;
    ASSERT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
    ASSERT_EQ(rec.runs.size(), c.runLengths.size());
    size_t next = 0;  // index of the point each run must start with
    for (size_t r = 0; r < rec.runs.size(); ++r) {
      EXPECT_EQ(rec.runs[r].size(), c.runLengths[r]);
      for (size_t k = 0; k < rec.runs[r].size(); ++k) {
        ASSERT_EQ(rec.runs[r][k].x, data[2 * (next + k)]) << "run " << r << " point " << k;
        ASSERT_EQ(rec.runs[r][k].y, data[2 * (next + k) + 1]) << "run " << r << " point " << k;
      }
      next += rec.runs[r].size() - 1;  // the last point starts the next run
    }
    EXPECT_EQ(next + 1, static_cast<size_t>(c.points));
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PolyLineTest, MissingSamplesBreakTheStrip) {
  struct Case {
    const char* name;
    std::vector<double> data;
    std::vector<std::vector<LONG>> runsX;  // x of each run's points
  } cases[] = {
      {"not-a-number", {1, 1, 2, 2, kNaN, 3, 4, 4, 5, 5, 6, 6}, {{1, 2}, {4, 5, 6}}},
      {"NaN in y", {1, 1, 2, 2, 3, kNaN, 4, 4, 5, 5}, {{1, 2}, {4, 5}}},
      {"missing samples isolate single points",
       {1, 1, kMissing, 2, 3, 3, 4, kMissing, 5, 5, 6, 6},
       {{5, 6}}},
      {"all missing", {kMissing, 1, kMissing, 2}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PolylineRecorder rec;
    ASSERT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", c.data.data(), static_cast<unsigned>(c.data.size())), 1);
    ASSERT_EQ(rec.runs.size(), c.runsX.size());
    for (size_t r = 0; r < rec.runs.size(); ++r) {
      std::vector<LONG> xs;
      for (const POINT& p : rec.runs[r]) xs.push_back(p.x);
      EXPECT_EQ(xs, c.runsX[r]);
    }
  }
}

TEST_F(PolyLineTest, LogarithmicAxesUseTheFloorFromTheYRangeAndKeepTheCallersArray) {
  // x: 1..1000 on 400..700, 100 pixels a decade. y: 1000 at 0 down to 1 at
  // 300, so LogFloor is -3 on both axes: x 400 - 300 = 100, y 300 + 300 = 600.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LOG10", 400, 700, 0, 300, 1, 1000, 1000, 1), 1);
  std::vector<double> data = {10, 100, 100, 0, 0, 1000, -4, -5, 10, kMissing, 100, kNaN, 1, 10};
  const std::vector<double> before = data;
  PolylineRecorder rec;
  ASSERT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
  // The missing sample is drawn at log10 of itself (device y far above 0,
  // clamped to 0); only not-a-number breaks the strip, and the one point
  // after it draws nothing.
  ASSERT_EQ(rec.runs.size(), 1u);
  const std::vector<POINT>& run = rec.runs[0];
  ASSERT_EQ(run.size(), 5u);
  std::vector<std::pair<LONG, LONG>> got;
  for (const POINT& p : run) got.emplace_back(p.x, p.y);
  EXPECT_THAT(got, ElementsAre(std::pair<LONG, LONG>{500, 100}, std::pair<LONG, LONG>{600, 600},
                               std::pair<LONG, LONG>{100, 0}, std::pair<LONG, LONG>{100, 600},
                               std::pair<LONG, LONG>{500, 0}));
  // Compared as bytes: the NaN is not equal to itself.
  EXPECT_EQ(std::memcmp(data.data(), before.data(), sizeof(double) * data.size()), 0);

  // A linear y axis from 10 to 0 gives LogFloor -10, applied on the log x axis.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "", 1100, 1400, 0, 100, 1, 1000, 10, 0), 1);
  PolylineRecorder rec2;
  const double xs[] = {0, 5, 10, 5};
  ASSERT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", xs, 4), 1);
  ASSERT_EQ(rec2.runs.size(), 1u);
  EXPECT_EQ(rec2.runs[0][0].x, 100);
  EXPECT_EQ(rec2.runs[0][1].x, 1200);
  EXPECT_EQ(rec2.runs[0][0].y, 50);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PolyLineTest, SegmentsAreDrawnPairByPairWithoutGapTests) {
  std::vector<std::pair<POINT, POINT>> segments;
  POINT from{};
  VORDA_HOOK(move, "gdi32.dll", MoveToEx, [&](HDC dc, int x, int y, LPPOINT old) {
    from = {x, y};
    return move.Original()(dc, x, y, old);
  });
  VORDA_HOOK(line, "gdi32.dll", LineTo, [&](HDC dc, int x, int y) {
    segments.push_back({from, POINT{x, y}});
    return line.Original()(dc, x, y);
  });
  // A missing sample in "LINES" is an ordinary value: beyond 32 bits it
  // lands on 0, not 16383.
  const double data[] = {10, 20, 30, 20, kMissing, 50, 60, kNaN};
  ASSERT_EQ(MSPolyLine(host_, &pen_, "LINES", data, 8), 1);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].first.x, 10);
  EXPECT_EQ(segments[0].second.x, 30);
  EXPECT_EQ(segments[1].first.x, 0);
  EXPECT_EQ(segments[1].first.y, 50);
  EXPECT_EQ(segments[1].second.x, 60);
  EXPECT_EQ(segments[1].second.y, 0);
  // Pixels: the first segment paints 10..29 on row 20.
  EXPECT_EQ(surface_.Pixel(10, 20), RGB(0, 0, 0));
  EXPECT_EQ(surface_.Pixel(29, 20), RGB(0, 0, 0));
  EXPECT_EQ(surface_.Pixel(30, 20), kWhite);
}

TEST_F(PolyLineTest, PensHaveTheirStyleWidthAndColour) {
  HPEN red = nullptr, dash = nullptr;
  ASSERT_EQ(MSNewPen(host_, &red, "SOLID", 3, 1, 0, 0), 1);
  ASSERT_EQ(MSNewPen(host_, &dash, "DASH", 1, 0, 0, 1), 1);
  LOGPEN info{};
  ASSERT_EQ(GetObjectA(red, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.lopnColor, RGB(255, 0, 0));
  EXPECT_EQ(info.lopnWidth.x, 3);
  ASSERT_EQ(GetObjectA(dash, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(info.lopnColor, RGB(0, 0, 255));

  const double strip[] = {10, 50, 90, 50, 90, 90};
  ASSERT_EQ(MSPolyLine(host_, &red, "LINE_STRIP", strip, 6), 1);
  // A width-3 line covers rows 49..51 and its corner.
  for (int y : {49, 50, 51}) EXPECT_EQ(surface_.Pixel(50, y), RGB(255, 0, 0)) << y;
  EXPECT_EQ(surface_.Pixel(50, 48), kWhite);
  EXPECT_EQ(surface_.Pixel(50, 52), kWhite);
  EXPECT_EQ(surface_.Pixel(90, 70), RGB(255, 0, 0));

  const double dashed[] = {0, 150, 200, 150};
  ASSERT_EQ(MSPolyLine(host_, &dash, "LINES", dashed, 4), 1);
  int blue = 0, changes = 0;
  for (int x = 0; x < 200; ++x) {
    blue += surface_.Pixel(x, 150) == RGB(0, 0, 255);
    if (x > 0) changes += surface_.Pixel(x, 150) != surface_.Pixel(x - 1, 150);
  }
  EXPECT_GT(blue, 60);
  EXPECT_LT(blue, 190) << "a dashed line has gaps";
  EXPECT_GT(changes, 6);
  DeleteObject(red);
  DeleteObject(dash);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PolyLineTest, PenMessages) {
  HPEN pen = reinterpret_cast<HPEN>(0x1234);
  tarn::host().SetErrorResult(3);
  EXPECT_EQ(MSNewPen(host_, &pen, "dash", 1, 0, 0, 0), 3);
  EXPECT_EQ(pen, reinterpret_cast<HPEN>(0x1234)) << "an unknown style leaves the variable";
  EXPECT_EQ(MSNewPen(host_, &pen, nullptr, 1, 0, 0, 0), 3);
  {
    VORDA_HOOK(fail, "gdi32.dll", CreatePen, [](int, int, COLORREF) -> HPEN { return nullptr; });
    EXPECT_EQ(MSNewPen(host_, &pen, "DOT", 1, 0, 0, 0), 3);
    EXPECT_EQ(pen, nullptr);
  }
  Ledger ledger;
  EXPECT_EQ(MSNewPen(host_, nullptr, "SOLID", 1, 0, 0, 0), 3) << "no variable to hand the pen to";
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), ElementsAre("In MSPolyLine. Pen style not recognized.",
                                      "In MSPolyLine. Pen style not recognized.",
                                      "In MSPolyLine. CreatePen failed.",
                                      "In MSPolyLine. CreatePen failed."));
}

TEST_F(PolyLineTest, EveryPolyLineMessageWithItsResult) {
  tarn::host().SetErrorResult(9);
  const double four[] = {1, 1, 5, 5, 9, 9, 3, 3};
  HPEN none = nullptr;
  struct Case {
    const char* name;
    const char* type;
    const double* data;
    unsigned size;
    HPEN* pen;
    const char* message;
  } cases[] = {
      {"type before size", "CURVE", four, 3, &pen_, "In MSPolyLine. Type not recognized."},
      {"null type", nullptr, four, 4, &pen_, "In MSPolyLine. Type not recognized."},
      {"strip of one point", "LINE_STRIP", four, 2, &pen_, "In MSPolyLine. Invalid size."},
      {"strip of odd size", "LINE_STRIP", four, 5, &pen_, "In MSPolyLine. Invalid size."},
      {"segments of 6", "LINES", four, 6, &pen_, "In MSPolyLine. Invalid size."},
      {"empty", "LINES", four, 0, &pen_, "In MSPolyLine. Invalid size."},
      {"null array", "LINE_STRIP", nullptr, 4, &pen_, "In MSPolyLine. Invalid size."},
      {"null pen", "LINE_STRIP", four, 4, &none, "In MSPolyLine. SelectObject failed."},
      {"no pen variable", "LINE_STRIP", four, 4, nullptr, "In MSPolyLine. SelectObject failed."},
  };
  Ledger ledger;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tarn::host().ClearErrors();
    EXPECT_EQ(MSPolyLine(host_, c.pen, c.type, c.data, c.size), 9);
    EXPECT_THAT(Messages(), ElementsAre(c.message));
  }
  EXPECT_EQ(surface_.NonWhite(), 0);

  // On a log axis an empty array copies fine and then breaks the size rule.
  ASSERT_EQ(MSSetXForm(host_, 0, "", "LOG10", 0, 100, 0, 100, 0, 100, 100, 1), 1);
  tarn::host().ClearErrors();
  EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", four, 0), 9);
  EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", nullptr, 4), 9);
  EXPECT_THAT(Messages(), ElementsAre("In MSPolyLine. Invalid size.",
                                      "In MSPolyLine. malloc or memcpy failed."));
  EXPECT_EQ(ledger.Leaks(), "");
}

// In a 32-bit process a count of doubles can ask for more bytes than the
// address space holds: the working copy is refused before anything is
// read, both where the byte count would wrap past 2^32 and at 2 GiB.
TEST_F(PolyLineTest, ALogCopyBeyondA32BitAddressSpaceIsRefused) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "a 64-bit process could allocate these";
  ASSERT_EQ(MSSetXForm(host_, 0, "", "LOG10", 0, 100, 0, 100, 0, 100, 100, 1), 1);
  tarn::host().SetErrorResult(9);
  const double four[] = {1, 1, 5, 5};
  Ledger ledger;
  EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", four, 0x20000000u), 9);
  EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", four, 0x10000000u), 9);
  EXPECT_THAT(Messages(), ElementsAre("In MSPolyLine. malloc or memcpy failed.",
                                      "In MSPolyLine. malloc or memcpy failed."));
  EXPECT_EQ(surface_.NonWhite(), 0);
  EXPECT_EQ(ledger.Leaks(), "");
}

TEST_F(PolyLineTest, PlatformFailuresAreReportedAndNothingLeaks) {
  tarn::host().SetErrorResult(0);
  const double data[] = {1, 1, 50, 50, 80, 20, 90, 90};
  Ledger ledger;
  {
    ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "", 1, 100, 0, 100, 1, 100, 0, 100), 1);
    ImportHook<MallocSig> fail("msvcrt.dll", "malloc", [](size_t) -> void* { return nullptr; });
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data, 8), 0) << "working copy";
    ASSERT_EQ(MSSetXForm(host_, 0, "", "", 0, 100, 0, 100, 0, 100, 0, 100), 1);
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data, 8), 0) << "point buffer";
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", Polyline, [](HDC, const POINT*, int) -> BOOL { return 0; });
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data, 8), 0);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", LineTo, [](HDC, int, int) -> BOOL { return 0; });
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINES", data, 8), 0);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", MoveToEx, [](HDC, int, int, LPPOINT) -> BOOL { return 0; });
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINES", data, 8), 0);
  }
  {
    auto fail = FailNth<decltype(SelectObject)>("gdi32.dll", "SelectObject", 2, nullptr);
    EXPECT_EQ(MSPolyLine(host_, &pen_, "LINES", data, 8), 0) << "selecting back";
  }
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), ElementsAre("In MSPolyLine. malloc or memcpy failed.",
                                      "In MSPolyLine. malloc or memcpy failed.",
                                      "In MSPolyLine. Polyline failed.",
                                      "In MSPolyLine. MoveTo and LineTo failed.",
                                      "In MSPolyLine. MoveTo and LineTo failed.",
                                      "In MSPolyLine. SelectObject failed."));
}

TEST_F(PolyLineTest, SuccessSelectsThePreviousPenBackAndAnUnknownTypeLeavesTheNewOne) {
  HGDIOBJ before = GetCurrentObject(surface_.dc(), OBJ_PEN);
  const double data[] = {1, 1, 50, 50};
  ASSERT_EQ(MSPolyLine(host_, &pen_, "LINE_STRIP", data, 4), 1);
  EXPECT_EQ(GetCurrentObject(surface_.dc(), OBJ_PEN), before);
  MSPolyLine(host_, &pen_, "LINE", data, 4);
  EXPECT_EQ(GetCurrentObject(surface_.dc(), OBJ_PEN), pen_);
  SelectObject(surface_.dc(), before);
}

}  // namespace
}  // namespace vorda_test
