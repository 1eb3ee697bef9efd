// MSPolyPoints and MSPolyPointsEx: filled square markers of one size and
// colour, and per-record circles and squares with their own colours.
#include <cstring>

#include "gdi/marker_geometry.h"
#include "gdi/plot_state.h"
#include "host/report.h"
#include "scratch.h"
#include "vorda.h"

using namespace vorda;

namespace {

// Both operations name MSCrossHair here: that is what hosts have always been shown.
constexpr const char* kCopyFailed = "In MSCrossHair. malloc or memcpy failed.";

bool Selected(HGDIOBJ previous) { return previous != nullptr && previous != HGDI_ERROR; }

// The caller's values, or on a logarithmic axis a scratch copy of them (the
// caller's array is never written). False when there is nothing to read or
// the copy cannot be made.
bool ValuesToDraw(const double* data, unsigned dataSize, Scratch<double>* copy,
                  const double** values) {
  if (dataSize != 0 && !data) return false;
  *values = data;
  if (!plotState.XIsLog && !plotState.YIsLog) return true;
  *copy = AllocateScratch<double>(dataSize);
  if (!*copy) return false;
  if (dataSize != 0) std::memcpy(copy->get(), data, sizeof(double) * dataSize);
  *values = copy->get();
  return true;
}

// A solid pen one unit wide and a solid brush of one colour, selected into
// the device context while markers are drawn with them. Whatever way the
// operation leaves, the previous pen and brush go back and both are deleted.
class MarkerTools {
 public:
  enum class Made { kAll, kNoPen, kPenNotSelected, kNoBrush, kBrushNotSelected };
  enum class Released { kAll, kNotSelectedBack, kNotDeleted };

  explicit MarkerTools(HDC dc) : dc_(dc) {}
  MarkerTools(const MarkerTools&) = delete;
  MarkerTools& operator=(const MarkerTools&) = delete;
  ~MarkerTools() { Release(); }

  Made Make(COLORREF colour) {
    pen_ = CreatePen(PS_SOLID, 1, colour);
    if (!pen_) return Made::kNoPen;
    previousPen_ = SelectObject(dc_, pen_);
    if (!Selected(previousPen_)) {
      previousPen_ = nullptr;
      return Made::kPenNotSelected;
    }
    brush_ = CreateSolidBrush(colour);
    if (!brush_) return Made::kNoBrush;
    previousBrush_ = SelectObject(dc_, brush_);
    if (!Selected(previousBrush_)) {
      previousBrush_ = nullptr;
      return Made::kBrushNotSelected;
    }
    return Made::kAll;
  }

  // Selects the previous pen, then the previous brush back, and deletes the
  // pen, then the brush; each is tried whatever became of the others.
  Released Release() {
    bool selectedBack = true;
    if (previousPen_) selectedBack &= Selected(SelectObject(dc_, previousPen_));
    if (previousBrush_) selectedBack &= Selected(SelectObject(dc_, previousBrush_));
    previousPen_ = previousBrush_ = nullptr;
    bool deleted = true;
    if (pen_) deleted &= DeleteObject(pen_) != 0;
    if (brush_) deleted &= DeleteObject(brush_) != 0;
    pen_ = nullptr;
    brush_ = nullptr;
    if (!selectedBack) return Released::kNotSelectedBack;
    return deleted ? Released::kAll : Released::kNotDeleted;
  }

