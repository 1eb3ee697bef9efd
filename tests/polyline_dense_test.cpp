// Dense strips: where MSPolyLine hands GDI fewer points than it was given,
// the pixels are exactly those of GDI's Polyline drawing every point; and
// wherever that could not be proven, every point still reaches GDI.
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "host_test.h"
#include "import_hook.h"
#include "surface.h"

namespace vorda_test {
namespace {

constexpr int kWidth = 240, kHeight = 160;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMissing = VORDA_MISSING_SAMPLE;

// The device point of an axis value under scale and offset, the way a
// device coordinate is made: truncated, and clamped into 0..16383 (0 when
// it is beyond 32 bits).
LONG Device(double scale, double offset, double v) {
  double d = scale * v + offset;
  if (!(d > -2147483649.0 && d < 2147483648.0)) return 0;
  return std::clamp(static_cast<LONG>(d), 0L, 16383L);
}

// The axes a case is drawn on. Linear: model units are pixels. Log y:
// 1000 at the top row, 1 at row 150, and LogFloor is -3.
struct Axes {
  bool logY;
  void Set(HostObject host) const {
    ASSERT_EQ(logY ? MSSetXForm(host, 0, "", "LOG10", 0, kWidth, 0, 150, 0, kWidth, 1000, 1)
                   : MSSetXForm(host, 0, "", "", 0, kWidth, 0, kHeight, 0, kWidth, 0, kHeight),
              1);
  }
  double YScale() const { return logY ? -50 : 1; }
  double YOffset() const { return logY ? 150 : 0; }
  double Working(double y) const { return !logY ? y : y <= 0 ? -3 : std::log10(y); }
};

// The runs GDI draws when it is handed every point: broken at not-a-number
// and at the missing sample, runs of one point dropped, and cut every 16000
// points with the cut point starting the next run.
std::vector<std::vector<POINT>> EveryPointRuns(const std::vector<double>& data, const Axes& axes) {
  std::vector<std::vector<POINT>> runs;
  std::vector<POINT> run;
  auto end = [&] {
    if (run.size() >= 2) runs.push_back(run);
    run.clear();
  };
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    double x = data[i], y = axes.Working(data[i + 1]);
    if (std::isnan(x) || std::isnan(y) || x == kMissing || y == kMissing) {
      end();
      continue;
    }
    if (run.size() == 16000) {
      POINT joint = run.back();
      end();
      run.push_back(joint);
    }
    run.push_back({Device(1, 0, x), Device(axes.YScale(), axes.YOffset(), y)});
  }
  end();
  return runs;
}

size_t PointsIn(const std::vector<std::vector<POINT>>& runs) {
  size_t n = 0;
  for (const auto& r : runs) n += r.size();
  return n;
}

// Counts the points vorda hands to Polyline, passing them on to GDI.
struct PointCounter {
  size_t points = 0;
  VORDA_HOOK(hook, "gdi32.dll", Polyline, [this](HDC dc, const POINT* p, int n) {
    points += static_cast<size_t>(n);
    return hook.Original()(dc, p, n);
  });
};

int DifferingPixels(const DibSurface& a, const DibSurface& b) {
  int n = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

// x spread over the surface's columns, a few dozen points each, y from f.
std::vector<double> Dense(int points, const std::function<double(int)>& f) {
  std::vector<double> data;
  for (int i = 0; i < points; ++i) {
    data.push_back(static_cast<double>(kWidth) * i / points);
    data.push_back(f(i));
  }
  return data;
}

std::vector<double> RandomWalk(int points, unsigned seed) {
  std::mt19937 random(seed);
  double y = 80;
  return Dense(points, [&](int) { return y = std::clamp(y + (random() % 7) - 3.0, 5.0, 155.0); });
}

// Adds the points of each polyline record to the size_t at `counted`.
int CALLBACK CountPolylinePoints(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM counted) {
  size_t& n = *reinterpret_cast<size_t*>(counted);
  if (r->iType == EMR_POLYLINE16) n += reinterpret_cast<const EMRPOLYLINE16*>(r)->cpts;
  if (r->iType == EMR_POLYLINE) n += reinterpret_cast<const EMRPOLYLINE*>(r)->cptl;
  return 1;
}

class PolyLineDenseTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(MSEnable(host_, vorda_.dc()), 1);
  }
  void TearDown() override {
    for (HPEN pen : pens_) DeleteObject(pen);
  }
  HPEN* Pen(const char* style, int width) {
    pens_.push_back(nullptr);
    EXPECT_EQ(MSNewPen(host_, &pens_.back(), style, width, 0.8, 0.2, 0.1), 1);
    return &pens_.back();
  }
  HPEN* Own(HPEN pen) {
    pens_.push_back(pen);
    return &pens_.back();
  }

