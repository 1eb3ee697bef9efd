#include "csv_dialect.h"

#include "decimal_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace chart {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Copies a number cell into `out` (of `size` bytes) as the plain reader
// takes it: the decimal mark made a point, thousands separators dropped
// where they stand in groups of three before it. False when it cannot be.
bool Normalise(std::string_view s, const CsvDialect& d, char* out, size_t size, size_t* length) {
  char decimal = d.decimalComma ? ',' : '.';
  char other = d.decimalComma ? '.' : ',';
  size_t lastDecimal = s.rfind(decimal), lastOther = s.rfind(other), others = 0;
  for (char c : s) others += c == other;
  bool grouped = false;
  if (others > 0) {
    bool decimalAfter = lastDecimal != std::string_view::npos && lastDecimal > lastOther;
    if (!d.decimalGiven && (d.decimalComma || d.delimiter != ',') && others == 1 &&
        lastDecimal == std::string_view::npos) {
      // One mark alone is a decimal mark: "1.5" in a file of decimal
      // commas, "1,5" in a tab-delimited one.
      decimal = other;
      other = 0;
    } else if (d.decimalGiven || decimalAfter) {
      grouped = true;
    } else {
      return false;
    }
  }
  if (s.size() >= size) return false;
  size_t n = 0, run = 0, groups = 0;
  bool inFraction = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (grouped && !inFraction && c == other) {
      // 1 to 3 digits before the first separator, exactly 3 after each.
      if (run == 0 || run > 3 || (groups > 0 && run != 3)) return false;
      ++groups;
      run = 0;
      continue;
    }
    if (c == decimal && !inFraction) {
      if (groups > 0 && run != 3) return false;
      inFraction = true;
      out[n++] = '.';
      continue;
    }
    run = IsDigit(c) ? run + 1 : 0;
    out[n++] = c;
  }
  if (grouped && groups > 0 && !inFraction && run != 3) return false;
  *length = n;
  return true;
}

std::string_view Trim(std::string_view s, char delimiter) {
  // A tab that delimits cells is no blank around them.
  auto blank = [delimiter](char c) { return Blank(c) && c != delimiter; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

CsvDialect DetectDialect(std::string_view header) {
  size_t commas = 0, semicolons = 0, tabs = 0, digitCommas = 0;
  bool quoted = false;
  for (size_t i = 0; i < header.size(); ++i) {
    char c = header[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
    digitCommas += c == ',' && i > 0 && i + 1 < header.size() && IsDigit(header[i - 1]) && IsDigit(header[i + 1]);
  }
  CsvDialect d;
  if (semicolons > commas && semicolons >= tabs) {
    d.delimiter = ';';
    d.decimalComma = true;
  } else if (tabs > 0 && tabs >= semicolons && (tabs > commas || digitCommas == commas)) {
    d.delimiter = '\t';
  }
  return d;
}

bool IsMissingWord(std::string_view cell, const CsvDialect& dialect) {
  static const char* const kWords[] = {"nan", "na", "n/a", "#n/a", "null", "-"};
  auto same = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
  };
  for (const char* w : kWords)
    if (same(cell, w)) return true;
  for (const std::string& w : dialect.missing)
    if (cell == w) return true;
  return false;
}

// Cells delimited by runs of blanks, as column-aligned text files have them.
bool SplitOnBlanks(std::string_view line, std::vector<std::string_view>* cells) {
  size_t at = 0;
  for (;;) {
    while (at < line.size() && Blank(line[at])) ++at;
    if (at >= line.size()) return true;
    if (line[at] == '"') {
      size_t close = line.find('"', at + 1);
      if (close == std::string_view::npos) return false;
      cells->push_back(line.substr(at + 1, close - at - 1));
      at = close + 1;
      if (at < line.size() && !Blank(line[at])) return false;
      continue;
    }
    size_t end = at;
    while (end < line.size() && !Blank(line[end])) ++end;
    cells->push_back(line.substr(at, end - at));
    at = end;
  }
}

bool CellSplitter::Split(std::string_view line, char delimiter, std::vector<std::string_view>* cells) {
  cells->clear();
  if (delimiter == ' ') return SplitOnBlanks(line, cells);
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

std::string EightBitName(std::string_view s, bool* changed) {
  std::string out;
  bool replaced = false;
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
    // Latin-1 without its control characters is what the fonts can show.
    bool shown = (code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code < 0x100);
    out.push_back(shown ? static_cast<char>(code) : '?');
    replaced |= !shown;
    i += static_cast<size_t>(length);
  }
  if (changed) *changed = replaced;
  return out;
}

const char* ReadNumber(const char* p, const char* end, double* value) {
  if (const char* q = ReadDecimal(p, end, value)) return q;
  auto [r, ec] = std::from_chars(p, end, *value);
  return ec == std::errc() ? r : nullptr;
}

Cell ParseNumber(std::string_view cell, const CsvDialect& dialect, double* value) {
  std::string_view s = cell;
  if (s.empty() || (!dialect.missing.empty() && IsMissingWord(cell, dialect))) return Cell::kEmpty;
  if (s.front() == '+') s.remove_prefix(1);
  char copy[64];
  if (std::memchr(s.data(), ',', s.size()) || (dialect.decimalComma && std::memchr(s.data(), '.', s.size()))) {
    // Only the marks change, on a copy on the stack.
    size_t length = 0;
    if (!Normalise(s, dialect, copy, sizeof copy, &length))
      return IsMissingWord(cell, dialect) ? Cell::kEmpty : Cell::kBad;
    s = std::string_view(copy, length);
  }
  const char* end = s.data() + s.size();
  if (s.empty() || ReadNumber(s.data(), end, value) != end)
    return IsMissingWord(cell, dialect) ? Cell::kEmpty : Cell::kBad;
  if (std::isnan(*value)) return Cell::kEmpty;
  return Cell::kNumber;
}

bool CellsAreNumbers(const std::vector<std::string_view>& cells, size_t from, const CsvDialect& dialect) {
  bool number = false;
  for (size_t i = from; i < cells.size(); ++i) {
    double v = 0;
    Cell kind = ParseNumber(cells[i], dialect, &v);
    if (kind == Cell::kBad || (kind == Cell::kEmpty && !cells[i].empty())) return false;
    number |= kind == Cell::kNumber;
  }
  return number;
}

}  // namespace chart
