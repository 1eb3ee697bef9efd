// What every example host shares: the script object vorda reports to,
// a check that prints what went wrong, and a reader of the BMP files the
// examples make, to look at their pixels. Only include/ and the stand-in
// host (tarn/) are used, as any host would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tarn.h"
#include "vorda.h"

namespace example {

// The host object a script runs as: vorda reports its failures to it.
inline HostObject NewScript() { return tarn::host().NewObject("script"); }

// Counts the checks that failed; the program's exit status.
inline int& failures() {
  static int count = 0;
  return count;
}

// Prints what was expected when it does not hold, with every message the
// host has heard from vorda so far.
inline bool Check(bool ok, const char* what) {
  if (ok) return true;
  ++failures();
  std::fprintf(stderr, "FAILED: %s\n", what);
  for (const std::string& m : tarn::host().Messages()) std::fprintf(stderr, "  vorda said: %s\n", m.c_str());
  return false;
}

// The exit status: 0 when every check held and vorda reported nothing.
inline int Finish(const char* name) {
  Check(tarn::host().Messages().empty(), "vorda reported nothing");
  std::printf("%s: %s\n", name, failures() ? "WRONG" : "ok");
  return failures() ? 1 : 0;
}

inline std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The pixels of a 24- or 32-bit BMP file as MSSaveBitmapFile writes it.
class Bmp {
 public:
  explicit Bmp(const char* path) : bytes_(ReadFile(path)) {
    if (bytes_.size() < 54 || bytes_[0] != 'B' || bytes_[1] != 'M') return;
    offset_ = Le32(bytes_, 10);
    width_ = static_cast<int>(Le32(bytes_, 18));
    height_ = static_cast<int>(Le32(bytes_, 22));
    bits_ = static_cast<uint8_t>(bytes_[28]) | static_cast<uint8_t>(bytes_[29]) << 8;
    if (bits_ != 24 && bits_ != 32) return;
    stride_ = (static_cast<size_t>(width_) * bits_ + 31) / 32 * 4;
    valid_ = width_ > 0 && height_ > 0 && offset_ + stride_ * height_ <= bytes_.size();
  }
  bool valid() const { return valid_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // The colour at (x, y), y counted from the top as on the screen.
  COLORREF At(int x, int y) const {
    if (!valid_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    size_t row = static_cast<size_t>(height_ - 1 - y);  // rows are stored bottom first
    const char* p = &bytes_[offset_ + row * stride_ + static_cast<size_t>(x) * (bits_ / 8)];
    return RGB(static_cast<uint8_t>(p[2]), static_cast<uint8_t>(p[1]), static_cast<uint8_t>(p[0]));
  }

  // How many pixels in the rectangle [left, right) x [top, bottom) are not white.
  int NonWhite(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) != RGB(255, 255, 255);
    return n;
  }

  // The smallest rectangle [left, right) x [top, bottom) that holds every
  // non-white pixel of the given one; empty (right <= left) when none is.
  RECT NonWhiteBox(int left, int top, int right, int bottom) const {
    RECT box{right, bottom, left, top};
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        if (At(x, y) == RGB(255, 255, 255)) continue;
        if (x < box.left) box.left = x;
        if (y < box.top) box.top = y;
        if (x + 1 > box.right) box.right = x + 1;
        if (y + 1 > box.bottom) box.bottom = y + 1;
      }
    return box;
  }

 private:
  std::string bytes_;
  size_t offset_ = 0, stride_ = 0;
  int width_ = 0, height_ = 0, bits_ = 0;
  bool valid_ = false;
};

}  // namespace example
