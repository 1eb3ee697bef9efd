#include "file_readers.h"

#include <algorithm>
#include <cstdlib>

#include "surface.h"

namespace vorda_test {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

}  // namespace

bool BmpFile::Load(const std::string& path) {
  bytes = ReadBytes(path);
  constexpr size_t kHeaders = sizeof file + sizeof info;
  if (bytes.size() < kHeaders || bytes[0] != 'B' || bytes[1] != 'M') return false;
  std::memcpy(&file, bytes.data(), sizeof file);
  std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
  const size_t rows = static_cast<size_t>(std::abs(static_cast<long long>(info.biHeight)));
  return info.biWidth >= 0 && file.bfOffBits <= bytes.size() &&
         (bytes.size() - file.bfOffBits) / std::max<size_t>(Stride(), 1) >= rows;
}

uint32_t BmpFile::Stored(int x, int row) const {
  const size_t at = file.bfOffBits + static_cast<size_t>(row) * Stride() +
                    static_cast<size_t>(x) * (info.biBitCount / 8);
  if (info.biBitCount == 16) return bytes[at] | (bytes[at + 1] << 8);
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16);
}

COLORREF BmpFile::At(int x, int y) const {
  const uint32_t v = Stored(x, info.biHeight > 0 ? info.biHeight - 1 - y : y);
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int BmpFile::Count(COLORREF colour, int x0, int x1) const {
  if (x1 < 0) x1 = info.biWidth;
  const int height = std::abs(info.biHeight);
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
  return n;
}

bool EmfFile::Load(const std::string& path) {
  bytes = ReadBytes(path);
  records.clear();
  for (end = 0; end + 8 <= bytes.size();) {
    const EmfRecord r{Le32(bytes, end), end, Le32(bytes, end + 4)};
    if (r.size < 8 || r.size > bytes.size() - end) break;
    records.push_back(r);
    end += r.size;
  }
  return !records.empty();
}

std::vector<EmfRecord> EmfFile::OfType(DWORD type) const {
  std::vector<EmfRecord> out;
  for (const EmfRecord& r : records)
    if (r.type == type) out.push_back(r);
  return out;
}

}  // namespace vorda_test
