// CSV as spreadsheets and loggers write it: the delimiter found from the
// header, decimal commas with semicolons, RFC 4180 quoting, comment lines,
// padded columns, and the faults of such files named by line and column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_dialect.h"
#include "csv_reader.h"
#include "recording_samples.h"

namespace chart {
namespace {

Recording Read(const std::string& text) {
  Recording r;
  ReadError e;
  EXPECT_TRUE(ParseCsv(text, "x.csv", {}, &r, &e)) << e.message;
  return r;
}

std::string Refusal(const std::string& text) {
  Recording r;
  ReadError e;
  EXPECT_FALSE(ParseCsv(text, "x.csv", {}, &r, &e));
  return e.message;
}

std::vector<std::string> Names(const Recording& r) {
  std::vector<std::string> names;
  for (const Channel& c : r.channels) names.push_back(c.name);
  return names;
}

TEST(ChartDialect, TheHeaderLineChoosesTheDelimiter) {
  EXPECT_EQ(DetectDialect("t,a,b").delimiter, ',');
  EXPECT_EQ(DetectDialect("t;a;b").delimiter, ';');
  EXPECT_TRUE(DetectDialect("t;a;b").decimalComma);
  EXPECT_EQ(DetectDialect("t\ta\tb").delimiter, '\t');
  EXPECT_FALSE(DetectDialect("t\ta\tb").decimalComma);
  EXPECT_EQ(DetectDialect("\"a;b\",c").delimiter, ',');  // quoted delimiters do not count
  EXPECT_EQ(DetectDialect("\"Temp, C\";\"Druck, hPa\"").delimiter, ';');
  EXPECT_EQ(DetectDialect("time").delimiter, ',');
}

TEST(ChartDialect, NamesInUtf8AreDrawnInEightBitText) {
  EXPECT_EQ(EightBitName("Temp (\xC2\xB0""C)"), "Temp (\xB0""C)");
  EXPECT_EQ(EightBitName("Gew\xC3\xA4""chshaus \xE2\x82\xAC"), "Gew\xE4""chshaus ?");
  EXPECT_EQ(EightBitName("caf\xE9"), "caf\xE9");        // already 8-bit: not UTF-8
  EXPECT_EQ(EightBitName("\xC3"), "\xC3");              // cut short
  EXPECT_EQ(Names(Read("t,\xC2\xB5m\n0,1\n1,2\n")), (std::vector<std::string>{"\xB5m"}));
}

TEST(ChartDialect, SpreadsheetFilesReadAsTheirAuthorsMeantThem) {
  // A European export: byte-order mark, comments, semicolons, decimal
  // commas, quoted names with the delimiter and doubled quotes inside,
  // CRLF, and empty columns padding every row.
  Recording eu = Read(
      "\xEF\xBB\xBF# Logger 7\r\n# exported 2024-03-29\r\n\r\n"
      "\"Zeit (s)\";\"Temp; \"\"innen\"\"\";Druck;;\r\n"
      "0;21,5;1013,25;;\r\n0,5;-0,75;1013;;\r\n1;;1012,5\r\n");
  EXPECT_EQ(eu.timeName, "Zeit (s)");
  EXPECT_EQ(Names(eu), (std::vector<std::string>{"Temp; \"innen\"", "Druck"}));
  EXPECT_EQ(vorda_test::SamplesOf(eu, 0), (std::vector<double>{21.5, -0.75, kMissingSample}));
  EXPECT_EQ(vorda_test::SamplesOf(eu, 1), (std::vector<double>{1013.25, 1013, 1012.5}));
  EXPECT_DOUBLE_EQ(eu.sampleInc, 0.5);

  // Tabs, with quoted numbers and blanks around cells.
  Recording tabs = Read("t\t\"a\"\tb\n0\t\"1.5\"\t 2 \n1\t3\t\"\"\n");
  EXPECT_EQ(vorda_test::SamplesOf(tabs, 0), (std::vector<double>{1.5, 3}));
  EXPECT_EQ(vorda_test::SamplesOf(tabs, 1), (std::vector<double>{2, kMissingSample}));

  // The fast way through plain rows and the general way give the same
  // numbers: exponents, many digits, signs, NaN, blanks.
  Recording mixed = Read("t,a\n0,1e3\n1,0.1234567890123456789\n2,+7\n3,-0.0\n4,nan\n5, 2.5\n6,.25\n");
  EXPECT_EQ(vorda_test::SamplesOf(mixed, 0),
            (std::vector<double>{1000, 0.1234567890123456789, 7, -0.0, kMissingSample, 2.5, 0.25}));
}

TEST(ChartDialect, MalformedSpreadsheetFilesNameTheLineAndColumn) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"t;a\n0;1\n1;1.2,3\n", "x.csv, line 3, column 2 (\"a\"): \"1.2,3\" is not a number"},
      {"t,a\n0,\"1\n", "x.csv, line 2: a quoted cell is not closed where it ends (quotes go around a whole cell, and a quoted cell cannot hold a line break)"},
      {"t,a\n0,\"1\"x\n", "x.csv, line 2: a quoted cell is not closed where it ends (quotes go around a whole cell, and a quoted cell cannot hold a line break)"},
      {"# only a comment\n", "x.csv is empty: it needs a header row of channel names"},
      {"t,a,,b\n", "x.csv, line 1, column 3: the header gives this column no name"},
      {"t,a,,\n0,1,,5\n", "x.csv, line 2: expected 2 cells as in the header, found 4"},
      {"t,a\n# not a comment,1\n", "x.csv, line 2, column 1 (\"t\"): \"# not a comment\" is not a time: give "
       "seconds, an ISO 8601 date and time (YYYY-MM-DD, or YYYY-MM-DD hh:mm, hh:mm:ss or hh:mm:ss.fff, after T or a "
       "space, then Z or an offset such as +02:00 if the zone is known), or the layout of the times with --time-format"},
      {"t,a\n2024-03-29 10:00,1\n2024-03-29 09:00,1\n",
       "x.csv, line 3, column 1 (\"t\"): times must increase within a burst (2024-03-29 09:00:00 UTC after "
       "2024-03-29 10:00:00 UTC)"},
      {"t,a\n0,1\n1,2\n1,3\n", "x.csv, line 4, column 1 (\"t\"): times must increase within a burst (1 s after 1 s)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Refusal(c.text), c.message) << c.text;
}

}  // namespace
}  // namespace chart
