#include "timeline.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "sample_access.h"

namespace chart {
double EvenSpacing::Interval() const {
  if (steps_ == 0) return 0;
  double spanned = spanned_ + (k_ > 1 ? last_ - start_ : 0);
  return spanned / static_cast<double>(steps_);
}

bool SettleTimeBase(std::vector<double> times, double tolerance, Recording* r) {
  EvenSpacing spacing(tolerance);
  bool repeats = false;
  for (Burst& b : r->bursts) {
    b.start = times[static_cast<size_t>(b.first)];
    for (std::int64_t k = 0; k < b.count; ++k) {
      spacing.Add(times[static_cast<size_t>(b.first + k)], k == 0);
      repeats |= k > 0 && times[static_cast<size_t>(b.first + k)] == times[static_cast<size_t>(b.first + k - 1)];
    }
  }
  const std::int64_t steps = spacing.steps();
  if (steps == 0) return false;
  if (spacing.even() && !repeats) {
    r->sampleInc = spacing.Interval();
    r->timeSource.reset();
    return true;
  }
  std::vector<double> intervals;
  intervals.reserve(static_cast<size_t>(steps));
  // A repeated time is no interval: the median is of the steps forward.
  for (const Burst& b : r->bursts)
    for (std::int64_t k = b.first + 1; k < b.first + b.count; ++k)
      if (times[static_cast<size_t>(k)] > times[static_cast<size_t>(k - 1)])
        intervals.push_back(times[static_cast<size_t>(k)] - times[static_cast<size_t>(k - 1)]);
  if (intervals.empty()) return false;
  auto middle = intervals.begin() + static_cast<std::ptrdiff_t>(intervals.size() / 2);
  std::nth_element(intervals.begin(), middle, intervals.end());
  r->sampleInc = *middle;
  std::vector<double>().swap(intervals);

  const double gap = kGapFactor * r->sampleInc;
  std::vector<Burst> cut;
  for (const Burst& b : r->bursts) {
    Burst piece{times[static_cast<size_t>(b.first)], b.first, 1};
    for (std::int64_t k = b.first + 1; k < b.first + b.count; ++k) {
      if (times[static_cast<size_t>(k)] - times[static_cast<size_t>(k - 1)] > gap) {
        cut.push_back(piece);
        piece = Burst{times[static_cast<size_t>(k)], k, 0};
      }
      ++piece.count;
    }
    cut.push_back(piece);
  }
  r->bursts.swap(cut);
  r->timeSource = std::make_shared<recording::MemorySource>(std::vector<std::vector<double>>{std::move(times)});
  return true;
}

namespace {

// The first sample of burst b whose time satisfies `past` (times increase
// within a burst), or b.count when none does.
template <class Past>
std::int64_t FirstTimeOf(const Recording& r, const Burst& b, Past past) {
  std::int64_t lo = 0, hi = b.count;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (past(TimeAt(r, b.first + mid))) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

}  // namespace

double TimeOf(const Recording& r, const Burst& b, std::int64_t k) {
  if (r.Uneven()) return TimeAt(r, b.first + k);
  return b.start + static_cast<double>(k) * r.sampleInc;
}

double BurstEnd(const Recording& r, const Burst& b) { return TimeOf(r, b, b.count - 1); }

bool SamplesWithin(const Recording& r, const Burst& b, Range t, std::int64_t* from, std::int64_t* to) {
  if (b.count <= 0) return false;
  if (r.Uneven()) {
    *from = FirstTimeOf(r, b, [&](double time) { return time >= t.lo; });
    *to = FirstTimeOf(r, b, [&](double time) { return time > t.hi; }) - 1;
    return *to >= *from;
  }
  double lo = r.sampleInc > 0 ? std::ceil((t.lo - b.start) / r.sampleInc - 1e-9) : 0;
  double hi = r.sampleInc > 0 ? std::floor((t.hi - b.start) / r.sampleInc + 1e-9) : double(b.count - 1);
  lo = std::max(lo, 0.0);
  hi = std::min(hi, double(b.count - 1));
  if (hi < lo) return false;
  *from = static_cast<std::int64_t>(lo);
  *to = static_cast<std::int64_t>(hi);
  return true;
}

bool NearestSample(const Recording& r, const Burst& b, double t, std::int64_t* k) {
  double half = r.sampleInc * 0.5;
  if (b.count <= 0 || t < b.start - half || t > BurstEnd(r, b) + half) return false;
  if (r.Uneven()) {
    std::int64_t after = FirstTimeOf(r, b, [&](double time) { return time >= t; });
    if (after >= b.count) after = b.count - 1;
    if (after > 0 && t - TimeOf(r, b, after - 1) <= TimeOf(r, b, after) - t) --after;
    *k = after;
    return true;
  }
  std::int64_t n = r.sampleInc > 0 ? std::llround((t - b.start) / r.sampleInc) : 0;
  *k = std::clamp<std::int64_t>(n, 0, b.count - 1);
  return true;
}

}  // namespace chart
