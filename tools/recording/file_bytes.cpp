#include "file_bytes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace recording {

#ifdef _WIN32
namespace {

class FileBytes final : public ByteSource {
 public:
  FileBytes(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
  ~FileBytes() override { CloseHandle(file_); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    auto* p = static_cast<unsigned char*>(to);
    // A seek and a plain read rather than a read at an offset: under Wine
    // the latter goes by way of the server and costs ten times as much,
    // which the many small reads of a trace drawn from its summary feel.
    // The file position is this object's alone, and it is read from one
    // thread.
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return false;
    while (count > 0) {
      const DWORD want = count > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(count);
      DWORD got = 0;
      if (!ReadFile(file_, p, want, &got, nullptr) || got == 0) return false;
      p += got;
      count -= got;
    }
    return true;
  }

 private:
  HANDLE file_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileBytes(const std::string& path, const std::string& name, std::string* error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = "cannot open " + name + " for reading";
    return nullptr;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    *error = "cannot read " + name;
    return nullptr;
  }
  return std::make_unique<FileBytes>(file, static_cast<std::uint64_t>(size.QuadPart));
}

bool IdentifyFile(const std::string& path, const std::string& name, FileIdentity* out) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  out->path = path;
  out->name = name;
  out->size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  out->modified = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                            data.ftLastWriteTime.dwLowDateTime);
  return true;
}

namespace {

class WindowsSpill final : public SpillFile {
 public:
  explicit WindowsSpill(HANDLE file) : file_(file) {}
  ~WindowsSpill() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  WindowsSpill(const WindowsSpill&) = delete;
  WindowsSpill& operator=(const WindowsSpill&) = delete;

  bool Append(const void* bytes, std::size_t count) override {
    const auto* p = static_cast<const unsigned char*>(bytes);
    while (count > 0 && file_ != INVALID_HANDLE_VALUE) {
      const DWORD want = count > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(count);
      DWORD put = 0;
      if (!WriteFile(file_, p, want, &put, nullptr) || put == 0) return false;
      p += put;
      count -= put;
      size_ += put;
    }
    return count == 0;
  }
  std::shared_ptr<ByteSource> Bytes() override {
    if (file_ == INVALID_HANDLE_VALUE) return nullptr;
    auto bytes = std::make_shared<FileBytes>(file_, size_);
    file_ = INVALID_HANDLE_VALUE;
    return bytes;
  }

 private:
  HANDLE file_;
  std::uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<SpillFile> SpillFile::Create() {
  char folder[MAX_PATH + 1], path[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n > MAX_PATH || !GetTempFileNameA(folder, "vrd", 0, path)) return nullptr;
  // Deleted when its last handle closes, however the process ends; kept
  // in the cache rather than written out while it lives, where memory
  // allows. Opened as the empty file it is, not truncated: a file cut to
  // nothing is one that some file systems (ext4 under Wine) write out to
  // the disk when it is closed, which costs more than all the writing.
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(path);
    return nullptr;
  }
  return std::make_unique<WindowsSpill>(file);
}

#else
// The native build (tests, fuzzers) reads files the POSIX way.
namespace {

class FileBytes final : public ByteSource {
 public:
  FileBytes(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~FileBytes() override { close(fd_); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    auto* p = static_cast<unsigned char*>(to);
    while (count > 0) {
      const ssize_t got = pread(fd_, p, count, static_cast<off_t>(offset));
      if (got <= 0) return false;
      p += got;
      offset += static_cast<std::uint64_t>(got);
      count -= static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileBytes(const std::string& path, const std::string& name, std::string* error) {
  const int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    if (fd >= 0) close(fd);
    *error = "cannot open " + name + " for reading";
    return nullptr;
  }
  return std::make_unique<FileBytes>(fd, static_cast<std::uint64_t>(st.st_size));
}

bool IdentifyFile(const std::string& path, const std::string& name, FileIdentity* out) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  out->path = path;
  out->name = name;
  out->size = static_cast<std::uint64_t>(st.st_size);
  out->modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

namespace {

class PosixSpill final : public SpillFile {
 public:
  explicit PosixSpill(int fd) : fd_(fd) {}
  ~PosixSpill() override {
    if (fd_ >= 0) close(fd_);
  }
  PosixSpill(const PosixSpill&) = delete;
  PosixSpill& operator=(const PosixSpill&) = delete;

  bool Append(const void* bytes, std::size_t count) override {
    const auto* p = static_cast<const unsigned char*>(bytes);
    while (count > 0 && fd_ >= 0) {
      const ssize_t put = write(fd_, p, count);
      if (put <= 0) return false;
      p += put;
      count -= static_cast<std::size_t>(put);
      size_ += static_cast<std::uint64_t>(put);
    }
    return count == 0;
  }
  std::shared_ptr<ByteSource> Bytes() override {
    if (fd_ < 0) return nullptr;
    auto bytes = std::make_shared<FileBytes>(fd_, size_);
    fd_ = -1;
    return bytes;
  }

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<SpillFile> SpillFile::Create() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = std::string(folder && *folder ? folder : "/tmp") + "/vorda-spill-XXXXXX";
  const int fd = mkstemp(&path[0]);
  if (fd < 0) return nullptr;
  // Unlinked at once: the file lives as long as it is open, no longer.
  unlink(path.c_str());
  return std::make_unique<PosixSpill>(fd);
}
#endif

bool ChangedOnDisk(const FileIdentity& opened) {
  FileIdentity now;
  return !IdentifyFile(opened.path, opened.name, &now) || now != opened;
}

bool OpenRecordingFile(const std::string& path, const std::string& name, OpenedFile* out, std::string* error) {
  out->bytes = OpenFileBytes(path, name, error);
  if (!out->bytes) return false;
  if (!IdentifyFile(path, name, &out->identity)) {
    *error = "cannot read " + name;
    return false;
  }
  return true;
}

}  // namespace recording
