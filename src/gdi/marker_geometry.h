// Where point markers go: the corners of square markers of a fixed size,
// and the box of per-record markers sized from a model box. Pure code.
#pragma once

#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

// A marker record: nine doubles, packed one after another.
constexpr uint32_t kMarkerRecordDoubles = VORDA_MARKER_RECORD_DOUBLES;
enum MarkerField : uint32_t {
  kMarkerX1 = VORDA_MARKER_X1,
  kMarkerX2 = VORDA_MARKER_X2,
  kMarkerY1 = VORDA_MARKER_Y1,
  kMarkerY2 = VORDA_MARKER_Y2,
  kMarkerSizeFactor = VORDA_MARKER_SIZE_FACTOR,
  kMarkerRed = VORDA_MARKER_RED,
  kMarkerGreen = VORDA_MARKER_GREEN,
  kMarkerBlue = VORDA_MARKER_BLUE,
  kMarkerShape = VORDA_MARKER_SHAPE,
};

enum class MarkerShape { None, Circle, Square };

// Shape codes are compared exactly; any other code draws nothing.
inline MarkerShape ShapeOf(double code) {
  if (code == 1.0) return MarkerShape::Circle;
  if (code == 2.0) return MarkerShape::Square;
  return MarkerShape::None;
}

// The four values handed to Rectangle or Ellipse, in their order.
struct MarkerCorners {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// Only whole points and records are drawn: a trailing partial one would lie
// past the caller's array.
inline uint32_t WholePoints(uint32_t dataSize) { return dataSize / 2; }
inline uint32_t WholeRecords(uint32_t dataSize) { return dataSize / kMarkerRecordDoubles; }

// Half the side of a square marker, truncated toward zero (7 gives 3, -7 gives -3).
inline int32_t SquareHalf(int32_t markerSize) { return markerSize / 2; }

// A square marker around the point (x, y) in axis values: the device
// position truncated toward zero, then left = X - half, top = Y + half,
// right = X + half, bottom = Y - half, each clamped to 0..16383. A position
// or corner beyond the 32-bit range saturates like any other.
MarkerCorners SquareMarker(const WorldTransform& t, double x, double y, int32_t half);

// The marker of one record whose box is in axis values: centred in the
// device box, the box's smaller signed side times the size factor plus 3
// device units across.
MarkerCorners RecordMarker(const WorldTransform& t, const double* record);

// Replaces X1 and X2 and/or Y1 and Y2 of each whole record by their
// logarithmic axis values; the other fields are never touched.
void ApplyLogToRecords(double* records, uint32_t recordCount, bool xIsLog, bool yIsLog,
                       double logFloor);

}  // namespace vorda
