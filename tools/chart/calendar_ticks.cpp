#include "calendar_ticks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "time_parse.h"

namespace chart {
namespace {

constexpr double kDaySeconds = 86400;
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

enum class Unit { kSubSecond, kSecond, kMinute, kHour, kDay, kWeek, kMonth, kYear };

struct Step {
  Unit unit;
  double size;  // seconds for fixed steps, months or years otherwise
};

// Every step a tick may take, finest first. Steps of a day or less divide
// a day evenly, so that their ticks meet midnight.
const Step kSteps[] = {
    {Unit::kSubSecond, 0.001}, {Unit::kSubSecond, 0.002}, {Unit::kSubSecond, 0.005},
    {Unit::kSubSecond, 0.01},  {Unit::kSubSecond, 0.02},  {Unit::kSubSecond, 0.05},
    {Unit::kSubSecond, 0.1},   {Unit::kSubSecond, 0.2},   {Unit::kSubSecond, 0.5},
    {Unit::kSecond, 1},        {Unit::kSecond, 2},        {Unit::kSecond, 5},
    {Unit::kSecond, 10},       {Unit::kSecond, 15},       {Unit::kSecond, 30},
    {Unit::kMinute, 60},       {Unit::kMinute, 120},      {Unit::kMinute, 300},
    {Unit::kMinute, 600},      {Unit::kMinute, 900},      {Unit::kMinute, 1800},
    {Unit::kHour, 3600},       {Unit::kHour, 7200},       {Unit::kHour, 10800},
    {Unit::kHour, 21600},      {Unit::kHour, 43200},      {Unit::kDay, kDaySeconds},
    {Unit::kDay, 2 * kDaySeconds},    {Unit::kWeek, 7 * kDaySeconds},   {Unit::kWeek, 14 * kDaySeconds},
    {Unit::kMonth, 1},         {Unit::kMonth, 3},         {Unit::kMonth, 6},
    {Unit::kYear, 1},          {Unit::kYear, 2},          {Unit::kYear, 5},
    {Unit::kYear, 10},         {Unit::kYear, 20},         {Unit::kYear, 50},
    {Unit::kYear, 100},        {Unit::kYear, 200},        {Unit::kYear, 500},
    {Unit::kYear, 1000},
};

struct Civil {
  int year, month, day;
  int secondOfDay;
  double fraction;
};

Civil ToCivil(double t) {
  double days = std::floor(t / kDaySeconds);
  double inDay = t - days * kDaySeconds;
  Civil c{};
  CivilFromDays(static_cast<std::int64_t>(days), &c.year, &c.month, &c.day);
  double whole = std::floor(inDay + 1e-6);
  c.secondOfDay = static_cast<int>(whole);
  c.fraction = inDay - whole;
  if (c.fraction < 0) c.fraction = 0;
  return c;
}

double FromCivil(int year, int month) { return static_cast<double>(DaysFromCivil(year, month, 1)) * kDaySeconds; }

// Up to `limit` + 1 ticks of the step in the range: one more than allowed
// shows the step is too fine.
std::vector<double> Place(const Step& step, Range r, size_t limit) {
  std::vector<double> ticks;
  if (step.unit == Unit::kMonth || step.unit == Unit::kYear) {
    // No month is ticked after 9999; and a time so far from the calendar
    // that its year does not fit an int would start the count of months
    // anywhere, perhaps billions of months before the range.
    if (!(r.lo < FromCivil(10000, 1)) || r.lo < FromCivil(-1000000, 1)) return ticks;
    Civil c = ToCivil(r.lo);
    int months = static_cast<int>(step.unit == Unit::kYear ? step.size * 12 : step.size);
    std::int64_t m = static_cast<std::int64_t>(c.year) * 12 + (c.month - 1);
    m -= ((m % months) + months) % months;  // back to a round month
    for (; ticks.size() <= limit; m += months) {
      int year = static_cast<int>(m >= 0 ? m / 12 : -((-m + 11) / 12));
      int month = static_cast<int>(m - static_cast<std::int64_t>(year) * 12) + 1;
      if (year > 9999) break;
      double t = FromCivil(year, month);
      if (t > r.hi) break;
      if (t >= r.lo) ticks.push_back(t);
    }
    return ticks;
  }
  // Weeks begin on Mondays; 1970-01-05 was one.
  double origin = step.unit == Unit::kWeek ? 4 * kDaySeconds : 0;
  double first = std::ceil((r.lo - origin) / step.size - 1e-9);
  double last = std::floor((r.hi - origin) / step.size + 1e-9);
  // Beyond 2^53 steps from zero ++k leaves k as it is: the count of
  // steps is bounded instead, by the ticks that can fit and the two of
  // the slack that may fall just outside the range.
  double tried = 0;
  for (double k = first; k <= last && ticks.size() <= limit && tried < static_cast<double>(limit) + 3; ++k, ++tried) {
    // The slack above lets a time that is a step's multiple but for
    // rounding have its tick; the tick itself must not leave the range.
    double t = origin + k * step.size;
    if (t >= r.lo && t <= r.hi) ticks.push_back(t);
  }
  return ticks;
}

std::string DayMonth(const Civil& c) { return std::to_string(c.day) + " " + kMonthNames[c.month - 1]; }
std::string Date(const Civil& c) { return DayMonth(c) + " " + std::to_string(c.year); }

std::string Clock(const Civil& c, bool seconds, int decimals) {
  char b[40];
  int h = c.secondOfDay / 3600, m = c.secondOfDay / 60 % 60, s = c.secondOfDay % 60;
  if (!seconds) {
    std::snprintf(b, sizeof b, "%02d:%02d", h, m);
  } else if (decimals == 0) {
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", h, m, s);
  } else {
    std::snprintf(b, sizeof b, "%02d:%02d:%0*.*f", h, m, decimals + 3, decimals, s + c.fraction);
  }
  return b;
}

}  // namespace

CalendarTicks MakeCalendarTicks(Range range, int maxCount) {
  CalendarTicks out;
  if (!(range.hi > range.lo) || !std::isfinite(range.lo) || !std::isfinite(range.hi)) return out;
  if (maxCount < 2) maxCount = 2;
  const size_t limit = static_cast<size_t>(maxCount);
  const Step* chosen = nullptr;
  for (const Step& step : kSteps) {
    std::vector<double> ticks = Place(step, range, limit);
    if (ticks.size() <= limit) {
      chosen = &step;
      out.values = std::move(ticks);
      break;
    }
  }
  if (!chosen || out.values.empty()) return out;

  std::vector<Civil> civil;
  for (double t : out.values) civil.push_back(ToCivil(t));
  const Civil& first = civil.front();
  bool oneYear = true, oneDay = true;
  for (const Civil& c : civil) {
    oneYear &= c.year == first.year;
    oneDay &= c.year == first.year && c.month == first.month && c.day == first.day;
  }
  int decimals = 0;
  if (chosen->unit == Unit::kSubSecond)
    decimals = static_cast<int>(std::lround(-std::floor(std::log10(chosen->size) + 1e-9)));

  for (const Civil& c : civil) {
    switch (chosen->unit) {
      case Unit::kYear:
        out.labels.push_back(std::to_string(c.year));
        break;
      case Unit::kMonth:
        out.labels.push_back(oneYear ? std::string(kMonthNames[c.month - 1])
                                     : std::string(kMonthNames[c.month - 1]) + " " + std::to_string(c.year));
        break;
      case Unit::kDay:
      case Unit::kWeek:
        out.labels.push_back(oneYear ? DayMonth(c) : Date(c));
        break;
      default:
        // Times of day; a tick at midnight names the new day instead.
        if (!oneDay && c.secondOfDay == 0 && c.fraction == 0) out.labels.push_back(DayMonth(c));
        else out.labels.push_back(Clock(c, chosen->unit <= Unit::kSecond, decimals));
        break;
    }
  }
  if (chosen->unit == Unit::kMonth || chosen->unit == Unit::kDay || chosen->unit == Unit::kWeek) {
    if (oneYear) out.context = std::to_string(first.year);
  } else if (chosen->unit != Unit::kYear) {
    out.context = oneDay ? Date(first) : "from " + Date(first);
  }
  return out;
}

}  // namespace chart
