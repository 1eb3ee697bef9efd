// The BMP header sizes: the pixel size is the exact padded row size times
// the height and fits a signed 32-bit size, or is refused; the file header's
// sizes are the exact sums or are refused, never wrapped; the header bytes
// read back as the layout they encode.
#include "fuzz_input.h"
#include "surfaces/bmp_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  uint16_t bits = static_cast<uint16_t>(in.U8() % 4 == 0 ? in.U32() : in.U8() % 40);
  int colorClass = vorda::ColorClass(bits);
  FUZZ_CHECK(colorClass == 0 || colorClass == 16 || colorClass == 24 || colorClass == 32,
             "class %d of %u bits", colorClass, bits);
  FUZZ_CHECK((colorClass == 0) == (bits <= 8), "class %d of %u bits", colorClass, bits);
  uint32_t block = vorda::HeaderBlockBytes(colorClass);
  FUZZ_CHECK(block == 40 + 4 * uint64_t{vorda::ColorTableEntries(colorClass)}, "block %u", block);

  int32_t width = in.I32(), height = in.I32();
  int anyClass = in.U8() % 2 ? colorClass : static_cast<int>(in.U32());
  uint32_t sizeImage = 0xDEADBEEF;
  bool fits = vorda::BmpSizeImage(width, height, anyClass, &sizeImage);
  if (width >= 0 && height >= 0 && (anyClass == 16 || anyClass == 24 || anyClass == 32)) {
    unsigned __int128 row = (static_cast<unsigned __int128>(width) * anyClass + 31) / 32 * 4;
    unsigned __int128 exact = row * static_cast<unsigned>(height);
    FUZZ_CHECK(fits == (exact <= INT32_MAX), "%dx%d at %d: fits %d", width, height, anyClass,
               fits);
    if (fits) FUZZ_CHECK(sizeImage == exact, "%dx%d at %d: %u", width, height, anyClass, sizeImage);
  } else if (width < 0 || height < 0 || anyClass <= 0) {
    FUZZ_CHECK(!fits, "%dx%d at class %d accepted", width, height, anyClass);
  }
  if (!fits) FUZZ_CHECK(sizeImage == 0xDEADBEEF, "refused size written");

  uint32_t infoSize = in.U8() % 2 ? 40 : in.U32();
  uint32_t clrUsed = in.U8() % 2 ? in.U32() % 65537 : in.U32();
  uint32_t pixels = in.U8() % 2 ? sizeImage : in.U32();
  vorda::BmpFileLayout layout{0x12345678, 0x9abcdef0};
  bool laid = vorda::ComputeBmpLayout(infoSize, clrUsed, pixels, &layout);
  unsigned __int128 offset = 14 + static_cast<unsigned __int128>(infoSize) + 4 * uint64_t{clrUsed};
  unsigned __int128 total = offset + pixels;
  FUZZ_CHECK(laid == (total <= UINT32_MAX), "layout of %u+%u+%u: %d", infoSize, clrUsed, pixels,
             laid);
  if (laid) {
    FUZZ_CHECK(layout.pixelOffset == offset && layout.fileSize == total, "layout %u/%u",
               layout.pixelOffset, layout.fileSize);
    uint8_t header[vorda::kBmpFileHeaderSize + 1];
    header[vorda::kBmpFileHeaderSize] = 0xA5;
    vorda::EncodeBmpFileHeader(layout, header);
    auto le32 = [&](int at) {
      return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | uint32_t{header[at + 3]} << 24;
    };
    FUZZ_CHECK(header[0] == 'B' && header[1] == 'M', "signature");
    FUZZ_CHECK(le32(2) == layout.fileSize && le32(6) == 0 && le32(10) == layout.pixelOffset,
               "header bytes");
    FUZZ_CHECK(header[vorda::kBmpFileHeaderSize] == 0xA5, "wrote past the 14 bytes");
  } else {
    FUZZ_CHECK(layout.fileSize == 0x12345678 && layout.pixelOffset == 0x9abcdef0,
               "refused layout written");
  }
  return 0;
}
