// Column reduction of a strip run: a dense trace has many consecutive
// device points in one pixel column, and drawing all of them is wasted
// work when drawing fewer gives the same pixels. Pure code.
//
// Why it is exact. A cosmetic one-pixel line from A to B paints a set of
// pixels fixed by A and B alone, A's pixel included and B's left out. Inside
// one column, consecutive points are joined by vertical segments. Their
// union is every pixel from the lowest point to the highest, save perhaps
// the column's last point L: a segment that leaves the column from L paints
// it, but at the end of a run nothing does unless L lies strictly between
// the extremes, or is an extreme the points reached before the closing
// stretch of points on L's row. Keeping the first point, the first of the
// lowest, the first of the highest and the last, in their original order,
// covers the same span and keeps the segments that enter and leave the
// column as they were. In the run's last column the point just before that
// closing stretch is kept too, so that an extreme reached earlier is still
// left before the stretch begins. Pixels painted twice stay as they were
// painted once only when the mix mode is idempotent, which the caller
// checks with IsIdempotentMix.
#pragma once

#include <cstdint>

namespace vorda {

// Moves to the front of points[0..count) what each group of consecutive
// points with one x keeps (see above) and returns how many that is: never
// more than count, and at least 2 when count is at least 2, since the run's
// first and last points are always kept. `Point` is any type with x and y.
template <typename Point>
uint32_t ReduceColumns(Point* points, uint32_t count) {
  uint32_t out = 0;
  uint32_t start = 0;
  while (start < count) {
    const auto x = points[start].x;
    auto lowY = points[start].y;
    auto highY = lowY;
    uint32_t low = start, high = start, end = start + 1;
    // Strict comparisons keep the first of equal extremes, which is the one
    // reached before any closing stretch on the same row.
    for (; end < count && points[end].x == x; ++end) {
      const auto y = points[end].y;
      if (y < lowY) {
        lowY = y;
        low = end;
      } else if (y > highY) {
        highY = y;
        high = end;
      }
    }
    uint32_t keep[5] = {start, low < high ? low : high, low < high ? high : low, end - 1, end - 1};
    if (end == count) {
      // The point before the run's closing stretch on one row, in order.
      uint32_t before = end - 1;
      while (before > start && points[before].y == points[end - 1].y) --before;
      uint32_t k = 3;
      for (; k > 0 && keep[k - 1] > before; --k) keep[k] = keep[k - 1];
      keep[k] = before;
    }
    // The kept points are read before any is written: the output may
    // overlap the group it comes from.
    Point kept[5];
    uint32_t n = 0;
    for (uint32_t k = 0; k < 5; ++k)
      if (k == 0 || keep[k] != keep[k - 1]) kept[n++] = points[keep[k]];
    for (uint32_t k = 0; k < n; ++k) points[out++] = kept[k];
    start = end;
  }
  return out;
}

// Whether ReduceColumns could drop a point here: only a column holding
// three or more consecutive points has one to spare.
template <typename Point>
bool HasCrowdedColumn(const Point* points, uint32_t count) {
  for (uint32_t k = 2; k < count; ++k)
    if (points[k].x == points[k - 1].x && points[k].x == points[k - 2].x) return true;
  return false;
}

// Whether drawing a pixel twice in this GDI mix mode (R2_BLACK = 1 ..
// R2_WHITE = 16) gives what drawing it once gives, for every pen colour and
// destination: op(P, op(P, D)) == op(P, D).
bool IsIdempotentMix(int mixMode);

}  // namespace vorda
