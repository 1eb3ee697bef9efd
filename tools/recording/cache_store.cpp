#include "cache_store.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace recording {
namespace {

#ifdef _WIN32
constexpr char kSlash = '\\';
std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH * 4];
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}
void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }
bool Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }
#else
constexpr char kSlash = '/';
std::string FullPath(const std::string& path) {
  std::unique_ptr<char, void (*)(void*)> full(realpath(path.c_str(), nullptr), &std::free);
  return full ? std::string(full.get()) : path;
}
void MakeFolder(const std::string& path) { mkdir(path.c_str(), 0700); }
bool Replace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
long ProcessId() { return static_cast<long>(getpid()); }
#endif

// Makes every folder of `path` that is missing.
void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find_first_of("/\\", 1); at != std::string::npos; at = path.find_first_of("/\\", at + 1))
    if (path[at - 1] != ':') MakeFolder(path.substr(0, at));
  MakeFolder(path);
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

std::int64_t Tell(FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

}  // namespace

std::string CacheStore::UserFolder() {
#ifdef _WIN32
  const char* base = std::getenv("LOCALAPPDATA");
  if (!base || !*base) return {};
  return std::string(base) + "\\vorda\\cache";
#else
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && *xdg) return std::string(xdg) + "/vorda";
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) + "/.cache/vorda" : std::string();
#endif
}

CacheKey CacheStore::KeyOf(const FileIdentity& identity) {
  return CacheKey{FullPath(identity.path), identity.size, identity.modified};
}

std::string CacheStore::FileFor(const FileIdentity& identity) const {
  const std::string full = KeyOf(identity).fullPath;
  char name[40];
  std::snprintf(name, sizeof name, "%016llx.vcache",
                static_cast<unsigned long long>(Fnv1a(reinterpret_cast<const std::uint8_t*>(full.data()), full.size())));
  return folder_ + kSlash + name;
}

bool CacheStore::Load(const FileIdentity& identity, std::vector<std::uint8_t>* payload, std::string* why) const {
  payload->clear();
  if (!enabled()) return false;
  const std::string path = FileFor(identity);
  File file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  // The whole file in one block the platform may refuse: a file too large
  // for this process is rebuilt like any other that cannot be trusted.
  std::int64_t size = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) size = Tell(file.get());
  std::unique_ptr<std::uint8_t[]> bytes;
  if (size >= 0 && static_cast<std::uint64_t>(size) < SIZE_MAX / 2)
    bytes.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + 1]);
  bool read = bytes && std::fseek(file.get(), 0, SEEK_SET) == 0 &&
              std::fread(bytes.get(), 1, static_cast<std::size_t>(size), file.get()) == static_cast<std::size_t>(size);
  file.reset();
  CacheVerdict verdict = read ? UnpackCacheFile(bytes.get(), static_cast<std::size_t>(size), KeyOf(identity), payload)
                              : CacheVerdict::kTruncated;
  if (verdict == CacheVerdict::kGood) return true;
  if (why) *why = path + " is " + (read ? CacheVerdictText(verdict) : "too large to read");
  std::remove(path.c_str());
  return false;
}

bool CacheStore::Store(const FileIdentity& identity, const std::vector<std::uint8_t>& payload,
                       std::string* error) const {
  if (!enabled()) return true;
  MakeFolders(folder_);
  const std::string path = FileFor(identity);
  const std::string temporary = path + ".tmp" + std::to_string(ProcessId());
  const std::vector<std::uint8_t> header = PackCacheHeader(KeyOf(identity), payload);
  bool written = false;
  {
    File file(std::fopen(temporary.c_str(), "wb"), &std::fclose);
    written = file && std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
              std::fwrite(payload.data(), 1, payload.size(), file.get()) == payload.size() &&
              std::fflush(file.get()) == 0;
    if (file && std::fclose(file.release()) != 0) written = false;
  }
  if (!written || !Replace(temporary, path)) {
    std::remove(temporary.c_str());
    *error = "cannot write the cache file " + path;
    return false;
  }
  return true;
}

}  // namespace recording
