// The files vorda writes, read back the way a test checks them: a BMP file
// with its two headers and its pixels, and an enhanced metafile as its
// records, by the platform's EMR_ record types.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vorda_test {

struct BmpFile {
  // Reads the file; false unless it begins with "BM" and holds both
  // headers and every row its header promises.
  bool Load(const std::string& path);

  size_t Stride() const { return ((static_cast<size_t>(info.biWidth) * info.biBitCount + 31) / 32) * 4; }
  // Pixel x of stored row `row` (row 0 is stored first: the bottom row of a
  // bottom-up file) as stored: the 16 bits of a 16-bit pixel, or blue,
  // green and red in the low three bytes.
  uint32_t Stored(int x, int row) const;
  // The colour of pixel (x, y) counted from the top left, for 24 and 32 bits.
  COLORREF At(int x, int y) const;
  // How many pixels of the columns x0 to x1 (not included; every column by
  // default) have this colour.
  int Count(COLORREF colour, int x0 = 0, int x1 = -1) const;

  std::vector<uint8_t> bytes;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
};

struct EmfRecord {
  DWORD type;  // EMR_HEADER, EMR_POLYLINE16, ...
  size_t at;   // offset in the file
  DWORD size;
};

struct EmfFile {
  // Reads the file and walks its records from the start. The walk stops at
  // the end of the file or at a record that is shorter than a record's
  // type and size or runs past the end: `end` is where it stopped.
  bool Load(const std::string& path);

  std::vector<EmfRecord> OfType(DWORD type) const;
  // The record as its platform structure (EMRCREATEPEN, ...), copied out of
  // the file so that its alignment does not matter.
  template <typename T>
  T As(const EmfRecord& record) const {
    T out{};
    std::memcpy(&out, bytes.data() + record.at, std::min(sizeof out, size_t{record.size}));
    return out;
  }
  ENHMETAHEADER Header() const { return As<ENHMETAHEADER>(records.at(0)); }
  // The record's bytes, for records whose structure ends in an array.
  const ENHMETARECORD* Raw(const EmfRecord& record) const {
    return reinterpret_cast<const ENHMETARECORD*>(bytes.data() + record.at);
  }

  std::vector<uint8_t> bytes;
  std::vector<EmfRecord> records;
  size_t end = 0;
};

}  // namespace vorda_test
