// A raw recording: nothing but interleaved samples of one encoding, frame
// after frame, from the first byte to the last. Its encoding, channel count
// and scale come from the command line.
#pragma once

#include <cstdint>
#include <string>

#include "sample_encoding.h"

namespace recording {

// The layout of a raw file of `size` bytes; refused when the file holds no
// whole frame, or ends within a frame, or holds more frames than the host
// can address. `name` is the file as the user gave it.
bool RawLayout(std::uint64_t size, Encoding encoding, int channels, double scale, double offset,
               const std::string& name, InterleavedLayout* out, std::string* error);

}  // namespace recording
