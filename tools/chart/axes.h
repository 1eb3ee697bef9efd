// Axis arithmetic of the chart: the extent of the data, ranges with a small
// margin, ticks at round values (1-2-5 steps on a linear axis, decades on a
// logarithmic one) and their labels. Pure: no device, no host.
#pragma once

#include <string>
#include <vector>

#include "vorda_map.h"

namespace chart {

struct Range {
  double lo = 0;
  double hi = 0;
};

// The smallest and largest sample that can be drawn: missing samples and
// not-a-number are skipped, and on a logarithmic axis so is every value of
// 0 or below.
class Extent {
 public:
  explicit Extent(bool log = false) : log_(log) {}
  void Add(double v);
  void Add(const double* values, long long count);
  bool Empty() const { return !(lo_ <= hi_); }
  Range Get() const { return {lo_, hi_}; }

 private:
  bool log_;
  double lo_ = 1e308, hi_ = -1e308;
};

// The fraction of the span added below and above the data on value axes.
inline constexpr double kRangeMargin = 0.05;

// A drawable range around `data`: widened by `margin` of its span on each
// side (in decades on a logarithmic axis), opened up when all values are
// equal, and a default when there are none.
Range PadRange(const Extent& data, bool log, double margin);

// Round values inside [lo, hi] at most `maxCount` of them (never fewer than
// two where the range allows): steps of 1, 2 or 5 times a power of ten.
std::vector<double> LinearTicks(Range range, int maxCount);
// The step LinearTicks chose, for the labels' precision.
double LinearStep(Range range, int maxCount);

// Decades inside [lo, hi] (every second or fifth one when there would be
// more than `maxCount`); a range that holds fewer than two decades gets the
// 2s and 5s between them too.
std::vector<double> LogTicks(Range range, int maxCount);

// Labels: a linear tick with as many decimals as its step needs (and an
// exponent for very large or small values), a logarithmic one as 0.01, 1,
// 1000 or 1e6.
std::string FormatLinearTick(double value, double step);
std::string FormatLogTick(double value);

}  // namespace chart

namespace chart {

// Model value to device coordinate along one axis, by the mapping vorda's
// MSSetXForm gives the traces, so that ticks and grid drawn in pixels meet
// the traces drawn in model units.
struct AxisMap {
  VordaAxis mapping{1, 0, 0, 1};
  bool log = false;
  double operator()(double v) const;
};
// False when the axis is logarithmic and an end is zero or below: vorda
// refuses such a range too.
bool MakeAxisMap(int device0, int device1, double model0, double model1, bool log, AxisMap* out);

}  // namespace chart
