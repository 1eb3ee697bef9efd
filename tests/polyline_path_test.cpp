// MSPolyLine inside a host's BeginPath ... EndPath bracket: the path gets
// every point it was given, in order, so that filling, widening or
// clipping by it gives what a plain Polyline of those points would; and
// the probe for the bracket leaves the host's path and DC as they were.
#include <cmath>
#include <vector>

#include "host_test.h"
#include "import_hook.h"
#include "surface.h"

namespace vorda_test {
namespace {

constexpr int kWidth = 160, kHeight = 120;

struct PathCopy {
  std::vector<POINT> points;
  std::vector<BYTE> types;
  bool operator==(const PathCopy& o) const {
    if (points.size() != o.points.size() || types != o.types) return false;
    for (size_t k = 0; k < points.size(); ++k)
      if (points[k].x != o.points[k].x || points[k].y != o.points[k].y) return false;
    return true;
  }
};

// The DC's closed path, or nothing (-1 from GetPath) when it has none.
bool ReadPath(HDC dc, PathCopy* out) {
  const int n = GetPath(dc, nullptr, nullptr, 0);
  if (n < 0) return false;
  out->points.resize(static_cast<size_t>(n));
  out->types.resize(static_cast<size_t>(n));
  return n == 0 || GetPath(dc, out->points.data(), out->types.data(), n) == n;
}

// A noisy sine with many points a pixel column, in model units = pixels.
std::vector<double> DenseTrace() {
  std::vector<double> data;
  unsigned noise = 12345;
  for (int k = 0; k < 3000; ++k) {
    noise = noise * 1103515245u + 12345u;
    const double x = 10 + k * 0.045;
    data.push_back(x);
    data.push_back(60 + 35 * std::sin(x / 9) + static_cast<double>(noise >> 16 & 15) - 7.5);
  }
  return data;
}

std::vector<POINT> DevicePoints(const std::vector<double>& data) {
  std::vector<POINT> points;
  for (size_t k = 0; k < data.size(); k += 2)
    points.push_back({static_cast<LONG>(data[k]), static_cast<LONG>(data[k + 1])});
  return points;
}

class PolyLinePathTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(MSNewPen(host_, &pen_, "SOLID", 1, 0, 0, 0), 1);
  }
  void TearDown() override { DeleteObject(pen_); }

  // Makes `dc` current with model units = pixels, and selects the pen.
  void Use(HDC dc) {
    ASSERT_EQ(MSEnable(host_, dc), 1);
    ASSERT_EQ(MSSetXForm(host_, 0, "", "", 0, kWidth, 0, kHeight, 0, kWidth, 0, kHeight), 1);
    SelectObject(dc, pen_);
  }
  int Draw(const std::vector<double>& data) {
    return MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size()));
  }

  HPEN pen_ = nullptr;
};

