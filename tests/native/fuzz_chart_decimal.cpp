// The CSV reader's exact shortcut for short decimals against strtod on
// numbers made of the fuzzer's bytes: digits mostly, a point, a sign, an
// exponent. Whatever the shortcut reads is strtod's double to the bit and
// ends where strtod ends; whatever the general reader reads as well.
#include <cstdlib>
#include <cstring>
#include <string>

#include "csv_dialect.h"
#include "decimal_number.h"
#include "fuzz_input.h"

namespace {

std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  // Each byte a character: nine in ten a digit (zeros and nines made
  // likely, where carries and leading zeros are), else a mark.
  static const char kMarks[] = ".-eE+.-e0x";
  std::string text;
  for (size_t i = 0; i < size && i < 64; ++i) {
    const uint8_t b = bytes[i];
    if (b < 230) text.push_back(b < 40 ? '0' : b < 80 ? '9' : static_cast<char>('0' + b % 10));
    else text.push_back(kMarks[b % 10]);
  }
  const char* begin = text.c_str();
  const char* end = begin + text.size();
  // strtod reads hex after "0x", which the reader never does: strtod is
  // asked about the text before any x, where the reader stops too.
  const std::string decimal = text.substr(0, text.find('x'));
  char* after = nullptr;
  const double expected = std::strtod(decimal.c_str(), &after);
  const char* stop = begin + (after - decimal.c_str());
  double v = 0;
  if (const char* q = chart::ReadDecimal(begin, end, &v)) {
    FUZZ_CHECK(q == stop, "\"%s\": the shortcut ends after %d, strtod after %d", begin, static_cast<int>(q - begin),
               static_cast<int>(stop - begin));
    FUZZ_CHECK(Bits(v) == Bits(expected), "\"%s\": the shortcut reads %.17g, strtod %.17g", begin, v, expected);
  }
  double general = 0;
  if (const char* r = chart::ReadNumber(begin, end, &general)) {
    FUZZ_CHECK(r == stop, "\"%s\": the reader ends after %d, strtod after %d", begin, static_cast<int>(r - begin),
               static_cast<int>(stop - begin));
    FUZZ_CHECK(Bits(general) == Bits(expected), "\"%s\": the reader reads %.17g, strtod %.17g", begin, general,
               expected);
  }
  return 0;
}
