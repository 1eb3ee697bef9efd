// Reads a raw recording in place: interleaved samples of one encoding and
// nothing else, described on the command line (encoding, rate, channel
// names, and the scale and offset to engineering units). One burst from
// 0 s, 1/rate seconds between samples; one channel a name ("ch1" when no
// names are given).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording.h"
#include "sample_encoding.h"

namespace chart {

struct RawOptions {
  recording::Encoding encoding = recording::Encoding::kInt16LE;
  double rate = 0;                 // samples a second
  std::vector<std::string> names;  // one a channel; empty: one channel "ch1"
  double scale = 1, offset = 0;    // value = stored * scale + offset
  std::string unit;                // what the values measure, for the y title
};

bool ReadRawFile(const std::string& path, const std::string& name, const RawOptions& options, Recording* out,
                 ReadError* error);
// The same from bytes in memory (copied).
bool ParseRaw(const std::vector<std::uint8_t>& bytes, const std::string& name, const RawOptions& options,
              Recording* out, ReadError* error);

}  // namespace chart
