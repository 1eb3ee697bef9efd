#include "timeline.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

// True when every burst is sampled at one interval, the one its first step
// shows. Each time is judged against the burst's start, so that rounding
// in the file cannot add up and a skipped or doubled row is always caught;
// a step that matches the interval by itself is also accepted, so that a
// file whose times drift slowly still counts as even.
bool Even(const std::vector<double>& times, const std::vector<Burst>& bursts, double tolerance) {
  double interval = 0;
  for (const Burst& b : bursts) {
    const double* t = times.data() + b.first;
    for (std::int64_t k = 1; k < b.count; ++k) {
      double step = t[k] - t[k - 1];
      if (interval == 0) interval = step;
      double expected = t[0] + static_cast<double>(k) * interval;
      if (std::fabs(t[k] - expected) > tolerance * interval && std::fabs(step - interval) > tolerance * interval)
        return false;
    }
  }
  return true;
}

}  // namespace

bool SettleTimeBase(std::vector<double> times, double tolerance, Recording* r) {
  double spanned = 0;
  std::int64_t steps = 0;
  for (Burst& b : r->bursts) {
    b.start = times[static_cast<size_t>(b.first)];
    if (b.count > 1) {
      spanned += times[static_cast<size_t>(b.first + b.count - 1)] - b.start;
      steps += b.count - 1;
    }
  }
  if (steps == 0) return false;
  if (Even(times, r->bursts, tolerance)) {
    r->sampleInc = spanned / static_cast<double>(steps);
    r->times.clear();
    return true;
  }
  std::vector<double> intervals;
  intervals.reserve(static_cast<size_t>(steps));
  for (const Burst& b : r->bursts)
    for (std::int64_t k = b.first + 1; k < b.first + b.count; ++k)
      intervals.push_back(times[static_cast<size_t>(k)] - times[static_cast<size_t>(k - 1)]);
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
  r->times = std::move(times);
  return true;
}

double TimeOf(const Recording& r, const Burst& b, std::int64_t k) {
  if (!r.times.empty()) return r.times[static_cast<size_t>(b.first + k)];
  return b.start + static_cast<double>(k) * r.sampleInc;
}

double BurstEnd(const Recording& r, const Burst& b) { return TimeOf(r, b, b.count - 1); }

bool SamplesWithin(const Recording& r, const Burst& b, Range t, std::int64_t* from, std::int64_t* to) {
  if (b.count <= 0) return false;
  if (!r.times.empty()) {
    const double* begin = r.times.data() + b.first;
    const double* end = begin + b.count;
    *from = std::lower_bound(begin, end, t.lo) - begin;
    *to = (std::upper_bound(begin, end, t.hi) - begin) - 1;
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
  if (!r.times.empty()) {
    const double* begin = r.times.data() + b.first;
    std::int64_t after = std::lower_bound(begin, begin + b.count, t) - begin;
    if (after >= b.count) after = b.count - 1;
    if (after > 0 && t - begin[after - 1] <= begin[after] - t) --after;
    *k = after;
    return true;
  }
  std::int64_t n = r.sampleInc > 0 ? std::llround((t - b.start) / r.sampleInc) : 0;
  *k = std::clamp<std::int64_t>(n, 0, b.count - 1);
  return true;
}

}  // namespace chart
