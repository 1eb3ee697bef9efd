// The cache file reader on any bytes: it never reads out of bounds, trusts
// nothing but a file it would write itself for the same key, and gives
// back exactly the payload that was packed. The summaries kept in it are
// read as warily: any bytes are refused or give summaries that pack back
// to them.
#include <string>
#include <vector>

#include "cache_file.h"
#include "fuzz_input.h"
#include "summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const recording::CacheKey key{"/data/rec.wav", 1000, 77};
  std::vector<std::uint8_t> payload;
  const recording::CacheVerdict v = recording::UnpackCacheFile(bytes, size, key, &payload);
  if (v == recording::CacheVerdict::kGood) {
    FUZZ_CHECK(recording::PackCacheFile(key, payload) == std::vector<std::uint8_t>(bytes, bytes + size),
               "trusted a file it would not have written");
  } else {
    FUZZ_CHECK(payload.empty(), "a refused file left a payload");
  }
  // The input as a payload comes back whole, and any cut of it is refused.
  const std::vector<std::uint8_t> packed = recording::PackCacheFile(key, std::vector<std::uint8_t>(bytes, bytes + size));
  FUZZ_CHECK(recording::UnpackCacheFile(packed.data(), packed.size(), key, &payload) == recording::CacheVerdict::kGood &&
                 payload == std::vector<std::uint8_t>(bytes, bytes + size),
             "a packed payload did not come back");
  const size_t cut = size % packed.size();
  FUZZ_CHECK(recording::UnpackCacheFile(packed.data(), cut, key, &payload) != recording::CacheVerdict::kGood,
             "a file cut to %zu bytes was trusted", cut);

  const std::vector<std::uint8_t> input(bytes, bytes + size);
  std::vector<recording::ChannelSummary> summaries;
  const int channels = size > 0 ? 1 + bytes[0] % 3 : 1;
  const std::int64_t frames = size > 1 ? bytes[1] * 700 : 0;
  if (recording::UnpackSummaries(input, "file", channels, frames, &summaries)) {
    FUZZ_CHECK(recording::PackSummaries("file", summaries) == input, "took summaries it would not have packed");
    for (const recording::ChannelSummary& s : summaries) FUZZ_CHECK(s.Count() == frames, "a summary of other length");
  }
  // A sound packing of the input's bytes as samples, with one byte changed:
  // refused, or read as exactly what it now says.
  std::vector<double> samples(input.begin(), input.end());
  recording::MemorySource source({samples});
  std::string error;
  FUZZ_CHECK(recording::SummarizeSource(source, &summaries, nullptr, &error), "%s", error.c_str());
  std::vector<std::uint8_t> kept = recording::PackSummaries("file", summaries);
  std::vector<recording::ChannelSummary> back;
  FUZZ_CHECK(recording::UnpackSummaries(kept, "file", 1, static_cast<std::int64_t>(size), &back) &&
                 back.size() == 1 && back[0].levels() == summaries[0].levels(),
             "summaries did not come back");
  if (size > 0) {
    kept[(static_cast<size_t>(bytes[size - 1]) * 7919u) % kept.size()] ^= static_cast<std::uint8_t>(1 + bytes[0] % 255);
    if (recording::UnpackSummaries(kept, "file", 1, static_cast<std::int64_t>(size), &back))
      FUZZ_CHECK(recording::PackSummaries("file", back) == kept, "took changed summaries as something else");
  }
  return 0;
}
