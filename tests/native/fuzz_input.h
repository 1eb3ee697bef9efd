// Reading a fuzzer's bytes as the values vorda's pure code takes, with the
// values that break arithmetic (not-a-number, infinities, 1e300, the
// missing-sample marker, the edges of int32) made likely rather than rare.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vorda_fuzz {

// An invariant that fails is a crash for libFuzzer, which keeps the input.
#define FUZZ_CHECK(cond, ...)                                              \
  do {                                                                     \
    if (!(cond)) {                                                         \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n  ", __FILE__,    \
                   __LINE__, #cond);                                       \
      std::fprintf(stderr, __VA_ARGS__);                                   \
      std::fprintf(stderr, "\n");                                          \
      std::abort();                                                        \
    }                                                                      \
  } while (0)

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Left() const { return size_ - at_; }

  // Exhausted input reads as zeros.
  uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{U8()} << (8 * i);
    return v;
  }
  int32_t I32() {
    switch (U8() % 8) {
      case 0: return INT32_MIN;
      case 1: return INT32_MAX;
      case 2: return 0;
      case 3: return static_cast<int32_t>(U8()) - 128;
      case 4: return 16383 + static_cast<int32_t>(U8() % 8) - 4;
      default: return static_cast<int32_t>(U32());
    }
  }
  double Raw() {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t{U8()} << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  // Any double, the troublesome ones often.
  double Double() {
    switch (U8() % 16) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return std::numeric_limits<double>::infinity();
      case 2: return -std::numeric_limits<double>::infinity();
      case 3: return 1e300;
      case 4: return -1e300;
      case 5: return 99999999999.9;  // the missing-sample marker
      case 6: return 0.0;
      case 7: return -0.0;
      case 8: return 2147483647.5;
      case 9: return -2147483648.9;
      case 10: return 2147483648.0;
      case 11: return static_cast<double>(static_cast<int32_t>(U32())) / 16.0;
      case 12: return static_cast<double>(U8()) / 255.0;
      default: return Raw();
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace vorda_fuzz
