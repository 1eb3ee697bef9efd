// The column reduction of MSPolyLine's runs. What comes out is never longer
// than what went in, keeps the order, the run's first and last points, each
// column's lowest and highest rows, and the segments from column to column;
// a run without three points in one column comes out unchanged; and the
// pixels the reduced run paints are those of the full run, in a model of a
// one-pixel line: each segment paints its start and not its end, a vertical
// one every row in between, one that changes column the same pixels
// whenever its ends are the same. Also: a mix mode counts as idempotent
// exactly when drawing twice in it equals drawing once, for every pen and
// destination.
#include <algorithm>
#include <vector>

#include "fuzz_input.h"
#include "gdi/column_reduce.h"

namespace {

struct Point {
  int32_t x, y;
  uint32_t id;  // index in the run as it went in
};

struct Span {
  int64_t from, to;  // rows [from, to)
  bool operator==(const Span&) const = default;
};

// Half-open row spans, merged, of one column's vertical segments.
std::vector<Span> Merge(std::vector<Span> spans) {
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
  std::vector<Span> merged;
  for (const Span& s : spans) {
    if (!merged.empty() && s.from <= merged.back().to)
      merged.back().to = std::max(merged.back().to, s.to);
    else
      merged.push_back(s);
  }
  return merged;
}

struct Painted {
  std::vector<std::vector<Span>> columns;     // per column group, in order
  std::vector<std::pair<Point, Point>> steps;  // segments that change column
};

// What a run paints in the model: rows of its vertical segments per column
// group (with the last point's row when a segment leaves from it), and the
// segments that change column by their ends.
Painted Paint(const std::vector<Point>& run) {
  Painted p;
  std::vector<Span> spans;
  for (size_t k = 0; k < run.size(); ++k) {
    if (k > 0 && run[k].x != run[k - 1].x) {
      // The segment leaving the column paints the row it leaves from.
      spans.push_back({run[k - 1].y, int64_t{run[k - 1].y} + 1});
      p.columns.push_back(Merge(spans));
      spans.clear();
      p.steps.push_back({run[k - 1], run[k]});
    } else if (k > 0) {
      int64_t a = run[k - 1].y, b = run[k].y;
      if (a < b) spans.push_back({a, b});
      if (a > b) spans.push_back({b + 1, a + 1});
    }
  }
  if (!run.empty()) p.columns.push_back(Merge(spans));
  return p;
}

// GDI's sixteen mix modes by their definitions, on 8-bit values.
uint8_t Mix(int mode, uint8_t pen, uint8_t dst) {
  switch (mode) {
    case 1: return 0;
    case 2: return static_cast<uint8_t>(~(pen | dst));
    case 3: return static_cast<uint8_t>(~pen & dst);
    case 4: return static_cast<uint8_t>(~pen);
    case 5: return static_cast<uint8_t>(pen & ~dst);
    case 6: return static_cast<uint8_t>(~dst);
    case 7: return static_cast<uint8_t>(pen ^ dst);
    case 8: return static_cast<uint8_t>(~(pen & dst));
    case 9: return static_cast<uint8_t>(pen & dst);
    case 10: return static_cast<uint8_t>(~(pen ^ dst));
    case 11: return dst;
    case 12: return static_cast<uint8_t>(~pen | dst);
    case 13: return pen;
    case 14: return static_cast<uint8_t>(pen | ~dst);
    case 15: return static_cast<uint8_t>(pen | dst);
    default: return 0xFF;
  }
}

// The modes work bit by bit, so these values hold every pair of a pen bit
// and a destination bit.
void CheckMixMode(int mode) {
  const uint8_t values[] = {0x00, 0x5A, 0xA5, 0xFF};
  bool expected = mode >= 1 && mode <= 16;
  for (uint8_t pen : values)
    for (uint8_t dst : values) {
      uint8_t once = Mix(mode, pen, dst);
      expected = expected && Mix(mode, pen, once) == once;
    }
  FUZZ_CHECK(vorda::IsIdempotentMix(mode) == expected, "mix mode %d: idempotent %d", mode,
             expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  CheckMixMode(static_cast<int8_t>(in.U8()) % 20);

  // Few columns and rows, so that columns are crowded and rows repeat; now
  // and then a coordinate anywhere in 32 bits.
  const uint32_t count = in.U8() % 160;
  const uint8_t columns = 1 + in.U8() % 8, rows = 1 + in.U8() % 16;
  std::vector<Point> run;
  int32_t x = 0;
  for (uint32_t k = 0; k < count; ++k) {
    uint8_t b = in.U8();
    if (b % 4 == 0) x = (b / 4) % columns;
    int32_t y = b >= 250 ? in.I32() : static_cast<int32_t>(in.U8() % rows);
    run.push_back({x, y, k});
  }

  std::vector<Point> reduced = run;
  const uint32_t n = vorda::ReduceColumns(reduced.data(), count);
  FUZZ_CHECK(n <= count, "%u points out of %u", n, count);
  FUZZ_CHECK(count < 2 || n >= 2, "%u points out of %u", n, count);
  reduced.resize(n);
  if (!vorda::HasCrowdedColumn(run.data(), count))
    FUZZ_CHECK(n == count, "a run without a crowded column lost %u points", count - n);

  for (uint32_t k = 0; k < n; ++k) {
    const Point& p = reduced[k];
    FUZZ_CHECK(p.id < count && run[p.id].x == p.x && run[p.id].y == p.y, "point %u is not an input",
               k);
    FUZZ_CHECK(k == 0 || reduced[k - 1].id < p.id, "point %u out of order", k);
  }
  if (count > 0)
    FUZZ_CHECK(reduced.front().id == 0 && reduced.back().id == count - 1,
               "first or last point lost");

  // Column by column: the same groups, their first and last points and
  // their extremes kept.
  size_t r = 0;
  for (uint32_t start = 0; start < count;) {
    uint32_t end = start;
    int32_t lo = run[start].y, hi = run[start].y;
    for (; end < count && run[end].x == run[start].x; ++end) {
      lo = std::min(lo, run[end].y);
      hi = std::max(hi, run[end].y);
    }
    FUZZ_CHECK(r < n && reduced[r].id == start, "column starting at %u lost its first point", start);
    int32_t keptLo = reduced[r].y, keptHi = reduced[r].y;
    for (; r < n && reduced[r].id < end; ++r) {
      keptLo = std::min(keptLo, reduced[r].y);
      keptHi = std::max(keptHi, reduced[r].y);
    }
    FUZZ_CHECK(reduced[r - 1].id == end - 1, "column starting at %u lost its last point", start);
    FUZZ_CHECK(keptLo == lo && keptHi == hi, "column starting at %u lost an extreme", start);
    start = end;
  }

  Painted full = Paint(run), fewer = Paint(reduced);
  FUZZ_CHECK(full.steps.size() == fewer.steps.size(), "segments between columns differ");
  for (size_t k = 0; k < full.steps.size(); ++k)
    FUZZ_CHECK(full.steps[k].first.id == fewer.steps[k].first.id &&
                   full.steps[k].second.id == fewer.steps[k].second.id,
               "segment %zu between columns differs", k);
  FUZZ_CHECK(full.columns == fewer.columns, "the rows painted differ");
  return 0;
}
