// How one sample is stored in a file, and the arithmetic from its bytes to
// a value in engineering units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace recording {

enum class Encoding { kUInt8, kInt8, kInt16LE, kInt16BE, kInt24LE, kInt32LE, kFloat32LE, kFloat64LE };

// Bytes a sample.
int WidthOf(Encoding e);
// The stored number, before any scale.
double DecodeSample(const std::uint8_t* p, Encoding e);
// The names --raw takes ("int16le", ...); false for any other.
bool EncodingByName(const std::string& name, Encoding* e);
const char* RawEncodingNames();

// Where the interleaved samples lie in a file and what they mean: value =
// stored * scale + offset.
struct InterleavedLayout {
  std::uint64_t dataOffset = 0;
  int channels = 0;
  Encoding encoding = Encoding::kInt16LE;
  std::int64_t frames = 0;
  double scale = 1;
  double offset = 0;
  std::uint64_t FrameBytes() const { return static_cast<std::uint64_t>(channels) * WidthOf(encoding); }
};

// A stored number in engineering units. Unscaled values pass untouched,
// so that a float file's -0 and NaN stay as stored.
inline double Scaled(double stored, const InterleavedLayout& l) {
  if (l.scale == 1 && l.offset == 0) return stored;
  return stored * l.scale + l.offset;
}

// The values of n samples at p, p + stride, p + 2 * stride, ... into
// out[0..n): what Scaled(DecodeSample(...)) gives each, in one loop a
// encoding rather than a choice a sample.
void DecodeSamples(const std::uint8_t* p, std::size_t stride, std::int64_t n, const InterleavedLayout& l,
                   double* out);

}  // namespace recording
