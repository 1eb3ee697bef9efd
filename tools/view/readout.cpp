#include "readout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sample_access.h"
#include "time_parse.h"
#include "timeline.h"

namespace view {
namespace {

using chart::Burst;
using chart::Recording;

bool Missing(double v) { return v == chart::kMissingSample || std::isnan(v); }

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

std::string ValueText(const Recording& r, int channel, std::int64_t index) {
  const double v = chart::SampleValue(r, channel, index);
  return Missing(v) ? "missing" : Number(v);
}

// Within burst b's samples from..to (indexes in the burst), the one whose
// time is nearest t.
std::int64_t NearestIn(const Recording& r, const Burst& b, std::int64_t from, std::int64_t to,
                       double t) {
  if (!r.Uneven()) {
    const double k = r.sampleInc > 0 ? std::round((t - b.start) / r.sampleInc) : 0;
    if (!(k > static_cast<double>(from))) return from;
    if (k >= static_cast<double>(to)) return to;
    return static_cast<std::int64_t>(k);
  }
  std::int64_t lo = from, hi = to + 1;  // the first sample at or after t
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (chart::TimeOf(r, b, mid) >= t) hi = mid;
    else lo = mid + 1;
  }
  if (lo == from) return from;
  if (lo == to + 1) return to;
  return t - chart::TimeOf(r, b, lo - 1) <= chart::TimeOf(r, b, lo) - t ? lo - 1 : lo;
}

}  // namespace

std::string TwoCursorReadout(const Recording& r, const chart::ChartPlan& plan, const CursorSample& a,
                             const CursorSample& b) {
  auto time = [&r](double t) {
    return r.dated ? chart::FormatIsoTime(t) : Number(t) + " s";
  };
  const double dt = b.time - a.time;
  std::string text = "A " + time(a.time) + "   B " + time(b.time) + "   dt = " + Number(dt) + " s";
  text += dt != 0 ? "   1/dt = " + Number(1 / dt) + " Hz" : "   1/dt = -";
  std::vector<int> channels = plan.series;
  if (plan.xChannel >= 0) channels.insert(channels.begin(), plan.xChannel);
  for (int c : channels) {
    const double va = chart::SampleValue(r, c, a.index), vb = chart::SampleValue(r, c, b.index);
    text += "   " + r.channels[static_cast<size_t>(c)].name + ": " + ValueText(r, c, a.index) + " / " +
            ValueText(r, c, b.index);
    if (!Missing(va) && !Missing(vb)) text += ", d = " + Number(vb - va);
  }
  return text;
}

double ValueAt(const chart::AxisMap& map, double pixel) {
  const double axis = (pixel - map.mapping.offset) / map.mapping.scale;
  return map.log ? std::pow(10.0, axis) : axis;
}

bool SnapToTime(const Recording& r, double t, Range shown, CursorSample* out) {
  bool found = false;
  double best = 0;
  for (const Burst& b : r.bursts) {
    std::int64_t from = 0, to = 0;
    if (!chart::SamplesWithin(r, b, shown, &from, &to)) continue;
    const std::int64_t k = NearestIn(r, b, from, to, t);
    const double time = chart::TimeOf(r, b, k);
    if (!found || std::fabs(time - t) < best) {
      found = true;
      best = std::fabs(time - t);
      *out = {b.first + k, time};
    }
  }
  return found;
}

bool SnapToPoint(const Recording& r, int xChannel, int yChannel, const chart::AxisMap& x,
                 const chart::AxisMap& y, Range shownX, Range shownY, double px, double py,
                 CursorSample* out) {
  const Range sy{std::min(shownY.lo, shownY.hi), std::max(shownY.lo, shownY.hi)};
  bool found = false;
  double best = 0;
  std::vector<double> xs, ys;
  std::string error;
  for (const Burst& b : r.bursts)
    for (std::int64_t k = b.first; k < b.first + b.count; ++k) {
      // The pair's values a block at a time.
      const std::int64_t at = (k - b.first) % chart::kSampleBlock;
      if (at == 0) {
        const std::int64_t n = std::min(chart::kSampleBlock, b.first + b.count - k);
        xs.resize(static_cast<size_t>(n));
        ys.resize(static_cast<size_t>(n));
        if (!r.source->Read(xChannel, k, n, xs.data(), &error) || !r.source->Read(yChannel, k, n, ys.data(), &error))
          return found;
      }
      const double vx = xs[static_cast<size_t>(at)], vy = ys[static_cast<size_t>(at)];
      if (Missing(vx) || Missing(vy) || vx < shownX.lo || vx > shownX.hi || vy < sy.lo || vy > sy.hi)
        continue;
      const double dx = x(vx) - px, dy = y(vy) - py;
      const double d = dx * dx + dy * dy;
      if (!found || d < best) {
        found = true;
        best = d;
        *out = {k, chart::TimeOf(r, b, k - b.first)};
      }
    }
  return found;
}

std::string Readout(const Recording& r, const chart::ChartPlan& plan, const CursorSample& sample) {
  std::string text = r.dated ? chart::FormatIsoTime(sample.time) + " UTC"
                             : "t = " + Number(sample.time) + " s";
  if (plan.xChannel >= 0)
    text += "   " + r.channels[static_cast<size_t>(plan.xChannel)].name + " = " +
            ValueText(r, plan.xChannel, sample.index);
  for (int c : plan.series)
    text += "   " + r.channels[static_cast<size_t>(c)].name + " = " + ValueText(r, c, sample.index);
  return text;
}

}  // namespace view
