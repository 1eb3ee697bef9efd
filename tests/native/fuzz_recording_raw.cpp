// The raw reader on any bytes and any description: it accepts only whole
// frames, each channel read alone gives what the frames read together
// give, and the summary made from the stored integers is the one made from
// the values read.
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "interleaved_source.h"
#include "raw_layout.h"
#include "summary.h"

namespace {

// Scales and offsets that make integers read as 0 and 1 with others
// between them, as the missing-sample value, as infinities, as
// subnormals, or falling as the integer rises.
struct Reading {
  double scale, offset;
};
constexpr Reading kReadings[] = {{1, 0},     {0.25, -3},   {1 / 32768.0, 0}, {1 / 128.0, -1},
                                 {0.5, 0},   {-1, 0},      {1e300, 0},       {0.1, VORDA_MISSING_SAMPLE},
                                 {1e-320, 0}, {-0.5, 1},   {3, -1},          {1e-9, 1}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  const recording::Encoding encoding = static_cast<recording::Encoding>(bytes[0] % 8);
  const int channels = 1 + bytes[1] % 5;
  const Reading reading = kReadings[(bytes[0] / 8) % std::size(kReadings)];
  const double scale = reading.scale, offset = reading.offset;
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
  std::vector<std::vector<double>> values(static_cast<size_t>(channels));
  for (int c = 0; c < channels; ++c)
    for (std::int64_t k = 0; k < l.frames; ++k) values[static_cast<size_t>(c)].push_back(all[static_cast<size_t>(k * channels + c)]);
  recording::MemorySource held(std::move(values));
  std::vector<recording::ChannelSummary> stored, read;
  FUZZ_CHECK(recording::SummarizeSource(source, &stored, nullptr, &error), "%s", error.c_str());
  FUZZ_CHECK(recording::SummarizeSource(held, &read, nullptr, &error), "%s", error.c_str());
  FUZZ_CHECK(stored.size() == read.size(), "%zu and %zu summaries", stored.size(), read.size());
  for (size_t c = 0; c < stored.size(); ++c)
    FUZZ_CHECK(stored[c].levels() == read[c].levels(), "channel %zu: the summaries differ", c);
  double x;
  FUZZ_CHECK(!source.Read(0, l.frames, 1, &x, &error), "read past the end");
  return 0;
}
