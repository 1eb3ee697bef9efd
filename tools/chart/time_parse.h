// Dates and times as recordings write them, turned into seconds since
// 1970-01-01 00:00 UTC. ISO 8601 is read without being told; any other
// layout is described by a strptime-style format. Pure arithmetic on the
// text: no locale, no time zone database, no platform call, so the same
// text gives the same seconds everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chart {

// Days from 1970-01-01 to the given date of the proleptic Gregorian
// calendar (negative before it), and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int* year, int* month, int* day);
int DaysInMonth(int year, int month);

struct ParsedTime {
  double seconds = 0;     // since 1970-01-01 00:00 UTC
  bool zoneGiven = false;  // the text carried "Z" or an offset
};

// YYYY-MM-DD, optionally followed by T or a space and hh:mm, hh:mm:ss or
// hh:mm:ss.fff, optionally followed by Z or an offset (+hh:mm, +hhmm, +hh).
// `cache`, when given, remembers the last date read: the rows of a
// recording mostly share it, and its calendar arithmetic is then skipped.
struct IsoDateCache {
  char date[10] = {};
  std::int64_t days = 0;
  bool valid = false;
};
bool ParseIsoTime(std::string_view text, ParsedTime* out, IsoDateCache* cache = nullptr);

// Seconds since 1970 as "YYYY-MM-DD hh:mm:ss" (and ".fff" when there are
// parts of a second), for messages.
std::string FormatIsoTime(double seconds);

// Times written as digits alone, which a file may mean as dates: 8 digits
// YYYYMMDD, 14 digits YYYYMMDDhhmmss, or Unix seconds (10 digits, perhaps
// with a fraction) under a header that says time, epoch or unix.
enum class DigitTime { kNone, kDate, kDateTime, kUnix };

// How the first time of a file, `cell` under the header `header`, is to be
// read when nothing says: kNone for plain seconds. Only a valid date counts,
// and a header that says seconds ("sec", "(s)") keeps them seconds.
DigitTime GuessDigitTime(std::string_view cell, std::string_view header);

// Reads a time of the given kind; false when the cell is not one.
bool ParseDigitTime(std::string_view cell, DigitTime kind, double* seconds);

// The layout of a kind, for messages: "YYYYMMDD", ...
const char* DigitTimeLayout(DigitTime kind);

// A layout given with --time-format: %Y %y %m %d %b %B %j %H %M %S %f %p %z
// and %% stand for fields, a space for any run of blanks, and every other
// character for itself.
class TimeFormat {
 public:
  // False with a message for the user when the format has an unknown
  // field, a field twice, or nothing that names a date or time.
  bool Compile(std::string_view format, std::string* error);
  bool Parse(std::string_view text, ParsedTime* out) const;
  const std::string& text() const { return text_; }
  bool empty() const { return steps_.empty(); }

 private:
  struct Step {
    char field;         // 0 for a literal character, ' ' for blanks
    char literal;
  };
  std::string text_;
  std::vector<Step> steps_;
  bool twelveHour_ = false;  // %p given: %H counts 1 to 12
};

}  // namespace chart
