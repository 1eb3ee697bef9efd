// Reads a recording from a CSV file: a header row of names (or none, when
// the first row holds only numbers: the channels are then named by their
// columns), then one row a sample. Without a rate the first column holds
// times (seconds, ISO 8601 dates and times, the layout of a TimeFormat, or
// digits that are plainly dates, as time_parse.h guesses them) and every
// further column is a channel; with a rate every column is a channel and
// the samples are 1/rate apart. A blank line starts a new burst; an empty
// cell or a missing word (NaN, NA, ...) is a missing sample. Times spaced
// evenly to within kSpacingTolerance of the interval make an evenly
// sampled recording; others (repeated times among them) keep every time.
// Rows newest first are turned round. Comment lines (#) may come anywhere;
// the delimiter, decimal mark and quoting are those of csv_dialect.h.
// Whatever the reader decided for the user is said in Recording::notes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "recording.h"
#include "time_parse.h"

namespace chart {

inline constexpr double kSpacingTolerance = 0.01;

struct CsvOptions {
  CsvOptions(double samplesPerSecond = 0) : rate(samplesPerSecond) {}
  double rate = 0;  // samples per second; 0: the first column is time
  TimeFormat timeFormat;  // the times' layout; empty: seconds or ISO 8601
  bool timeSeconds = false;  // digits in the time column are seconds, never dates
  enum class Header { kGuess, kPresent, kAbsent } header = Header::kGuess;
  char delimiter = 0;  // 0: found from the first line
  char decimal = 0;    // '.' or ','; 0: as the delimiter suggests
  std::vector<std::string> missing;  // more words for a missing value
  bool skipBadLines = false;  // a bad row is left out and named in a note
};

// Bad rows named one by one in the notes; the rest are counted.
inline constexpr int kNamedBadLines = 20;

// `name` is how messages name the file ("rec.csv, line 4, column 2 ...");
// the path "-" reads standard input.
bool ReadCsvFile(const std::string& path, const std::string& name, const CsvOptions& options,
                 Recording* out, ReadError* error);
bool ParseCsv(std::string_view text, const std::string& name, const CsvOptions& options,
              Recording* out, ReadError* error);

}  // namespace chart
