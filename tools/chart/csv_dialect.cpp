#include "csv_dialect.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace chart {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s, char delimiter) {
  // A tab that delimits cells is no blank around them.
  auto blank = [delimiter](char c) { return Blank(c) && c != delimiter; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

CsvDialect DetectDialect(std::string_view header) {
  size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (char c : header) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  CsvDialect d;
  if (semicolons > commas && semicolons >= tabs) {
    d.delimiter = ';';
    d.decimalComma = true;
  } else if (tabs > commas && tabs > semicolons) {
    d.delimiter = '\t';
  }
  return d;
}

bool CellSplitter::Split(std::string_view line, char delimiter, std::vector<std::string_view>* cells) {
  cells->clear();
  size_t at = 0, used = 0;
  for (;;) {
    size_t start = at;
    while (start < line.size() && Blank(line[start]) && line[start] != delimiter) ++start;
    if (start < line.size() && line[start] == '"') {
      size_t i = start + 1;
      std::string* unescaped = nullptr;
      size_t from = i;
      for (;;) {
        const void* q = i < line.size() ? std::memchr(line.data() + i, '"', line.size() - i) : nullptr;
        if (!q) return false;
        size_t quote = static_cast<const char*>(q) - line.data();
        if (quote + 1 < line.size() && line[quote + 1] == '"') {
          if (!unescaped) {
            if (used == scratch_.size()) scratch_.emplace_back();
            unescaped = &scratch_[used++];
            unescaped->clear();
          }
          unescaped->append(line.data() + from, quote + 1 - from);
          i = from = quote + 2;
          continue;
        }
        std::string_view content = line.substr(from, quote - from);
        if (unescaped) {
          unescaped->append(content);
          content = *unescaped;
        }
        cells->push_back(Trim(content, delimiter));
        at = quote + 1;
        break;
      }
      // Whatever follows the closing quote up to the delimiter is dropped
      // when blank; anything else belongs to no cell.
      while (at < line.size() && line[at] != delimiter) {
        if (!Blank(line[at])) return false;
        ++at;
      }
      if (at >= line.size()) return true;
      ++at;
      continue;
    }
    // Unquoted cells, the common case, are cut with memchr.
    const void* d = std::memchr(line.data() + at, delimiter, line.size() - at);
    size_t end = d ? static_cast<size_t>(static_cast<const char*>(d) - line.data()) : line.size();
    cells->push_back(Trim(line.substr(at, end - at), delimiter));
    if (!d) return true;
    at = end + 1;
  }
}

std::string EightBitName(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + static_cast<size_t>(length) > s.size()) return std::string(s);
    unsigned code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::string(s);
      code = code << 6 | (next & 0x3F);
    }
    out.push_back(code < 0x100 ? static_cast<char>(code) : '?');
    i += static_cast<size_t>(length);
  }
  return out;
}

const char* ReadNumber(const char* p, const char* end, double* value) {
  static const double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* q = p;
  bool negative = q < end && *q == '-';
  q += negative;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  const char* first = q;
  while (q < end && static_cast<unsigned>(*q - '0') < 10) mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
  digits = static_cast<int>(q - first);
  if (q < end && *q == '.') {
    const char* point = ++q;
    while (q < end && static_cast<unsigned>(*q - '0') < 10) mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
    decimals = static_cast<int>(q - point);
    digits += decimals;
  }
  // An exponent, too many digits or no digit at all: the general reader.
  if (digits == 0 || digits > 15 || (q < end && (*q == 'e' || *q == 'E'))) {
    auto [r, ec] = std::from_chars(p, end, *value);
    return ec == std::errc() ? r : nullptr;
  }
  double v = static_cast<double>(mantissa) / kPowers[decimals];
  *value = negative ? -v : v;
  return q;
}

Cell ParseNumber(std::string_view s, const CsvDialect& dialect, double* value) {
  if (s.empty()) return Cell::kEmpty;
  if (s.front() == '+') s.remove_prefix(1);
  char copy[64];
  if (dialect.decimalComma) {
    const void* comma = std::memchr(s.data(), ',', s.size());
    if (comma) {
      // Only the decimal sign changes, on a copy on the stack.
      if (s.size() >= sizeof copy) return Cell::kBad;
      std::memcpy(copy, s.data(), s.size());
      copy[static_cast<const char*>(comma) - s.data()] = '.';
      s = std::string_view(copy, s.size());
    }
  }
  const char* end = s.data() + s.size();
  if (ReadNumber(s.data(), end, value) != end) return Cell::kBad;
  if (std::isnan(*value)) return Cell::kEmpty;
  if (std::isinf(*value)) return Cell::kBad;
  return Cell::kNumber;
}

}  // namespace chart
