// A file written a megabyte at a time, for benchmarks that write large
// recordings row by row.
#pragma once

#include <cstdio>
#include <string>

namespace bench {

class ChunkedFile {
 public:
  explicit ChunkedFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ChunkedFile(const ChunkedFile&) = delete;
  ChunkedFile& operator=(const ChunkedFile&) = delete;
  ~ChunkedFile() {
    if (file_) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  void Append(const char* begin, const char* end) {
    buffer_.append(begin, end);
    if (buffer_.size() > (1 << 20)) Flush();
  }
  void Append(const std::string& text) { Append(text.data(), text.data() + text.size()); }
  // Writes the rest and closes the file; false when any write failed.
  bool Close() {
    Flush();
    bool good = !failed_ && std::fclose(file_) == 0;
    file_ = nullptr;
    return good;
  }

 private:
  void Flush() {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace bench
