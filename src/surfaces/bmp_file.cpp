// MSSaveBitmapFile and its writer CreateBMPFile: the bitmap of a surface
// becomes a BMP file, and the surface is destroyed.
#include <cstddef>
#include <cstdlib>

#include "guards.h"
#include "scratch.h"
#include "surfaces/bitmap_surface.h"
#include "surfaces/bmp_layout.h"
#include "vorda.h"

namespace vorda {

// The file holds the platform's info header and colour table byte for byte:
// their layout must be the one the BMP format fixes, on every build.
static_assert(sizeof(BITMAPINFOHEADER) == kBmpInfoHeaderSize);
static_assert(sizeof(RGBQUAD) == 4 && offsetof(BITMAPINFO, bmiColors) == kBmpInfoHeaderSize);

namespace {

// Each failing step of the writer is reported with its step number.
Failure WriterStep(BmpFileStep step) {
  return {bitmapMessage, kCreateBmpFileLine, static_cast<int>(step)};
}

bool WriteAll(HANDLE file, const void* bytes, uint32_t count) {
  DWORD written = 0;
  return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

}  // namespace

Failure CreateBMPFile(const char* fileName, const HeaderBlock& block, HBITMAP bitmap, HDC dc) {
  BITMAPINFOHEADER& header = block.info->bmiHeader;
  const uint32_t allocated = header.biSizeImage;
  if (!block.sizeFits) return WriterStep(BmpFileStep::kAllocatePixels);
  OwnedGlobal pixels(GlobalAlloc(GMEM_FIXED, allocated ? allocated : 1));
  if (!pixels) return WriterStep(BmpFileStep::kAllocatePixels);

  UINT lines = static_cast<uint16_t>(header.biHeight);
  if (GetDIBits(dc, bitmap, 0, lines, pixels.get(), block.info, DIB_RGB_COLORS) == 0)
    return WriterStep(BmpFileStep::kFetchPixels);
  // The fetch may rewrite the header; never write more than was fetched
  // into, nor a colour table larger than the block holds.
  if (header.biSizeImage > allocated || header.biClrUsed > block.tableEntries)
    return WriterStep(BmpFileStep::kFetchPixels);

  if (!fileName) return WriterStep(BmpFileStep::kCreateFile);
  OwnedFile file(CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return WriterStep(BmpFileStep::kCreateFile);

  BmpFileLayout layout;
  if (!ComputeBmpLayout(header.biSize, header.biClrUsed, header.biSizeImage, &layout))
    return WriterStep(BmpFileStep::kWriteFileHeader);
  uint8_t fileHeader[kBmpFileHeaderSize];
  EncodeBmpFileHeader(layout, fileHeader);
  if (!WriteAll(file.get(), fileHeader, sizeof fileHeader))
    return WriterStep(BmpFileStep::kWriteFileHeader);
  if (!WriteAll(file.get(), block.info, header.biSize + 4 * header.biClrUsed))
    return WriterStep(BmpFileStep::kWriteInfoHeader);
  if (!WriteAll(file.get(), pixels.get(), header.biSizeImage))
    return WriterStep(BmpFileStep::kWritePixels);
  if (!file.close()) return WriterStep(BmpFileStep::kCloseFile);
  return {};
}

}  // namespace vorda

using namespace vorda;

extern "C" int __cdecl MSSaveBitmapFile(HostObject host, HDC dc, const char* fileName) {
  HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
  if (!bitmap) return ReportError(host, WithErrorCode(kGetCurrentObjectFailed, GetLastError()));
  BITMAP description;
  if (!GetObjectA(bitmap, sizeof description, &description)) return 0;

  uint16_t bits = static_cast<uint16_t>(description.bmPlanes * description.bmBitsPixel);
  int colorClass = ColorClass(bits);
  // Nothing can be written for 8 bits or fewer, whatever the host answers.
  if (colorClass == 0) return ReportError(host, kSaveBitmapTooFewColours);

  Scratch<unsigned char> blockBytes(
      static_cast<unsigned char*>(std::calloc(HeaderBlockBytes(colorClass), 1)));
  if (!blockBytes) return ReportError(host, WriterStep(BmpFileStep::kAllocatePixels));
  HeaderBlock block{reinterpret_cast<BITMAPINFO*>(blockBytes.get()), ColorTableEntries(colorClass),
                    false};
  BITMAPINFOHEADER& header = block.info->bmiHeader;
  header.biSize = kBmpInfoHeaderSize;
  header.biWidth = description.bmWidth;
  header.biHeight = description.bmHeight;
  header.biPlanes = description.bmPlanes;
  header.biBitCount = description.bmBitsPixel;
  header.biCompression = BI_RGB;
  uint32_t sizeImage = 0;
  block.sizeFits = BmpSizeImage(description.bmWidth, description.bmHeight, colorClass, &sizeImage);
  header.biSizeImage = sizeImage;
  header.biClrUsed = ColorTableEntries(colorClass);

  // A failed write stops the save only when the host's error call gives 0;
  // otherwise the surface is destroyed as after a good write.
  if (Failure f = CreateBMPFile(fileName, block, bitmap, dc))
    if (ReportError(host, f) == 0) return 0;

  // The bitmap can only be deleted once no device context holds it.
  DeleteDC(dc);
  DeleteObject(bitmap);
  return 1;
}
