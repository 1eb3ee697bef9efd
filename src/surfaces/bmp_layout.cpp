#include "surfaces/bmp_layout.h"

namespace vorda {

int ColorClass(uint16_t bits) {
  if (bits <= 8) return 0;
  if (bits <= 16) return 16;
  if (bits <= 24) return 24;
  return 32;
}

uint32_t ColorTableEntries(int colorClass) { return colorClass == 16 ? kClass16TableEntries : 0; }

uint32_t HeaderBlockBytes(int colorClass) {
  return kBmpInfoHeaderSize + 4 * ColorTableEntries(colorClass);
}

bool BmpSizeImage(int32_t width, int32_t height, int colorClass, uint32_t* sizeImage) {
  if (width < 0 || height < 0 || colorClass <= 0) return false;
  // Width and class are below 2^31 each, so the row fits 64 bits; the
  // product with the height might not, so it is bounded before it is made.
  int64_t rowBits = (static_cast<int64_t>(width) * colorClass + 31) & ~static_cast<int64_t>(31);
  int64_t rowBytes = rowBits / 8;
  if (height != 0 && rowBytes > INT32_MAX / height) return false;
  *sizeImage = static_cast<uint32_t>(rowBytes * height);
  return true;
}

bool ComputeBmpLayout(uint32_t infoSize, uint32_t clrUsed, uint32_t sizeImage,
                      BmpFileLayout* layout) {
  uint64_t offset = uint64_t{kBmpFileHeaderSize} + infoSize + uint64_t{4} * clrUsed;
  uint64_t total = offset + sizeImage;
  if (total > UINT32_MAX) return false;
  layout->pixelOffset = static_cast<uint32_t>(offset);
  layout->fileSize = static_cast<uint32_t>(total);
  return true;
}

void EncodeBmpFileHeader(const BmpFileLayout& layout, uint8_t out[kBmpFileHeaderSize]) {
  auto put32 = [out](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, layout.fileSize);
  put32(6, 0);  // two reserved 16-bit words
  put32(10, layout.pixelOffset);
}

}  // namespace vorda
