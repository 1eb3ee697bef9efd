// Where the CSV reader keeps what it parses: frames in memory or in a
// temporary file, read back alike in any piece and either way round; and
// a file's recording, read through them, the same as the text's.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "frame_store.h"
#include "recording_samples.h"
#include "surface.h"

namespace chart {
namespace {

// Frame k of channel c holds k * 10 + c, over several buffers' worth.
std::shared_ptr<recording::SampleSource> Store(bool spill, bool reversed, std::int64_t frames, int channels) {
  FrameStore store(channels, spill);
  for (std::int64_t k = 0; k < frames; ++k) {
    // A frame begun and left, as a row that turns out bad, is not kept.
    if (k % 1000 == 7) {
      double* left = store.Next();
      for (int c = 0; c < channels; ++c) left[c] = -1;
    }
    double* f = store.Next();
    for (int c = 0; c < channels; ++c) f[c] = static_cast<double>(k * 10 + c);
    store.Commit();
  }
  std::shared_ptr<recording::SampleSource> source;
  std::string error;
  EXPECT_TRUE(store.Finish(reversed, &source, &error)) << error;
  return source;
}

TEST(ChartFrameStore, FileAndMemoryGiveTheSameFramesInAnyPieceEitherWayRound) {
  const std::int64_t n = 140000;  // three channels: beyond three buffers of a mebibyte
  for (bool reversed : {false, true}) {
    auto memory = Store(false, reversed, n, 3);
    auto file = Store(true, reversed, n, 3);
    ASSERT_TRUE(memory && file);
    ASSERT_EQ(file->FrameCount(), n);
    ASSERT_EQ(file->ChannelCount(), 3);
    EXPECT_TRUE(file->Identity().path.empty());  // nothing to cache under
    auto expected = [&](std::int64_t k, int c) {
      const std::int64_t frame = reversed ? n - 1 - k : k;
      return static_cast<double>(frame * 10 + c);
    };
    std::string error;
    const std::int64_t pieces[][2] = {{0, n}, {0, 1}, {n - 1, 1}, {43690, 3}, {1000, 90000}, {n, 0}};
    for (const auto& piece : pieces) {
      const std::int64_t first = piece[0], count = piece[1];
      for (const auto& source : {memory, file}) {
        std::vector<double> one(static_cast<size_t>(count)), all(static_cast<size_t>(count * 3));
        ASSERT_TRUE(source->Read(2, first, count, one.data(), &error)) << error;
        ASSERT_TRUE(source->ReadFrames(first, count, all.data(), &error)) << error;
        for (std::int64_t k = 0; k < count; ++k) {
          ASSERT_EQ(one[static_cast<size_t>(k)], expected(first + k, 2)) << first << "+" << k << " " << reversed;
          for (int c = 0; c < 3; ++c)
            ASSERT_EQ(all[static_cast<size_t>(k * 3 + c)], expected(first + k, c)) << first << "+" << k;
        }
      }
    }
    std::vector<double> spare(4);
    EXPECT_FALSE(file->Read(0, n - 1, 2, spare.data(), &error));
    EXPECT_FALSE(file->ReadFrames(-1, 1, spare.data(), &error));
  }
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  std::string path = vorda_test::TempPath(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  if (f) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  return path;
}

// Rows newest first, unevenly spaced, with bursts and missing cells: the
// second pass of the file reader turns them round through the reversed
// view, and must give what the text parser gives by turning its arrays.
TEST(ChartFrameStore, FileRowsNewestFirstComeOutOldestFirstAsFromText) {
  std::string text = "time,a,b\n";
  for (int i = 200000; i > 0; --i) {
    const double t = i * 0.01 + (i % 7 == 0 ? 0.004 : 0);
    text += std::to_string(t) + "," + (i % 11 == 0 ? "" : std::to_string(i)) + "," + std::to_string(-i) + "\n";
    if (i == 150000) text += "\n";
  }
  const std::string path = WriteTemp("chart_frames_newest.csv", text);
  Recording fromFile, fromText;
  ReadError e;
  ASSERT_TRUE(ReadCsvFile(path, "n.csv", {}, &fromFile, &e)) << e.message;
  ASSERT_TRUE(ParseCsv(text, "n.csv", {}, &fromText, &e)) << e.message;
  std::remove(path.c_str());
  ASSERT_EQ(fromFile.SampleCount(), 200000);
  for (int c = 0; c < 2; ++c) EXPECT_EQ(vorda_test::SamplesOf(fromFile, c), vorda_test::SamplesOf(fromText, c)) << c;
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 1).front(), -1);
  EXPECT_EQ(vorda_test::SamplesOf(fromFile, 1).back(), -200000);
  EXPECT_EQ(vorda_test::TimesOf(fromFile), vorda_test::TimesOf(fromText));
  ASSERT_EQ(fromFile.bursts.size(), fromText.bursts.size());
  for (size_t i = 0; i < fromFile.bursts.size(); ++i) {
    EXPECT_EQ(fromFile.bursts[i].first, fromText.bursts[i].first);
    EXPECT_EQ(fromFile.bursts[i].count, fromText.bursts[i].count);
  }
  EXPECT_EQ(fromFile.notes, fromText.notes);
}

}  // namespace
}  // namespace chart
