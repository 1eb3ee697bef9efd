// Dates and times of the chart tool: ISO 8601 and --time-format layouts
// turned into seconds since 1970 UTC, the calendar ticks chosen for a span
// and their labels, and the time base of unevenly sampled recordings with
// their gaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar_ticks.h"
#include "csv_reader.h"
#include "options.h"
#include "time_parse.h"
#include "timeline.h"
#include "recording_samples.h"

namespace chart {
namespace {

// 2024-03-29 00:00:00 UTC.
constexpr double kDay29 = 1711670400;

double Iso(const std::string& text, bool* zone = nullptr) {
  ParsedTime t;
  EXPECT_TRUE(ParseIsoTime(text, &t)) << text;
  if (zone) *zone = t.zoneGiven;
  return t.seconds;
}

double Formatted(const std::string& format, const std::string& text) {
  TimeFormat f;
  std::string error;
  EXPECT_TRUE(f.Compile(format, &error)) << error;
  ParsedTime t;
  EXPECT_TRUE(f.Parse(text, &t)) << format << " " << text;
  return t.seconds;
}

TEST(ChartTime, CalendarArithmeticRoundTripsAcrossLeapYearsAndTheEpoch) {
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);  // 2000 was a leap year
  EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1);  // 1900 was not
  EXPECT_EQ(DaysFromCivil(2024, 3, 29) * 86400.0, kDay29);
  for (std::int64_t d = -800000; d < 3000000; d += 997) {
    int y, m, day;
    CivilFromDays(d, &y, &m, &day);
    ASSERT_EQ(DaysFromCivil(y, m, day), d);
  }
  EXPECT_EQ(FormatIsoTime(kDay29 + 45296.25), "2024-03-29 12:34:56.250");
  EXPECT_EQ(FormatIsoTime(-1), "1969-12-31 23:59:59");
}

TEST(ChartTime, IsoFormsAndOffsetsAllComeToUtc) {
  bool zone = true;
  EXPECT_EQ(Iso("2024-03-29", &zone), kDay29);
  EXPECT_FALSE(zone);
  EXPECT_EQ(Iso("2024-03-29 12:30"), kDay29 + 45000);
  EXPECT_EQ(Iso("2024-03-29T12:30:15"), kDay29 + 45015);
  EXPECT_DOUBLE_EQ(Iso("2024-03-29T12:30:15.125"), kDay29 + 45015.125);
  EXPECT_DOUBLE_EQ(Iso("2024-03-29 12:30:15,5"), kDay29 + 45015.5);
  EXPECT_EQ(Iso("2024-03-29T12:30Z", &zone), kDay29 + 45000);
  EXPECT_TRUE(zone);
  EXPECT_EQ(Iso("2024-03-29T14:30+02:00"), kDay29 + 45000);
  EXPECT_EQ(Iso("2024-03-29T07:00-0530"), kDay29 + 45000);
  EXPECT_EQ(Iso("2024-03-29T00:00:00+01"), kDay29 - 3600);
  ParsedTime t;
  for (const char* bad : {"2024-3-29", "2024-02-30", "2023-02-29", "2024-13-01", "2024-03-29 24:00",
                          "2024-03-29 12", "2024-03-29 12:60", "2024-03-29T12:00:00.", "2024-03-29 12:00 UTC",
                          "2024-03-29x", "20240329", "12:00", "", "2024-03-29T12:00+2"})
    EXPECT_FALSE(ParseIsoTime(bad, &t)) << bad;
  // The remembered date does not change what a row reads as.
  IsoDateCache cache;
  ASSERT_TRUE(ParseIsoTime("2024-03-29 01:00", &t, &cache));
  ASSERT_TRUE(ParseIsoTime("2024-03-30 01:00", &t, &cache));
  EXPECT_EQ(t.seconds, kDay29 + 86400 + 3600);
  EXPECT_FALSE(ParseIsoTime("2024-03-30 25:00", &t, &cache));
}

