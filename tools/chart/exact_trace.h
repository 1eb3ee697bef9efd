// A time-series trace drawn from a channel's summary with exactly the
// pixels _CDrawYTTrace paints from every sample, reading from the file only
// the samples that decide a pixel. Pure: it computes the points, the
// caller hands them to MSPolyLine.
//
// Why it is exact. The driver cuts each burst into the blocks of
// vorda_block_walk and gives every sample the time vorda_sample_time
// gives it; MSPolyLine breaks a block's line at missing samples and draws
// each stretch between them as one connected line (a long one in runs
// that share their joining point, which paints what one line would). So
// the trace is these stretches, block by block, and what this module
// hands over per stretch is, by one of two means:
// - kReduce (a solid pen one pixel wide on a raster surface): the points
//   MSPolyLine's column reduction keeps of the stretch, which paint what
//   all of them paint: in each run of points in one device column its
//   first and last, the first of its lowest and of its highest, and in the
//   stretch's last column the point before the closing points on the last
//   one's row. The summary says which leaves can hold a column's extremes,
//   so only those are read.
// - kAll (a solid pen wider than a pixel, which MSPolyLine does not
//   reduce): every sample of each stretch; where a call ends inside a
//   stretch the next starts at the same point, and the round ends of the
//   two lines cover what the round join of one would.
// - kRuns (a dashed pen): the very runs of at most VORDA_MAX_STRIP_POINTS
//   points MSPolyLine would hand GDI, each as a call of its own, so that a
//   dash pattern starts where it would.
// Either way, a stretch's points that lie wholly left or right of the
// visible columns (all but the one next to the visible part) are left out:
// the segments between them paint only outside the clip rectangle.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "recording.h"
#include "summary.h"
#include "vorda_map.h"

namespace chart {

enum class ExactMode { kReduce, kAll, kRuns };

struct ExactTrace {
  const VordaMapping* map = nullptr;  // the panel's transform; its x must rise with time
  const recording::ChannelSummary* summary = nullptr;
  recording::SampleSource* source = nullptr;  // the samples as drawn (infinities placed)
  int channel = 0;
  // What the source reads an infinity as (placed beyond the axis, or left).
  double plusInf = HUGE_VAL, minusInf = -HUGE_VAL;
  // Device columns outside [left, right] are not seen (the clip rectangle
  // with a margin wider than the pen).
  std::int32_t visibleLeft = 0, visibleRight = VORDA_MAX_DEVICE_COORDINATE;
  ExactMode mode = ExactMode::kReduce;
};

// Calls draw(points, count) with interleaved model x, y: each call a
// "LINE_STRIP" whose parts are separated by a not-a-number point. False
// when draw returned false, or after *error says why the file could not
// be read.
bool DrawExactTrace(const ExactTrace& trace, const std::vector<Burst>& bursts, double sampleInc,
                    const std::function<bool(const double*, std::size_t)>& draw, std::string* error);

}  // namespace chart
