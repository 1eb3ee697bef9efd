// Whether, and then how, the runs of one strip are column-reduced.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vorda {

// True when drawing a run reduced by ReduceColumns on `dc` with `pen` gives
// exactly the pixels of drawing every point: a raster display surface, a
// cosmetic solid (or null) pen of width 0 or 1, an idempotent mix mode,
// device units that are pixels (MM_TEXT, no world transform), and no path
// bracket open, in which Polyline paints nothing but adds to the path. A
// query that fails counts as a condition not met.
bool ColumnReductionIsExact(HDC dc, HGDIOBJ pen);

// Reduces the runs of one MSPolyLine call where that is exact. The device
// context is asked once a call, since the host may change it between calls,
// and only when a run first has points to spare: a sparse trace pays for
// no query at all.
class ColumnReducer {
 public:
  ColumnReducer(HDC dc, HGDIOBJ pen) : dc_(dc), pen_(pen) {}

  // The run's new length; the run is left as it is where reducing is not exact.
  uint32_t operator()(POINT* run, uint32_t count);

 private:
  enum class Answer { kNotAsked, kExact, kNotExact };
  HDC dc_;
  HGDIOBJ pen_;
  Answer answer_ = Answer::kNotAsked;
};

}  // namespace vorda
