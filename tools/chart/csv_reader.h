// Reads a recording from a CSV file: a header row of names, then one row a
// sample. Without a rate the first column holds times (seconds, ISO 8601
// dates and times, or the layout of a TimeFormat) and every further column
// is a channel; with a rate every column is a channel and the samples are
// 1/rate apart. A blank line starts a new burst; an empty cell (or NaN) is
// a missing sample. Times spaced evenly to within kSpacingTolerance of the
// interval make an evenly sampled recording; others keep every time.
// Comment lines (#) may come before the header; the delimiter and quoting
// are those of csv_dialect.h.
#pragma once

#include <string>
#include <string_view>

#include "recording.h"
#include "time_parse.h"

namespace chart {

inline constexpr double kSpacingTolerance = 0.01;

struct CsvOptions {
  CsvOptions(double samplesPerSecond = 0) : rate(samplesPerSecond) {}
  double rate = 0;  // samples per second; 0: the first column is time
  TimeFormat timeFormat;  // the times' layout; empty: seconds or ISO 8601
};

// `name` is how messages name the file ("rec.csv, line 4, column 2 ...").
bool ReadCsvFile(const std::string& path, const std::string& name, const CsvOptions& options,
                 Recording* out, ReadError* error);
bool ParseCsv(std::string_view text, const std::string& name, const CsvOptions& options,
              Recording* out, ReadError* error);

}  // namespace chart
