// MSPolyPoints and MSPolyPointsEx: filled square markers of one size and
// colour, and per-record circles and squares with their own colours.
#include "gdi/marker_geometry.h"
#include "gdi/plot_state.h"
#include "guards.h"
#include "host/report.h"
#include "scratch.h"
#include "vorda.h"

using namespace vorda;

namespace {

// The caller's values, or on a logarithmic axis a scratch copy of them (the
// caller's array is never written). Both operations report a missing array
// or a copy not made with MSCrossHair's message: hosts key on the exact
// text, so it is not corrected.
Failure ValuesToDraw(const double* data, unsigned dataSize, Scratch<double>* copy,
                     const double** values) {
  if (dataSize != 0 && !data) return kCrossHairCopyFailed;
  *values = data;
  if (!AnyLogAxis()) return {};
  *copy = CopyToScratch(data, dataSize);
  if (!*copy) return kCrossHairCopyFailed;
  *values = copy->get();
  return {};
}

// The messages of one operation for its marker pen and brush.
struct ToolMessages {
  const char* createPen;
  const char* select;
  const char* createBrush;
  const char* selectBack;
  const char* deleteFailed;
};

// MSPolyPoints gives back its pen and brush with MSPolyLine's messages,
// again because hosts key on the text.
constexpr ToolMessages kPolyPointsTools = {
    kPolyPointsCreatePenFailed, kPolyPointsSelectObjectFailed, kPolyPointsCreateSolidBrushFailed,
    kPolyLineSelectObjectFailed, kPolyLineDeleteObjectFailed};
constexpr ToolMessages kPolyPointsExTools = {
    kPolyPointsExCreatePenFailed, kPolyPointsExSelectObjectFailed,
    kPolyPointsExCreateSolidBrushFailed, kPolyPointsExSelectObjectFailed,
    kPolyPointsExDeleteObjectFailed};

// A solid pen one unit wide and a solid brush of one colour, selected into
// the device context while markers are drawn with them. Whatever way the
// operation leaves, the previous pen and brush go back and both are deleted.
class MarkerTools {
 public:
  MarkerTools(HDC dc, const ToolMessages& messages) : dc_(dc), messages_(messages) {}
  MarkerTools(const MarkerTools&) = delete;
  MarkerTools& operator=(const MarkerTools&) = delete;
  ~MarkerTools() { static_cast<void>(Release()); }

  Failure Make(COLORREF colour) {
    pen_ = CreatePen(PS_SOLID, 1, colour);
    if (!pen_) return messages_.createPen;
    previousPen_ = SelectObject(dc_, pen_);
    if (!Selected(previousPen_)) {
      previousPen_ = nullptr;
      return messages_.select;
    }
    brush_ = CreateSolidBrush(colour);
    if (!brush_) return messages_.createBrush;
    previousBrush_ = SelectObject(dc_, brush_);
    if (!Selected(previousBrush_)) {
      previousBrush_ = nullptr;
      return messages_.select;
    }
    return {};
  }

  // Selects the previous pen, then the previous brush back, and deletes the
  // pen, then the brush; each is tried whatever became of the others.
  Failure Release() {
    bool selectedBack = true;
    if (previousPen_) selectedBack &= Selected(SelectObject(dc_, previousPen_));
    if (previousBrush_) selectedBack &= Selected(SelectObject(dc_, previousBrush_));
    previousPen_ = previousBrush_ = nullptr;
    bool deleted = true;
    if (pen_) deleted &= DeleteObject(pen_) != 0;
    if (brush_) deleted &= DeleteObject(brush_) != 0;
    pen_ = nullptr;
    brush_ = nullptr;
    if (!selectedBack) return messages_.selectBack;
    if (!deleted) return messages_.deleteFailed;
    return {};
  }

 private:
  HDC dc_;
  const ToolMessages& messages_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
  HGDIOBJ previousPen_ = nullptr;
  HGDIOBJ previousBrush_ = nullptr;
};

}  // namespace

extern "C" int __cdecl MSPolyPoints(HostObject host, const double* data, unsigned dataSize,
                                    int markerSize, double red, double green, double blue) {
  Scratch<double> copy;
  const double* points = nullptr;
  if (Failure f = ValuesToDraw(data, dataSize, &copy, &points)) return ReportError(host, f);
  if (copy)
    ApplyLogAxes(copy.get(), dataSize, plotState.XIsLog != 0, plotState.YIsLog != 0,
                 CurrentLogFloor());

  HDC dc = plotState.CurrentDc;
  MarkerTools tools(dc, kPolyPointsTools);
  if (Failure f = tools.Make(UnitRgb(red, green, blue))) return ReportError(host, f);

  const WorldTransform& t = plotState.Transform;
  int32_t half = SquareHalf(markerSize);
  for (uint32_t i = 0, n = WholePoints(dataSize); i < n; ++i) {
    MarkerCorners c = SquareMarker(t, points[2 * size_t{i}], points[2 * size_t{i} + 1], half);
    if (!Rectangle(dc, c.left, c.top, c.right, c.bottom))
      return ReportError(host, kPolyLineRectangleFailed);
  }
  if (Failure f = tools.Release()) return ReportError(host, f);
  return 1;
}

extern "C" int __cdecl MSPolyPointsEx(HostObject host, const double* records, unsigned dataSize) {
  Scratch<double> copy;
  const double* values = nullptr;
  if (Failure f = ValuesToDraw(records, dataSize, &copy, &values)) return ReportError(host, f);
  uint32_t count = WholeRecords(dataSize);
  if (copy)
    ApplyLogToRecords(copy.get(), count, plotState.XIsLog != 0, plotState.YIsLog != 0,
                      CurrentLogFloor());

  // A pen and a brush for every record, even when colours repeat: nothing
  // outlives a record.
  HDC dc = plotState.CurrentDc;
  const WorldTransform& t = plotState.Transform;
  for (uint32_t r = 0; r < count; ++r) {
    const double* record = values + size_t{r} * kMarkerRecordDoubles;
    MarkerTools tools(dc, kPolyPointsExTools);
    COLORREF colour = UnitRgb(record[kMarkerRed], record[kMarkerGreen], record[kMarkerBlue]);
    if (Failure f = tools.Make(colour)) return ReportError(host, f);

    MarkerCorners c = RecordMarker(t, record);
    switch (ShapeOf(record[kMarkerShape])) {
      case MarkerShape::Circle:
        if (!Ellipse(dc, c.left, c.top, c.right, c.bottom))
          return ReportError(host, kPolyPointsExEllipseFailed);
        break;
      case MarkerShape::Square:
        if (!Rectangle(dc, c.left, c.top, c.right, c.bottom))
          return ReportError(host, kPolyPointsExRectangleFailed);
        break;
      case MarkerShape::None:
        break;
    }
    if (Failure f = tools.Release()) return ReportError(host, f);
  }
  return 1;
}
