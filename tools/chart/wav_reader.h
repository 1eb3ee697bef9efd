// Reads a recording from a WAV or RF64 file (the encodings of
// recording/wav_header.h), in place: the samples stay in the file and are
// read as they are drawn. Each channel of the file becomes a channel
// ("ch1", "ch2", ...) of one burst starting at 0 s, 1/rate seconds between
// samples. A file shorter than its header announces is read as far as it
// goes, and the recording's notes say so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording.h"

namespace chart {

bool ReadWavFile(const std::string& path, const std::string& name, Recording* out,
                 ReadError* error);
// The same from bytes in memory (copied).
bool ParseWav(const std::uint8_t* bytes, std::size_t size, const std::string& name,
              Recording* out, ReadError* error);

}  // namespace chart
