#include "cache_file.h"

#include <cstring>

namespace recording {
namespace {

constexpr char kMagic[8] = {'V', 'O', 'R', 'D', 'A', 'C', 'C', 'H'};
// magic, version, path length, size, modified, payload length, checksum
constexpr std::size_t kFixedHeader = 8 + 4 + 4 + 8 + 8 + 8 + 8;

void Put(std::uint8_t* p, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t Get(const std::uint8_t* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

}  // namespace

std::uint64_t Fnv1a(const std::uint8_t* bytes, std::size_t size, std::uint64_t hash) {
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

const char* CacheVerdictText(CacheVerdict v) {
  switch (v) {
    case CacheVerdict::kGood: return "good";
    case CacheVerdict::kTruncated: return "cut short";
    case CacheVerdict::kForeign: return "not a vorda cache file";
    case CacheVerdict::kOtherVersion: return "of another version";
    case CacheVerdict::kStale: return "made from another state of the recording";
    case CacheVerdict::kCorrupt: return "damaged";
  }
  return "damaged";
}

std::vector<std::uint8_t> PackCacheHeader(const CacheKey& key, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> out(kFixedHeader + key.fullPath.size());
  std::uint8_t* p = out.data();
  std::memcpy(p, kMagic, 8);
  Put(p + 8, kCacheVersion, 4);
  Put(p + 12, key.fullPath.size(), 4);
  Put(p + 16, key.size, 8);
  Put(p + 24, static_cast<std::uint64_t>(key.modified), 8);
  Put(p + 32, payload.size(), 8);
  if (!key.fullPath.empty()) std::memcpy(p + 40, key.fullPath.data(), key.fullPath.size());
  // The checksum covers the header before it and the payload.
  Put(p + 40 + key.fullPath.size(), Fnv1a(payload.data(), payload.size(), Fnv1a(p, 40 + key.fullPath.size())), 8);
  return out;
}

std::vector<std::uint8_t> PackCacheFile(const CacheKey& key, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> out = PackCacheHeader(key, payload);
  const std::size_t header = out.size();
  out.resize(header + payload.size());
  if (!payload.empty()) std::memcpy(out.data() + header, payload.data(), payload.size());
  return out;
}

CacheVerdict UnpackCacheFile(const std::uint8_t* bytes, std::size_t size, const CacheKey& key,
                             std::vector<std::uint8_t>* payload) {
  payload->clear();
  if (size < 8) return size > 0 && std::memcmp(bytes, kMagic, size) != 0 ? CacheVerdict::kForeign
                                                                          : CacheVerdict::kTruncated;
  if (std::memcmp(bytes, kMagic, 8) != 0) return CacheVerdict::kForeign;
  if (size < 12) return CacheVerdict::kTruncated;
  if (Get(bytes + 8, 4) != kCacheVersion) return CacheVerdict::kOtherVersion;
  if (size < kFixedHeader) return CacheVerdict::kTruncated;
  const std::uint64_t pathLength = Get(bytes + 12, 4);
  const std::uint64_t fileSize = Get(bytes + 16, 8);
  const std::int64_t modified = static_cast<std::int64_t>(Get(bytes + 24, 8));
  const std::uint64_t payloadLength = Get(bytes + 32, 8);
  const std::uint64_t rest = size - kFixedHeader;
  if (pathLength > rest || payloadLength > rest - pathLength) return CacheVerdict::kTruncated;
  if (payloadLength != rest - pathLength) return CacheVerdict::kCorrupt;
  const std::uint8_t* path = bytes + 40;
  const std::uint8_t* stored = path + pathLength;
  std::uint64_t sum = Fnv1a(bytes, 40 + static_cast<std::size_t>(pathLength));
  sum = Fnv1a(stored + 8, static_cast<std::size_t>(payloadLength), sum);
  if (sum != Get(stored, 8)) return CacheVerdict::kCorrupt;
  if (fileSize != key.size || modified != key.modified ||
      std::string(reinterpret_cast<const char*>(path), static_cast<std::size_t>(pathLength)) != key.fullPath)
    return CacheVerdict::kStale;
  payload->assign(stored + 8, stored + 8 + payloadLength);
  return CacheVerdict::kGood;
}

}  // namespace recording
