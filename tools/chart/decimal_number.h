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

// For what the reader's row loop calls for every cell: a call would cost
// as much again as the work.
#if defined(__GNUC__) || defined(__clang__)
#define CHART_EVERY_CELL __attribute__((always_inline)) inline
#else
#define CHART_EVERY_CELL inline
#endif

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

inline constexpr std::uint32_t kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Appends the digits at q to *m, before `end` unless kEnded. A 32-bit
// build multiplies 64-bit numbers in several steps: there nine digits at a
// time are gathered in 32 bits, and only they are added to m.
template <bool kEnded>
CHART_EVERY_CELL const char* Digits(const char* q, const char* end, std::uint64_t* m) {
  if constexpr (sizeof(void*) >= 8) {
    std::uint64_t v = *m;
    while ((kEnded || q < end) && Digit(*q)) v = v * 10 + static_cast<unsigned char>(*q++ - '0');
    *m = v;
  } else {
    std::uint32_t low = 0;
    int k = 0;
    while ((kEnded || q < end) && Digit(*q)) {
      low = low * 10 + static_cast<unsigned char>(*q++ - '0');
      if (++k == 9) {
        *m = *m * 1000000000u + low;
        low = 0;
        k = 0;
      }
    }
    // Most runs are the first of their number: no 64-bit product then.
    *m = *m == 0 ? low : *m * kScales[k] + low;
  }
  return q;
}

// The reader itself; with kEnded the caller knows that a byte that ends
// any number (a line end) comes before `end`, and no byte is compared
// with `end` on the way.
template <bool kEnded>
CHART_EVERY_CELL const char* Read(const char* p, const char* end, double* value) {
  auto within = [end](const char* q) { return kEnded || q < end; };
  const char* q = p;
  const bool negative = within(q) && *q == '-';
  q += negative;
  const char* digits = q;
  // Up to 19 digits the whole number cannot wrap.
  std::uint64_t m = 0;
  q = Digits<kEnded>(q, end, &m);
  int count = static_cast<int>(q - digits);
  int exponent = 0;
  if (within(q) && *q == '.') {
    const char* fraction = ++q;
    q = Digits<kEnded>(q, end, &m);
    exponent = -static_cast<int>(q - fraction);
    count -= exponent;
  }
  if (count == 0) return nullptr;
  if (count > 19 && (SignificantDigits(digits, end, &m, &count, &exponent), count > 19)) return nullptr;
  if (within(q) && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    const bool down = within(e) && *e == '-';
    e += within(e) && (*e == '-' || *e == '+');
    int power = 0;
    const char* from = e;
    while (within(e) && e - from < 4 && Digit(*e)) power = power * 10 + (*e++ - '0');
    // "1e" and "1e+", which end before the e, and exponents of so many
    // digits that they might not fit are the general reader's.
    if (e == from || (within(e) && Digit(*e))) return nullptr;
    exponent += down ? -power : power;
    q = e;
  }
  if (m > kExactLimit) return nullptr;
  double v;
  if constexpr (sizeof(void*) >= 8) {
    v = static_cast<double>(static_cast<std::int64_t>(m));
  } else {
    // A 32-bit build converts a 64-bit integer through the x87 unit and
    // memory; its halves convert in SSE registers, and within 2^53 the
    // high half times 2^32 and the sum are exact.
    const auto high = static_cast<std::int32_t>(m >> 32);
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(m) ^ 0x80000000u);
    v = static_cast<double>(high) * 4294967296.0 + (static_cast<double>(low) + 2147483648.0);
  }
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

}  // namespace decimal_detail

// Reads [-]digits[.digits][(e|E)[+|-]digits] at p, not beyond end, and
// returns where it stopped; nullptr when the text is no such number or its
// double cannot be had exactly as above (the caller's general reader then
// decides, and finds the same end as this one would).
CHART_EVERY_CELL const char* ReadDecimal(const char* p, const char* end, double* value) {
  return decimal_detail::Read<false>(p, end, value);
}

// The same where a byte that no number holds (a line end) is known to come
// before `end`: the reader's rows, each ended by its line break.
CHART_EVERY_CELL const char* ReadDecimalEnded(const char* p, const char* end, double* value) {
  return decimal_detail::Read<true>(p, end, value);
}

}  // namespace chart