TEST_F(PolyLinePathTest, AnOpenBracketGetsEveryPointInOrder) {
  const std::vector<double> data = {10, 10, 10, 20, 10, 30, 10, 40, 10, 25,
                                    20, 40, 20, 12, 20, 30, 30, 30};
  DibSurface surface(kWidth, kHeight);
  Use(surface.dc());
  ASSERT_TRUE(BeginPath(surface.dc()));
  ASSERT_EQ(Draw(data), 1);
  ASSERT_TRUE(EndPath(surface.dc()));
  PathCopy path;
  ASSERT_TRUE(ReadPath(surface.dc(), &path));
  ASSERT_EQ(path.points.size(), 9u);
  for (size_t k = 0; k < 9; ++k) {
    EXPECT_EQ(path.points[k].x, data[2 * k]) << k;
    EXPECT_EQ(path.points[k].y, data[2 * k + 1]) << k;
    EXPECT_EQ(path.types[k], k == 0 ? PT_MOVETO : PT_LINETO) << k;
  }
  EXPECT_EQ(surface.NonWhite(), 0) << "inside a bracket nothing is painted";
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

TEST_F(PolyLinePathTest, TheProbeLeavesPathPositionAndSavedStatesAsTheyWere) {
  const std::vector<double> data = DenseTrace();
  const std::vector<POINT> every = DevicePoints(data);
  // The host's own figure before and after the trace, as a filled area is
  // built; the reference hands every point to Polyline itself.
  auto build = [&](HDC dc, bool viaVorda, POINT* position, int* level) {
    BeginPath(dc);
    MoveToEx(dc, 5, 100, nullptr);
    LineTo(dc, 5, 80);
    if (viaVorda) {
      ASSERT_EQ(Draw(data), 1);
    } else {
      Polyline(dc, every.data(), static_cast<int>(every.size()));
    }
    GetCurrentPositionEx(dc, position);
    *level = SaveDC(dc);
    RestoreDC(dc, *level);
    LineTo(dc, 150, 100);
    CloseFigure(dc);
    EndPath(dc);
  };
  DibSurface mine(kWidth, kHeight), reference(kWidth, kHeight);
  Use(mine.dc());
  POINT p1{}, p2{};
  int level1 = 0, level2 = 0;
  const int hostLevel = SaveDC(mine.dc());  // a state the host saved itself
  build(mine.dc(), true, &p1, &level1);
  SelectObject(reference.dc(), pen_);
  SaveDC(reference.dc());
  build(reference.dc(), false, &p2, &level2);
  PathCopy a, b;
  ASSERT_TRUE(ReadPath(mine.dc(), &a));
  ASSERT_TRUE(ReadPath(reference.dc(), &b));
  EXPECT_GE(a.points.size(), every.size() + 3);
  EXPECT_TRUE(a == b) << a.points.size() << " vertices against " << b.points.size();
  EXPECT_EQ(p1.x, p2.x);
  EXPECT_EQ(p1.y, p2.y);
  EXPECT_EQ(level1, level2) << "no saved state is left behind or taken away";
  EXPECT_TRUE(RestoreDC(mine.dc(), hostLevel));

  // A closed path is no bracket: the trace is painted, reduced, and the
  // path stays as the host closed it.
  DibSurface closed(kWidth, kHeight);
  Use(closed.dc());
  BeginPath(closed.dc());
  Rectangle(closed.dc(), 20, 20, 60, 50);
  EndPath(closed.dc());
  PathCopy before, after;
  ASSERT_TRUE(ReadPath(closed.dc(), &before));
  size_t handed = 0;
  {
    VORDA_HOOK(hook, "gdi32.dll", Polyline, [&](HDC dc, const POINT* p, int n) {
      handed += static_cast<size_t>(n);
      return hook.Original()(dc, p, n);
    });
    ASSERT_EQ(Draw(data), 1);
  }
  ASSERT_TRUE(ReadPath(closed.dc(), &after));
  EXPECT_TRUE(before == after);
  EXPECT_LT(handed, every.size() / 4) << "outside a bracket the columns are still reduced";
  EXPECT_GT(closed.NonWhite(), 0);
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

TEST_F(PolyLinePathTest, AFilledAreaUnderADenseTraceHasThePixelsOfEveryPoint) {
  const std::vector<double> data = DenseTrace();
  const std::vector<POINT> every = DevicePoints(data);
  struct Case {
    const char* name;
    int fillMode;
    bool widen;
  } cases[] = {{"alternate", ALTERNATE, false},
               {"winding", WINDING, false},
               {"widened outline, alternate", ALTERNATE, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto fill = [&](HDC dc, bool viaVorda) {
      SetPolyFillMode(dc, c.fillMode);
      SelectObject(dc, GetStockObject(BLACK_BRUSH));
      BeginPath(dc);
      if (viaVorda) {
        ASSERT_EQ(Draw(data), 1);
      } else {
        Polyline(dc, every.data(), static_cast<int>(every.size()));
      }
      LineTo(dc, every.back().x, 110);
      LineTo(dc, every.front().x, 110);
      CloseFigure(dc);
      EndPath(dc);
      if (c.widen) {
        ASSERT_TRUE(WidenPath(dc));
      }
      ASSERT_TRUE(FillPath(dc));
    };
    DibSurface mine(kWidth, kHeight), reference(kWidth, kHeight);
    Use(mine.dc());
    fill(mine.dc(), true);
    SelectObject(reference.dc(), pen_);
    fill(reference.dc(), false);
    int differ = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) differ += mine.Pixel(x, y) != reference.Pixel(x, y);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(mine.NonWhite(), 1000) << "the area is filled";
  }
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace vorda_test
