// The stand-in host's channels and progress objects, and the probe's faults,
// through the C operations vorda calls: the trace drivers' tests rely on them.
#include "tarnapi.h"
#include "host_test.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;

class TarnHostTest : public HostTest {
 protected:
  tarn::Host& h = tarn::host();
};

TEST_F(TarnHostTest, ChannelsReadWhatIsThereFromTheSeekPosition) {
  tarn::Handle c = h.NewChannel(3, 0.5, {{1.5, 10, 12}});
  h.SetSamples(c, 10, {1, 2, 3, 4, 5, 6});
  double out[8] = {};
  struct Case {
    int seek, count, copied;
    std::vector<double> values;
  };
  const Case cases[] = {
      {10, 2, 2, {1, 2, 3, 4}}, {11, 5, 2, {3, 4, 5, 6}}, {13, 1, 0, {}}, {9, 1, 0, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.seek);
    ASSERT_EQ(tarnChannelDataSeek(c, k.seek, "POSITION_ABSOLUTE"), 1);
    ASSERT_EQ(tarnChannelGetDataDouble(c, k.count, out), k.copied);
    EXPECT_EQ(std::vector<double>(out, out + k.values.size()), k.values);
  }
  // Reads go on where the last one stopped.
  tarnChannelDataSeek(c, 10, "POSITION_ABSOLUTE");
  tarnChannelGetDataDouble(c, 1, out);
  EXPECT_EQ(h.Position(c), 11);
  ASSERT_EQ(tarnChannelGetDataDouble(c, 1, out), 1);
  EXPECT_EQ(out[0], 3);

  EXPECT_EQ(tarnChannelDataSeek(c, 10, "POSITION_RELATIVE"), 0);
  EXPECT_EQ(tarnChannelDataSeek(c, 10, nullptr), 0);
  EXPECT_EQ(tarnChannelDataSeek(h.NewObject(), 10, "POSITION_ABSOLUTE"), 0);
  EXPECT_EQ(tarnChannelGetDataDouble(c, 1, nullptr), 0);

  int numDims = 0, last = 0, bursts = 0;
  double inc = 0, base = 0;
  EXPECT_TRUE(tarnObjectGetLong(c, "NumDims", 0, -1, &numDims) && numDims == 3);
  EXPECT_TRUE(tarnObjectGetDouble(c, "SampleInc", 0, -1, &inc) && inc == 0.5);
  EXPECT_TRUE(tarnObjectGetDouble(c, "BurstBase", 0, 0, &base) && base == 1.5);
  EXPECT_TRUE(tarnObjectGetLong(c, "BurstEndScan", 0, 0, &last) && last == 12);
  EXPECT_TRUE(tarnObjectGetSize(c, "BurstBase", 0, -1, &bursts) && bursts == 1);
  EXPECT_EQ(tarnObjectGetLong(c, "BurstEndScan", 0, 1, &last), 0);
}

TEST_F(TarnHostTest, GeneratorChannelsReachTheWholeScanRangeWithoutHoldingIt) {
  tarn::Handle c = h.NewChannel(2, 1, {{0, 0, 2000000000}});
  h.SetGenerator(c, 0, 2000000000, [](int first, int count, double* out) {
    for (int k = 0; k < count; ++k) out[k] = static_cast<double>(first) + k;
  });
  double out[4] = {};
  ASSERT_EQ(tarnChannelDataSeek(c, 1999999998, "POSITION_ABSOLUTE"), 1);
  ASSERT_EQ(tarnChannelGetDataDouble(c, 4, out), 3);
  EXPECT_THAT(out, ElementsAre(1999999998.0, 1999999999.0, 2000000000.0, 0.0));
}

