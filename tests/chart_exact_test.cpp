// Long recordings are drawn from their summary: the chart must be the one
// every sample through the trace drivers gives, byte for byte, whatever
// the view, pen, axis or oddity of the data; and a summary kept in the
// cache is taken only for the very file and reading it was made from.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cache_store.h"
#include "chart_run.h"
#include "file_bytes.h"
#include "options.h"
#include "stderr_capture.h"
#include "surface.h"
#include "tarn.h"

namespace {

using ::testing::HasSubstr;

// A mono 16-bit WAV of `samples` at 1 MHz: noise on a slow sine, with
// single-sample spikes up and down; `seed` changes every sample.
void WriteWav(const std::string& path, int samples, uint32_t seed) {
  std::string bytes("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x42\x0F\0\x80\x84\x1E\0\x02\0\x10\0data\0\0\0\0",
                    44);
  const uint32_t data = static_cast<uint32_t>(samples) * 2, riff = data + 36;
  std::memcpy(&bytes[4], &riff, 4);
  std::memcpy(&bytes[40], &data, 4);
  uint32_t state = seed;
  for (int i = 0; i < samples; ++i) {
    state = state * 1664525u + 1013904223u;
    double v = 8000 * std::sin(i * 2e-5) + static_cast<double>(state >> 22) * 4 - 2048;
    if (i % 49999 == 17) v = 30000;
    if (i % 70001 == 5) v = -30000;
    const int16_t s = static_cast<int16_t>(v);
    bytes.append(reinterpret_cast<const char*>(&s), 2);
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// Three channels over two bursts (a pause in the times): a noisy level
// with a stretch of NA and infinities, a ramp, and a 0/1 state.
void WriteCsv(const std::string& path, int rows) {
  std::ofstream f(path, std::ios::binary);
  f << "time,level (m),ramp (m),pump\n";
  uint32_t state = 7;
  for (int i = 0; i < rows; ++i) {
    state = state * 1664525u + 1013904223u;
    const double t = (i < rows / 2 ? i : i + 5000) * 0.001;
    if (i == rows / 2) f << "\n";  // a blank line ends a burst
    f << t << ",";
    if (i > 1000 && i < 1100) f << "NA";
    else if (i % 40000 == 3) f << "inf";
    else if (i % 40000 == 9) f << "-inf";
    else f << (state >> 20) % 500 * 0.01;
    f << "," << i * 1e-5 << "," << ((i / 20000) % 2) << "\n";
  }
}

class ChartExactTest : public ::testing::Test {
 protected:
  void SetUp() override { tarn::host().Reset(); }
  void TearDown() override { tarn::host().Reset(); }

  // Runs the tool in this process; its stderr in *said.
  int Run(std::vector<std::string> args, std::string* said) {
    args.insert(args.begin(), "vorda-chart");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    chart::Options o;
    std::string error;
    if (!chart::ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &error)) {
      *said = error;
      return 2;
    }
    tarn::host().Reset();
    vorda_test::StderrCapture err;
    const int status = chart::RunChart(o);
    *said = err.Text();
    return status;
  }

  // The chart drawn from the summary, checked against every sample.
  std::vector<uint8_t> Compare(const std::string& name, const std::vector<std::string>& args) {
    const std::string out = vorda_test::TempPath("exact.bmp"), every = vorda_test::TempPath("every.bmp");
    std::vector<std::string> summary = args, all = args;
    summary.insert(summary.end(), {"-o", out, "--verbose", "--no-cache"});
    all.insert(all.end(), {"-o", every, "--every-sample"});
    std::string said;
    EXPECT_EQ(Run(summary, &said), 0) << name << ": " << said;
    // Every trace was drawn from the summary, or the comparison proves nothing.
    int fromSummary = -1, traces = -2;
    const size_t draw = said.find("draw ");
    if (draw != std::string::npos)
      std::sscanf(said.c_str() + draw, "draw %*f s (%d of %d traces", &fromSummary, &traces);
    EXPECT_EQ(fromSummary, traces) << name << ": " << said;
    EXPECT_GT(fromSummary, 0) << name;
    EXPECT_EQ(Run(all, &said), 0) << name << ": " << said;
    const std::vector<uint8_t> drawn = vorda_test::ReadBytes(out), expected = vorda_test::ReadBytes(every);
    EXPECT_GT(drawn.size(), 100000u) << name;
    size_t differ = 0;
    for (size_t i = 0; i < std::min(drawn.size(), expected.size()); ++i) differ += drawn[i] != expected[i];
    EXPECT_TRUE(drawn == expected) << name << ": " << differ << " bytes differ";
    DeleteFileA(out.c_str());
    DeleteFileA(every.c_str());
    return drawn;
  }
};

// Coloured pixels: a trace, not just the frame, was drawn.
size_t Coloured(const std::vector<uint8_t>& bmp) {
  size_t n = 0;
  for (size_t i = 54; i + 2 < bmp.size(); i += 4)
    n += bmp[i] != bmp[i + 1] || bmp[i + 1] != bmp[i + 2];
  return n;
}

TEST_F(ChartExactTest, ASummaryDrawsWhatEverySampleDraws) {
  const std::string wav = vorda_test::TempPath("exact.wav");
  WriteWav(wav, 1200000, 1);
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"the whole recording", {wav}},
      {"a wide chart", {wav, "--size", "2400x900px"}},
      {"a log axis, half of it at or below 0", {wav, "--log-y"}},
      // Fewer samples than pixels: a wider pen, drawn in MSPolyLine's own runs.
      {"zoomed to a thousand samples", {wav, "--xrange", "0.3001:0.30105"}},
      {"zoomed onto a spike", {wav, "--xrange", "0.04998:0.05003"}},
      {"zoomed to where blocks meet", {wav, "--xrange", "0.0999:0.1002"}},
      {"a value range that cuts the trace", {wav, "--yrange", "-3000:2000"}},
  };
  for (const Case& c : cases) EXPECT_GT(Coloured(Compare(c.name, c.args)), 500u) << c.name;

