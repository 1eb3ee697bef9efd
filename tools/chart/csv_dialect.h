// The CSV that spreadsheets and loggers write: the delimiter (comma,
// semicolon or tab) found from the header line, quoted cells as RFC 4180
// has them (delimiters and doubled quotes inside quotes), and numbers with
// a decimal comma where the delimiter is a semicolon. Pure.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace chart {

struct CsvDialect {
  char delimiter = ',';
  bool decimalComma = false;  // "1,5" is 1.5 (files delimited by ";")
};

// The delimiter that occurs most often outside quotes in the header line;
// a comma when the line holds none of them.
CsvDialect DetectDialect(std::string_view header);

// Splits one line into cells. Blanks around a cell are dropped, a quoted
// cell loses its quotes and has each doubled quote made one. Cells point
// into `line`, or into `scratch` for quoted cells that held doubled quotes.
// False when a quote is left open at the end of the line.
class CellSplitter {
 public:
  bool Split(std::string_view line, char delimiter, std::vector<std::string_view>* cells);

 private:
  // A deque, so that growing it moves no string that a cell points into.
  std::deque<std::string> scratch_;
};

// A name from a file written in UTF-8, in the 8-bit characters that the
// chart's text is drawn in (Windows-1252, whose upper half is Latin-1):
// "°C" stays "°C". Characters beyond Latin-1 become "?"; text that is no
// UTF-8 at all is taken to be 8-bit already and left as it is.
std::string EightBitName(std::string_view utf8);

enum class Cell { kNumber, kEmpty, kBad };

// Reads a number at [p, end) as std::from_chars does, and returns where it
// stopped (nullptr when there is no number or it is out of range). Plain
// decimals of up to 15 digits, the cells of nearly every recording, take an
// exact shortcut (an integer divided by a power of ten, both exact, is
// rounded once, as from_chars rounds); everything else goes to from_chars.
const char* ReadNumber(const char* p, const char* end, double* value);

// A number cell: empty and NaN are missing samples, infinities are bad.
Cell ParseNumber(std::string_view cell, const CsvDialect& dialect, double* value);

}  // namespace chart
