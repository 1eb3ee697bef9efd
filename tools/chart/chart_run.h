// The chart tool from its options to the file: read, plan, draw, save.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "options.h"
#include "recording.h"

namespace chart {

// Seconds spent in each stage of a run.
struct Timings {
  double read = 0, summary = 0, plan = 0, draw = 0, save = 0;
  bool summaryKept = false;  // the summary came from the cache
  long long samples = 0;
};

// Gives the recording its summaries (see summaries.h), with progress on
// stderr while a pass runs long, or told to `progress` when given (which
// may return false to stop); false after saying why not.
bool SummarizeRecording(const Options& options, Recording* recording, Timings* timings,
                        const std::function<bool(std::int64_t, std::int64_t)>& progress = {});

// The bytes of the --picture file; false after saying why not.
bool ReadPicture(const std::string& path, std::vector<unsigned char>* bytes);

// 0 when the chart was written, 1 after a failure (already shown; no
// output written).
int RunChart(const Options& options, Timings* timings = nullptr);

}  // namespace chart
