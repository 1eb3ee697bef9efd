#include "readout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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
  const double v = r.channels[static_cast<size_t>(channel)].samples[static_cast<size_t>(index)];
  return Missing(v) ? "missing" : Number(v);
}

// Within burst b's samples from..to (indexes in the burst), the one whose
// time is nearest t.
std::int64_t NearestIn(const Recording& r, const Burst& b, std::int64_t from, std::int64_t to,
                       double t) {
  if (r.times.empty()) {
    const double k = r.sampleInc > 0 ? std::round((t - b.start) / r.sampleInc) : 0;
    if (!(k > static_cast<double>(from))) return from;
    if (k >= static_cast<double>(to)) return to;
    return static_cast<std::int64_t>(k);
  }
  auto first = r.times.begin() + b.first + from;
  auto last = r.times.begin() + b.first + to + 1;
  auto above = std::lower_bound(first, last, t);
  if (above == first) return from;
  if (above == last) return to;
  auto below = above - 1;
  return (t - *below <= *above - t ? below : above) - r.times.begin() - b.first;
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
    const std::vector<double>& s = r.channels[static_cast<size_t>(c)].samples;
    const double va = s[static_cast<size_t>(a.index)], vb = s[static_cast<size_t>(b.index)];
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
  const std::vector<double>& xs = r.channels[static_cast<size_t>(xChannel)].samples;
  const std::vector<double>& ys = r.channels[static_cast<size_t>(yChannel)].samples;
  const Range sy{std::min(shownY.lo, shownY.hi), std::max(shownY.lo, shownY.hi)};
  bool found = false;
  double best = 0;
  for (const Burst& b : r.bursts)
    for (std::int64_t k = b.first; k < b.first + b.count; ++k) {
      const double vx = xs[static_cast<size_t>(k)], vy = ys[static_cast<size_t>(k)];
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
