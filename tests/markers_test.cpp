// Point markers: the corners handed to Rectangle and Ellipse, the pixels
// they paint, the caller's arrays, and what every failure leaves behind.
#include <array>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

#include "chain_hook.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using Corners = std::array<int, 4>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// `count` doubles that end exactly where an inaccessible page begins, so that
// reading one double past the end faults.
class GuardedDoubles {
 public:
  explicit GuardedDoubles(const std::vector<double>& values) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    size_t page = info.dwPageSize;
    base_ = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + page, page, PAGE_NOACCESS, &old);
    data_ = reinterpret_cast<double*>(base_ + page) - values.size();
    std::memcpy(data_, values.data(), values.size() * sizeof(double));
  }
  ~GuardedDoubles() { VirtualFree(base_, 0, MEM_RELEASE); }
  const double* data() const { return data_; }

 private:
  char* base_ = nullptr;
  double* data_ = nullptr;
};

// Records the corners of every Rectangle and Ellipse vorda draws, and
// passes the calls on.
struct ShapeRecorder {
  static std::unique_ptr<AnyHook> Record(const char* function, std::vector<Corners>* into) {
    return Chain<decltype(Rectangle)>(
        "gdi32.dll", function, [into](auto real, HDC dc, int l, int t, int r, int b) {
          into->push_back({l, t, r, b});
          return real(dc, l, t, r, b);
        });
  }
  std::vector<Corners> rectangles, ellipses;
  std::unique_ptr<AnyHook> rectangleHook = Record("Rectangle", &rectangles);
  std::unique_ptr<AnyHook> ellipseHook = Record("Ellipse", &ellipses);
};

class MarkersTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(MSEnable(host_, surface_.dc()), 1);
    // XScale 2, XOffset 100, YScale -2, YOffset 300.
    ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 100, 300, 100, 300, 0, 100, 100, 0), 1);
    pen_ = GetCurrentObject(surface_.dc(), OBJ_PEN);
    brush_ = GetCurrentObject(surface_.dc(), OBJ_BRUSH);
  }
  // The same x mapping; y logarithmic from 1000 at device 0 to 1 at 300,
  // so LogFloor is -3.
  void UseLogY() {
    ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LOG10", 100, 300, 0, 300, 0, 100, 1000, 1), 1);
  }
  void ExpectPreviousToolsSelected() {
    EXPECT_EQ(GetCurrentObject(surface_.dc(), OBJ_PEN), pen_);
    EXPECT_EQ(GetCurrentObject(surface_.dc(), OBJ_BRUSH), brush_);
  }
  // `made` pens and as many brushes were made, all are gone again, and the
  // previous pen and brush are back.
  void ExpectToolsGivenBack(const Ledger& ledger, int made) {
    EXPECT_EQ(ledger.Made("CreatePen"), made);
    EXPECT_EQ(ledger.Made("CreateSolidBrush"), made);
    EXPECT_EQ(ledger.Leaks(), "");
    ExpectPreviousToolsSelected();
  }
  // The smallest box holding every pixel that is not white: left, top, right, bottom (exclusive).
  Corners PaintedBox() const {
    Corners box{surface_.width(), surface_.height(), 0, 0};
    for (int y = 0; y < surface_.height(); ++y)
      for (int x = 0; x < surface_.width(); ++x)
        if (surface_.Pixel(x, y) != kWhite) {
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                 std::max(box[3], y + 1)};
        }
    return box;
  }

  DibSurface surface_{400, 400};
  HGDIOBJ pen_ = nullptr;
  HGDIOBJ brush_ = nullptr;
};

