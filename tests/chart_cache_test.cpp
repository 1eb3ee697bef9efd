// The cache store: a payload comes back only from a whole, sound file made
// for the same state of the same recording; anything else is refused and
// removed, and a store with no folder keeps nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cache_store.h"
#include "surface.h"

namespace recording {
namespace {

using Bytes = std::vector<std::uint8_t>;

const CacheKey kKey{"C:\\data\\rec.wav", 123456789, 0x01D9ABCDEF012345};
const Bytes kPayload{1, 2, 3, 250, 0, 7, 9};

TEST(ChartCache, OnlyASoundCurrentFileIsTrusted) {
  const Bytes good = PackCacheFile(kKey, kPayload);
  Bytes payload;
  ASSERT_EQ(UnpackCacheFile(good.data(), good.size(), kKey, &payload), CacheVerdict::kGood);
  EXPECT_EQ(payload, kPayload);

  struct Case {
    const char* what;
    Bytes bytes;
    CacheKey key;
    CacheVerdict verdict;
  };
  auto with = [&](size_t at, std::uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  Bytes longer = good;
  longer.push_back(0);
  CacheKey grown = kKey, touched = kKey, moved = kKey;
  grown.size += 1;
  touched.modified += 1;
  moved.fullPath = "C:\\data\\other.wav";
  const std::vector<Case> cases = {
      {"empty", {}, kKey, CacheVerdict::kTruncated},
      {"cut in the magic", Bytes(good.begin(), good.begin() + 5), kKey, CacheVerdict::kTruncated},
      {"cut in the header", Bytes(good.begin(), good.begin() + 30), kKey, CacheVerdict::kTruncated},
      {"cut in the path", Bytes(good.begin(), good.begin() + 50), kKey, CacheVerdict::kTruncated},
      {"cut in the payload", Bytes(good.begin(), good.end() - 2), kKey, CacheVerdict::kTruncated},
      {"a byte more", longer, kKey, CacheVerdict::kCorrupt},
      {"another program's file", Bytes{'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0}, kKey, CacheVerdict::kForeign},
      {"another version", with(8, kCacheVersion + 1), kKey, CacheVerdict::kOtherVersion},
      {"a payload byte changed", with(good.size() - 3, good[good.size() - 3] ^ 0x10), kKey, CacheVerdict::kCorrupt},
      {"a key byte changed", with(20, good[20] ^ 1), kKey, CacheVerdict::kCorrupt},
      {"a payload length beyond the file", with(39, 0x40), kKey, CacheVerdict::kTruncated},
      {"the recording grew", good, grown, CacheVerdict::kStale},
      {"the recording was touched", good, touched, CacheVerdict::kStale},
      {"another recording's file", good, moved, CacheVerdict::kStale},
  };
  for (const Case& c : cases) {
    payload = {9};
    EXPECT_EQ(UnpackCacheFile(c.bytes.data(), c.bytes.size(), c.key, &payload), c.verdict) << c.what;
    EXPECT_TRUE(payload.empty()) << c.what;
  }
  // Every shorter prefix is refused.
  for (size_t n = 0; n < good.size(); ++n)
    ASSERT_NE(UnpackCacheFile(good.data(), n, kKey, &payload), CacheVerdict::kGood) << n;
}

std::string Folder(const char* name) {
  const std::string folder = vorda_test::TempPath(name);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

TEST(ChartCache, TheStoreKeepsWholeFilesAndRemovesUntrustedOnes) {
  const std::string recordingPath = vorda_test::TempPath("cached.wav");
  std::ofstream(recordingPath, std::ios::binary) << "RIFF....WAVE";
  FileIdentity id{recordingPath, "cached.wav", 12, 42};
  const CacheStore store(Folder("cache-store") + "\\nested\\cache");
  std::string error, why;
  Bytes payload;
  DeleteFileA(store.FileFor(id).c_str());
  EXPECT_FALSE(store.Load(id, &payload, &why));
  EXPECT_EQ(why, "");

  ASSERT_TRUE(store.Store(id, kPayload, &error)) << error;
  ASSERT_TRUE(store.Load(id, &payload)) << store.FileFor(id);
  EXPECT_EQ(payload, kPayload);
  // Nothing is left under a temporary name.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((store.folder() + "\\*.tmp*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);

  // The same path in another state: refused, removed, rebuilt.
  FileIdentity later = id;
  later.modified += 10;
  EXPECT_FALSE(store.Load(later, &payload, &why));
  EXPECT_NE(why.find("made from another state of the recording"), std::string::npos) << why;
  EXPECT_EQ(GetFileAttributesA(store.FileFor(id).c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(store.Store(later, {5}, &error)) << error;
  ASSERT_TRUE(store.Load(later, &payload));
  EXPECT_EQ(payload, Bytes{5});

  // A file damaged on disk is not trusted.
  {
    std::fstream f(store.FileFor(later), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(-1, std::ios::end);
    f.put('\x55');
  }
  EXPECT_FALSE(store.Load(later, &payload, &why));
  EXPECT_NE(why.find("damaged"), std::string::npos) << why;

  // A store with no folder keeps nothing and reads nothing.
  const CacheStore none("");
  EXPECT_FALSE(none.enabled());
  EXPECT_TRUE(none.Store(id, kPayload, &error));
  EXPECT_FALSE(none.Load(id, &payload));
}

}  // namespace
}  // namespace recording
