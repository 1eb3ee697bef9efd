// A recording as the chart tool holds it: named channels sampled together,
// divided into bursts; evenly sampled at one interval, or unevenly with the
// time of every sample kept. Samples are kept in one plain
// array of doubles per channel (8 bytes a sample, all bursts one after
// another), so a recording of ten million samples costs eighty megabytes
// and no allocation per sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vorda_data.h"

namespace chart {

// The value that marks a missing sample, as vorda's polylines know it.
inline constexpr double kMissingSample = VORDA_MISSING_SAMPLE;

// The host addresses samples by 32-bit scan numbers.
inline constexpr std::int64_t kMaxSamples = 2147483647;

struct Burst {
  double start = 0;       // time of the burst's first sample, seconds
  std::int64_t first = 0;  // index of that sample in every channel's array
  std::int64_t count = 0;  // samples in the burst
};

struct Channel {
  std::string name;
  std::vector<double> samples;  // missing samples hold kMissingSample
};

struct Recording {
  std::vector<Channel> channels;
  std::vector<Burst> bursts;
  double sampleInc = 0;     // seconds between samples within a burst
                            // (the median interval when uneven)
  std::vector<double> times;  // each sample's time when unevenly sampled; empty when even
  bool dated = false;       // times are dates: seconds since 1970-01-01 00:00 UTC
  bool zoneGiven = false;   // every date said its offset from UTC
  std::string timeName;     // header of the time column, empty when none
  std::string valueName;    // what all channels measure, when the file says
  std::vector<std::string> notes;  // how the reader read what the file left open, for stderr

  std::int64_t SampleCount() const {
    return channels.empty() ? 0 : static_cast<std::int64_t>(channels[0].samples.size());
  }
  const Channel* Find(const std::string& name) const {
    for (const Channel& c : channels)
      if (c.name == name) return &c;
    return nullptr;
  }
};

// What went wrong while reading, worded for the person who gave the file.
struct ReadError {
  std::string message;
};

}  // namespace chart
