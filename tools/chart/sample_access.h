// Reading a recording's samples through its source: one at a time where a
// few are wanted, block by block where many are.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "recording.h"

namespace chart {

// Samples a block of ForEachBlock holds at most.
inline constexpr std::int64_t kSampleBlock = 65536;

// Sample `index` of `channel`; kMissingSample when it cannot be read.
double SampleValue(const Recording& r, int channel, std::int64_t index);
// The time of sample `index` of an unevenly sampled recording.
double TimeAt(const Recording& r, std::int64_t index);
// Hands samples [first, first + count) of `channel` to `take` a block at a
// time; false after *error says why the file could not be read.
bool ForEachBlock(recording::SampleSource& source, int channel, std::int64_t first, std::int64_t count,
                  const std::function<void(const double*, std::int64_t)>& take, std::string* error);

}  // namespace chart
