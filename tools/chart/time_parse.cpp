#include "time_parse.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace chart {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads between `least` and `most` digits at `at`.
bool Digits(std::string_view s, size_t* at, int least, int most, int* value) {
  int v = 0, n = 0;
  while (n < most && *at < s.size() && IsDigit(s[*at])) {
    v = v * 10 + (s[*at] - '0');
    ++*at;
    ++n;
  }
  *value = v;
  return n >= least;
}

// Exactly two digits at `at`, which the caller knows lie within s.
bool TwoDigits(std::string_view s, size_t at, int* value) {
  const unsigned tens = static_cast<unsigned char>(s[at] - '0'), ones = static_cast<unsigned char>(s[at + 1] - '0');
  *value = static_cast<int>(tens * 10 + ones);
  return tens < 10 && ones < 10;
}

// The digits after a decimal sign, as a fraction of one.
bool Fraction(std::string_view s, size_t* at, double* value) {
  static const double kScale[] = {1, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9};
  // Counted in locals, written back once: this runs for every row's time.
  size_t i = *at;
  const size_t size = s.size();
  std::int32_t v = 0;
  int n = 0;
  while (i < size && IsDigit(s[i])) {
    // Digits past the ninth are below a nanosecond: read over, not kept.
    if (n < 9) v = v * 10 + (s[i] - '0'), ++n;
    ++i;
  }
  *at = i;
  *value = static_cast<double>(v) * kScale[n];
  return n > 0;
}

// Z, +hh:mm, +hhmm or +hh (or with a minus), as seconds east of UTC.
bool Offset(std::string_view s, size_t* at, int* seconds) {
  if (*at < s.size() && (s[*at] == 'Z' || s[*at] == 'z')) {
    ++*at;
    *seconds = 0;
    return true;
  }
  if (*at >= s.size() || (s[*at] != '+' && s[*at] != '-')) return false;
  int sign = s[*at] == '-' ? -1 : 1;
  ++*at;
  int hours = 0, minutes = 0;
  if (!Digits(s, at, 2, 2, &hours) || hours > 23) return false;
  if (*at < s.size() && s[*at] == ':') ++*at;
  if (*at < s.size() && IsDigit(s[*at]) && (!Digits(s, at, 2, 2, &minutes) || minutes > 59)) return false;
  *seconds = sign * (hours * 3600 + minutes * 60);
  return true;
}

const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                               "july",    "august",   "september", "october", "november", "december"};

// An English month name, whole or cut to its first three letters, in any case.
bool MonthName(std::string_view s, size_t* at, int* month) {
  for (int m = 0; m < 12; ++m) {
    std::string_view name = kMonths[m];
    size_t n = 0;
    while (n < name.size() && *at + n < s.size() && Lower(s[*at + n]) == name[n]) ++n;
    // "Mar" and "March" both name March.
    if (n == name.size() || n == 3) {
      *at += n;
      *month = m + 1;
      return true;
    }
  }
  return false;
}

double Seconds(int year, int month, int day, int hour, int minute, int second, double fraction, int offset) {
  std::int64_t whole = DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 +
                       second - offset;
  return static_cast<double>(whole) + fraction;
}

bool ValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

}  // namespace

// Counts in eras of 400 years, so that every year's length comes out of
// whole-number arithmetic without tables.
std::int64_t DaysFromCivil(int year, int month, int day) {
  std::int64_t y = year - (month <= 2 ? 1 : 0);
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int* year, int* month, int* day) {
  days += 719468;
  std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  std::int64_t doe = days - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ParseIsoTime(std::string_view s, ParsedTime* out, IsoDateCache* cache) {
  // The fixed positions of YYYY-MM-DD are checked directly: this runs once
  // a row on files of millions of rows.
  if (s.size() < 10 || s[4] != '-' || s[7] != '-') return false;
  std::int64_t days = 0;
  if (cache && cache->valid && std::memcmp(cache->date, s.data(), 10) == 0) {
    days = cache->days;
  } else {
    size_t at = 0;
    int year = 0, month = 0, day = 0;
    if (!Digits(s, &at, 4, 4, &year) || at != 4) return false;
    at = 5;
    if (!Digits(s, &at, 2, 2, &month) || at != 7) return false;
    at = 8;
    if (!Digits(s, &at, 2, 2, &day) || at != 10 || !ValidDate(year, month, day)) return false;
    days = DaysFromCivil(year, month, day);
    if (cache) {
      std::memcpy(cache->date, s.data(), 10);
      cache->days = days;
      cache->valid = true;
    }
  }
  // The time of day stands at fixed places too: hh:mm from 11, :ss from 16.
  size_t at = 10;
  const size_t n = s.size();
  int hour = 0, minute = 0, second = 0, offset = 0;
  double fraction = 0;
  out->zoneGiven = false;
  if (at < n && (s[at] == 'T' || s[at] == ' ')) {
    if (n < 16 || !TwoDigits(s, 11, &hour) || hour > 23 || s[13] != ':' || !TwoDigits(s, 14, &minute) ||
        minute > 59)
      return false;
    at = 16;
    if (at < n && s[at] == ':') {
      if (n < 19 || !TwoDigits(s, 17, &second) || second > 59) return false;
      at = 19;
      if (at < n && (s[at] == '.' || s[at] == ',')) {
        ++at;
        if (!Fraction(s, &at, &fraction)) return false;
      }
    }
    if (at + 1 == n && (s[at] == 'Z' || s[at] == 'z')) {
      at = n;
      out->zoneGiven = true;
    } else if (at < n) {
      if (!Offset(s, &at, &offset)) return false;
      out->zoneGiven = true;
    }
  }
  if (at != s.size()) return false;
  std::int64_t whole = days * kSecondsPerDay + hour * 3600 + minute * 60 + second - offset;
  out->seconds = static_cast<double>(whole) + fraction;
  return true;
}

namespace {

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!IsDigit(c)) return false;
  return true;
}

