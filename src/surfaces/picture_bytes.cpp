#include "surfaces/picture_bytes.h"

namespace vorda {
namespace {

uint32_t U16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

constexpr uint32_t kFileHeader = 14;
constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

bool KnownHeaderSize(uint32_t size) {
  return size == kCoreHeader || size == 16 || size == kInfoHeader || size == 52 || size == 56 ||
         size == 64 || size == 108 || size == 124;
}

// `n` bytes of a BMP file from its "BM".
bool BmpComplete(const uint8_t* b, uint64_t n) {
  if (n < kFileHeader + 4) return false;
  const uint64_t pixelOffset = U32(b + 10);
  const uint32_t headerSize = U32(b + kFileHeader);
  if (!KnownHeaderSize(headerSize) || n < kFileHeader + headerSize) return false;
  const uint8_t* h = b + kFileHeader;

  uint64_t width, height, bits, compression = 0, colours = 0, entryBytes;
  if (headerSize == kCoreHeader) {
    width = U16(h + 4);
    height = U16(h + 6);
    bits = U16(h + 10);
    entryBytes = 3;
  } else {
    const int32_t w = static_cast<int32_t>(U32(h + 4));
    const int32_t hh = static_cast<int32_t>(U32(h + 8));
    if (w < 0) return false;
    width = static_cast<uint64_t>(w);
    // A negative height is a top-down bitmap of that many rows.
    height = static_cast<uint64_t>(hh < 0 ? -int64_t{hh} : int64_t{hh});
    bits = U16(h + 14);
    // The short 16-byte header ends after the bit count.
    compression = headerSize >= 20 ? U32(h + 16) : 0;
    colours = headerSize >= 36 ? U32(h + 32) : 0;
    entryBytes = 4;
  }

  // The colour masks after a 40-byte header, then the colour table.
  uint64_t tables = kFileHeader + uint64_t{headerSize};
  if (headerSize == kInfoHeader && compression == kBitFields) tables += 12;
  if (headerSize == kInfoHeader && compression == kAlphaBitFields) tables += 16;
  if (colours == 0 && bits <= 8) colours = uint64_t{1} << bits;
  if (colours > 65536) return false;
  if (tables + colours * entryBytes > n || pixelOffset > n) return false;

  // Compressed rows have no size to check here; the loader decodes them
  // within the bytes it has.
  if (compression != 0 && compression != kBitFields && compression != kAlphaBitFields) return true;
  if (bits == 0 || bits > 32 || width > 0x7fffffff || height > 0x7fffffff) return false;
  const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
  return rowBytes == 0 || height <= (n - pixelOffset) / rowBytes;
}

}  // namespace

bool BmpBytesComplete(const uint8_t* bytes, uint32_t count) {
  if (count >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return BmpComplete(bytes, count);
  // The loader's wrapper: "lt\0\0", the size of what follows, then the data.
  if (count >= 10 && bytes[0] == 'l' && bytes[1] == 't' && bytes[2] == 0 && bytes[3] == 0 &&
      bytes[8] == 'B' && bytes[9] == 'M')
    return BmpComplete(bytes + 8, count - 8);
  return true;
}

}  // namespace vorda
