#include "file_bytes.h"

#ifdef _WIN32
#include <windows.h>
#else
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
