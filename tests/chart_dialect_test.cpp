// CSV as spreadsheets and loggers write it: the delimiter found from the
// header, decimal commas with semicolons, RFC 4180 quoting, comment lines,
// padded columns, and the faults of such files named by line and column.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "csv_dialect.h"
#include "csv_reader.h"
#include "options.h"
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
      {"t,a\nnot a time,1\n", "x.csv, line 2, column 1 (\"t\"): \"not a time\" is not a time: give "
       "seconds, an ISO 8601 date and time (YYYY-MM-DD, or YYYY-MM-DD hh:mm, hh:mm:ss or hh:mm:ss.fff, after T or a "
       "space, then Z or an offset such as +02:00 if the zone is known), or the layout of the times with --time-format"},
      {"t,a\n2024-03-29 08:00,1\n2024-03-29 10:00,1\n2024-03-29 09:00,1\n",
       "x.csv, line 4, column 1 (\"t\"): times must increase within a burst (2024-03-29 09:00:00 UTC after "
       "2024-03-29 10:00:00 UTC)"},
      {"t,a\n0,1\n1,2\n1,3\n0,4\n", "x.csv, line 5, column 1 (\"t\"): times must increase within a burst (0 s after 1 s)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Refusal(c.text), c.message) << c.text;
}

TEST(ChartDialect, TheCommandLineSaysWhatTheFileLeavesOpen) {
  auto parse = [](std::vector<const char*> args, Options* o, std::string* error) {
    args.insert(args.begin(), "vorda-chart");
    args.insert(args.end(), {"-o", "x.png"});
    return ParseOptions(static_cast<int>(args.size()), args.data(), o, error);
  };
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"-", "--time", "seconds", "--no-header", "--delimiter", "tab", "--decimal", ",",
                     "--missing", "-999,n.v.", "--skip-bad-lines"},
                    &o, &error))
      << error;
  EXPECT_EQ(o.input, "-");
  EXPECT_TRUE(o.timeSeconds);
  EXPECT_EQ(o.header, -1);
  EXPECT_EQ(o.delimiter, '\t');
  EXPECT_EQ(o.decimal, ',');
  EXPECT_EQ(o.missing, (std::vector<std::string>{"-999", "n.v."}));
  EXPECT_TRUE(o.skipBadLines);
  ASSERT_TRUE(parse({"a.txt", "--header", "--delimiter=|", "--delimiter", "space"}, &o, &error)) << error;
  EXPECT_EQ(o.header, 1);
  EXPECT_EQ(o.delimiter, ' ');

  struct Case {
    std::vector<const char*> args;
    const char* message;
  };
  const Case refused[] = {
      {{"a", "--time", "dates"}, "--time dates: give --time seconds to read a time column of digits as seconds "
                                 "(use --time-format for a layout of dates)"},
      {{"a", "--delimiter", "ab"}, "--delimiter ab: give one character such as , ; | or the word tab or space"},
      {{"a", "--delimiter", "\""}, "--delimiter \": give one character such as , ; | or the word tab or space"},
      {{"a", "--decimal", ";"}, "--decimal ;: give . or ,"},
      {{"a", "--delimiter", ",", "--decimal", ","}, "--delimiter and --decimal cannot both be ,"},
      {{"a", "--missing", "NA,,x"}, "--missing NA,,x: give the words for a missing value separated by commas"},
      {{"a", "--time", "seconds", "--rate", "10"}, "--time seconds is for the CSV's time column, and --rate says there is none"},
      {{"a", "--time", "seconds", "--time-format", "%Y"}, "--time seconds and --time-format say two ways to read the times: give one"},
  };
  for (const Case& c : refused) {
    EXPECT_FALSE(parse(c.args, &o, &error)) << c.message;
    EXPECT_EQ(error, c.message);
  }
}

TEST(ChartDialect, NumbersWithMarksAndWordsAreReadOrRefusedCellByCell) {
  CsvDialect semicolon = DetectDialect("t;a");
  CsvDialect tab = DetectDialect("0\t1,5");
  CsvDialect comma;
  CsvDialect point;
  point.decimalGiven = true;
  EXPECT_EQ(tab.delimiter, '\t');                  // the commas stand between digits
  EXPECT_EQ(DetectDialect("a,b\tc,d").delimiter, ',');
  struct Case {
    const CsvDialect& dialect;
    const char* cell;
    Cell kind;
    double value;
  };
  const Case cases[] = {
      {semicolon, "1.234.567,25", Cell::kNumber, 1234567.25},
      {semicolon, "1.5", Cell::kNumber, 1.5},  // one mark alone is the decimal one
      {semicolon, "12.34,5", Cell::kBad, 0},   // thousands come in threes
      {semicolon, "1.2345,5", Cell::kBad, 0},
      {tab, "-0,25", Cell::kNumber, -0.25},
      {tab, "1,2,3", Cell::kBad, 0},
      {comma, "1,234", Cell::kBad, 0},         // a thousand, or one and a quarter: not guessed
      {point, "1,234", Cell::kNumber, 1234},
      {point, "1,234,567.5", Cell::kNumber, 1234567.5},
      {point, "1234,567", Cell::kBad, 0},
      {point, ",5", Cell::kBad, 0},
      {comma, "#n/a", Cell::kEmpty, 0},
      {comma, "NULL", Cell::kEmpty, 0},
      {comma, "--", Cell::kBad, 0},
      {comma, "-inf", Cell::kNumber, -INFINITY},
      {comma, "NaNa", Cell::kBad, 0},
  };
  for (const Case& c : cases) {
    double v = 0;
    EXPECT_EQ(ParseNumber(c.cell, c.dialect, &v), c.kind) << c.cell;
    if (c.kind == Cell::kNumber) {
      EXPECT_EQ(v, c.value) << c.cell;
    }
  }
  bool changed = true;
  EXPECT_EQ(EightBitName("\xC2\xB5m \xC2\x85|\x01", &changed), "\xB5m ?|?");  // control characters too
  EXPECT_TRUE(changed);
  EXPECT_EQ(EightBitName("plain \xC2\xB0""C", &changed), "plain \xB0""C");
  EXPECT_FALSE(changed);
}

}  // namespace
}  // namespace chart
