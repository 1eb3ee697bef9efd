#include "sample_encoding.h"

#include <cstring>

namespace recording {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

struct Named {
  const char* name;
  Encoding encoding;
};
constexpr Named kRawNames[] = {{"int8", Encoding::kInt8},         {"uint8", Encoding::kUInt8},
                               {"int16le", Encoding::kInt16LE},   {"int16be", Encoding::kInt16BE},
                               {"int32le", Encoding::kInt32LE},   {"float32le", Encoding::kFloat32LE},
                               {"float64le", Encoding::kFloat64LE}};

}  // namespace

int WidthOf(Encoding e) {
  switch (e) {
    case Encoding::kUInt8:
    case Encoding::kInt8: return 1;
    case Encoding::kInt16LE:
    case Encoding::kInt16BE: return 2;
    case Encoding::kInt24LE: return 3;
    case Encoding::kInt32LE:
    case Encoding::kFloat32LE: return 4;
    case Encoding::kFloat64LE: return 8;
  }
  return 1;
}

namespace {

template <Encoding E>
double Decode(const std::uint8_t* p) {
  if constexpr (E == Encoding::kUInt8) return p[0];
  if constexpr (E == Encoding::kInt8) return static_cast<std::int8_t>(p[0]);
  if constexpr (E == Encoding::kInt16LE) return static_cast<std::int16_t>(p[0] | (p[1] << 8));
  if constexpr (E == Encoding::kInt16BE) return static_cast<std::int16_t>((p[0] << 8) | p[1]);
  if constexpr (E == Encoding::kInt24LE) {
    std::int32_t w = p[0] | (p[1] << 8) | (p[2] << 16);
    return w & 0x800000 ? w - 0x1000000 : w;
  }
  if constexpr (E == Encoding::kInt32LE) return static_cast<std::int32_t>(U32(p));
  if constexpr (E == Encoding::kFloat32LE) {
    float x;
    std::memcpy(&x, p, 4);
    return x;
  }
  if constexpr (E == Encoding::kFloat64LE) {
    double x;
    std::memcpy(&x, p, 8);
    return x;
  }
}

template <Encoding E>
void DecodeRun(const std::uint8_t* p, std::size_t stride, std::int64_t n, const InterleavedLayout& l, double* out) {
  if (l.scale == 1 && l.offset == 0) {
    for (std::int64_t k = 0; k < n; ++k, p += stride) out[k] = Decode<E>(p);
    return;
  }
  const double scale = l.scale, offset = l.offset;
  for (std::int64_t k = 0; k < n; ++k, p += stride) out[k] = Decode<E>(p) * scale + offset;
}

}  // namespace

double DecodeSample(const std::uint8_t* p, Encoding e) {
  switch (e) {
    case Encoding::kUInt8: return Decode<Encoding::kUInt8>(p);
    case Encoding::kInt8: return Decode<Encoding::kInt8>(p);
    case Encoding::kInt16LE: return Decode<Encoding::kInt16LE>(p);
    case Encoding::kInt16BE: return Decode<Encoding::kInt16BE>(p);
    case Encoding::kInt24LE: return Decode<Encoding::kInt24LE>(p);
    case Encoding::kInt32LE: return Decode<Encoding::kInt32LE>(p);
    case Encoding::kFloat32LE: return Decode<Encoding::kFloat32LE>(p);
    case Encoding::kFloat64LE: return Decode<Encoding::kFloat64LE>(p);
  }
  return 0;
}

void DecodeSamples(const std::uint8_t* p, std::size_t stride, std::int64_t n, const InterleavedLayout& l,
                   double* out) {
  switch (l.encoding) {
    case Encoding::kUInt8: return DecodeRun<Encoding::kUInt8>(p, stride, n, l, out);
    case Encoding::kInt8: return DecodeRun<Encoding::kInt8>(p, stride, n, l, out);
    case Encoding::kInt16LE: return DecodeRun<Encoding::kInt16LE>(p, stride, n, l, out);
    case Encoding::kInt16BE: return DecodeRun<Encoding::kInt16BE>(p, stride, n, l, out);
    case Encoding::kInt24LE: return DecodeRun<Encoding::kInt24LE>(p, stride, n, l, out);
    case Encoding::kInt32LE: return DecodeRun<Encoding::kInt32LE>(p, stride, n, l, out);
    case Encoding::kFloat32LE: return DecodeRun<Encoding::kFloat32LE>(p, stride, n, l, out);
    case Encoding::kFloat64LE: return DecodeRun<Encoding::kFloat64LE>(p, stride, n, l, out);
  }
}

bool EncodingByName(const std::string& name, Encoding* e) {
  for (const Named& n : kRawNames)
    if (name == n.name) {
      *e = n.encoding;
      return true;
    }
  return false;
}

const char* RawEncodingNames() { return "int8, uint8, int16le, int16be, int32le, float32le or float64le"; }

}  // namespace recording
