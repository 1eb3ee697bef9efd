// The sample a crosshair snaps to and the line of text that reads it out:
// the time and each channel's value there. Pure.
#pragma once

#include <cstdint>
#include <string>

#include "axes.h"
#include "chart_plan.h"
#include "recording.h"

namespace view {

using chart::Range;

struct CursorSample {
  std::int64_t index = 0;  // into every channel's array
  double time = 0;
};

// The sample nearest to time t among those whose times lie in `shown`;
// false when no burst has a sample there.
bool SnapToTime(const chart::Recording& r, double t, Range shown, CursorSample* out);

// For a chart of one channel against another: the sample whose point lies
// nearest, in pixels, to the pointer at (px, py), among those inside the
// shown ranges. `x` and `y` map values to pixels as the chart drew them.
bool SnapToPoint(const chart::Recording& r, int xChannel, int yChannel, const chart::AxisMap& x,
                 const chart::AxisMap& y, Range shownX, Range shownY, double px, double py,
                 CursorSample* out);

// "t = 12.5 s   pressure = 1.0132   flow = missing", with the time as a
// date for dated recordings; for --xy, the two channels' values.
std::string Readout(const chart::Recording& r, const chart::ChartPlan& plan,
                    const CursorSample& sample);

// Two cursors, A pinned and B under the pointer: "A 1.5 s   B 2.75 s
// dt = 1.25 s   1/dt = 0.8 Hz   a: 0.5 / 0.7, d = 0.2   ...", each channel
// with its value at A, at B and their difference (B minus A).
std::string TwoCursorReadout(const chart::Recording& r, const chart::ChartPlan& plan,
                             const CursorSample& a, const CursorSample& b);

// The model value at a pixel: the inverse of the axis map (on a
// logarithmic axis, 10 to the power of the axis value).
double ValueAt(const chart::AxisMap& map, double pixel);

}  // namespace view
