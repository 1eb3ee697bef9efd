// The chart tool's WAV reader: every supported sample encoding, any number
// of channels, and a clear refusal of the rest.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "surface.h"
#include "wav_reader.h"
#include "recording_samples.h"

namespace chart {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(tag[i]));
}

struct Wav {
  unsigned tag = 1;
  unsigned channels = 1;
  std::uint32_t rate = 8000;
  unsigned bits = 16;
  bool extensible = false;
  Bytes data;
  std::uint32_t dataLength = 0xFFFFFFFE;  // the real length unless set
  int blockAlign = -1;

  Bytes Build() const {
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, 0);
    PutTag(b, "WAVE");
    // A chunk of odd length before the format: its pad byte must be skipped.
    PutTag(b, "LIST");
    Put32(b, 3);
    for (char c : {'a', 'b', 'c', '\0'}) b.push_back(std::uint8_t(c));
    PutTag(b, "fmt ");
    Put32(b, extensible ? 40 : 16);
    Put16(b, extensible ? 0xFFFE : tag);
    Put16(b, channels);
    Put32(b, rate);
    unsigned align = blockAlign >= 0 ? unsigned(blockAlign) : channels * bits / 8;
    Put32(b, rate * align);
    Put16(b, align);
    Put16(b, bits);
    if (extensible) {
      Put16(b, 22);
      Put16(b, bits);
      Put32(b, 0);
      Put16(b, tag);
      const std::uint8_t base[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
      for (std::uint8_t x : base) b.push_back(x);
    }
    PutTag(b, "data");
    Put32(b, dataLength == 0xFFFFFFFE ? std::uint32_t(data.size()) : dataLength);
    for (std::uint8_t x : data) b.push_back(x);
    return b;
  }
};

Recording Read(const Wav& w) {
  Bytes b = w.Build();
  Recording r;
  ReadError e;
  EXPECT_TRUE(ParseWav(b.data(), b.size(), "rec.wav", &r, &e)) << e.message;
  return r;
}

std::string ErrorOf(const Bytes& b) {
  Recording r;
  ReadError e;
  EXPECT_FALSE(ParseWav(b.data(), b.size(), "rec.wav", &r, &e));
  return e.message;
}

TEST(ChartWav, EveryEncodingIsScaledToFullScale) {
  struct Case {
    unsigned tag, bits;
    bool extensible;
    Bytes data;
    std::vector<double> expected;
  };
  float f[2] = {0.25f, -1.5f};
  double d[2] = {0.125, 3.0};
  Bytes floats(reinterpret_cast<std::uint8_t*>(f), reinterpret_cast<std::uint8_t*>(f) + 8);
  Bytes doubles(reinterpret_cast<std::uint8_t*>(d), reinterpret_cast<std::uint8_t*>(d) + 16);
  const Case cases[] = {
      {1, 8, false, {0, 128, 255}, {-1.0, 0.0, 127 / 128.0}},
      {1, 16, false, {0x00, 0x80, 0xFF, 0x7F, 0xFF, 0xFF}, {-1.0, 32767 / 32768.0, -1 / 32768.0}},
      {1, 24, false, {0x00, 0x00, 0x80, 0x01, 0x00, 0x00}, {-1.0, 1 / 8388608.0}},
      {1, 24, true, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x40}, {-1 / 8388608.0, 0.5}},
      {1, 32, false, {0, 0, 0, 0x80, 0, 0, 0, 0x40}, {-1.0, 0.5}},
      {3, 32, false, floats, {0.25, -1.5}},
      {3, 32, true, floats, {0.25, -1.5}},
      {3, 64, false, doubles, {0.125, 3.0}},
  };
  for (const Case& c : cases) {
    Wav w;
    w.tag = c.tag;
    w.bits = c.bits;
    w.extensible = c.extensible;
    w.data = c.data;
    Recording r = Read(w);
    ASSERT_EQ(r.channels.size(), 1u) << c.bits;
    EXPECT_EQ(r.channels[0].name, "ch1");
    EXPECT_EQ(vorda_test::SamplesOf(r, 0), c.expected) << c.tag << "/" << c.bits;
  }
}

