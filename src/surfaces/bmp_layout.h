// Sizes and header bytes of the BMP files the bitmap surface writes. Pure
// code: every size is checked before anything is allocated or written.
#pragma once

#include <cstdint>

namespace vorda {

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kClass16TableEntries = 65536;

// The colour class of a bitmap with this many bits per pixel (planes times
// bits): 16, 24 or 32; 0 for 8 bits or fewer, which are not saved.
int ColorClass(uint16_t bits);

// Colour-table entries that follow the info header for a class.
uint32_t ColorTableEntries(int colorClass);

// Bytes of the header block: info header plus colour table.
uint32_t HeaderBlockBytes(int colorClass);

// Bytes of the pixel rows, each padded to 32 bits: false when the width or
// height is negative or the result does not fit a signed 32-bit size.
bool BmpSizeImage(int32_t width, int32_t height, int colorClass, uint32_t* sizeImage);

struct BmpFileLayout {
  uint32_t fileSize;
  uint32_t pixelOffset;
};

// The file header's two sizes from the info header as it stands after the
// pixels were fetched; false when they would not fit 32 bits.
bool ComputeBmpLayout(uint32_t infoSize, uint32_t clrUsed, uint32_t sizeImage,
                      BmpFileLayout* layout);

// The 14 bytes of the file header, little-endian.
void EncodeBmpFileHeader(const BmpFileLayout& layout, uint8_t out[kBmpFileHeaderSize]);

}  // namespace vorda
