// The files vorda writes, read back the way a test checks them: a BMP file
// with its two headers and its pixels, and an enhanced metafile as its
// records, by the platform's EMR_ record types.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "surface.h"

namespace vorda_test {

struct BmpFile {
  // Reads the file; false unless it begins with "BM" and holds both
  // headers and every row its header promises.
  bool Load(const std::string& path) {
    bytes = ReadBytes(path);
    if (bytes.size() < sizeof file + sizeof info || bytes[0] != 'B' || bytes[1] != 'M') return false;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    const size_t rows = static_cast<size_t>(std::abs(static_cast<long long>(info.biHeight)));
    return info.biWidth >= 0 && file.bfOffBits <= bytes.size() &&
           (bytes.size() - file.bfOffBits) / std::max<size_t>(Stride(), 1) >= rows;
  }

  size_t Stride() const { return ((static_cast<size_t>(info.biWidth) * info.biBitCount + 31) / 32) * 4; }
  // Pixel x of stored row `row` (row 0 is stored first: the bottom row of a
  // bottom-up file) as stored: the 16 bits of a 16-bit pixel, or blue,
  // green and red in the low three bytes.
  uint32_t Stored(int x, int row) const {
    const uint8_t* p = bytes.data() + file.bfOffBits + static_cast<size_t>(row) * Stride() +
                       static_cast<size_t>(x) * (info.biBitCount / 8);
    return info.biBitCount == 16 ? p[0] | (p[1] << 8) : p[0] | (p[1] << 8) | (p[2] << 16);
  }
  // The colour of pixel (x, y) counted from the top left, for 24 and 32 bits.
  COLORREF At(int x, int y) const {
    const uint32_t v = Stored(x, info.biHeight > 0 ? info.biHeight - 1 - y : y);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // How many pixels of the columns x0 to x1 (not included; every column by
  // default) have this colour.
  int Count(COLORREF colour, int x0 = 0, int x1 = -1) const {
    int n = 0;
    for (int y = 0; y < std::abs(info.biHeight); ++y)
      for (int x = x0; x < (x1 < 0 ? info.biWidth : x1); ++x) n += At(x, y) == colour;
    return n;
  }

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
  bool Load(const std::string& path) {
    bytes = ReadBytes(path);
    records.clear();
    for (end = 0; end + 8 <= bytes.size();) {
      EmfRecord r{0, end, 0};
      std::memcpy(&r.type, bytes.data() + end, 4);
      std::memcpy(&r.size, bytes.data() + end + 4, 4);
      if (r.size < 8 || r.size > bytes.size() - end) break;
      records.push_back(r);
      end += r.size;
    }
    return !records.empty();
  }

  std::vector<EmfRecord> OfType(DWORD type) const {
    std::vector<EmfRecord> out;
    std::copy_if(records.begin(), records.end(), std::back_inserter(out),
                 [type](const EmfRecord& r) { return r.type == type; });
    return out;
  }
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
