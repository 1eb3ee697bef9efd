// The header of a WAV file, or of its large form RF64 (sizes over 4 GB in a
// "ds64" chunk): where the samples lie and how they are stored. PCM of 8,
// 16, 24 or 32 bits and IEEE float of 32 or 64 bits, plain or in the
// extensible header; integer samples are scaled to full scale (-1 .. 1).
// Other encodings are refused with a message that names them. Only the
// header is read; the samples stay in the file.
#pragma once

#include <cstdint>
#include <string>

#include "byte_source.h"
#include "sample_encoding.h"

namespace recording {

struct WavHeader {
  InterleavedLayout layout;    // frames: those the file holds
  std::uint32_t rate = 0;      // frames a second
  std::int64_t announced = 0;  // frames the header announces (0 when it gives a placeholder)
  // Said to the user when the file holds fewer frames than announced.
  std::string shortfall;
};

// `name` is the file as the user gave it.
bool ParseWavHeader(ByteSource& bytes, const std::string& name, WavHeader* out, std::string* error);

}  // namespace recording
