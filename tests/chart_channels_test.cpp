// Channels as people name them on the command line: whole header, name
// without the unit, any case when unambiguous, column number, quoted names
// holding commas; a name given twice is drawn once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_names.h"
#include "chart_plan.h"
#include "csv_reader.h"
#include "options.h"

namespace chart {
namespace {

TEST(ChartChannels, NamesResolveAsTheyAreTyped) {
  const std::vector<std::string> names = {"Temperature (\xB0" "C)", "pressure [hPa]", "pump", "flow, in (l/min)",
                                          "3", "Pump"};
  const struct {
    const char* asked;
    int index;
    const char* why;  // the start of the reason, for a refusal
  } cases[] = {
      {"Temperature (\xB0" "C)", 0, ""},
      {"Temperature", 0, ""},
      {"temperature", 0, ""},
      {"TEMPERATURE (\xB0" "c)", 0, ""},
      {"PRESSURE", 1, ""},
      {"pump", 2, ""},  // the exact name before the one in another case
      {"Pump", 5, ""},
      {"flow, in", 3, ""},
      {"3", 4, ""},     // a channel's own name before a column number
      {"1", 0, ""},
      {"6", 5, ""},
      {"PUMP", -1, "has more than one channel \"PUMP\" could name (\"pump\", \"Pump\")"},
      {"7", -1, "has no channel number 7 (its channels are numbered 1 to 6)"},
      {"0", -1, "has no channel number 0"},
      {"speed", -1, "has no channel \"speed\" (it has Temperature (\xB0" "C), pressure [hPa], pump,"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(ResolveChannel(names, c.asked, &why), c.index) << c.asked;
    EXPECT_EQ(why.substr(0, std::string(c.why).size()), c.why) << c.asked;
  }
}

TEST(ChartChannels, ListsQuoteNamesThatHoldCommas) {
  const struct {
    const char* text;
    bool ok;
    std::vector<std::string> names;
  } cases[] = {
      {"a,b", true, {"a", "b"}},
      {"a,\"b,c\",d", true, {"a", "b,c", "d"}},
      {"\"say \"\"hi\"\"\",x", true, {"say \"hi\"", "x"}},
      {"\"\"", true, {""}},
      {"a,,b", false, {}},
      {"a,", false, {}},
      {"\"a,b", false, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> names;
    EXPECT_EQ(SplitNames(c.text, ',', false, &names), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(names, c.names) << c.text;
    }
  }

  Recording r;
  ReadError e;
  ASSERT_TRUE(ParseCsv("time,\"flow, in (l/min)\",pump,T (\xB0" "C)\n0,1,0,20\n1,2,1,21\n", "rec.csv", {}, &r, &e))
      << e.message;
  const char* args[] = {"vorda-chart", "rec.csv", "-o", "c.bmp", "--channels", "\"flow, in\",T,3,pump,2"};
  Options o;
  std::string error;
  ASSERT_TRUE(ParseOptions(6, args, &o, &error)) << error;
  ChartPlan p;
  ASSERT_TRUE(PlanChart(r, o, &p, &error)) << error;
  EXPECT_EQ(p.series, (std::vector<int>{0, 2, 1}));  // each drawn once, in the order first named
  EXPECT_EQ(p.legend, (std::vector<std::string>{"flow, in (l/min)", "T (\xB0" "C)", "pump"}));
}

}  // namespace
}  // namespace chart