  // Draws the data through MSPolyLine on one surface and every point
  // through GDI on the other, then compares them pixel by pixel. Returns
  // the points vorda handed to GDI and sets *all to those GDI drew.
  size_t DrawBothWays(HPEN* pen, const std::vector<double>& data, const Axes& axes, size_t* all) {
    axes.Set(host_);
    auto runs = EveryPointRuns(data, axes);
    *all = PointsIn(runs);
    PointCounter counter;
    EXPECT_EQ(MSPolyLine(host_, pen, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
    HGDIOBJ previous = SelectObject(gdi_.dc(), *pen);
    for (const auto& run : runs) Polyline(gdi_.dc(), run.data(), static_cast<int>(run.size()));
    SelectObject(gdi_.dc(), previous);
    EXPECT_EQ(DifferingPixels(vorda_, gdi_), 0);
    EXPECT_THAT(Messages(), ::testing::IsEmpty());
    return counter.points;
  }
  void Fill(COLORREF c) {
    vorda_.Fill(c);
    gdi_.Fill(c);
  }
  // The same device-context setting on both surfaces.
  void OnBoth(const std::function<void(HDC)>& set) {
    set(vorda_.dc());
    set(gdi_.dc());
  }

  DibSurface vorda_{kWidth, kHeight};
  DibSurface gdi_{kWidth, kHeight};
  std::deque<HPEN> pens_;  // stable addresses: MSPolyLine reads the variable
};

TEST_F(PolyLineDenseTest, ReducedStripsHaveThePixelsOfEveryPointDrawn) {
  std::mt19937 random(3);
  int gapAt = 0;
  struct Case {
    const char* name;
    std::vector<double> data;
    Axes axes;
    double share = 0.5;  // at most this share of the points reaches GDI
  } cases[] = {
      {"random walk", RandomWalk(12000, 1), {false}},
      {"single-sample spikes on a flat line",
       Dense(9000, [](int i) { return i % 97 == 0 ? 20.0 : i % 89 == 0 ? 140.0 : 80.0; }),
       {false}},
      {"gaps at not-a-number and the missing sample, lone points between them",
       Dense(9000,
             [&](int i) {
               // Every so often a gap, a lone point, another gap.
               int k = i % 150;
               if (k == 40 || k == 42) return (++gapAt % 2) ? kNaN : kMissing;
               return 30.0 + (i * 37) % 100;
             }),
       {false}},
      {"runs that end on a row their last column reached before",
       [] {
         // The run's last pixel is left out unless an earlier segment
         // painted it, so which of two equal extremes is kept matters.
         std::vector<double> d;
         for (int k = 0; k < 50; ++k) {
           double x = 4.0 * k + 1, lo = 10.0 + k, hi = 100.0 + k;
           double end = k % 2 ? lo : hi;
           d.insert(d.end(), {x - 2, 80, x, 60, x, lo, x, 65, x, hi, x, 62, x, 70, x, 66, x, end,
                              kNaN, 0});
         }
         return d;
       }(),
       {false},
       0.7},
      {"values far off scale, clamped to the device range",
       [&] {
         std::vector<double> d;
         for (int i = 0; i < 8000; ++i) {
           double x = -300.0 + 0.1 * i;  // the first 300 model units share column 0
           double y = (i % 5 == 0) ? 1e7 : (i % 7 == 0) ? -1e7 : 20.0 + random() % 120;
           d.insert(d.end(), {x, y});
         }
         return d;
       }(),
       {false}},
      {"x running back and forth",
       [] {
         std::vector<double> d;
         for (int i = 0; i < 12000; ++i) {
           double t = std::fmod(i * 0.05, 2.0 * kWidth);
           d.insert(d.end(), {t < kWidth ? t : 2.0 * kWidth - t, 10.0 + (i * 31) % 140});
         }
         return d;
       }(),
       {false}},
      {"the cut at 16000 points inside one column",
       [] {
         std::vector<double> d;
         // Column 160 holds points 15950 to 16049.
         for (int i = 0; i < 17000; ++i) d.insert(d.end(), {(i + 50) / 100.0, 10.0 + (i * 53) % 140});
         return d;
       }(),
       {false}},
      {"log axis, with values at LogFloor and the missing sample drawn",
       Dense(9000,
             [&](int i) {
               if (i % 211 == 0) return 0.0;
               if (i % 307 == 0) return kMissing;
               return std::pow(10.0, (random() % 3000) / 1000.0);
             }),
       {true}},
  };
  for (const Case& c : cases) {
    for (int width : {0, 1}) {
      SCOPED_TRACE(std::string(c.name) + ", pen width " + std::to_string(width));
      Fill(RGB(255, 255, 255));
      size_t all = 0;
      size_t handed = DrawBothWays(Pen("SOLID", width), c.data, c.axes, &all);
      EXPECT_LT(static_cast<double>(handed), c.share * static_cast<double>(all))
          << "dense columns go to GDI as a few points each";
    }
  }
}

TEST_F(PolyLineDenseTest, EveryPointReachesGdiWhereReducingIsNotProvenExact) {
  const std::vector<double> data = RandomWalk(6000, 2);
  auto solid = [this] { return Pen("SOLID", 1); };
  auto none = [](HDC) {};
  auto extended = [this](DWORD style) {
    return [this, style] {
      LOGBRUSH b{BS_SOLID, RGB(0, 90, 200), 0};
      return Own(ExtCreatePen(style, 1, &b, 0, nullptr));
    };
  };
  auto world = [](XFORM xform) {
    return [xform](HDC dc) {
      SetGraphicsMode(dc, GM_ADVANCED);
      SetWorldTransform(dc, &xform);
    };
  };
  struct Case {
    const char* name;
    std::function<HPEN*()> pen;
    std::function<void(HDC)> set;
    bool reduced;
  } cases[] = {
      {"a solid pen of width 1", solid, none, true},
      {"a null pen", [this] { return Own(CreatePen(PS_NULL, 1, 0)); }, none, true},
      {"a cosmetic solid extended pen", extended(PS_COSMETIC | PS_SOLID), none, true},
      {"an identity world transform", solid, world({1, 0, 0, 1, 0, 0}), true},
      {"a dashed pen", [this] { return Pen("DASH", 1); }, none, false},
      {"a dotted pen", [this] { return Pen("DOT", 1); }, none, false},
      {"a wide pen", [this] { return Pen("SOLID", 3); }, none, false},
      {"a geometric pen one pixel wide", extended(PS_GEOMETRIC | PS_SOLID), none, false},
      {"XOR mode", solid, [](HDC dc) { SetROP2(dc, R2_XORPEN); }, false},
      {"a scaling world transform", solid, world({0.5f, 0, 0, 1, 0, 0}), false},
      {"a mapping other than MM_TEXT", solid,
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 2, 1, nullptr);
         SetViewportExtEx(dc, 1, 1, nullptr);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(RGB(90, 160, 210));
    OnBoth(c.set);
    size_t all = 0;
    size_t handed = DrawBothWays(c.pen(), data, {false}, &all);
    if (c.reduced)
      EXPECT_LT(handed * 2, all);
    else
      EXPECT_EQ(handed, all);
    OnBoth([](HDC dc) {
      SetROP2(dc, R2_COPYPEN);
      SetMapMode(dc, MM_TEXT);
      ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
      SetGraphicsMode(dc, GM_COMPATIBLE);
    });
  }
}

// Drawing a pixel twice equals drawing it once for these mix modes, for
// any pen and destination; for the other seven it does not.
TEST_F(PolyLineDenseTest, OnlyIdempotentMixModesAreReduced) {
  const std::vector<int> idempotent = {R2_BLACK,   R2_MASKNOTPEN,  R2_NOTCOPYPEN,
                                       R2_MASKPEN, R2_NOP,         R2_MERGENOTPEN,
                                       R2_COPYPEN, R2_MERGEPEN,    R2_WHITE};
  const std::vector<double> data = RandomWalk(6000, 4);
  HPEN* pen = Pen("SOLID", 1);
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    SCOPED_TRACE("mix mode " + std::to_string(mode));
    Fill(RGB(90, 160, 210));
    OnBoth([mode](HDC dc) { SetROP2(dc, mode); });
    size_t all = 0;
    size_t handed = DrawBothWays(pen, data, {false}, &all);
    bool reduced = std::find(idempotent.begin(), idempotent.end(), mode) != idempotent.end();
    if (reduced)
      EXPECT_LT(handed * 2, all);
    else
      EXPECT_EQ(handed, all);
  }
  OnBoth([](HDC dc) { SetROP2(dc, R2_COPYPEN); });
}

TEST_F(PolyLineDenseTest, AScreenIsReducedAndAMetafileKeepsEveryPoint) {
  const std::vector<double> data = RandomWalk(6000, 5);
  const size_t all = PointsIn(EveryPointRuns(data, {false}));
  HPEN* pen = Pen("SOLID", 1);
  {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(MSEnable(host_, screen), 1);
    Axes{false}.Set(host_);
    PointCounter counter;
    EXPECT_EQ(MSPolyLine(host_, pen, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
    EXPECT_LT(counter.points * 2, all);
    ReleaseDC(nullptr, screen);
  }

  std::string path = TempPath("dense.emf");
  double w = kWidth / 96.0, h = kHeight / 96.0;
  HDC dc = MSCreateMetaFileDC(host_, path.c_str(), &w, &h);
  ASSERT_NE(dc, nullptr);
  ASSERT_EQ(MSEnable(host_, dc), 1);
  Axes{false}.Set(host_);
  EXPECT_EQ(MSPolyLine(host_, pen, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
  ASSERT_NE(MSSaveMetaFile(host_, dc), 0);
  HENHMETAFILE metafile = GetEnhMetaFileA(path.c_str());
  ASSERT_NE(metafile, nullptr);
  size_t recorded = 0;
  EnumEnhMetaFile(nullptr, metafile, CountPolylinePoints, &recorded, nullptr);
  DeleteEnhMetaFile(metafile);
  std::remove(path.c_str());
  EXPECT_EQ(recorded, all);
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace vorda_test
