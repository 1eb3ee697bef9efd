// The bytes of one cache file: a header (magic, version, the key of the
// recording it was made from, the payload's length and checksum) and an
// opaque payload. Reading checks all of it: a file that is cut short,
// damaged, of another program or version, or made from another state of
// the recording is never trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sample_source.h"

namespace recording {

inline constexpr std::uint32_t kCacheVersion = 1;

// What a cache file is keyed by: the recording's full path, size and
// modification time.
struct CacheKey {
  std::string fullPath;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};

enum class CacheVerdict { kGood, kTruncated, kForeign, kOtherVersion, kStale, kCorrupt };

// Why a verdict other than kGood means the file is rebuilt, for a log.
const char* CacheVerdictText(CacheVerdict v);

std::vector<std::uint8_t> PackCacheFile(const CacheKey& key, const std::vector<std::uint8_t>& payload);
// What comes before the payload in that file, to write the two apart.
std::vector<std::uint8_t> PackCacheHeader(const CacheKey& key, const std::vector<std::uint8_t>& payload);
// The payload, when the bytes are a whole, sound cache file made for `key`.
CacheVerdict UnpackCacheFile(const std::uint8_t* bytes, std::size_t size, const CacheKey& key,
                             std::vector<std::uint8_t>* payload);

// 64-bit FNV-1a, continued from `hash`.
std::uint64_t Fnv1a(const std::uint8_t* bytes, std::size_t size, std::uint64_t hash = 0xcbf29ce484222325ull);

}  // namespace recording