TEST(ChartTime, FormatsReadEveryField) {
  EXPECT_EQ(Formatted("%Y%m%d", "20240329"), kDay29);
  EXPECT_EQ(Formatted("%b-%d-%Y", "Mar-29-2024"), kDay29);
  EXPECT_EQ(Formatted("%d %B %Y", "29 march   2024"), kDay29);  // a space takes any blanks
  EXPECT_EQ(Formatted("%d.%m.%y %H:%M", "29.03.24 13:05"), kDay29 + 47100);
  EXPECT_EQ(Formatted("%d.%m.%y", "1.1.69"), DaysFromCivil(1969, 1, 1) * 86400.0);
  EXPECT_EQ(Formatted("%Y-%j", "2024-089"), kDay29);  // 2024 is a leap year
  EXPECT_EQ(Formatted("%m/%d/%Y %H:%M:%S %p", "03/29/2024 12:00:01 AM"), kDay29 + 1);
  EXPECT_EQ(Formatted("%m/%d/%Y %H %p", "3/29/2024 1 PM"), kDay29 + 13 * 3600);
  EXPECT_DOUBLE_EQ(Formatted("%H:%M:%S.%f", "00:00:01.000250"), 1.00025);
  EXPECT_EQ(Formatted("%Y-%m-%d %H:%M %z", "2024-03-29 14:00 +0200"), kDay29 + 43200);
  EXPECT_EQ(Formatted("100%% %Y", "100% 2024"), DaysFromCivil(2024, 1, 1) * 86400.0);

  TimeFormat f;
  std::string error;
  ASSERT_TRUE(f.Compile("%d.%m.%Y", &error));
  ParsedTime t;
  for (const char* bad : {"29.03.2024x", "29-03-2024", "31.04.2024", "29.3.24", "29.03."}) EXPECT_FALSE(f.Parse(bad, &t)) << bad;
  ASSERT_TRUE(f.Compile("%H %p", &error));
  EXPECT_FALSE(f.Parse("13 PM", &t));
  EXPECT_FALSE(f.Parse("0 AM", &t));

  struct Bad {
    const char* format;
    const char* message;
  };
  const Bad refused[] = {
      {"%Y-%Q", "--time-format %Y-%Q: unknown field %Q (the fields are %Y %y %m %d %b %B %j %H %M %S %f %p %z)"},
      {"%Y%", "--time-format %Y%: a lone % at the end (write %% for a percent sign)"},
      {"%m %b", "--time-format %m %b: %b gives a part of the time a second time"},
      {"date", "--time-format date: the format has no field of a date or time (such as %Y %m %d %H %M %S)"},
      {"%d %p", "--time-format %d %p: %p (AM or PM) needs an hour, %H"},
  };
  for (const Bad& b : refused) {
    EXPECT_FALSE(f.Compile(b.format, &error)) << b.format;
    EXPECT_EQ(error, b.message);
  }
}

struct Expected {
  double lo, hi;
  std::vector<std::string> labels;
  std::string context;
};

