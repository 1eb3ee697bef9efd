// How one sample is stored in a file, and the arithmetic from its bytes to
// a value in engineering units.
#pragma once

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

}  // namespace recording
