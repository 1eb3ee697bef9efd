// When each sample of a recording was taken, whether it is evenly sampled
// (one interval, every burst) or unevenly (the time of every sample kept),
// and where an uneven recording has gaps. Pure.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "axes.h"
#include "recording.h"

namespace chart {

// A step longer than this many median intervals is a gap of missing rows.
inline constexpr double kGapFactor = 3;

// Whether times, given one by one, are evenly spaced: every step is the
// interval that the first step showed, to within `tolerance` of it. Each
// time is judged against its burst's start, so that rounding in the file
// cannot add up and a skipped or doubled row is always caught; a step that
// matches the interval by itself is also accepted, so that a file whose
// times drift slowly still counts as even.
class EvenSpacing {
 public:
  explicit EvenSpacing(double tolerance) : tolerance_(tolerance) {}
  // Inline: the CSV reader adds every row's time.
  void Add(double t, bool startsBurst) {
    if (startsBurst) {
      if (k_ > 1) spanned_ += last_ - start_;
      start_ = last_ = t;
      k_ = 1;
      return;
    }
    double step = t - last_;
    if (interval_ == 0) interval_ = step;
    double expected = start_ + k_ * interval_;
    // Magnitudes by max rather than fabs, which a 32-bit build takes
    // through the x87 unit and memory; NaN fails the test either way.
    const double off = t - expected, stepOff = step - interval_, allowed = tolerance_ * interval_;
    if (std::max(off, -off) > allowed && std::max(stepOff, -stepOff) > allowed) even_ = false;
    last_ = t;
    ++k_;
    ++steps_;
  }
  bool even() const { return even_; }
  std::int64_t steps() const { return steps_; }
  // The mean step within bursts.
  double Interval() const;

 private:
  double tolerance_;
  bool even_ = true;
  double interval_ = 0, start_ = 0, last_ = 0, spanned_ = 0;
  // The burst's samples so far, counted in a double: it multiplies the
  // interval every row, and a 32-bit build converts no 64-bit integer fast.
  double k_ = 0;
  std::int64_t steps_ = 0;
};

// Settles the time base of a recording from the time of every row and the
// bursts that blank lines made (their `first` and `count`; times never
// fall through them, and may repeat). Even when every step is the burst's
// interval to within `tolerance` and all bursts share it: bursts get their start times,
// `sampleInc` the mean interval and there is no `timeSource`. Otherwise `timeSource`
// is kept, `sampleInc` is the median step, and bursts are also cut where a
// step exceeds kGapFactor median steps. False when no burst has two samples
// or the times never advance.
bool SettleTimeBase(std::vector<double> times, double tolerance, Recording* recording);

// The time of sample k of a burst.
double TimeOf(const Recording& r, const Burst& b, std::int64_t k);
double BurstEnd(const Recording& r, const Burst& b);

// The samples of burst b whose times lie in [t.lo, t.hi], as indexes
// within the burst; false when there are none.
bool SamplesWithin(const Recording& r, const Burst& b, Range t, std::int64_t* from, std::int64_t* to);

// The sample of burst b nearest to time t, when t lies within half an
// interval of the burst; false otherwise.
bool NearestSample(const Recording& r, const Burst& b, double t, std::int64_t* k);

}  // namespace chart
