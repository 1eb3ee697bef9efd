// The per-user cache folder: one file a recording, named by its full path,
// holding what was learnt from it (an opaque payload) under the key of its
// path, size and modification time. A file is written whole under a
// temporary name and renamed into place, so a reader finds the old file,
// the new one, or none, never half of one; a file that is not sound and
// current is removed and rebuilt, never trusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cache_file.h"
#include "sample_source.h"

namespace recording {

class CacheStore {
 public:
  // A store in `folder` (made when missing); an empty folder is a store
  // that keeps nothing, as --no-cache asks.
  explicit CacheStore(std::string folder) : folder_(std::move(folder)) {}

  // The user's cache folder: %LOCALAPPDATA%\vorda\cache on Windows,
  // $XDG_CACHE_HOME/vorda or ~/.cache/vorda elsewhere; empty when there is
  // no such place.
  static std::string UserFolder();

  bool enabled() const { return !folder_.empty(); }
  const std::string& folder() const { return folder_; }

  // The payload kept for the recording `identity` names; false when there
  // is none to trust (*why says what was wrong with a file that was there,
  // and that file is removed).
  bool Load(const FileIdentity& identity, std::vector<std::uint8_t>* payload, std::string* why = nullptr) const;
  // Keeps `payload` for the recording; false after *error says why.
  bool Store(const FileIdentity& identity, const std::vector<std::uint8_t>& payload, std::string* error) const;

  // Where the file of a recording lies, and the key it is made under.
  std::string FileFor(const FileIdentity& identity) const;
  static CacheKey KeyOf(const FileIdentity& identity);

 private:
  std::string folder_;
};

}  // namespace recording
