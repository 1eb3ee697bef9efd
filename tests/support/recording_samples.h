// A test's whole view of a small recording's samples, read through its
// source.
#pragma once

#include <string>
#include <vector>

#include "recording.h"

namespace vorda_test {

// Every sample of `channel` (empty when it cannot be read).
inline std::vector<double> SamplesOf(const chart::Recording& r, int channel) {
  std::vector<double> out(static_cast<size_t>(r.SampleCount()));
  std::string error;
  if (!r.source || !r.source->Read(channel, 0, r.SampleCount(), out.data(), &error)) return {};
  return out;
}

// Every sample's time of an unevenly sampled recording; empty when even.
inline std::vector<double> TimesOf(const chart::Recording& r) {
  if (!r.timeSource) return {};
  std::vector<double> out(static_cast<size_t>(r.timeSource->FrameCount()));
  std::string error;
  if (!r.timeSource->Read(0, 0, r.timeSource->FrameCount(), out.data(), &error)) return {};
  return out;
}

}  // namespace vorda_test