  const std::string csv = vorda_test::TempPath("exact.csv");
  WriteCsv(csv, 300000);
  EXPECT_GT(Coloured(Compare("channels in panels, a pause, NA and infinities", {csv})), 2000u);
  EXPECT_GT(Coloured(Compare("a dashed pen over a pause", {csv, "--panels", "one", "--xrange", "149.7:155.3"})),
            500u);
  DeleteFileA(wav.c_str());
  DeleteFileA(csv.c_str());
}

TEST_F(ChartExactTest, AKeptSummaryIsTakenOnlyForTheFileItWasMadeFrom) {
  const std::string wav = vorda_test::TempPath("kept.wav"), raw = vorda_test::TempPath("kept.raw");
  const std::string out = vorda_test::TempPath("kept.bmp");
  WriteWav(wav, 600000, 2);
  recording::FileIdentity id;
  ASSERT_TRUE(recording::IdentifyFile(wav, wav, &id));
  const recording::CacheStore store(recording::CacheStore::UserFolder());
  ASSERT_TRUE(store.enabled());
  DeleteFileA(store.FileFor(id).c_str());

  std::string said;
  ASSERT_EQ(Run({wav, "-o", out, "--verbose"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("(made)"));
  const std::vector<uint8_t> first = vorda_test::ReadBytes(out);
  ASSERT_EQ(Run({wav, "-o", out, "--verbose"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("(kept)"));
  EXPECT_TRUE(vorda_test::ReadBytes(out) == first);
  // --no-cache neither takes it nor keeps another.
  ASSERT_EQ(Run({wav, "-o", out, "--verbose", "--no-cache"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("(made)"));

  // A damaged file is said, rebuilt, and the chart is still the same.
  const std::string kept = store.FileFor(id);
  std::vector<uint8_t> bytes = vorda_test::ReadBytes(kept);
  ASSERT_GT(bytes.size(), 200u);
  bytes[bytes.size() / 2] ^= 0x40;
  std::ofstream(kept, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  ASSERT_EQ(Run({wav, "-o", out, "--verbose"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("was not taken"));
  EXPECT_THAT(said, HasSubstr("(made)"));
  EXPECT_TRUE(vorda_test::ReadBytes(out) == first);

  // The same file written anew with other samples, same size: its old
  // summary is not trusted.
  WriteWav(wav, 600000, 3);
  ASSERT_EQ(Run({wav, "-o", out, "--verbose"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("(made)"));
  const std::vector<uint8_t> second = vorda_test::ReadBytes(out);
  EXPECT_FALSE(second == first);
  ASSERT_EQ(Run({wav, "-o", out, "--every-sample"}, &said), 0) << said;
  EXPECT_TRUE(vorda_test::ReadBytes(out) == second);

  // The same bytes read another way (raw, scaled) have a summary of their own.
  CopyFileA(wav.c_str(), raw.c_str(), FALSE);
  ASSERT_EQ(Run({raw, "--raw", "int16le", "--rate", "1000", "-o", out, "--verbose"}, &said), 0) << said;
  EXPECT_THAT(said, HasSubstr("(made)"));
  ASSERT_EQ(Run({raw, "--raw", "int16le", "--rate", "1000", "--scale", "2", "-o", out, "--verbose"}, &said), 0)
      << said;
  EXPECT_THAT(said, HasSubstr("was not taken"));
  const std::vector<uint8_t> scaled = vorda_test::ReadBytes(out);
  ASSERT_EQ(Run({raw, "--raw", "int16le", "--rate", "1000", "--scale", "2", "-o", out, "--every-sample"}, &said), 0);
  EXPECT_TRUE(vorda_test::ReadBytes(out) == scaled);
  for (const std::string& f : {wav, raw, out}) DeleteFileA(f.c_str());
}

}  // namespace