TEST_F(TarnHostTest, FaultsFailOrShortenTheCallsTheyMatch) {
  tarn::Handle a = ScanChannel(2, 1, {{0, 0, 99}});
  tarn::Handle b = ScanChannel(2, 1, {{0, 0, 99}});
  double out[10];
  probe_.AddFault({"tarnChannelGetDataDouble", "", 1, 1, b, 3});
  probe_.AddFault({"tarnChannelDataSeek", "", 0, 2, a});
  EXPECT_EQ(tarnChannelDataSeek(b, 0, "POSITION_ABSOLUTE"), 1);
  EXPECT_EQ(tarnChannelDataSeek(a, 0, "POSITION_ABSOLUTE"), 0);
  EXPECT_EQ(tarnChannelDataSeek(a, 0, "POSITION_ABSOLUTE"), 0);
  EXPECT_EQ(tarnChannelDataSeek(a, 0, "POSITION_ABSOLUTE"), 1);
  EXPECT_EQ(tarnChannelGetDataDouble(a, 10, out), 10);
  EXPECT_EQ(tarnChannelGetDataDouble(b, 10, out), 10);  // skipped
  EXPECT_EQ(tarnChannelGetDataDouble(b, 10, out), 7);   // short by 3
  EXPECT_EQ(out[0], 10);
  EXPECT_EQ(tarnChannelGetDataDouble(b, 10, out), 10);
  EXPECT_EQ(probe_.CallCount("tarnChannelGetDataDouble"), 4);

  probe_.AddFault({"tarnObjectSetString", "Data"});
  EXPECT_EQ(tarnObjectSetString(a, "Data", 0, -1, "x", 1), 0);
  EXPECT_EQ(tarnObjectSetString(a, "Data", 0, -1, "a\0b", 3), 1);
  EXPECT_EQ(std::get<tarn::Bytes>(*h.Find(a, "Data")), std::string("a\0b", 3));
}

TEST_F(TarnHostTest, ProgressObjectsRecordTheirCallsAndCanStopTheWork) {
  EXPECT_EQ(tarnProgressNew(12345, "Drawing"), 0u);
  HostObject p = tarnProgressNew(h.Root(), "Drawing");
  ASSERT_NE(p, 0u);
  int calls = 0;
  probe_.SetProgressAnswer([&](const tarn::ProgressCall& c) { return ++calls < 2 && c.done < c.total; });
  EXPECT_EQ(tarnProgress(p, 1, 10), 1);
  EXPECT_EQ(tarnProgress(p, 2, 10), 0);
  EXPECT_EQ(tarnProgress(12345, 3, 10), 0);  // not a progress object
  EXPECT_EQ(ProgressValues(), (std::vector<std::pair<double, double>>{{1, 10}, {2, 10}}));
  tarnObjectSetCString(p, "ProgressText", 0, -1, "");
  EXPECT_EQ(tarnObjectDelete(p), 1);
  ASSERT_EQ(DeletedProgress().size(), 1u);
  EXPECT_EQ(std::get<tarn::Bytes>(DeletedProgress()[0].properties.at("ProgressText")), "");
  EXPECT_EQ(tarnObjectDelete(p), 0);
}

TEST_F(TarnHostTest, TheHostsOwnProgressHandlerCanStopTheWorkWhileTheProbeStillSeesEveryCall) {
  HostObject p = tarnProgressNew(h.Root(), "Drawing");
  bool stop = false;
  h.SetProgressHandler([&](const tarn::ProgressCall&) { return stop ? 0 : 1; });
  EXPECT_EQ(tarnProgress(p, 1, 10), 1);
  stop = true;
  EXPECT_EQ(tarnProgress(p, 2, 10), 0);
  EXPECT_EQ(ProgressValues(), (std::vector<std::pair<double, double>>{{1, 10}, {2, 10}}));
  // A reset drops the handler with the objects.
  h.Reset();
  p = tarnProgressNew(h.Root(), "Drawing");
  EXPECT_EQ(tarnProgress(p, 3, 10), 1);
}

TEST_F(TarnHostTest, ReportsReachTheErrorSinkAsTheyArriveAndStayInTheLog) {
  std::vector<std::string> heard;
  h.SetErrorSink([&](const tarn::ErrorRecord& r) { heard.push_back(std::to_string(r.object) + " " + r.message); });
  h.SetErrorResult(5);
  EXPECT_EQ(tarnObjectError(host_, "first"), 5);
  EXPECT_EQ(heard, std::vector<std::string>{std::to_string(host_) + " first"});
  h.SetErrorSink(nullptr);
  EXPECT_EQ(tarnObjectError(host_, "second"), 5);
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"first", "second"}));
}

}  // namespace
}  // namespace vorda_test
