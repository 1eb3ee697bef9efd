// A recording as the chart tool holds it: named channels sampled together,
// divided into bursts; evenly sampled at one interval, or unevenly with the
// time of every sample kept. The samples come from a source (channel i of
// the source is channels[i], all bursts one after another): a file read in
// place, or memory for what had to be parsed. An uneven recording's times
// are the one channel of a second source, `timeSource`.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sample_source.h"
#include "summary.h"
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
};

struct Recording {
  std::vector<Channel> channels;
  std::shared_ptr<recording::SampleSource> source;  // missing samples read as kMissingSample
  std::vector<Burst> bursts;
  double sampleInc = 0;     // seconds between samples within a burst
                            // (the median interval when uneven)
  std::shared_ptr<recording::SampleSource> timeSource;  // each sample's time when unevenly sampled; null when even
  bool dated = false;       // times are dates: seconds since 1970-01-01 00:00 UTC
  bool zoneGiven = false;   // every date said its offset from UTC
  std::string timeName;     // header of the time column, empty when none
  std::string valueName;    // what all channels measure, when the file says
  std::vector<std::string> notes;  // what the reader decided or met (a short file), said on stderr
  // Each channel's exact summary, made from the samples as the file holds
  // them (infinities not placed); null when none was made.
  std::shared_ptr<const std::vector<recording::ChannelSummary>> summaries;
  // The samples as the file holds them, once `source` places infinities.
  std::shared_ptr<recording::SampleSource> unplaced;
  // What the source reads each channel's infinities as, once they are placed.
  struct Infinities {
    double minus = -HUGE_VAL, plus = HUGE_VAL;
  };
  std::vector<Infinities> placed;

  std::int64_t SampleCount() const { return source ? source->FrameCount() : 0; }
  recording::SampleSource& Values() const { return unplaced ? *unplaced : *source; }
  bool Uneven() const { return timeSource != nullptr; }
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
