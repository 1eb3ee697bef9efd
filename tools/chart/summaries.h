// The exact summaries of a recording's channels: taken from the user's
// cache when one was kept for this very file and reading of it, otherwise
// made in one pass over the samples and kept for the next time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "options.h"
#include "recording.h"

namespace chart {

struct SummaryOutcome {
  bool fromCache = false;
  std::string note;  // why a kept summary was not taken, or could not be kept
};

// Recordings of fewer samples a channel are drawn from every sample: the
// trace drivers take milliseconds over them, less than a pass and a cache
// file would cost.
inline constexpr std::int64_t kSummaryMinSamples = 250000;

// How the options turn the file's bytes into values: a summary kept for
// one reading is not taken for another.
std::string SummaryRecipe(const Options& options);

// Sets recording->summaries. `progress(done, total)` is called during a
// pass and may return false to stop it. False after *error says why.
bool AttachSummaries(const Options& options, Recording* recording,
                     const std::function<bool(std::int64_t, std::int64_t)>& progress, SummaryOutcome* outcome,
                     std::string* error);

}  // namespace chart
