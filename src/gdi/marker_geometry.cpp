#include "gdi/marker_geometry.h"

namespace vorda {

namespace {

// A corner in integer device units clamped to 0..16383; not-a-number goes
// to 0 as in ClampToDevice. The arithmetic is done in doubles, which hold
// every sum of two 32-bit ints exactly, so nothing can overflow.
int32_t ClampCorner(double v) {
  if (!(v > 0.0)) return 0;
  if (v > kMaxDeviceCoordinate) return kMaxDeviceCoordinate;
  return static_cast<int32_t>(v);
}

// Truncates toward zero without a library call; values too large to have
// a fraction, infinities and not-a-number come back as they are.
double TruncTowardZero(double v) {
  if (v > -4.0e18 && v < 4.0e18) return static_cast<double>(static_cast<int64_t>(v));
  return v;
}

}  // namespace

MarkerCorners SquareMarker(const WorldTransform& t, double x, double y, int32_t half) {
  double dx = TruncTowardZero(t.XScale * x + t.XOffset);
  double dy = TruncTowardZero(t.YScale * y + t.YOffset);
  return {ClampCorner(dx - half), ClampCorner(dy + half), ClampCorner(dx + half),
          ClampCorner(dy - half)};
}

MarkerCorners RecordMarker(const WorldTransform& t, const double* record) {
  double xa = t.XScale * record[kMarkerX1] + t.XOffset;
  double xb = t.XScale * record[kMarkerX2] + t.XOffset;
  double ya = t.YScale * record[kMarkerY1] + t.YOffset;
  double yb = t.YScale * record[kMarkerY2] + t.YOffset;
  double cx = (xb + xa) * 0.5;
  double cy = (yb + ya) * 0.5;
  double width = xb - xa;
  double height = ya - yb;
  double side = height < width ? height : width;
  double half = side * record[kMarkerSizeFactor] * 0.5 + 1.5;
  return {ClampToDevice(cx - half), ClampToDevice(cy - half), ClampToDevice(cx + half),
          ClampToDevice(cy + half)};
}

void ApplyLogToRecords(double* records, uint32_t recordCount, bool xIsLog, bool yIsLog,
                       double logFloor) {
  for (uint32_t r = 0; r < recordCount; ++r) {
    double* record = records + static_cast<size_t>(r) * kMarkerRecordDoubles;
    if (xIsLog) {
      record[kMarkerX1] = LogAxisValue(record[kMarkerX1], logFloor);
      record[kMarkerX2] = LogAxisValue(record[kMarkerX2], logFloor);
    }
    if (yIsLog) {
      record[kMarkerY1] = LogAxisValue(record[kMarkerY1], logFloor);
      record[kMarkerY2] = LogAxisValue(record[kMarkerY2], logFloor);
    }
  }
}

}  // namespace vorda
