// Cutting a connected line into the runs that GDI draws: a run ends at a
// missing sample, and a long run is cut every kMaxStripPoints points with
// the cut point repeated, so the drawn line stays joined. Pure code.
#pragma once

#include <emmintrin.h>

#include <cmath>
#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

constexpr uint32_t kMaxStripPoints = VORDA_MAX_STRIP_POINTS;
constexpr double kMissingSample = VORDA_MISSING_SAMPLE;

inline bool IsMissingPoint(double x, double y) { return vorda_is_missing(x) || vorda_is_missing(y); }

// IsMissingPoint and ToDevice for one interleaved point, x and y in the two
// lanes of one SSE2 register: a dense strip spends most of its time here.
// Every lane computes what the scalar code computes, rounding included:
// the same product and sum, and the processor's truncation gives the same
// INT32_MIN for a value out of range or not a number that TruncToInt32
// does, before the clamp.
class PointConverter {
 public:
  explicit PointConverter(const WorldTransform& t)
      : scale_(_mm_set_pd(t.YScale, t.XScale)), offset_(_mm_set_pd(t.YOffset, t.XOffset)) {}

  // False for a missing point; otherwise its device point in *out.
  bool Convert(const double* xy, DevicePoint* out) const {
    const __m128d v = _mm_loadu_pd(xy);
    if (_mm_movemask_pd(_mm_or_pd(_mm_cmpunord_pd(v, v), _mm_cmpeq_pd(v, missing_)))) return false;
    __m128i d = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(v, scale_), offset_));
    d = _mm_and_si128(d, _mm_cmpgt_epi32(d, _mm_setzero_si128()));
    const __m128i over = _mm_cmpgt_epi32(d, top_);
    d = _mm_or_si128(_mm_andnot_si128(over, d), _mm_and_si128(over, top_));
    out->x = _mm_cvtsi128_si32(d);
    out->y = _mm_cvtsi128_si32(_mm_srli_si128(d, 4));
    return true;
  }

 private:
  __m128d scale_, offset_;
  __m128d missing_ = _mm_set1_pd(kMissingSample);
  __m128i top_ = _mm_set1_epi32(kMaxDeviceCoordinate);
};

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
  const PointConverter convert(t);
  uint32_t i = 0;
  while (i < dataSize) {
    uint32_t n = 0;
    for (;;) {
      if (n == capacity) {
        // The full run's last point starts the next run as well.
        i -= 2;
        break;
      }
      DevicePoint p;
      const bool present = convert.Convert(data + i, &p);
      i += 2;
      if (!present) break;
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
