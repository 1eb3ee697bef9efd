// Reads a recording from a WAV file: PCM of 8, 16, 24 or 32 bits and IEEE
// float of 32 (or 64) bits, any number of channels, plain or in the
// extensible header. Each channel of the file becomes a channel ("ch1",
// "ch2", ...) of one burst starting at 0 s, 1/rate seconds between samples;
// integer samples are scaled to full scale (-1 .. 1). Other encodings are
// refused with a message that names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording.h"

namespace chart {

bool ReadWavFile(const std::string& path, const std::string& name, Recording* out,
                 ReadError* error);
bool ParseWav(const std::uint8_t* bytes, std::size_t size, const std::string& name,
              Recording* out, ReadError* error);

}  // namespace chart
