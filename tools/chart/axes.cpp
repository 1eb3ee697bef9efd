#include "axes.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "recording.h"

namespace chart {
namespace {

// 10^e, exact for the decades a double holds exactly (and correctly
// rounded below 1), so that ticks compare equal to the literals 1e-5, 1e3.
double Decade(int e) {
  double v = 1;
  for (int i = 0; i < (e < 0 ? -e : e); ++i) v *= 10;
  return e < 0 ? 1 / v : v;
}

}  // namespace

void Extent::Add(double v) {
  if (v == kMissingSample || !std::isfinite(v) || (log_ && !(v > 0))) return;
  if (v < lo_) lo_ = v;
  if (v > hi_) hi_ = v;
}

void Extent::Add(const double* values, long long count) {
  for (long long i = 0; i < count; ++i) Add(values[i]);
}

Range PadRange(const Extent& data, bool log, double margin) {
  if (data.Empty()) return log ? Range{1, 10} : Range{0, 1};
  Range r = data.Get();
  if (log) {
    double lo = std::log10(r.lo), hi = std::log10(r.hi);
    double pad = hi > lo ? (hi - lo) * margin : 0.5;
    return {std::pow(10.0, lo - pad), std::pow(10.0, hi + pad)};
  }
  if (r.hi > r.lo) {
    double pad = (r.hi - r.lo) * margin;
    return {r.lo - pad, r.hi + pad};
  }
  double pad = r.lo == 0 ? 1.0 : std::fabs(r.lo) * 0.1;
  return {r.lo - pad, r.hi + pad};
}

double LinearStep(Range range, int maxCount) {
  if (maxCount < 2) maxCount = 2;
  double span = range.hi - range.lo;
  if (!(span > 0) || !std::isfinite(span)) return 1;
  double raw = span / maxCount;
  double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double norm = raw / magnitude;
  double step = norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10;
  return step * magnitude;
}

std::vector<double> LinearTicks(Range range, int maxCount) {
  std::vector<double> ticks;
  double span = range.hi - range.lo;
  if (!(span > 0) || !std::isfinite(span)) return ticks;
  double step = LinearStep(range, maxCount);
  double first = std::ceil(range.lo / step - 1e-9);
  double last = std::floor(range.hi / step + 1e-9);
  for (double k = first; k <= last && ticks.size() < 1000; ++k) {
    double v = k * step;
    ticks.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
  }
  return ticks;
}

std::vector<double> LogTicks(Range range, int maxCount) {
  std::vector<double> ticks;
  if (!(range.lo > 0) || !(range.hi > range.lo) || !std::isfinite(range.hi)) return ticks;
  if (maxCount < 2) maxCount = 2;
  double lo = std::log10(range.lo), hi = std::log10(range.hi);
  int first = static_cast<int>(std::ceil(lo - 1e-9)), last = static_cast<int>(std::floor(hi + 1e-9));
  int decades = last - first + 1;
  if (decades < 2) {
    // Less than two decades in view: the 1-2-5 values of each decade.
    for (int e = first - 1; e <= last; ++e)
      for (double m : {1.0, 2.0, 5.0}) {
        double v = m * Decade(e);
        double lv = std::log10(v);
        if (lv >= lo - 1e-9 && lv <= hi + 1e-9) ticks.push_back(v);
      }
    if (ticks.size() >= 2) return ticks;
    // Zoomed to less than that: every whole multiple of the decade, and
    // failing that round linear steps.
    ticks.clear();
    for (int e = first - 1; e <= last; ++e)
      for (int m = 1; m <= 9; ++m) {
        double v = e < 0 ? m / Decade(-e) : m * Decade(e);
        double lv = std::log10(v);
        if (lv >= lo - 1e-9 && lv <= hi + 1e-9) ticks.push_back(v);
      }
    if (ticks.size() >= 2) return ticks;
    ticks = LinearTicks(range, maxCount);
    if (ticks.size() >= 2) return ticks;
    ticks.clear();
  }
  int every = 1;
  while ((decades + every - 1) / every > maxCount) every = every == 1 ? 2 : every == 2 ? 5 : every * 2;
  for (int e = first; e <= last; ++e)
    if (e % every == 0) ticks.push_back(Decade(e));
  return ticks;
}

namespace {

// "1.5e+06" becomes "1.5e6" and "2e-05" becomes "2e-5".
std::string TidyExponent(const char* text) {
  std::string s(text);
  size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "e" + (negative ? "-" : "") + exponent;
}

}  // namespace

std::string FormatLinearTick(double value, double step) {
  char buffer[64];
  if (!(step > 0) || !std::isfinite(step)) step = 1;
  value = std::round(value / step) * step;
  if (std::fabs(value) < step * 1e-9) value = 0;
  double magnitude = std::fabs(value);
  // Zero reads as 0 beside labels with exponents.
  if (magnitude == 0 && step < 1e-4) return "0";
  if (magnitude >= 1e6 || (magnitude > 0 && magnitude < 1e-4) || step < 1e-5) {
    int e = magnitude > 0 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
    int digits = e - static_cast<int>(std::floor(std::log10(step) + 1e-9));
    if (digits < 0) digits = 0;
    if (digits > 15) digits = 15;
    std::snprintf(buffer, sizeof buffer, "%.*e", digits, value);
    return TidyExponent(buffer);
  }
  int decimals = -static_cast<int>(std::floor(std::log10(step) + 1e-9));
  if (decimals < 0) decimals = 0;
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string FormatLogTick(double value) {
  char buffer[64];
  double e = std::log10(value);
  if (e >= -4 - 1e-9 && e < 6 - 1e-9) {
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return TidyExponent(buffer);
}

}  // namespace chart

namespace chart {

double AxisMap::operator()(double v) const {
  double floor = vorda_log_floor(mapping.end0, mapping.end1);
  return vorda_axis_to_device(&mapping, vorda_axis_value(v, log, floor));
}

bool MakeAxisMap(int device0, int device1, double model0, double model1, bool log, AxisMap* out) {
  AxisMap m;
  m.log = log;
  if (!vorda_map_axis(device0, device1, model0, model1, log, &m.mapping)) return false;
  *out = m;
  return true;
}

}  // namespace chart
