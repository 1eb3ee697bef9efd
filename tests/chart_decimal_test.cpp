// The CSV reader's numbers are strtod's to the last bit: the exact
// shortcut of decimal_number.h where it takes a number, the general reader
// where it leaves one, and ParseNumber on cells with thousands separators
// and decimal commas, on numbers chosen where rounding is hardest.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "csv_dialect.h"
#include "decimal_number.h"

namespace chart {
namespace {

std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

double Strtod(const std::string& text, size_t* used = nullptr) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (used) *used = static_cast<size_t>(end - text.c_str());
  return v;
}

// Numbers that the shortcut must read (so that it is what the rows take)
// and numbers where one rounding too many, or a power of ten that is not
// exact, would show in the last bit.
TEST(ChartDecimal, ShortcutGivesStrtodsBitsOrLeavesTheNumber) {
  struct Case {
    const char* text;
    bool shortcut;  // read by ReadDecimal, not left to the general reader
  };
  const Case cases[] = {
      {"0", true}, {"-0", true}, {"-0.0", true}, {"0.1", true}, {"0.3", true}, {"-2.5", true},
      {"1711713600.125", true}, {"000123.4500", true}, {"0.000125", true}, {".5", true}, {"5.", true},
      {"-.5", true}, {"1e5", true}, {"1E+5", true}, {"2.5e-3", true}, {"1e22", true}, {"1e-22", true},
      {"123456789012345678e-18", false}, {"9007199254740992", true}, {"9007199254740993", false},
      {"9007199254740991.5", false}, {"0.9007199254740991", true}, {"4503599627370497.5", false},
      // Halfway cases between two doubles, each side.
      {"9007199254740993e0", false}, {"2.2250738585072011e-308", false}, {"2.2250738585072014e-308", false},
      {"4.9406564584124654e-324", false}, {"2.4703282292062327e-324", false}, {"1.7976931348623157e308", false},
      {"1.7976931348623158e308", false}, {"0.1000000000000000055511151231257827", false},
      {"0.10000000000000001", false}, {"1.00000000000000011102230246251565404236316680908203125", false},
      {"1.00000000000000011102230246251565404236316680908203124", false}, {"7.038531e-26", false},
      {"8.98846567431158e307", false}, {"1e23", false}, {"1e-23", false}, {"123456789e15", true},
      {"0.000000000000000000000000123", false}, {"00000000000000000000000.5", true},
      {"0.0000000000000000000123", true}, {"0.00000000000000000000123", false}, {"12345678901234567890", false}, {"1234567890123456789", false},
      {"999999999999999999", false}, {"4503599627370496.5", false}, {"1.7976931348623157e309", false},
      {"1e-400", false}, {"3.14159265358979323846", false}, {"2.718281828459045", true},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    size_t used = 0;
    const double expected = Strtod(text, &used);
    double v = -1;
    const char* end = text.data() + text.size();
    const char* q = ReadDecimal(text.data(), end, &v);
    EXPECT_EQ(q != nullptr, c.shortcut) << text;
    if (q) {
      EXPECT_EQ(Bits(v), Bits(expected)) << text << " read " << v;
      EXPECT_EQ(static_cast<size_t>(q - text.data()), used) << text;
    }
    // The general reader, shortcut or not: strtod's bits, denormals too;
    // only what lies beyond the doubles (1e-400, 1e309) may be refused.
    double general = -1;
    const char* r = ReadNumber(text.data(), end, &general);
    if (c.shortcut || std::isnormal(expected)) {
      EXPECT_NE(r, nullptr) << text;
    }
    if (r) {
      EXPECT_EQ(Bits(general), Bits(expected)) << text << " read " << general;
      EXPECT_EQ(static_cast<size_t>(r - text.data()), used) << text;
    }
  }
}

// Where a number ends and what is not one: the cell's end is the reader's
// to check, so the shortcut must stop where strtod stops, or leave it.
TEST(ChartDecimal, ShortcutStopsWhereStrtodStops) {
  const char* const texts[] = {"1.5,2", "1.2.3", "12e", "12e+", "3e-x", "-", ".", "-.", "+1", "1e99999", "inf", "nan", "1,5", "7\r", "--1", "1.5e3.5"};
  for (const char* t : texts) {
    const std::string text = t;
    double v = -1;
    const char* q = ReadDecimal(text.data(), text.data() + text.size(), &v);
    if (!q) continue;
    size_t used = 0;
    const double expected = Strtod(text, &used);
    EXPECT_EQ(static_cast<size_t>(q - text.data()), used) << text;
    EXPECT_EQ(Bits(v), Bits(expected)) << text;
  }
  // Nothing before the end is read past it: "12" of "123" is 12.
  double v = 0;
  const char* text = "123";
  EXPECT_EQ(ReadDecimal(text, text + 2, &v), text + 2);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(ReadDecimal(text, text, &v), nullptr);
}

// Cells as the reader takes them: the marks made a point and the
// separators dropped, then strtod's bits of what is left.
TEST(ChartDecimal, CellsWithMarksGiveStrtodsBitsOfThePlainNumber) {
  CsvDialect semicolon;
  semicolon.delimiter = ';';
  semicolon.decimalComma = true;
  CsvDialect point;
  point.decimalGiven = true;
  CsvDialect comma;
  struct Case {
    const CsvDialect& dialect;
    const char* cell;
    const char* plain;
  };
  const Case cases[] = {
      {semicolon, "0,1", "0.1"},
      {semicolon, "-0,0", "-0.0"},
      {semicolon, "1.234.567,8901234567891", "1234567.8901234567891"},
      {semicolon, "9.007.199.254.740.993,0", "9007199254740993.0"},
      {semicolon, "0,30000000000000004", "0.30000000000000004"},
      {point, "9,007,199,254,740,992.5", "9007199254740992.5"},
      {point, "1,000.0000000000001", "1000.0000000000001"},
      {comma, "+00017.50", "17.50"},
      {comma, "2.2250738585072011e-308", "2.2250738585072011e-308"},
      {comma, "-4.9406564584124654e-324", "-4.9406564584124654e-324"},
  };
  for (const Case& c : cases) {
    double v = -1;
    ASSERT_EQ(ParseNumber(c.cell, c.dialect, &v), Cell::kNumber) << c.cell;
    EXPECT_EQ(Bits(v), Bits(Strtod(c.plain))) << c.cell << " read " << v;
  }
}

// Every short decimal of a logger's kind, in a sweep that walks through
// digit counts and points: all taken by the shortcut, all strtod's bits.
TEST(ChartDecimal, SweepOfShortDecimalsMatchesStrtod) {
  std::uint64_t seed = 0x9E3779B97F4A7C15u;
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    const int digits = 1 + static_cast<int>(seed >> 59) % 17;  // 1 to 17
    std::string text = (seed >> 20) & 1 ? "-" : "";
    std::uint64_t r = seed;
    std::string body;
    for (int d = 0; d < digits; ++d) {
      body.push_back(static_cast<char>('0' + r % 10));
      r = r / 10 ^ (seed << d);
    }
    const size_t point = static_cast<size_t>(seed >> 40) % (body.size() + 1);
    body.insert(point, ".");
    text += body;
    double v = 0;
    const char* q = ReadDecimal(text.data(), text.data() + text.size(), &v);
    if (digits <= 15) {
      EXPECT_NE(q, nullptr) << text;
    }
    if (q && Bits(v) != Bits(Strtod(text)) && ++mismatches <= 10) ADD_FAILURE() << text << " read " << v;
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace chart
