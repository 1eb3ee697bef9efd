// The WAV/RF64 header reader on any bytes: it accepts or refuses with a
// message and never reads out of bounds; what it accepts lies inside the
// file (every frame it promises can be read, and reads as a finite value
// or a stored float's NaN or infinity), and a short file's note names it.
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "interleaved_source.h"
#include "wav_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  auto memory = std::make_shared<recording::MemoryBytes>(std::vector<std::uint8_t>(bytes, bytes + size));
  recording::WavHeader h;
  std::string error;
  if (!recording::ParseWavHeader(*memory, "f.wav", &h, &error)) {
    FUZZ_CHECK(error.rfind("f.wav", 0) == 0, "refused without naming the file: %s", error.c_str());
    return 0;
  }
  const recording::InterleavedLayout& l = h.layout;
  FUZZ_CHECK(l.channels > 0 && l.frames > 0 && h.rate > 0, "accepted %d channels, %lld frames", l.channels,
             static_cast<long long>(l.frames));
  FUZZ_CHECK(l.dataOffset + static_cast<std::uint64_t>(l.frames) * l.FrameBytes() <= size,
             "frames beyond the file's %zu bytes", size);
  FUZZ_CHECK(h.shortfall.empty() || h.shortfall.rfind("f.wav: the file ends after ", 0) == 0, "note %s",
             h.shortfall.c_str());
  recording::InterleavedSource source(memory, l, {"f.wav", "f.wav", size, 0});
  const std::int64_t n = l.frames < 4096 ? l.frames : 4096;
  std::vector<double> out(static_cast<size_t>(n) * static_cast<size_t>(l.channels));
  FUZZ_CHECK(source.ReadFrames(l.frames - n, n, out.data(), &error), "%s", error.c_str());
  const bool integer = l.encoding != recording::Encoding::kFloat32LE && l.encoding != recording::Encoding::kFloat64LE;
  for (double v : out) FUZZ_CHECK(!integer || (v >= -1 && v < 1), "PCM sample %g beyond full scale", v);
  return 0;
}
