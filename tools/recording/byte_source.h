// The bytes of a recording's file, read piece by piece at any offset: the
// readers parse through this, so that the same parsing serves a file on
// disk (file_bytes.h) and bytes in memory (tests, fuzzers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace recording {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Exactly `count` bytes at `offset` into `to`; false past the end or on a read error.
  virtual bool Read(std::uint64_t offset, void* to, std::size_t count) = 0;
};

class MemoryBytes final : public ByteSource {
 public:
  explicit MemoryBytes(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count) std::memcpy(to, bytes_.data() + offset, count);
    return true;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace recording
