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

double DecodeSample(const std::uint8_t* p, Encoding e) {
  switch (e) {
    case Encoding::kUInt8: return p[0];
    case Encoding::kInt8: return static_cast<std::int8_t>(p[0]);
    case Encoding::kInt16LE: return static_cast<std::int16_t>(p[0] | (p[1] << 8));
    case Encoding::kInt16BE: return static_cast<std::int16_t>((p[0] << 8) | p[1]);
    case Encoding::kInt24LE: {
      std::int32_t w = p[0] | (p[1] << 8) | (p[2] << 16);
      return w & 0x800000 ? w - 0x1000000 : w;
    }
    case Encoding::kInt32LE: return static_cast<std::int32_t>(U32(p));
    case Encoding::kFloat32LE: {
      float x;
      std::memcpy(&x, p, 4);
      return x;
    }
    case Encoding::kFloat64LE: {
      double x;
      std::memcpy(&x, p, 8);
      return x;
    }
  }
  return 0;
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
