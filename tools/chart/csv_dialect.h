// The CSV that spreadsheets and loggers write: the delimiter (comma,
// semicolon or tab) found from the first line, quoted cells as RFC 4180
// has them (delimiters and doubled quotes inside quotes), numbers with a
// decimal comma where the delimiter is a semicolon (or a tab), thousands
// separators where the decimal mark is known, and the words that people
// write for a missing value. Pure.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace chart {

struct CsvDialect {
  char delimiter = ',';       // ' ' stands for any run of blanks
  bool decimalComma = false;  // "1,5" is 1.5 (files delimited by ";")
  // The decimal mark was given (--decimal): the other mark may then
  // separate thousands ("1.234,5", "1,234.5"). Without it, only a cell
  // that also holds the decimal mark after them may ("1.234,5" with ";").
  bool decimalGiven = false;
  std::vector<std::string> missing;  // words for a missing value beyond the usual ones
};

// The delimiter that occurs most often outside quotes in the first line; a
// comma when the line holds none of them. A tab wins over commas that only
// stand between digits ("1,5\t2,5" is two cells with decimal commas).
CsvDialect DetectDialect(std::string_view header);

// Whether a cell is one of the words for a missing value: NaN, NA, N/A,
// #N/A, null, "-" (any case), or one of `dialect.missing`.
bool IsMissingWord(std::string_view cell, const CsvDialect& dialect);

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
// chart's text is drawn in (Latin-1): "°C" stays "°C". A character the
// fonts cannot show (beyond Latin-1, or a control character) becomes "?",
// never a look-alike letter or digit; `changed` then says so. Text that is
// no UTF-8 at all is taken to be 8-bit already and left as it is.
std::string EightBitName(std::string_view utf8, bool* changed = nullptr);

enum class Cell { kNumber, kEmpty, kBad };

// Reads a number at [p, end) as std::from_chars does, and returns where it
// stopped (nullptr when there is no number or it is out of range). The
// short decimals of nearly every recording take the exact shortcut of
// decimal_number.h; everything else goes to from_chars.
const char* ReadNumber(const char* p, const char* end, double* value);

// A number cell: empty, NaN and the missing words are missing samples;
// inf and -inf are numbers beyond any axis.
Cell ParseNumber(std::string_view cell, const CsvDialect& dialect, double* value);

// Whether a row read as a header holds data instead: every cell after the
// first is a number or empty, at least one of them a number. The first
// cell is the caller's to judge (a time, or with a rate one more value).
bool CellsAreNumbers(const std::vector<std::string_view>& cells, size_t from, const CsvDialect& dialect);

}  // namespace chart
