// The raw reader on any bytes and any description: it accepts only whole
// frames, and each channel read alone gives what the frames read together
// give.
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "interleaved_source.h"
#include "raw_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  const recording::Encoding encoding = static_cast<recording::Encoding>(bytes[0] % 8);
  const int channels = 1 + bytes[1] % 5;
  const double scale = bytes[0] & 0x80 ? 0.25 : 1, offset = bytes[0] & 0x40 ? -3 : 0;
  std::vector<std::uint8_t> body(bytes + 2, bytes + size);
  recording::InterleavedLayout l;
  std::string error;
  if (!recording::RawLayout(body.size(), encoding, channels, scale, offset, "f.raw", &l, &error)) {
    FUZZ_CHECK(body.size() % (static_cast<size_t>(channels) * recording::WidthOf(encoding)) != 0 || body.empty(),
               "refused whole frames: %s", error.c_str());
    return 0;
  }
  FUZZ_CHECK(static_cast<std::uint64_t>(l.frames) * l.FrameBytes() == body.size(), "frames do not cover the file");
  recording::InterleavedSource source(std::make_shared<recording::MemoryBytes>(body), l, {"f.raw", "f.raw", 0, 0});
  std::vector<double> all(static_cast<size_t>(l.frames) * static_cast<size_t>(channels)),
      one(static_cast<size_t>(l.frames));
  FUZZ_CHECK(source.ReadFrames(0, l.frames, all.data(), &error), "%s", error.c_str());
  for (int c = 0; c < channels; ++c) {
    FUZZ_CHECK(source.Read(c, 0, l.frames, one.data(), &error), "%s", error.c_str());
    for (std::int64_t k = 0; k < l.frames; ++k) {
      const double a = all[static_cast<size_t>(k * channels + c)], b = one[static_cast<size_t>(k)];
      FUZZ_CHECK(a == b || (std::isnan(a) && std::isnan(b)), "channel %d frame %lld: %g and %g", c,
                 static_cast<long long>(k), a, b);
    }
  }
  double x;
  FUZZ_CHECK(!source.Read(0, l.frames, 1, &x, &error), "read past the end");
  return 0;
}