TEST(ChartWav, ChannelsAreDeinterleavedIntoOneBurst) {
  Wav w;
  w.channels = 3;
  w.rate = 1000;
  for (int frame = 0; frame < 4; ++frame)
    for (int c = 0; c < 3; ++c) Put16(w.data, unsigned(frame * 100 + c) * 64);
  w.data.push_back(0x11);  // a partial frame at the end is not a sample
  Recording r = Read(w);
  ASSERT_EQ(r.channels.size(), 3u);
  EXPECT_EQ(r.channels[2].name, "ch3");
  EXPECT_DOUBLE_EQ(r.sampleInc, 0.001);
  EXPECT_EQ(r.valueName, "amplitude (full scale)");
  ASSERT_EQ(r.bursts.size(), 1u);
  EXPECT_EQ(r.bursts[0].count, 4);
  EXPECT_EQ(r.bursts[0].start, 0.0);
  EXPECT_DOUBLE_EQ(vorda_test::SamplesOf(r, 1)[3], 301 * 64 / 32768.0);

  // A streamed file's placeholder length means "up to the end".
  w.dataLength = 0xFFFFFFFF;
  EXPECT_EQ(Read(w).SampleCount(), 4);
}

TEST(ChartWav, UnsupportedAndBrokenFilesAreRefusedClearly) {
  const std::string supported = "vorda-chart reads PCM of 8, 16, 24 or 32 bits and 32-bit float";
  Wav mulaw;
  mulaw.tag = 7;
  mulaw.bits = 8;
  mulaw.data = {1, 2};
  EXPECT_EQ(ErrorOf(mulaw.Build()),
            "rec.wav: the WAV holds mu-law (format 7), which is not supported; " + supported);
  Wav adpcm = mulaw;
  adpcm.tag = 2;
  adpcm.bits = 4;
  adpcm.blockAlign = 256;
  EXPECT_EQ(ErrorOf(adpcm.Build()),
            "rec.wav: the WAV holds Microsoft ADPCM (format 2), which is not supported; " + supported);
  Wav twelve;
  twelve.bits = 12;
  twelve.blockAlign = 2;
  twelve.data = {0, 0};
  EXPECT_EQ(ErrorOf(twelve.Build()), "rec.wav: 12-bit PCM WAV is not supported; " + supported);
  Wav half;
  half.tag = 3;
  half.bits = 16;
  half.data = {0, 0};
  EXPECT_EQ(ErrorOf(half.Build()), "rec.wav: 16-bit float WAV is not supported; " + supported);
  Wav noRate;
  noRate.rate = 0;
  noRate.data = {0, 0};
  EXPECT_EQ(ErrorOf(noRate.Build()), "rec.wav: the WAV gives a sample rate of 0");
  Wav empty;
  EXPECT_EQ(ErrorOf(empty.Build()), "rec.wav: the WAV holds no samples");
  Wav badAlign;
  badAlign.blockAlign = 3;
  badAlign.data = {0, 0, 0};
  EXPECT_EQ(ErrorOf(badAlign.Build()),
            "rec.wav: the WAV's frame size (3 bytes) does not match its channels and sample size");

  Bytes text = {'t', ',', 'a', '\n', '0', ',', '1', '\n', 0, 0, 0, 0};
  EXPECT_EQ(ErrorOf(text), "rec.wav is not a WAV file (no RIFF/WAVE header)");
  Wav cut;
  cut.data = {0, 0};
  Bytes noData = cut.Build();
  noData.resize(noData.size() - 10);  // loses the data chunk's header
  EXPECT_EQ(ErrorOf(noData), "rec.wav: the WAV has no data chunk");
}

TEST(ChartWav, FileReaderReadsWhatTheParserReads) {
  Wav w;
  w.channels = 2;
  for (int i = 0; i < 300000; ++i) Put16(w.data, unsigned(i & 0xFFFF));  // several read blocks
  Bytes b = w.Build();
  std::string path = vorda_test::TempPath("chart_wav.wav");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  Recording fromFile;
  ReadError e;
  ASSERT_TRUE(ReadWavFile(path, "rec.wav", &fromFile, &e)) << e.message;
  Recording fromBytes = Read(w);
  EXPECT_EQ(fromFile.SampleCount(), 150000);
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 1), vorda_test::SamplesOf(fromBytes, 1));
  fromFile = Recording{};  // a recording read in place holds its file open
  std::remove(path.c_str());
  EXPECT_FALSE(ReadWavFile(path, "rec.wav", &fromFile, &e));
  EXPECT_EQ(e.message, "cannot open rec.wav for reading");
}

}  // namespace
}  // namespace chart