TEST(ChartTime, CalendarTicksFallOnRoundStepsWithReadableLabels) {
  const double h = 3600, d = 86400;
  const double y1995 = DaysFromCivil(1995, 1, 1) * d;
  const Expected cases[] = {
      {DaysFromCivil(1990, 1, 1) * d, DaysFromCivil(2022, 6, 28) * d, {"1990", "2000", "2010", "2020"}, ""},
      {y1995, DaysFromCivil(1995, 12, 31) * d, {"Jan", "Apr", "Jul", "Oct"}, "1995"},
      {DaysFromCivil(1994, 9, 15) * d, DaysFromCivil(1995, 5, 1) * d, {"Oct 1994", "Jan 1995", "Apr 1995"}, ""},
      {DaysFromCivil(1995, 3, 27) * d, DaysFromCivil(1995, 4, 20) * d, {"27 Mar", "3 Apr", "10 Apr", "17 Apr"}, "1995"},
      {kDay29 + 8 * h, kDay29 + 16 * h, {"08:00", "10:00", "12:00", "14:00", "16:00"}, "29 Mar 2024"},
      {kDay29 + 12 * h, kDay29 + 36 * h, {"12:00", "18:00", "30 Mar", "06:00", "12:00"}, "from 29 Mar 2024"},
      {kDay29 + 12 * h, kDay29 + 12 * h + 120, {"12:00:00", "12:00:30", "12:01:00", "12:01:30", "12:02:00"}, "29 Mar 2024"},
      {kDay29 + 1, kDay29 + 2, {"00:00:01.0", "00:00:01.5", "00:00:02.0"}, "29 Mar 2024"},
  };
  const int counts[] = {5, 5, 3, 5, 5, 5, 5, 3};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Expected& e = cases[i];
    CalendarTicks t = MakeCalendarTicks({e.lo, e.hi}, counts[i]);
    EXPECT_EQ(t.labels, e.labels) << i;
    EXPECT_EQ(t.context, e.context) << i;
    ASSERT_EQ(t.values.size(), t.labels.size());
    for (double v : t.values) {
      EXPECT_GE(v, e.lo) << i;
      EXPECT_LE(v, e.hi) << i;
    }
  }
  // Weeks start on Mondays: 27 Mar 1995 was one.
  CalendarTicks weeks = MakeCalendarTicks({DaysFromCivil(1995, 3, 25) * d, DaysFromCivil(1995, 4, 20) * d}, 4);
  ASSERT_FALSE(weeks.values.empty());
  EXPECT_EQ(weeks.values[0], DaysFromCivil(1995, 3, 27) * d);
  // Never more ticks than asked, at any span.
  for (double span = 0.01; span < 4e10; span *= 1.7)
    for (int count : {2, 4, 9}) EXPECT_LE(MakeCalendarTicks({kDay29, kDay29 + span}, count).values.size(), size_t(count)) << span;
  EXPECT_TRUE(MakeCalendarTicks({kDay29, kDay29}, 5).values.empty());
}

// Times of a file that means no dates (1e18 s is 3e10 years) get their
// ticks, or none, at once: the count of months once started at an
// overflowed year, and the count of milliseconds stood still where adding
// one step to 1e21 steps leaves it, both for minutes or for ever.
TEST(ChartTime, CalendarTicksOfTimesFarBeyondTheCalendarComeAtOnce) {
  const double spans[][2] = {{6.6e17, 1.3e18}, {-1.3e18, -6.6e17}, {-1e15, 1e15}, {3e11, 3.1e11}, {1e18, 1.0000000001e18}};
  for (const auto& s : spans) {
    CalendarTicks t = MakeCalendarTicks({s[0], s[1]}, 11);
    EXPECT_LE(t.values.size(), 11u) << s[0];
    EXPECT_EQ(t.labels.size(), t.values.size()) << s[0];
    for (double v : t.values) {
      EXPECT_GE(v, s[0]);
      EXPECT_LE(v, s[1]);
    }
  }
}