TEST_F(MarkersTest, SquareMarkerCornersAreCentredOnTheDevicePointAndClamped) {
  const double huge = 1e12;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int markerSize;
    double x, y;
    Corners expected;
  } cases[] = {
      {7, 10, 5, {117, 293, 123, 287}},  // device (120, 290), half 3
      {0, 10, 5, {120, 290, 120, 290}},
      {1, 10, 5, {120, 290, 120, 290}},
      {-7, 10, 5, {123, 287, 117, 293}},
      {7, 10.9, 5.2, {118, 292, 124, 286}},    // device 121.8, 289.6 truncate to 121, 289
      {7, 8140, 5, {16377, 293, 16383, 287}},  // squeezed against the top of the range
      {7, -51, 149, {0, 5, 1, 0}},             // device (-2, 2)
      {7, huge, -huge, {16383, 16383, 16383, 16383}},
      {7, -huge, huge, {0, 0, 0, 0}},
      {7, nan, 5, {0, 293, 0, 287}},
      // Device x 2147483640: X + half leaves the 32-bit range and still clamps.
      {200, 1073741770, 5, {16383, 390, 16383, 190}},
      {-200, -1073741850, 5, {0, 190, 0, 390}},
  };
  for (const Case& c : cases) {
    ShapeRecorder shapes;
    const double point[] = {c.x, c.y};
    EXPECT_EQ(MSPolyPoints(host_, point, 2, c.markerSize, 0, 0, 0), 1);
    EXPECT_THAT(shapes.rectangles, ElementsAre(c.expected))
        << "size " << c.markerSize << " at (" << c.x << ", " << c.y << ")";
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, SquareMarkersPaintTheirColourWithOnePenAndBrushPerCall) {
  Ledger ledger;
  const double points[] = {10, 5, 50, 50, 90, 95};
  ASSERT_EQ(MSPolyPoints(host_, points, 6, 7, 1.0, 0.0, 0.0), 1);
  // Rectangle(117, 293, 123, 287) fills x 117..122, y 287..292: three such squares.
  EXPECT_EQ(surface_.Count(RGB(255, 0, 0)), 3 * 36);
  EXPECT_EQ(surface_.NonWhite(), 3 * 36);
  EXPECT_EQ(surface_.Pixel(117, 287), RGB(255, 0, 0));
  EXPECT_EQ(surface_.Pixel(122, 292), RGB(255, 0, 0));
  EXPECT_EQ(surface_.Pixel(123, 292), kWhite);
  EXPECT_EQ(surface_.Pixel(122, 293), kWhite);
  ExpectToolsGivenBack(ledger, 1);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, RecordMarkersAreSizedFromTheSmallerSideOfTheirBox) {
  struct Case {
    double x1, x2, y1, y2, sizeFactor, shape;
    Corners expected;
  } cases[] = {
      // Device box 100..120 by 290..300: m 10, half 6.5, centre (110, 295).
      {0, 10, 0, 5, 1, 1.0, {103, 288, 116, 301}},
      {0, 10, 0, 5, 1, 2.0, {103, 288, 116, 301}},
      // Size factor 0: 3 device units across whatever the box.
      {0, 10, 0, 5, 0, 1.0, {108, 293, 111, 296}},
      // The sides are signed: a box given right to left has width -20, so
      // m is -20 and half -8.5.
      {10, 0, 0, 5, 1, 2.0, {118, 303, 101, 286}},
      {0, 10, 0, 5, 2, 2.0, {98, 283, 121, 306}},  // half 11.5
  };
  for (const Case& c : cases) {
    ShapeRecorder shapes;
    const double record[] = {c.x1, c.x2, c.y1, c.y2, c.sizeFactor, 0, 0, 1, c.shape};
    EXPECT_EQ(MSPolyPointsEx(host_, record, 9), 1);
    if (c.shape == 1.0) {
      EXPECT_THAT(shapes.ellipses, ElementsAre(c.expected));
      EXPECT_THAT(shapes.rectangles, IsEmpty());
    } else {
      EXPECT_THAT(shapes.rectangles, ElementsAre(c.expected));
      EXPECT_THAT(shapes.ellipses, IsEmpty());
    }
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, RecordMarkersPaintEachInItsOwnColour) {
  Ledger ledger;
  const double records[] = {
      0,  10, 0,  5,  1, 1, 0, 0, 1.0,  // red circle in 103..116 by 288..301
      50, 70, 50, 60, 1, 0, 0, 1, 2.0,  // blue square around device (220, 190)
  };
  ASSERT_EQ(MSPolyPointsEx(host_, records, 18), 1);
  EXPECT_EQ(surface_.Pixel(109, 294), RGB(255, 0, 0));
  EXPECT_EQ(surface_.Pixel(103, 288), kWhite);  // a circle leaves its box's corners
  EXPECT_GT(surface_.Count(RGB(0, 0, 255)), 0);
  EXPECT_EQ(surface_.Pixel(220, 190), RGB(0, 0, 255));
  EXPECT_EQ(surface_.Count(RGB(255, 0, 0)) + surface_.Count(RGB(0, 0, 255)), surface_.NonWhite());
  // One pen and one brush per record, all gone again.
  ExpectToolsGivenBack(ledger, 2);
}

TEST_F(MarkersTest, UnknownShapesDrawNothingButStillMakeAndDeleteTheirTools) {
  Ledger ledger;
  ShapeRecorder shapes;
  const double records[] = {
      0, 10, 0, 5, 1, 1, 0, 0, 3.0,  //
      0, 10, 0, 5, 1, 1, 0, 0, 1.5,  //
  };
  ASSERT_EQ(MSPolyPointsEx(host_, records, 18), 1);
  EXPECT_EQ(surface_.NonWhite(), 0);
  EXPECT_THAT(shapes.rectangles, IsEmpty());
  EXPECT_THAT(shapes.ellipses, IsEmpty());
  ExpectToolsGivenBack(ledger, 2);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, EmptyArraysDrawNothingOnLinearAndLogarithmicAxes) {
  for (bool logY : {false, true}) {
    if (logY) UseLogY();
    Ledger ledger;
    const double unused[] = {1, 2};
    // MSPolyPoints makes its pen and brush before it looks at the points.
    EXPECT_EQ(MSPolyPoints(host_, unused, 0, 7, 0, 0, 0), 1);
    EXPECT_EQ(ledger.Made("CreatePen"), 1);
    EXPECT_EQ(MSPolyPointsEx(host_, unused, 0), 1);
    EXPECT_EQ(MSPolyPointsEx(host_, nullptr, 0), 1);
    EXPECT_EQ(ledger.Made("CreatePen"), 1);
    EXPECT_EQ(ledger.Leaks(), "");
  }
  EXPECT_EQ(surface_.NonWhite(), 0);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, TrailingPartialPointsAndRecordsAreIgnoredWithoutReadingPastTheArray) {
  for (bool logY : {false, true}) {
    if (logY) UseLogY();
    Ledger ledger;
    ShapeRecorder shapes;
    // Two points and a lone x that ends the array against an inaccessible page.
    GuardedDoubles points({10, 5, 20, 5, 30});
    EXPECT_EQ(MSPolyPoints(host_, points.data(), 5, 3, 0, 0, 0), 1);
    EXPECT_EQ(shapes.rectangles.size(), 2u);

    std::vector<double> values = {0, 10, 1, 5, 1, 0, 0, 0, 2.0};
    values.insert(values.end(), {0, 10, 1, 5});  // the first four fields of a second record
    GuardedDoubles records(values);
    EXPECT_EQ(MSPolyPointsEx(host_, records.data(), 13), 1);
    EXPECT_EQ(shapes.rectangles.size(), 3u);
    EXPECT_EQ(ledger.Made("CreatePen"), 2);
    EXPECT_EQ(ledger.Leaks(), "");
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, LogarithmicAxesConvertACopyAndLeaveTheCallersArrayAlone) {
  UseLogY();  // YScale -100, YOffset 300, LogFloor -3
  Ledger ledger;
  ShapeRecorder shapes;
  const double points[] = {10, 100, 20, 0, 30, -5};
  const std::vector<double> before(std::begin(points), std::end(points));
  ASSERT_EQ(MSPolyPoints(host_, points, 6, 2, 0, 0, 0), 1);
  // y 100 is axis value 2 at device 100; y 0 and below sit at LogFloor, device 600.
  EXPECT_THAT(shapes.rectangles,
              ElementsAre(Corners{119, 101, 121, 99}, Corners{139, 601, 141, 599},
                          Corners{159, 601, 161, 599}));
  EXPECT_EQ(std::vector<double>(std::begin(points), std::end(points)), before);

  // Only the box of a record is converted; the size factor, colour and
  // shape are not (a size factor of 10 would otherwise become 1).
  const double record[] = {0, 10, 10, 100, 10, 0, 0, 0, 2.0};
  const std::vector<double> recordBefore(std::begin(record), std::end(record));
  ASSERT_EQ(MSPolyPointsEx(host_, record, 9), 1);
  // Device box 100..120 by 200..100: m 20, half 101.5 around (110, 150).
  EXPECT_EQ(shapes.rectangles.back(), (Corners{8, 48, 211, 251}));
  EXPECT_EQ(std::vector<double>(std::begin(record), std::end(record)), recordBefore);

  EXPECT_EQ(ledger.Made("malloc"), 2);
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MarkersTest, MissingArraysAreRefusedBeforeAnythingIsMade) {
  Ledger ledger;
  EXPECT_EQ(MSPolyPoints(host_, nullptr, 4, 7, 0, 0, 0), 0);
  EXPECT_EQ(MSPolyPointsEx(host_, nullptr, 9), 0);
  EXPECT_THAT(Messages(), ElementsAre("In MSCrossHair. malloc or memcpy failed.",
                                      "In MSCrossHair. malloc or memcpy failed."));
  EXPECT_EQ(ledger.Alive() + ledger.Made("CreatePen"), 0);
}

// Makes the n-th call of one of the imports markers use fail.
std::unique_ptr<AnyHook> FailImport(const std::string& name, int n, bool pretend) {
  const char* gdi = "gdi32.dll";
  if (name == "CreatePen") return FailNth<decltype(CreatePen)>(gdi, "CreatePen", n, nullptr);
  if (name == "CreateSolidBrush")
    return FailNth<decltype(CreateSolidBrush)>(gdi, "CreateSolidBrush", n, nullptr);
  if (name == "SelectObject")
    return FailNth<decltype(SelectObject)>(gdi, "SelectObject", n, nullptr, pretend);
  if (name == "Rectangle" || name == "Ellipse")
    return FailNth<decltype(Rectangle)>(gdi, name.c_str(), n, FALSE);
  if (name == "DeleteObject") return FailNth<decltype(DeleteObject)>(gdi, "DeleteObject", n, FALSE, pretend);
  if (name == "malloc") return FailNth<MallocSig>("msvcrt.dll", "malloc", n, nullptr);
  throw std::runtime_error("no failing hook for " + name);
}

TEST_F(MarkersTest, AFailurePutsThePreviousToolsBackAndLeaksNothing) {
  struct Case {
    bool ex;  // MSPolyPointsEx, else MSPolyPoints
    const char* import;
    int nth;
    bool pretend;
    const char* message;
  } cases[] = {
      {false, "malloc", 1, false, "In MSCrossHair. malloc or memcpy failed."},
      {false, "CreatePen", 1, false, "In MSPolyPoints. CreatePen failed."},
      {false, "SelectObject", 1, false, "In MSPolyPoints. SelectObject failed."},
      {false, "CreateSolidBrush", 1, false, "In MSPolyPoints. CreateSolidBrush failed."},
      {false, "SelectObject", 2, false, "In MSPolyPoints. SelectObject failed."},
      {false, "Rectangle", 2, false, "In MSPolyLine. Rectangle failed."},
      {false, "SelectObject", 3, true, "In MSPolyLine. SelectObject failed."},
      {false, "SelectObject", 4, true, "In MSPolyLine. SelectObject failed."},
      {false, "DeleteObject", 1, true, "In MSPolyLine. DeleteObject failed."},
      {false, "DeleteObject", 2, true, "In MSPolyLine. DeleteObject failed."},
      {true, "malloc", 1, false, "In MSCrossHair. malloc or memcpy failed."},
      // The second record fails: its pen and brush are the second ones made.
      {true, "CreatePen", 2, false, "In MSPolyPointsEx. CreatePen failed."},
      {true, "SelectObject", 5, false, "In MSPolyPointsEx. SelectObject failed."},
      {true, "CreateSolidBrush", 2, false, "In MSPolyPointsEx. CreateSolidBrush failed."},
      {true, "SelectObject", 6, false, "In MSPolyPointsEx. SelectObject failed."},
      {true, "Rectangle", 1, false, "In MSPolyPointsEx. Rectangle failed."},
      {true, "Ellipse", 1, false, "In MSPolyPointsEx. Ellipse failed."},
      {true, "SelectObject", 7, true, "In MSPolyPointsEx. SelectObject failed."},
      {true, "SelectObject", 8, true, "In MSPolyPointsEx. SelectObject failed."},
      {true, "DeleteObject", 3, true, "In MSPolyPointsEx. DeleteObject failed."},
      {true, "DeleteObject", 4, true, "In MSPolyPointsEx. DeleteObject failed."},
  };
  UseLogY();  // so that every call works on a scratch copy
  const double points[] = {10, 10, 20, 20, 30, 30};
  const double records[] = {
      0,  10, 10, 20, 1, 1, 0, 0, 1.0,  //
      20, 30, 10, 20, 1, 0, 1, 0, 2.0,  //
      40, 50, 10, 20, 1, 0, 0, 1, 2.0,  //
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ex ? "MSPolyPointsEx, " : "MSPolyPoints, ") + c.import + " #" +
                 std::to_string(c.nth));
    tarn::host().ClearErrors();
    tarn::host().SetErrorResult(-7);
    Ledger ledger;
    {
      std::unique_ptr<AnyHook> failing = FailImport(c.import, c.nth, c.pretend);
      int result =
          c.ex ? MSPolyPointsEx(host_, records, 27) : MSPolyPoints(host_, points, 6, 5, 0, 0, 0);
      EXPECT_EQ(result, -7);
    }
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    ExpectPreviousToolsSelected();
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_F(MarkersTest, MarkersDrawnBeforeAFailureStayDrawn) {
  auto failing = FailImport("CreatePen", 2, false);
  const double records[] = {
      0,  10, 0,  5,  1, 1, 0, 0, 2.0,  //
      50, 70, 50, 60, 1, 0, 0, 1, 2.0,  //
  };
  EXPECT_EQ(MSPolyPointsEx(host_, records, 18), 0);
  EXPECT_EQ(PaintedBox(), (Corners{103, 288, 116, 301}));
  EXPECT_EQ(surface_.Count(RGB(255, 0, 0)), surface_.NonWhite());
  EXPECT_THAT(Messages(), ElementsAre("In MSPolyPointsEx. CreatePen failed."));
}

}  // namespace
}  // namespace vorda_test