bool Says(std::string_view header, const char* word) {
  size_t n = std::strlen(word);
  for (size_t i = 0; i + n <= header.size(); ++i) {
    size_t k = 0;
    while (k < n && Lower(header[i + k]) == word[k]) ++k;
    if (k == n) return true;
  }
  return false;
}

}  // namespace

bool ParseDigitTime(std::string_view s, DigitTime kind, double* seconds) {
  int f[6] = {0, 0, 0, 0, 0, 0};
  size_t at = 0;
  switch (kind) {
    case DigitTime::kNone:
      return false;
    case DigitTime::kDate:
    case DigitTime::kDateTime: {
      if (s.size() != (kind == DigitTime::kDate ? 8u : 14u) || !AllDigits(s)) return false;
      Digits(s, &at, 4, 4, &f[0]);
      for (int i = 1; at < s.size(); ++i) Digits(s, &at, 2, 2, &f[i]);
      if (!ValidDate(f[0], f[1], f[2]) || f[3] > 23 || f[4] > 59 || f[5] > 59) return false;
      *seconds = Seconds(f[0], f[1], f[2], f[3], f[4], f[5], 0, 0);
      return true;
    }
    case DigitTime::kUnix: {
      size_t point = s.find('.');
      std::string_view whole = s.substr(0, point);
      if (whole.size() != 10 || !AllDigits(whole)) return false;
      double fraction = 0;
      if (point != std::string_view::npos) {
        at = point + 1;
        if (!Fraction(s, &at, &fraction) || at != s.size()) return false;
      }
      double v = 0;
      for (char c : whole) v = v * 10 + (c - '0');
      *seconds = v + fraction;
      return true;
    }
  }
  return false;
}

DigitTime GuessDigitTime(std::string_view cell, std::string_view header) {
  if (Says(header, "sec") || Says(header, "(s)") || Says(header, "[s]")) return DigitTime::kNone;
  double seconds = 0;
  // Dates from 1800 to 2199: an 8-digit count outside them stays a count.
  auto plausible = [&](DigitTime kind) {
    return ParseDigitTime(cell, kind, &seconds) && cell.substr(0, 2) >= "18" && cell.substr(0, 2) <= "21";
  };
  if (cell.size() == 8 && plausible(DigitTime::kDate)) return DigitTime::kDate;
  if (cell.size() == 14 && plausible(DigitTime::kDateTime)) return DigitTime::kDateTime;
  if ((Says(header, "time") || Says(header, "epoch") || Says(header, "unix")) &&
      ParseDigitTime(cell, DigitTime::kUnix, &seconds))
    return DigitTime::kUnix;
  return DigitTime::kNone;
}

const char* DigitTimeLayout(DigitTime kind) {
  switch (kind) {
    case DigitTime::kDate: return "YYYYMMDD";
    case DigitTime::kDateTime: return "YYYYMMDDhhmmss";
    case DigitTime::kUnix: return "Unix time (seconds since 1970-01-01 00:00 UTC)";
    case DigitTime::kNone: break;
  }
  return "seconds";
}

std::string FormatIsoTime(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > 4e11) return "(no date)";
  double whole = std::floor(seconds);
  int millis = static_cast<int>(std::lround((seconds - whole) * 1000));
  if (millis == 1000) whole += 1, millis = 0;
  std::int64_t s = static_cast<std::int64_t>(whole);
  std::int64_t days = (s >= 0 ? s : s - (kSecondsPerDay - 1)) / kSecondsPerDay;
  std::int64_t inDay = s - days * kSecondsPerDay;
  int year = 0, month = 0, day = 0;
  CivilFromDays(days, &year, &month, &day);
  char buffer[48];
  int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                        static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
  if (millis > 0 && n > 0) std::snprintf(buffer + n, sizeof buffer - static_cast<size_t>(n), ".%03d", millis);
  return buffer;
}

