// Ticks of a time axis of dates: on round calendar steps (years, quarters,
// months, weeks, days, hours, minutes, seconds and their parts) chosen from
// the span, labelled as people read them ("1995", "Mar 1995", "29 Mar",
// "12:00", "12:00:30"), with what the labels leave out (the year, the
// date) said once as the context. Times are seconds since 1970-01-01 UTC.
// Pure.
#pragma once

#include <string>
#include <vector>

#include "axes.h"

namespace chart {

struct CalendarTicks {
  std::vector<double> values;
  std::vector<std::string> labels;
  std::string context;  // "1995", "29 Mar 1995", "from 29 Mar 1995" or empty
};

// The finest calendar step that puts at most `maxCount` ticks in `range`.
CalendarTicks MakeCalendarTicks(Range range, int maxCount);

}  // namespace chart
