// Cutting a connected line into the runs that GDI draws: a run ends at a
// missing sample, and a long run is cut every kMaxStripPoints points with
// the cut point repeated, so the drawn line stays joined. Pure code.
#pragma once

#include <cmath>
#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

constexpr uint32_t kMaxStripPoints = VORDA_MAX_STRIP_POINTS;
constexpr double kMissingSample = VORDA_MISSING_SAMPLE;

inline bool IsMissingPoint(double x, double y) {
  return std::isnan(x) || std::isnan(y) || x == kMissingSample || y == kMissingSample;
}

// Device points one strip call needs room for.
inline uint32_t StripBufferPoints(uint32_t dataSize) {
  uint32_t points = dataSize / 2;
  return points < kMaxStripPoints ? points : kMaxStripPoints;
}

// Walks the interleaved points data[0..dataSize) and hands each run of two
// or more device points to draw(points, count), which returns false to
// stop. `buffer` holds `capacity` points (at least 2) of any type
// with x and y members; draw may rewrite the run in it, since each run is
// converted afresh from `data`, the joining point of a cut included.
// Returns false when draw stopped the walk or the arguments are unusable.
template <typename Point, typename Draw>
bool CutStrip(const double* data, uint32_t dataSize, const WorldTransform& t, Point* buffer,
              uint32_t capacity, Draw&& draw) {
  if (capacity < 2 || dataSize % 2 != 0) return false;
  uint32_t i = 0;
  while (i < dataSize) {
    uint32_t n = 0;
    for (;;) {
      if (n == capacity) {
        // The full run's last point starts the next run as well.
        i -= 2;
        break;
      }
      double x = data[i];
      double y = data[i + 1];
      i += 2;
      if (IsMissingPoint(x, y)) break;
      DevicePoint p = ToDevice(t, x, y);
      buffer[n].x = p.x;
      buffer[n].y = p.y;
      ++n;
      if (i >= dataSize) break;
    }
    if (n >= 2 && !draw(buffer, n)) return false;
  }
  return true;
}

}  // namespace vorda
