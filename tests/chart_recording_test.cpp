// Recordings read in place: WAV and RF64 headers, raw files, reads that
// cross the read buffer, a file that changes while it is charted, and the
// same pixels as a chart of the samples held in memory.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "chart_plan.h"
#include "chart_run.h"
#include "interleaved_source.h"
#include "raw_reader.h"
#include "summary.h"
#include "recording_samples.h"
#include "surface.h"
#include "tarn.h"
#include "wav_reader.h"

namespace chart {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;
using vorda_test::SamplesOf;

void Put(Bytes& b, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void Tag(Bytes& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(t[i]));
}

// A WAV or RF64 file: 16-bit PCM unless told, its data chunk announcing
// `announced` bytes (the real length when negative).
struct Wav {
  bool rf64 = false;
  unsigned tag = 1, channels = 1, bits = 16;
  Bytes data;
  long long announced = -1;
  std::uint64_t riffSize = 0;  // RF64's ds64: 0 means the right size

  Bytes Build() const {
    const std::uint64_t length = announced < 0 ? data.size() : static_cast<std::uint64_t>(announced);
    Bytes b;
    Tag(b, rf64 ? "RF64" : "RIFF");
    Put(b, rf64 ? 0xFFFFFFFFu : 0, 4);
    Tag(b, "WAVE");
    if (rf64) {
      Tag(b, "ds64");
      Put(b, 28, 4);
      Put(b, riffSize ? riffSize : 4 + 36 + 8 + 28 + 8 + length, 8);
      Put(b, length, 8);
      Put(b, length / (channels * bits / 8), 8);
      Put(b, 0, 4);
    }
    Tag(b, "fmt ");
    Put(b, 16, 4);
    Put(b, tag, 2);
    Put(b, channels, 2);
    Put(b, 1000, 4);
    Put(b, 1000 * channels * bits / 8, 4);
    Put(b, channels * bits / 8, 2);
    Put(b, bits, 2);
    Tag(b, "data");
    Put(b, rf64 ? 0xFFFFFFFFu : length, 4);
    for (std::uint8_t x : data) b.push_back(x);
    return b;
  }
};

Bytes Int16s(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) Put(b, static_cast<std::uint16_t>(v), 2);
  return b;
}