bool TimeFormat::Compile(std::string_view format, std::string* error) {
  text_ = std::string(format);
  steps_.clear();
  twelveHour_ = false;
  std::string seen;
  const std::string fields = "YymdbBjHMSfpz";
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == ' ' || c == '\t') {
      if (steps_.empty() || steps_.back().field != ' ') steps_.push_back({' ', ' '});
      continue;
    }
    if (c != '%') {
      steps_.push_back({0, c});
      continue;
    }
    if (i + 1 >= format.size()) {
      *error = "--time-format " + text_ + ": a lone % at the end (write %% for a percent sign)";
      return false;
    }
    char f = format[++i];
    if (f == '%') {
      steps_.push_back({0, '%'});
      continue;
    }
    if (fields.find(f) == std::string::npos) {
      *error = "--time-format " + text_ + ": unknown field %" + std::string(1, f) +
               " (the fields are %Y %y %m %d %b %B %j %H %M %S %f %p %z)";
      return false;
    }
    // %b and %B both read a month, as do %m; %Y and %y both a year.
    char kind = f == 'B' || f == 'b' ? 'm' : f == 'y' ? 'Y' : f;
    if (seen.find(kind) != std::string::npos) {
      *error = "--time-format " + text_ + ": %" + std::string(1, f) + " gives a part of the time a second time";
      return false;
    }
    seen.push_back(kind);
    if (f == 'p') twelveHour_ = true;
    steps_.push_back({f, 0});
  }
  if (seen.empty() || seen == "p" || seen == "z") {
    *error = "--time-format " + text_ + ": the format has no field of a date or time (such as %Y %m %d %H %M %S)";
    return false;
  }
  if (twelveHour_ && seen.find('H') == std::string::npos) {
    *error = "--time-format " + text_ + ": %p (AM or PM) needs an hour, %H";
    return false;
  }
  return true;
}

bool TimeFormat::Parse(std::string_view s, ParsedTime* out) const {
  int year = 1970, month = 1, day = 1, yearDay = 0, hour = 0, minute = 0, second = 0, offset = 0;
  double fraction = 0;
  int pm = -1;
  bool zone = false;
  size_t at = 0;
  for (const Step& step : steps_) {
    switch (step.field) {
      case 0:
        if (at >= s.size() || s[at] != step.literal) return false;
        ++at;
        break;
      case ' ':
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
        break;
      case 'Y':
        if (!Digits(s, &at, 4, 4, &year)) return false;
        break;
      case 'y':
        // The POSIX rule: 69 to 99 are 1969 to 1999, 00 to 68 are 2000 to 2068.
        if (!Digits(s, &at, 2, 2, &year)) return false;
        year += year >= 69 ? 1900 : 2000;
        break;
      case 'm':
        if (!Digits(s, &at, 1, 2, &month)) return false;
        break;
      case 'b':
      case 'B':
        if (!MonthName(s, &at, &month)) return false;
        break;
      case 'd':
        if (!Digits(s, &at, 1, 2, &day)) return false;
        break;
      case 'j':
        if (!Digits(s, &at, 1, 3, &yearDay) || yearDay < 1) return false;
        break;
      case 'H':
        if (!Digits(s, &at, 1, 2, &hour)) return false;
        break;
      case 'M':
        if (!Digits(s, &at, 1, 2, &minute) || minute > 59) return false;
        break;
      case 'S':
        if (!Digits(s, &at, 1, 2, &second) || second > 59) return false;
        break;
      case 'f':
        if (!Fraction(s, &at, &fraction)) return false;
        break;
      case 'p':
        if (at + 2 > s.size() || Lower(s[at + 1]) != 'm') return false;
        if (Lower(s[at]) == 'a') pm = 0;
        else if (Lower(s[at]) == 'p') pm = 1;
        else return false;
        at += 2;
        break;
      case 'z':
        if (!Offset(s, &at, &offset)) return false;
        zone = true;
        break;
    }
  }
  if (at != s.size()) return false;
  if (twelveHour_) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (pm == 1 ? 12 : 0);
  } else if (hour > 23) {
    return false;
  }
  if (yearDay > 0) {
    bool leap = DaysInMonth(year, 2) == 29;
    if (yearDay > (leap ? 366 : 365) || year < 1 || year > 9999) return false;
    out->seconds = Seconds(year, 1, 1, hour, minute, second, fraction, offset) + (yearDay - 1) * 86400.0;
  } else {
    if (!ValidDate(year, month, day)) return false;
    out->seconds = Seconds(year, month, day, hour, minute, second, fraction, offset);
  }
  out->zoneGiven = zone;
  return true;
}

}  // namespace chart
