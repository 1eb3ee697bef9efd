// The short decimals that fill nearly every cell of a recording ("0.84147",
// "1711713600.125", "-2.5e-3"), read to the double that strtod gives, in a
// few instructions. When the digits, taken as a whole number, stay within
// 2^53 and the power of ten within 10^22, both are doubles exactly, and one
// division or multiplication rounds once, to nearest even, as strtod does.
// Whatever lies beyond that (more digits, larger exponents, inf, nan, hex)
// is not read here: the caller falls back to a general reader. Pure.
#pragma once

#include <cstdint>

namespace chart {

namespace decimal_detail {

inline constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
inline bool Digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Appends the run of digits at q to *m and adds their number to *count.
inline const char* Run(const char* q, const char* end, std::uint64_t* m, int* count) {
  const char* from = q;
  std::uint64_t v = *m;
  while (q < end && Digit(*q)) v = v * 10 + static_cast<unsigned char>(*q++ - '0');
  *m = v;
  *count += static_cast<int>(q - from);
  return q;
}

// The digits again for a number of more than 19 of them, which may still
// be short once its leading zeros are dropped ("0.000000000000000000125").
// Past 19 digits that count m wraps, which the caller refuses by *count.
inline const char* SignificantDigits(const char* q, const char* end, std::uint64_t* m, int* count,
                                     int* exponent) {
  while (q < end && *q == '0') ++q;
  *m = 0;
  *count = 0;
  *exponent = 0;
  q = Run(q, end, m, count);
  if (q < end && *q == '.') {
    const char* fraction = ++q;
    if (*count == 0)
      while (q < end && *q == '0') ++q;
    q = Run(q, end, m, count);
    *exponent = -static_cast<int>(q - fraction);
  }
  return q;
}

}  // namespace decimal_detail

// Reads [-]digits[.digits][(e|E)[+|-]digits] at p, not beyond end, and
// returns where it stopped; nullptr when the text is no such number or its
// double cannot be had exactly as above (the caller's general reader then
// decides, and finds the same end as this one would).
#if defined(__GNUC__) || defined(__clang__)
// The reader's row loop calls it for every cell: a call would cost as
// much again as the number.
__attribute__((always_inline))
#endif
inline const char* ReadDecimal(const char* p, const char* end, double* value) {
  using namespace decimal_detail;
  const char* q = p;
  const bool negative = q < end && *q == '-';
  q += negative;
  const char* digits = q;
  const char* dot = nullptr;
  std::uint64_t m = 0;
  // One loop over digits and point: a number costs little more than its
  // bytes. Up to 19 digits m cannot wrap.
  for (; q < end; ++q) {
    const unsigned d = static_cast<unsigned char>(*q - '0');
    if (d < 10) {
      m = m * 10 + d;
    } else if (*q != '.' || dot) {
      break;
    } else {
      dot = q;
    }
  }
  int count = static_cast<int>(q - digits) - (dot != nullptr);
  if (count == 0) return nullptr;
  int exponent = dot ? -static_cast<int>(q - dot - 1) : 0;
  if (count > 19 && (SignificantDigits(digits, end, &m, &count, &exponent), count > 19)) return nullptr;
  if (q < end && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    const bool down = e < end && *e == '-';
    e += e < end && (*e == '-' || *e == '+');
    int power = 0;
    const char* from = e;
    while (e < end && e - from < 4 && Digit(*e)) power = power * 10 + (*e++ - '0');
    // "1e" and "1e+", which end before the e, and exponents of so many
    // digits that they might not fit are the general reader's.
    if (e == from || (e < end && Digit(*e))) return nullptr;
    exponent += down ? -power : power;
    q = e;
  }
  if (m > kExactLimit) return nullptr;
  double v = static_cast<double>(static_cast<std::int64_t>(m));
  if (m != 0) {
    if (exponent < 0) {
      if (exponent < -22) return nullptr;
      v /= kPowers[-exponent];
    } else if (exponent > 0) {
      if (exponent > 22) return nullptr;
      v *= kPowers[exponent];
    }
  }
  *value = negative ? -v : v;
  return q;
}

}  // namespace chart