TEST(ChartTime, UnevenTimesKeepEveryTimeAndBreakAtLongSteps) {
  // Monthly values: 28 to 31 days apart, with a year missing in the middle.
  std::string text = "Date,v\n";
  for (int year : {2000, 2001, 2003})
    for (int month = 1; month <= 12; ++month) text += std::to_string(year) + "-" + (month < 10 ? "0" : "") + std::to_string(month) + "-01," + std::to_string(month) + "\n";
  Recording r;
  ReadError e;
  ASSERT_TRUE(ParseCsv(text, "m.csv", {}, &r, &e)) << e.message;
  EXPECT_TRUE(r.dated);
  EXPECT_FALSE(r.zoneGiven);
  ASSERT_EQ(vorda_test::TimesOf(r).size(), 36u);
  EXPECT_NEAR(r.sampleInc, 31 * 86400, 86400);  // the median month
  ASSERT_EQ(r.bursts.size(), 2u);  // cut at the missing year
  EXPECT_EQ(r.bursts[0].count, 24);
  EXPECT_EQ(r.bursts[1].first, 24);
  EXPECT_EQ(r.bursts[1].start, DaysFromCivil(2003, 1, 1) * 86400.0);
  EXPECT_EQ(BurstEnd(r, r.bursts[1]), DaysFromCivil(2003, 12, 1) * 86400.0);

  std::int64_t from = 0, to = 0, k = 0;
  const double jun2000 = DaysFromCivil(2000, 6, 1) * 86400.0;
  ASSERT_TRUE(SamplesWithin(r, r.bursts[0], {jun2000, jun2000 + 60 * 86400}, &from, &to));
  EXPECT_EQ(from, 5);
  EXPECT_EQ(to, 6);
  EXPECT_FALSE(SamplesWithin(r, r.bursts[1], {jun2000, jun2000 + 60 * 86400}, &from, &to));
  ASSERT_TRUE(NearestSample(r, r.bursts[0], jun2000 + 20 * 86400, &k));
  EXPECT_EQ(k, 6);  // 1 July is nearer than 1 June
  EXPECT_FALSE(NearestSample(r, r.bursts[0], DaysFromCivil(2002, 6, 1) * 86400.0, &k));  // in the gap

  // Dated rows an even minute apart keep the time-series form.
  Recording even;
  ASSERT_TRUE(ParseCsv("t,v\n2024-03-29T10:00Z,1\n2024-03-29T10:01Z,2\n2024-03-29T10:02Z,3\n", "e.csv", {}, &even, &e));
  EXPECT_FALSE(even.Uneven());
  EXPECT_TRUE(even.zoneGiven);
  EXPECT_DOUBLE_EQ(even.sampleInc, 60);
  EXPECT_EQ(even.bursts[0].start, kDay29 + 36000);
}

TEST(ChartTime, RangesAndCursorsTakeDatesWhoseTimesHoldColons) {
  Options o;
  std::string error;
  const char* args[] = {"vorda-chart", "r.csv", "-o", "c.png", "--xrange", "2024-03-29 12:00:2024-03-30T00:00Z",
                        "--cursor", "2024-03-29T18:30", "--time-format", "%Y%m%d %H%M"};
  ASSERT_TRUE(ParseOptions(10, args, &o, &error)) << error;
  EXPECT_TRUE(o.png);
  EXPECT_EQ(o.xRange.lo, kDay29 + 43200);
  EXPECT_EQ(o.xRange.hi, kDay29 + 86400);
  EXPECT_EQ(o.cursor, kDay29 + 66600);
  EXPECT_EQ(o.timeFormat, "%Y%m%d %H%M");
  const char* numbers[] = {"vorda-chart", "r.csv", "-o", "c.png", "--xrange", "-5:2024-01-01"};
  ASSERT_TRUE(ParseOptions(6, numbers, &o, &error)) << error;
  EXPECT_EQ(o.xRange.lo, -5);
  const char* reversed[] = {"vorda-chart", "r.csv", "-o", "c.png", "--xrange", "2024-03-30:2024-03-29"};
  EXPECT_FALSE(ParseOptions(6, reversed, &o, &error));
  const char* badFormat[] = {"vorda-chart", "r.csv", "-o", "c.png", "--time-format", "%Q"};
  EXPECT_FALSE(ParseOptions(6, badFormat, &o, &error));
  EXPECT_EQ(error.substr(0, 36), "--time-format %Q: unknown field %Q (");
  const char* withRate[] = {"vorda-chart", "r.csv", "-o", "c.png", "--time-format", "%Y", "--rate", "5"};
  EXPECT_FALSE(ParseOptions(8, withRate, &o, &error));
  EXPECT_EQ(error, "--time-format is for the CSV's time column, and --rate says there is none");
}

}  // namespace
}  // namespace chart
