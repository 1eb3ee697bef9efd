// The cache file reader on any bytes: it never reads out of bounds, trusts
// nothing but a file it would write itself for the same key, and gives
// back exactly the payload that was packed.
#include <string>
#include <vector>

#include "cache_file.h"
#include "fuzz_input.h"

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
  return 0;
}
