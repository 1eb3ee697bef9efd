// The chart tool from its options to the file: read, plan, draw, save.
#pragma once

#include <string>
#include <vector>

#include "options.h"

namespace chart {

// Seconds spent in each stage of a run.
struct Timings {
  double read = 0, draw = 0, save = 0;
  long long samples = 0;
};

// The bytes of the --picture file; false after saying why not.
bool ReadPicture(const std::string& path, std::vector<unsigned char>* bytes);

// 0 when the chart was written, 1 after a failure (already shown; no
// output written).
int RunChart(const Options& options, Timings* timings = nullptr);

}  // namespace chart
