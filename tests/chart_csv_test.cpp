// The chart tool's CSV reader: bursts, missing samples, the time base and
// every message a malformed file gets, with its line and column.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "csv_reader.h"
#include "time_parse.h"
#include "timeline.h"
#include "surface.h"
#include "recording_samples.h"

namespace chart {
namespace {

Recording Parse(const std::string& text, double rate = 0) {
  Recording r;
  ReadError e;
  EXPECT_TRUE(ParseCsv(text, "rec.csv", CsvOptions{rate}, &r, &e)) << e.message;
  return r;
}

std::string ErrorOf(const std::string& text, double rate = 0) {
  Recording r;
  ReadError e;
  EXPECT_FALSE(ParseCsv(text, "rec.csv", CsvOptions{rate}, &r, &e));
  return e.message;
}

TEST(ChartCsv, BurstsMissingSamplesAndTheTimeBase) {
  // CRLF line ends, a byte-order mark, quoted names, spaces around cells,
  // two blank lines between bursts and a trailing blank line.
  Recording r = Parse(
      "\xEF\xBB\xBF\"time (s)\", a ,b\r\n"
      "0.0,1,10\r\n0.1,2,\r\n0.2,3,30\r\n\r\n\r\n"
      "1.0, -4 ,NaN\r\n1.1,+5,50\r\n\r\n");
  ASSERT_EQ(r.channels.size(), 2u);
  EXPECT_EQ(r.timeName, "time (s)");
  EXPECT_EQ(r.channels[0].name, "a");
  EXPECT_EQ(r.channels[1].name, "b");
  EXPECT_EQ(vorda_test::SamplesOf(r, 0), (std::vector<double>{1, 2, 3, -4, 5}));
  EXPECT_EQ(vorda_test::SamplesOf(r, 1),
            (std::vector<double>{10, kMissingSample, 30, kMissingSample, 50}));
  ASSERT_EQ(r.bursts.size(), 2u);
  EXPECT_DOUBLE_EQ(r.bursts[0].start, 0.0);
  EXPECT_EQ(r.bursts[0].first, 0);
  EXPECT_EQ(r.bursts[0].count, 3);
  EXPECT_DOUBLE_EQ(r.bursts[1].start, 1.0);
  EXPECT_EQ(r.bursts[1].first, 3);
  EXPECT_EQ(r.bursts[1].count, 2);
  EXPECT_NEAR(r.sampleInc, 0.1, 1e-12);
}

TEST(ChartCsv, RateMeansNoTimeColumnAndBurstsFollowOnInTime) {
  Recording r = Parse("x,y\n1,2\n3,4\n\n5,6\n", 50);
  ASSERT_EQ(r.channels.size(), 2u);
  EXPECT_EQ(r.channels[0].name, "x");
  EXPECT_TRUE(r.timeName.empty());
  EXPECT_DOUBLE_EQ(r.sampleInc, 0.02);
  ASSERT_EQ(r.bursts.size(), 2u);
  EXPECT_DOUBLE_EQ(r.bursts[1].start, 0.04);  // the third sample's time
  EXPECT_EQ(vorda_test::SamplesOf(r, 1), (std::vector<double>{2, 4, 6}));
}

TEST(ChartCsv, SpacingIsJudgedWithinASmallTolerance) {
  // Times rounded to three decimals (a third of a second apart) and jitter
  // of 0.5% are even; 2% off is uneven, and every time is kept.
  Recording thirds = Parse("t,a\n0,1\n0.333,1\n0.667,1\n1.000,1\n1.333,1\n");
  EXPECT_NEAR(thirds.sampleInc, 1.0 / 3, 1e-3);
  EXPECT_FALSE(thirds.Uneven());
  EXPECT_FALSE(Parse("t,a\n0,1\n1,1\n2.005,1\n3,1\n").Uneven());
  EXPECT_EQ(vorda_test::TimesOf(Parse("t,a\n0,1\n1,1\n2.02,1\n3,1\n")), (std::vector<double>{0, 1, 2.02, 3}));
  // Every burst shares one interval, or the recording is uneven.
  Recording two = Parse("t,a\n0,1\n1,1\n\n5,1\n7,1\n");
  EXPECT_EQ(vorda_test::TimesOf(two), (std::vector<double>{0, 1, 5, 7}));
  ASSERT_EQ(two.bursts.size(), 2u);
  EXPECT_EQ(two.bursts[1].start, 5);
}

TEST(ChartCsv, MalformedFilesNameTheLineAndColumn) {
  struct Case {
    const char* text;
    double rate;
    const char* message;
  };
  const Case cases[] = {
      {"", 0, "rec.csv is empty: it needs a header row of channel names"},
      {"\n\n", 0, "rec.csv is empty: it needs a header row of channel names"},
      {"t,a\n", 0, "rec.csv has a header but no samples"},
      {"t\n0\n", 0,
       "rec.csv, line 1: the header names no channel (the first column is time; give --rate HZ if "
       "the file has no time column)"},
      {"t,a,\n", 0, "rec.csv has a header but no samples"},  // a padded header, not a nameless column
      {"t,a,a\n", 0, "rec.csv has a header but no samples"},  // "a" twice is "a", "a (2)"
      {"t,a\n0,1\n1,abc\n", 0, "rec.csv, line 3, column 2 (\"a\"): \"abc\" is not a number"},
      {"t,a\n0,1\n1,1e999\n", 0, "rec.csv, line 3, column 2 (\"a\"): \"1e999\" is not a number"},
      {"t,a\n0,1\n1,2,3\n", 0, "rec.csv, line 3: expected 2 cells as in the header, found 3"},
      {"t,a,b\n0,1,2\n1,2\n", 0, "rec.csv, line 3: expected 3 cells as in the header, found 2"},
      {"t,a\n0,1\n,2\n", 0, "rec.csv, line 3, column 1 (\"t\"): the time is missing"},
      {"t,a\n0,1\n1s,2\n", 0, "rec.csv, line 3, column 1 (\"t\"): \"1s\" is not a time in seconds"},
      {"t,a\n0,1\n1,1\n0.5,1\n", 0,
       "rec.csv, line 4, column 1 (\"t\"): times must increase within a burst (0.5 s after 1 s)"},
      {"t,a\n0,1\n1,1\n\n0.5,1\n2,1\n", 0,
       "rec.csv, line 5, column 1 (\"t\"): this burst starts at 0.5 s, before the end of the one "
       "before (1 s)"},
      {"t,a\n0,1\n\n5,1\n", 0,
       "rec.csv: no burst has two samples, so the sample interval is unknown (give --rate HZ for a "
       "file without a time column)"},
      {"a,b\n1,x\n", 10, "rec.csv, line 2, column 2 (\"b\"): \"x\" is not a number"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text, c.rate), c.message) << c.text;
}

// Options as the table below writes them: "skip", "header", "no-header",
// "seconds", "decimal=,", "missing=W" (one word), separated by spaces.
CsvOptions OptionsOf(const std::string& flags) {
  CsvOptions o;
  size_t at = 0;
  while (at < flags.size()) {
    size_t space = flags.find(' ', at);
    std::string f = flags.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? flags.size() : space + 1;
    if (f == "skip") o.skipBadLines = true;
    else if (f == "header") o.header = CsvOptions::Header::kPresent;
    else if (f == "no-header") o.header = CsvOptions::Header::kAbsent;
    else if (f == "seconds") o.timeSeconds = true;
    else if (f.rfind("decimal=", 0) == 0) o.decimal = f[8];
    else if (f.rfind("missing=", 0) == 0) o.missing.push_back(f.substr(8));
    else ADD_FAILURE() << "unknown flag " << f;
  }
  return o;
}

double Day(int y, int m, int d) { return static_cast<double>(DaysFromCivil(y, m, d)) * 86400; }

TEST(ChartCsv, ExportsAsPeopleWriteThemReadWithWhatWasDecided) {
  const double M = kMissingSample, I = INFINITY;
  struct Case {
    const char* text;
    const char* flags;
    const char* names;           // channels, joined by "|"
    std::vector<double> first;   // the first channel's samples
    std::vector<double> times;   // the time of every sample
    const char* note;            // in the notes ("" for none at all)
  };
  const Case cases[] = {
      // Dates written as digits, guessed and said.
      {"date,co2\n19580329,316.1\n19580405,317.3\n19580412,\n", "", "co2", {316.1, 317.3, M},
       {Day(1958, 3, 29), Day(1958, 4, 5), Day(1958, 4, 12)}, "holds dates written YYYYMMDD, such as 19580329"},
      {"stamp,v\n20240329235950,1\n20240330000000,2\n", "", "v", {1, 2},
       {Day(2024, 3, 29) + 86390, Day(2024, 3, 30)}, "YYYYMMDDhhmmss"},
      {"unix_time,v\n1700000000,1\n1700000060,2\n", "", "v", {1, 2}, {1700000000, 1700000060}, "Unix time"},
      {"t,v\n1700000000,1\n1700000060,2\n", "", "v", {1, 2}, {1700000000, 1700000060}, ""},
      {"date,co2\n19580329,316.1\n19580405,317.3\n", "seconds", "co2", {316.1, 317.3}, {19580329, 19580405}, ""},
      {"time (s),v\n20240101,1\n20240102,2\n", "", "v", {1, 2}, {20240101, 20240102}, ""},
      // A first row of numbers is data.
      {"1.5,20\n2.5,21\n3.5,22\n", "", "column 2", {20, 21, 22}, {1.5, 2.5, 3.5}, "read as data"},
      {"0,5,0\n1,6,0\n", "", "column 2|column 3", {5, 6}, {0, 1}, "column 2"},
      {"1.5,20\n2.5,21\n3.5,22\n", "header", "20", {21, 22}, {2.5, 3.5}, ""},
      {"t,a\n0,1\n1,2\n", "no-header", "", {}, {}, ""},  // refused: "t" is no time
      // Missing values as people write them, and infinities.
      {"t,a\n0,NA\n1,N/A\n2,#N/A\n3,null\n4,-\n5,NaN\n6,1\n", "", "a", {M, M, M, M, M, M, 1},
       {0, 1, 2, 3, 4, 5, 6}, ""},
      {"t,a\n0,-999\n1,n.v.\n2,3\n", "missing=-999 missing=n.v.", "a", {M, M, 3}, {0, 1, 2}, ""},
      {"t,a\n0,inf\n1,-inf\n2,1\n", "", "a", {I, -I, 1}, {0, 1, 2}, ""},
      {"#N/A,1\n2,3\n3,4\n", "", "1", {3, 4}, {2, 3}, ""},  // "#N/A" is no comment
      // Dialects.
      {"t\ta\n0\t1,5\n1\t-2,25\n", "", "a", {1.5, -2.25}, {0, 1}, ""},
      {"0\t1,5\n1\t2,5\n", "", "column 2", {1.5, 2.5}, {0, 1}, "read as data"},
      {"t;a\n0;1.234,5\n1;1.5\n", "", "a", {1234.5, 1.5}, {0, 1}, ""},
      {"t\ta\n0\t1.234\n1\t12.345.678\n", "decimal=,", "a", {1234, 12345678}, {0, 1}, ""},
      {"t,a\n0,\"1,234.5\"\n1,\"-12,000\"\n", "decimal=.", "a", {1234.5, -12000}, {0, 1}, ""},
      {"t,a\n# calibrated\n0,1\n  # again\n1,2\n", "", "a", {1, 2}, {0, 1}, ""},
      // Order and duplicates.
      {"date,close\n2024-03-29,3\n2024-03-28,2\n2024-03-27,1\n", "", "close", {1, 2, 3},
       {Day(2024, 3, 27), Day(2024, 3, 28), Day(2024, 3, 29)}, "newest first"},
      {"t,a\n3,3\n2,2\n\n1,1\n0,0\n", "", "a", {0, 1, 2, 3}, {0, 1, 2, 3}, "newest first"},
      {"t,a\n0,1\n1,2\n1,3\n2,4\n", "", "a", {1, 2, 3, 4}, {0, 1, 1, 2}, ""},
      {"t,flow,flow,flow (2)\n0,1,2,3\n1,1,2,3\n", "", "flow|flow (2)|flow (2) (2)", {1, 1}, {0, 1},
       "drawn as \"flow (2)\", \"flow (2) (2)\""},
      // Bad lines skipped and named.
      {"t,a\n0,1\n1,x\n2,3\n3\n4,4\n", "skip", "a", {1, 3, 4}, {0, 2, 4},
       "rec.csv, line 3, column 2 (\"a\"): \"x\" is not a number; line skipped"},
      // Names the 8-bit text cannot show.
      {"t,10\xE2\x81\xB8 m\xC2\xB3\n0,1\n1,2\n", "", "10? m\xB3", {1, 2}, {0, 1}, "cannot show some characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Recording r;
    ReadError e;
    bool ok = ParseCsv(c.text, "rec.csv", OptionsOf(c.flags), &r, &e);
    ASSERT_EQ(ok, *c.names != 0) << e.message;
    if (!ok) continue;
    std::string names;
    for (const Channel& ch : r.channels) names += (names.empty() ? "" : "|") + ch.name;
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(vorda_test::SamplesOf(r, 0), c.first);
    std::vector<double> times;
    for (const Burst& b : r.bursts)
      for (std::int64_t k = 0; k < b.count; ++k) times.push_back(TimeOf(r, b, k));
    ASSERT_EQ(times.size(), c.times.size());
    for (size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], c.times[i], 1e-6) << i;
    std::string notes;
    for (const std::string& n : r.notes) notes += n + "\n";
    if (*c.note) EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
    else EXPECT_EQ(notes, "");
  }
}

TEST(ChartCsv, GuessesAndSkipsHaveTheirLimitsAndWords) {
  struct Case {
    const char* text;
    const char* flags;
    const char* message;
  };
  const Case cases[] = {
      {"date,v\n19580329,1\n19580332,2\n", "",
       "rec.csv, line 3, column 1 (\"date\"): \"19580332\" is not a date written YYYYMMDD as the first times are "
       "(give --time seconds if the times are seconds)"},
      {"t,a\n3,1\n2,1\n4,1\n", "",
       "rec.csv, line 4, column 1 (\"t\"): the rows run newest first, but this time comes after the one before "
       "(4 s after 2 s)"},
      {"t,a\n1,1\n1,2\n", "", "rec.csv: the times never advance, so the sample interval is unknown"},
      {"t\ta\n0\t1.234,5\n", "", "rec.csv, line 2, column 2 (\"a\"): \"1.234,5\" is not a number (give --decimal , or "
                                 "--decimal . to say which mark is the decimal one)"},
      {"t;a\n0;1.23,5\n", "", "rec.csv, line 2, column 2 (\"a\"): \"1.23,5\" is not a number"},
      {"1,2\n2,x\n", "", "rec.csv, line 2, column 2: \"x\" is not a number"},
      {"t,a\nx,1\ny,2\n", "skip", "rec.csv has a header but no samples"},
  };
  for (const Case& c : cases) {
    Recording r;
    ReadError e;
    EXPECT_FALSE(ParseCsv(c.text, "rec.csv", OptionsOf(c.flags), &r, &e)) << c.text;
    EXPECT_EQ(e.message, c.message) << c.text;
  }

  // Twenty bad lines are named, the rest counted; the good rows are kept.
  std::string text = "t,a\n";
  for (int i = 0; i < 50; ++i) text += std::to_string(i) + (i % 2 ? ",bad\n" : ",1\n");
  Recording r;
  ReadError e;
  ASSERT_TRUE(ParseCsv(text, "rec.csv", OptionsOf("skip"), &r, &e)) << e.message;
  EXPECT_EQ(r.SampleCount(), 25);
  ASSERT_EQ(r.notes.size(), static_cast<size_t>(kNamedBadLines) + 1);
  EXPECT_EQ(r.notes[0], "rec.csv, line 3, column 2 (\"a\"): \"bad\" is not a number; line skipped");
  EXPECT_EQ(r.notes.back(), "rec.csv: 5 more bad lines skipped (25 in all)");
}

TEST(ChartCsv, FileReaderCutsLinesAcrossItsChunksLikeTheTextParser) {
  // Over a mebibyte, so that lines straddle the reader's chunks; the last
  // line has no line end.
  std::string text = "time,value\n";
  for (int i = 0; i < 120000; ++i) text += std::to_string(i * 0.001) + "," + std::to_string(i % 977) + "\n";
  text += "120,5";
  std::string path = vorda_test::TempPath("chart_csv_big.csv");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);

  Recording fromFile, fromText;
  ReadError e;
  ASSERT_TRUE(ReadCsvFile(path, "big.csv", {}, &fromFile, &e)) << e.message;
  ASSERT_TRUE(ParseCsv(text, "big.csv", {}, &fromText, &e)) << e.message;
  ASSERT_EQ(fromFile.SampleCount(), 120001);
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 0), vorda_test::SamplesOf(fromText, 0));
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 0)[119999], 119999 % 977);
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 0)[120000], 5);
  std::remove(path.c_str());

  EXPECT_FALSE(ReadCsvFile(path, "gone.csv", {}, &fromFile, &e));
  EXPECT_EQ(e.message, "cannot open gone.csv for reading");
}

}  // namespace
}  // namespace chart