TEST(ChartRecording, WavAndRf64HeadersAreReadOrRefusedByName) {
  struct Case {
    const char* what;
    Wav wav;
    std::vector<double> first;  // channel 1, when read
    std::string message;        // the refusal, or the note of a short file
  };
  Wav rf64{true, 1, 1, 16, Int16s({16384, -32768, 1})};
  Wav shortRf64 = rf64;
  shortRf64.announced = 4000000000000;
  Wav contradicting = rf64;
  contradicting.riffSize = 4;
  Wav shortWav{false, 1, 2, 16, Int16s({1, 2, 3, 4, 5, 6})};
  shortWav.announced = 100000000;
  Wav placeholder{false, 1, 1, 16, Int16s({7, 8})};
  placeholder.announced = 0xFFFFFFFF;
  const Case cases[] = {
      {"RF64 with its sizes in ds64", rf64, {0.5, -1, 1 / 32768.0}, ""},
      {"RF64 shorter than ds64 says", shortRf64, {0.5, -1, 1 / 32768.0},
       "big.wav: the file ends after 3 of the 2000000000000 samples its header announces; charting those"},
      {"ds64 against itself", contradicting, {},
       "big.wav: the RF64 file's ds64 chunk gives sizes that contradict each other (RIFF 4 bytes, data 6 bytes)"},
      {"WAV shorter than its header", shortWav, {1 / 32768.0, 3 / 32768.0, 5 / 32768.0},
       "big.wav: the file ends after 3 of the 25000000 samples its header announces; charting those"},
      {"a streaming recorder's placeholder length", placeholder, {7 / 32768.0, 8 / 32768.0}, ""},
      {"A-law", Wav{false, 6, 1, 8, Bytes{1, 2}}, {},
       "big.wav: the WAV holds A-law (format 6), which is not supported; vorda-chart reads PCM of 8, 16, 24 or 32 "
       "bits and 32-bit float"},
      {"a partial frame only", Wav{false, 1, 2, 16, Bytes{1, 2, 3}}, {}, "big.wav: the WAV holds no samples"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes b = c.wav.Build();
    Recording r;
    ReadError e;
    const bool read = ParseWav(b.data(), b.size(), "big.wav", &r, &e);
    ASSERT_EQ(read, !c.first.empty()) << e.message;
    if (!read) {
      EXPECT_EQ(e.message, c.message);
      continue;
    }
    EXPECT_EQ(SamplesOf(r, 0), c.first);
    EXPECT_EQ(r.bursts[0].count, static_cast<std::int64_t>(c.first.size()));
    EXPECT_EQ(r.notes, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
  }
}

TEST(ChartRecording, RawFilesAreDecodedScaledAndCheckedForWholeFrames) {
  struct Case {
    const char* encoding;
    Bytes bytes;
    std::vector<std::string> names;
    double scale, offset;
    std::vector<double> second;  // the last channel; empty: refused with `message`
    std::string message;
  };
  const Case cases[] = {
      {"int8", {0x80, 0x7F}, {"a", "b"}, 1, 0, {127}, ""},
      {"uint8", {0, 255}, {}, 2, -1, {-1, 509}, ""},
      {"int16le", {0x01, 0x80, 0xFF, 0x7F}, {}, 1, 0, {-32767, 32767}, ""},
      {"int16be", {0x80, 0x01, 0x00, 0x02}, {}, 0.5, 10, {-16383.5 + 10, 2 * 0.5 + 10}, ""},
      {"int32le", {0xFE, 0xFF, 0xFF, 0xFF}, {}, 1, 0, {-2}, ""},
      {"float32le", {0x00, 0x00, 0xC0, 0x3F}, {}, 1, 0, {1.5}, ""},
      {"float64le", {0, 0, 0, 0, 0, 0, 0x04, 0xC0}, {}, 1e-3, 0, {-2.5e-3}, ""},
      {"int16le", {1, 2, 3, 4, 5, 6}, {"a", "b"}, 1, 0, {},
       "log.bin: 6 bytes is not a whole number of 4-byte frames (2 channels of 2-byte samples)"},
      {"int16le", {}, {}, 1, 0, {}, "log.bin: the raw recording is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    RawOptions o;
    ASSERT_TRUE(recording::EncodingByName(c.encoding, &o.encoding));
    o.rate = 50;
    o.names = c.names;
    o.scale = c.scale;
    o.offset = c.offset;
    Recording r;
    ReadError e;
    ASSERT_EQ(ParseRaw(c.bytes, "log.bin", o, &r, &e), !c.second.empty()) << e.message;
    if (c.second.empty()) {
      EXPECT_EQ(e.message, c.message);
      continue;
    }
    ASSERT_EQ(r.channels.size(), c.names.empty() ? 1u : c.names.size());
    EXPECT_EQ(r.channels.back().name, c.names.empty() ? "ch1" : c.names.back());
    EXPECT_EQ(SamplesOf(r, static_cast<int>(r.channels.size()) - 1), c.second);
    EXPECT_DOUBLE_EQ(r.sampleInc, 0.02);
  }
}

// The command line describes a raw file; what does not describe one whole
// is refused before anything is read.
TEST(ChartRecording, TheCommandLineDescribesARawFile) {
  const std::string path = vorda_test::TempPath("log.bin");
  {
    std::ofstream f(path, std::ios::binary);
    for (std::int16_t v : {100, -4, 200, -8, 300, -12}) f.write(reinterpret_cast<const char*>(&v), 2);
  }
  const char* good[] = {"vorda-chart", path.c_str(), "-o", "x.png", "--raw", "INT16LE", "--rate=100",
                        "--names", "flow,level", "--scale", "0.5", "--offset=-1"};
  Options o;
  std::string error;
  ASSERT_TRUE(ParseOptions(12, good, &o, &error)) << error;
  Recording r;
  ReadError e;
  ASSERT_TRUE(LoadRecording(o, &r, &e)) << e.message;
  ASSERT_EQ(r.channels.size(), 2u);
  EXPECT_EQ(r.channels[1].name, "level");
  EXPECT_EQ(SamplesOf(r, 0), (std::vector<double>{49, 99, 149}));
  EXPECT_EQ(SamplesOf(r, 1), (std::vector<double>{-3, -5, -7}));
  EXPECT_DOUBLE_EQ(r.sampleInc, 0.01);

  struct Refusal {
    std::vector<const char*> args;
    const char* message;
  };
  const Refusal refusals[] = {
      {{"--raw", "int24le", "--rate", "1"},
       "--raw int24le: give the samples' encoding, one of int8, uint8, int16le, int16be, int32le, float32le or "
       "float64le"},
      {{"--raw", "int8"}, "--raw needs the sample rate: give --rate HZ"},
      {{"--names", "a,b"}, "--names, --scale and --offset describe a raw recording; give --raw ENCODING too"},
      {{"--raw", "int8", "--rate", "1", "--names", "a,,b"}, "--names a,,b: give channel names separated by commas"},
      {{"--raw", "int8", "--rate", "1", "--scale", "0"},
       "--scale 0: give the factor from stored numbers to units, a number other than 0"},
  };
  for (const Refusal& c : refusals) {
    std::vector<const char*> argv = {"vorda-chart", "log.bin", "-o", "x.png"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    EXPECT_FALSE(ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &error)) << c.message;
    EXPECT_EQ(error, c.message);
  }
}

// Reads that start and end anywhere, across the read buffer's edges, give
// the samples as stored, a channel at a time or all at once.
TEST(ChartRecording, ReadsAcrossTheBufferGiveTheStoredSamples) {
  const int channels = 3;
  const std::int64_t frames = recording::kReadBufferBytes / (channels * 2) * 2 + 77;
  Bytes data;
  for (std::int64_t k = 0; k < frames; ++k)
    for (int c = 0; c < channels; ++c) Put(data, static_cast<std::uint16_t>(k * 7 + c * 1000), 2);
  auto expected = [](std::int64_t k, int c) { return static_cast<std::int16_t>(k * 7 + c * 1000) / 32768.0; };
  Wav w{false, 1, static_cast<unsigned>(channels), 16, data};
  const Bytes b = w.Build();
  Recording r;
  ReadError e;
  ASSERT_TRUE(ParseWav(b.data(), b.size(), "rec.wav", &r, &e)) << e.message;
  ASSERT_EQ(r.SampleCount(), frames);
  const std::int64_t edge = recording::kReadBufferBytes / (channels * 2);
  std::string error;
  for (std::int64_t first : {std::int64_t{0}, edge - 5, 2 * edge - 1, frames - 3}) {
    const std::int64_t count = std::min<std::int64_t>(edge + 9, frames - first);
    std::vector<double> one(static_cast<size_t>(count)), all(static_cast<size_t>(count * channels));
    ASSERT_TRUE(r.source->Read(2, first, count, one.data(), &error)) << error;
    ASSERT_TRUE(r.source->ReadFrames(first, count, all.data(), &error)) << error;
    for (std::int64_t k = 0; k < count; ++k) {
      ASSERT_EQ(one[static_cast<size_t>(k)], expected(first + k, 2)) << first << "+" << k;
      for (int c = 0; c < channels; ++c)
        ASSERT_EQ(all[static_cast<size_t>(k * channels + c)], expected(first + k, c)) << first << "+" << k;
    }
  }
  double x = 0;
  EXPECT_FALSE(r.source->Read(0, frames, 1, &x, &error));
  EXPECT_FALSE(r.source->Read(3, 0, 1, &x, &error));
  EXPECT_EQ(error, "rec.wav has no channel 4");
}

// The summary pass over a file of integers works from the integers as
// stored; across reads, short last leaves, every way the lanes and the
// channels meet, and readings that make integers into 0 and 1 with others
// between, the missing-sample value or infinities, it gives the very
// summary the values read give.
TEST(ChartRecording, ASummaryOfStoredIntegersIsTheSummaryOfTheirValues) {
  using recording::Encoding;
  struct Case {
    Encoding encoding;
    int channels;
    double scale, offset;
  };
  const Case cases[] = {{Encoding::kInt16LE, 4, 1 / 32768.0, 0}, {Encoding::kInt16LE, 3, 0.5, 0},
                        {Encoding::kUInt8, 1, 1 / 128.0, -1},    {Encoding::kInt24LE, 2, 1e300, 0},
                        {Encoding::kInt32LE, 1, 0.1, VORDA_MISSING_SAMPLE}, {Encoding::kInt16BE, 2, 1, 0}};
  std::uint64_t noise = 0x2545F4914F6CDD1Dull;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding) * 10 + c.channels);
    const int width = recording::WidthOf(c.encoding);
    const std::int64_t frames = 2 * static_cast<std::int64_t>(recording::kReadBufferBytes) / (width * c.channels) + 1500;
    const std::int64_t top = (std::int64_t{1} << (8 * width - 1)) - 1;
    Bytes bytes;
    for (std::int64_t k = 0; k < frames; ++k)
      for (int ch = 0; ch < c.channels; ++ch) {
        noise ^= noise << 13;
        noise ^= noise >> 7;
        noise ^= noise << 17;
        // Leaf by leaf: any integers, zeros, zeros and ones, the extremes, or one small value.
        const std::int64_t leaf = k / recording::kSummaryLeaf + ch;
        std::int64_t v = static_cast<std::int64_t>(noise % static_cast<std::uint64_t>(2 * top + 1)) - top;
        if (leaf % 5 == 1) v = 0;
        if (leaf % 5 == 2) v = static_cast<std::int64_t>(noise & (c.scale == 0.5 ? 2 : 1));
        if (leaf % 5 == 3) v = noise & 1 ? top : -top - 1;
        if (leaf % 5 == 4) v = 3;
        if (c.encoding == Encoding::kUInt8) v += 128;
        for (int b = 0; b < width; ++b)
          bytes.push_back(static_cast<std::uint8_t>(c.encoding == Encoding::kInt16BE ? v >> (8 * (width - 1 - b))
                                                                                      : v >> (8 * b)));
      }
    recording::InterleavedLayout layout;
    layout.channels = c.channels;
    layout.encoding = c.encoding;
    layout.frames = frames;
    layout.scale = c.scale;
    layout.offset = c.offset;
    recording::InterleavedSource stored(std::make_shared<recording::MemoryBytes>(std::move(bytes)), layout,
                                        {"r.raw", "r.raw", 0, 0});
    std::vector<double> all(static_cast<std::size_t>(frames * c.channels));
    std::string error;
    ASSERT_TRUE(stored.ReadFrames(0, frames, all.data(), &error)) << error;
    std::vector<std::vector<double>> channels(static_cast<std::size_t>(c.channels));
    for (std::int64_t k = 0; k < frames; ++k)
      for (int ch = 0; ch < c.channels; ++ch)
        channels[static_cast<std::size_t>(ch)].push_back(all[static_cast<std::size_t>(k * c.channels + ch)]);
    recording::MemorySource held(std::move(channels));
    std::vector<recording::ChannelSummary> fromStored, fromValues;
    ASSERT_TRUE(recording::SummarizeSource(stored, &fromStored, nullptr, &error)) << error;
    ASSERT_TRUE(recording::SummarizeSource(held, &fromValues, nullptr, &error)) << error;
    ASSERT_EQ(fromStored.size(), fromValues.size());
    for (std::size_t ch = 0; ch < fromStored.size(); ++ch) {
      const auto& a = fromStored[ch].levels()[0];
      const auto& b = fromValues[ch].levels()[0];
      ASSERT_EQ(a.size(), b.size());
      for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_TRUE(a[i] == b[i]) << "channel " << ch << " leaf " << i << ": " << a[i].lo << " " << a[i].hi << " "
                                  << a[i].minPositive << " " << a[i].flags << " against " << b[i].lo << " " << b[i].hi
                                  << " " << b[i].minPositive << " " << b[i].flags;
    }
  }
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Sine(int n) {
  Bytes b;
  for (int i = 0; i < n; ++i) Put(b, static_cast<std::uint16_t>(std::lround(20000 * std::sin(i * 0.01))), 2);
  return b;
}

// Rewrites the recording the first time vorda reads a channel.
class Rewriter : public tarn::Observer {
 public:
  explicit Rewriter(std::string path) : path_(std::move(path)) { tarn::host().SetObserver(this); }
  ~Rewriter() override { tarn::host().SetObserver(nullptr); }
  tarn::Verdict OnCall(const char* operation, tarn::Handle, const char*) override {
    if (!done_ && std::strcmp(operation, "tarnChannelGetDataDouble") == 0) {
      done_ = true;
      std::ofstream(path_, std::ios::binary | std::ios::app) << "more samples";
    }
    return {};
  }
  int OnProgress(const tarn::ProgressCall&) override { return 1; }
  void OnDelete(const tarn::DeletedObject&) override {}
  void OnReset() override {}

 private:
  std::string path_;
  bool done_ = false;
};

class ChartRecordingRun : public ::testing::Test {
 protected:
  void SetUp() override {
    tarn::host().Reset();
    options_.widthPx = 400;
    options_.heightPx = 300;
  }
  void TearDown() override { tarn::host().Reset(); }
  Options options_;
};

// A WAV read in place charts exactly as the same samples written as CSV
// and held in memory.
TEST_F(ChartRecordingRun, AWavReadInPlaceDrawsTheSamePixelsAsItsSamplesInMemory) {
  const int n = 200000;
  const Bytes samples = Sine(n);
  Wav w{false, 1, 1, 16, samples};
  options_.input = vorda_test::TempPath("inplace.wav");
  WriteFile(options_.input, w.Build());
  {
    std::ofstream csv(vorda_test::TempPath("inplace.csv"), std::ios::binary);
    csv << "ch1\n";
    char line[40];
    for (int i = 0; i < n; ++i) {
      std::snprintf(line, sizeof line, "%.17g\n",
                    static_cast<std::int16_t>(samples[2 * i] | (samples[2 * i + 1] << 8)) / 32768.0);
      csv << line;
    }
  }
  options_.output = vorda_test::TempPath("inplace-wav.bmp");
  options_.yRange = {-1, 1};
  options_.haveYRange = true;
  options_.title = "same";
  options_.haveTitle = true;
  ASSERT_EQ(RunChart(options_), 0);
  Options csv = options_;
  csv.input = vorda_test::TempPath("inplace.csv");
  csv.rate = 1000;
  csv.output = vorda_test::TempPath("inplace-csv.bmp");
  ASSERT_EQ(RunChart(csv), 0);
  const std::string a = vorda_test::ReadText(options_.output), b = vorda_test::ReadText(csv.output);
  ASSERT_GT(a.size(), 400u * 300u);
  EXPECT_TRUE(a == b) << "the in-place chart differs from the in-memory one";
}

TEST_F(ChartRecordingRun, ARecordingChangedWhileChartedLeavesNothingWritten) {
  options_.input = vorda_test::TempPath("changing.wav");
  options_.output = vorda_test::TempPath("changing.bmp");
  DeleteFileA(options_.output.c_str());
  WriteFile(options_.input, Wav{false, 1, 1, 16, Sine(5000)}.Build());
  Rewriter rewriter(options_.input);
  EXPECT_EQ(RunChart(options_), 1);
  EXPECT_EQ(GetFileAttributesA(options_.output.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace chart
