#include "tick_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "axes.h"

namespace chart {
namespace {

// Labels of more significant digits than this carry a note instead.
constexpr int kMaxDigits = 6;

int Exponent(double v) { return static_cast<int>(std::floor(std::log10(v) + 1e-9)); }

// "1e+09" becomes "1e9", "1.5e-05" "1.5e-5".
std::string Tidy(std::string s) {
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string exponent = s.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return s.substr(0, e) + "e" + (negative ? "-" : "") + exponent;
}

}  // namespace

std::string ExactNumber(double v) {
  char text[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  return Tidy(text);
}

TickLabels LabelLinearTicks(const std::vector<double>& ticks, double step) {
  TickLabels out;
  if (ticks.empty() || !(step > 0) || !std::isfinite(step)) {
    for (double t : ticks) out.labels.push_back(FormatLinearTick(t, step));
    return out;
  }
  double largest = 0;
  for (double t : ticks) largest = std::max(largest, std::fabs(t));
  const int stepExponent = Exponent(step);
  double offset = 0;
  if (largest > 0 && Exponent(largest) - stepExponent + 1 > kMaxDigits) {
    // The ticks share their leading digits: take away a round value below
    // them, a power of ten above the span of the ticks.
    const double span = std::max(ticks.back() - ticks.front(), step);
    // Divided by a whole power of ten, so that the offset is the round
    // decimal itself.
    const int k = Exponent(span) + 1;
    const double round = std::pow(10.0, std::abs(k));
    offset = k >= 0 ? std::floor(ticks.front() / round) * round : std::floor(ticks.front() * round) / round;
    if (offset != 0 && std::isfinite(offset)) {
      largest = 0;
      for (double t : ticks) largest = std::max(largest, std::fabs(t - offset));
    } else {
      offset = 0;
    }
  }
  // Values too large or too small for plain decimals: a shared power of ten.
  int scale = 0;
  if (largest >= 1e6 || (largest > 0 && largest < 1e-3)) scale = Exponent(largest);
  const double factor = std::pow(10.0, scale);
  for (double t : ticks) {
    double v = (t - offset) / factor;
    if (std::fabs(v) < step / factor * 1e-6) v = 0;
    out.labels.push_back(FormatLinearTick(v, step / factor));
  }
  if (scale != 0) out.note = "\xD7" "10^" + std::to_string(scale);
  if (offset != 0) out.note += (out.note.empty() ? "" : " ") + std::string(offset > 0 ? "+" : "") + ExactNumber(offset);
  return out;
}

}  // namespace chart