 private:
  HDC dc_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
  HGDIOBJ previousPen_ = nullptr;
  HGDIOBJ previousBrush_ = nullptr;
};

// The message for a failed Make, per operation.
struct MakeMessages {
  const char* createPen;
  const char* select;
  const char* createBrush;
};

const char* MakeFailure(MarkerTools::Made made, const MakeMessages& m) {
  switch (made) {
    case MarkerTools::Made::kNoPen:
      return m.createPen;
    case MarkerTools::Made::kNoBrush:
      return m.createBrush;
    case MarkerTools::Made::kPenNotSelected:
    case MarkerTools::Made::kBrushNotSelected:
      return m.select;
    case MarkerTools::Made::kAll:
      break;
  }
  return nullptr;
}

// The message for giving back a marker's pen and brush, or null when both
// were selected back and deleted.
const char* ReleaseFailure(MarkerTools::Released released, const char* notSelectedBack,
                           const char* notDeleted) {
  switch (released) {
    case MarkerTools::Released::kNotSelectedBack:
      return notSelectedBack;
    case MarkerTools::Released::kNotDeleted:
      return notDeleted;
    case MarkerTools::Released::kAll:
      break;
  }
  return nullptr;
}

const MakeMessages kPolyPointsMake = {"In MSPolyPoints. CreatePen failed.",
                                      "In MSPolyPoints. SelectObject failed.",
                                      "In MSPolyPoints. CreateSolidBrush failed."};
const MakeMessages kPolyPointsExMake = {"In MSPolyPointsEx. CreatePen failed.",
                                        "In MSPolyPointsEx. SelectObject failed.",
                                        "In MSPolyPointsEx. CreateSolidBrush failed."};

}  // namespace

extern "C" int __cdecl MSPolyPoints(HostObject host, const double* data, unsigned dataSize,
                                    int markerSize, double red, double green, double blue) {
  Scratch<double> copy;
  const double* points = nullptr;
  if (!ValuesToDraw(data, dataSize, &copy, &points)) return ReportError(host, kCopyFailed);
  if (copy)
    ApplyLogAxes(copy.get(), dataSize, plotState.XIsLog != 0, plotState.YIsLog != 0,
                 CurrentLogFloor());

  HDC dc = plotState.CurrentDc;
  MarkerTools tools(dc);
  if (const char* failed = MakeFailure(tools.Make(UnitRgb(red, green, blue)), kPolyPointsMake))
    return ReportError(host, failed);

  // These messages name MSPolyLine: that is what hosts have always been shown.
  const WorldTransform& t = plotState.Transform;
  int32_t half = SquareHalf(markerSize);
  for (uint32_t i = 0, n = WholePoints(dataSize); i < n; ++i) {
    MarkerCorners c = SquareMarker(t, points[2 * size_t{i}], points[2 * size_t{i} + 1], half);
    if (!Rectangle(dc, c.left, c.top, c.right, c.bottom))
      return ReportError(host, "In MSPolyLine. Rectangle failed.");
  }
  if (const char* failed = ReleaseFailure(tools.Release(), "In MSPolyLine. SelectObject failed.",
                                          "In MSPolyLine. DeleteObject failed."))
    return ReportError(host, failed);
  return 1;
}

extern "C" int __cdecl MSPolyPointsEx(HostObject host, const double* records, unsigned dataSize) {
  Scratch<double> copy;
  const double* values = nullptr;
  if (!ValuesToDraw(records, dataSize, &copy, &values)) return ReportError(host, kCopyFailed);
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
    MarkerTools tools(dc);
    COLORREF colour = UnitRgb(record[kMarkerRed], record[kMarkerGreen], record[kMarkerBlue]);
    if (const char* failed = MakeFailure(tools.Make(colour), kPolyPointsExMake))
      return ReportError(host, failed);

    MarkerCorners c = RecordMarker(t, record);
    switch (ShapeOf(record[kMarkerShape])) {
      case MarkerShape::Circle:
        if (!Ellipse(dc, c.left, c.top, c.right, c.bottom))
          return ReportError(host, "In MSPolyPointsEx. Ellipse failed.");
        break;
      case MarkerShape::Square:
        if (!Rectangle(dc, c.left, c.top, c.right, c.bottom))
          return ReportError(host, "In MSPolyPointsEx. Rectangle failed.");
        break;
      case MarkerShape::None:
        break;
    }
    if (const char* failed =
            ReleaseFailure(tools.Release(), "In MSPolyPointsEx. SelectObject failed.",
                           "In MSPolyPointsEx. DeleteObject failed."))
      return ReportError(host, failed);
  }
  return 1;
}
