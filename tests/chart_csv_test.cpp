// The chart tool's CSV reader: bursts, missing samples, the time base and
// every message a malformed file gets, with its line and column.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "csv_reader.h"
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
      {"t,a,a\n", 0, "rec.csv, line 1, column 3 (\"a\"): the name \"a\" is already used by column 2"},
      {"t,a\n0,1\n1,abc\n", 0, "rec.csv, line 3, column 2 (\"a\"): \"abc\" is not a number"},
      {"t,a\n0,1\n1,inf\n", 0, "rec.csv, line 3, column 2 (\"a\"): \"inf\" is not a number"},
      {"t,a\n0,1\n1,2,3\n", 0, "rec.csv, line 3: expected 2 cells as in the header, found 3"},
      {"t,a,b\n0,1,2\n1,2\n", 0, "rec.csv, line 3: expected 3 cells as in the header, found 2"},
      {"t,a\n0,1\n,2\n", 0, "rec.csv, line 3, column 1 (\"t\"): the time is missing"},
      {"t,a\n0,1\n1s,2\n", 0, "rec.csv, line 3, column 1 (\"t\"): \"1s\" is not a time in seconds"},
      {"t,a\n0,1\n1,1\n0.5,1\n", 0,
       "rec.csv, line 4, column 1 (\"t\"): times must increase within a burst (0.5 s after 1 s)"},
      {"t,a\n0,1\n1,1\n\n1,1\n2,1\n", 0,
       "rec.csv, line 5, column 1 (\"t\"): this burst starts at 1 s, not after the end of the one "
       "before (1 s)"},
      {"t,a\n0,1\n\n5,1\n", 0,
       "rec.csv: no burst has two samples, so the sample interval is unknown (give --rate HZ for a "
       "file without a time column)"},
      {"a,b\n1,x\n", 10, "rec.csv, line 2, column 2 (\"b\"): \"x\" is not a number"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text, c.rate), c.message) << c.text;
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
