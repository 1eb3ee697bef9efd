// The labels of a linear axis's ticks as a person reads them: when every
// label would repeat the same leading digits, or a long exponent, that part
// is said once in a note ("+1.718e9", "×10^-5") and the labels keep only
// what changes from tick to tick. Text in Windows' 8-bit code page. Pure.
#pragma once

#include <string>
#include <vector>

namespace chart {

struct TickLabels {
  std::vector<std::string> labels;  // one a tick
  std::string note;                 // said once beside the axis; empty when none
};

// Labels for ticks `step` apart.
TickLabels LabelLinearTicks(const std::vector<double>& ticks, double step);

// The shortest decimal text that reads back as exactly `v` ("1.718e9").
std::string ExactNumber(double v);

}  // namespace chart
