// The BMP completeness check reads nothing beyond the bytes it is given
// (the sanitizer sees each input in a buffer of exactly its size), and
// more bytes after a complete BMP never make it incomplete.
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "surfaces/picture_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 1) return 0;
  // Inputs start as BMPs often enough to reach the header checks.
  std::vector<uint8_t> b(bytes + 1, bytes + size);
  if (bytes[0] % 2 && b.size() >= 2) b[0] = 'B', b[1] = 'M';
  const uint32_t n = static_cast<uint32_t>(b.size());
  uint8_t* exact = n ? new uint8_t[n] : nullptr;
  if (n) std::memcpy(exact, b.data(), n);
  bool complete = vorda::BmpBytesComplete(exact, n);
  delete[] exact;
  if (complete && n) {
    b.push_back(0);
    FUZZ_CHECK(vorda::BmpBytesComplete(b.data(), n + 1), "complete at %u, not at %u", n, n + 1);
  }
  return 0;
}
