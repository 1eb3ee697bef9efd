// vorda-chart end to end: the program run on small recordings, its output
// files read back (sizes, pixels of the plot, the traces' colours) and
// every way it refuses, with its message, exit status and no file left.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "chart_tool_run.h"
#include "surface.h"

namespace {

using vorda_test::FileExists;
using vorda_test::BmpFile;
using vorda_test::EmfFile;
using vorda_test::ReadBytes;
using ::testing::HasSubstr;

// The colours vorda makes of the first two series' shares (UnitRgb).
const COLORREF kFirst = RGB(30, 119, 181);
const COLORREF kSecond = RGB(255, 127, 12);

// Two channels over 0..10 s in two bursts; "a" misses its samples from 2
// to 4 s, "b" is positive and spans three decades.
std::string Recording() {
  std::string text = "time (s),a,b\n";
  for (int burst = 0; burst < 2; ++burst) {
    for (int i = 0; i <= 200; ++i) {
      double t = burst * 6 + i * 0.02;
      char row[80];
      bool gap = t > 2 && t < 4;
      if (gap) std::snprintf(row, sizeof row, "%.2f,,%.6f\n", t, std::pow(10, t / 4 - 1));
      else std::snprintf(row, sizeof row, "%.2f,%.4f,%.6f\n", t, std::sin(t), std::pow(10, t / 4 - 1));
      text += row;
    }
    text += "\n";
  }
  return text;
}

class ChartToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    csv_ = Temp("rec.csv");
    Write(csv_, Recording());
  }
  std::string csv_;
};

TEST_F(ChartToolTest, DrawsTheTracesInTheirColoursWithTheGapLeftOpen) {
  std::string out = Temp("chart.bmp");
  Result r = RunTool("\"" + csv_ + "\" -o \"" + out + "\"");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("wrote " + out + " (960x600 pixels, 2 channels, 402 samples)"));
  BmpFile bmp;
  ASSERT_TRUE(Load(&bmp, out));
  EXPECT_EQ(bmp.info.biWidth, 960);
  EXPECT_EQ(bmp.info.biHeight, 600);
  EXPECT_EQ(bmp.bytes.size(), 54u + 960 * 600 * 4);
  int left, top, right, bottom;
  ASSERT_TRUE(Frame(bmp, &left, &top, &right, &bottom));
  EXPECT_GT(right - left, 600);
  EXPECT_GT(bottom - top, 400);
  // Time runs from 0 to 10 s across the frame.
  auto column = [&](double t) { return left + static_cast<int>((right - left) * t / 10); };
  EXPECT_GT(bmp.Count(kFirst, column(0.2), column(1.8)), 100);
  EXPECT_EQ(bmp.Count(kFirst, column(2.2), column(3.8)), 0);  // the missing samples
  EXPECT_GT(bmp.Count(kFirst, column(6.2), column(8)), 100);
  EXPECT_GT(bmp.Count(kSecond, column(0.2), column(3.8)), 50);
  EXPECT_EQ(bmp.Count(kFirst, column(4.1), column(5.9)), 0);  // between the bursts
  EXPECT_EQ(bmp.Count(kSecond, column(4.1), column(5.9)), 0);
  // Light grid lines inside the plot, text outside it.
  EXPECT_GT(bmp.Count(RGB(221, 221, 221), left, right), 1000);
  int dark = 0;
  for (int y = 0; y < top; ++y)
    for (int x = 0; x < bmp.info.biWidth; ++x) dark += GetRValue(bmp.At(x, y)) < 128;
  EXPECT_GT(dark, 30);  // the title
  EXPECT_FALSE(FileExists(out + ".part"));
}

TEST_F(ChartToolTest, OptionsChangeWhatIsDrawn) {
  struct Case {
    const char* name;
    std::string args;
    int width, height;
    COLORREF present, absent;
  };
  const Case cases[] = {
      {"one channel", "--channels b", 960, 600, kFirst, kSecond},
      {"reordered", "--channels b,a --size 4x3in", 384, 288, kSecond, RGB(1, 2, 3)},
      {"log", "--log-y --channels b --size 640x400px", 640, 400, kFirst, kSecond},
      {"bars", "--bars --channels a --xrange 0:1", 960, 600, kFirst, kSecond},
      {"xy", "--xy a:b --markers", 960, 600, kFirst, kSecond},
  };
  for (const Case& c : cases) {
    std::string out = Temp(std::string("opt-") + c.name + ".bmp");
    Result r = RunTool("\"" + csv_ + "\" -o \"" + out + "\" " + c.args);
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.output;
    BmpFile bmp;
    ASSERT_TRUE(Load(&bmp, out)) << c.name;
    EXPECT_EQ(bmp.info.biWidth, c.width) << c.name;
    EXPECT_EQ(bmp.info.biHeight, c.height) << c.name;
    EXPECT_GT(bmp.Count(c.present), 100) << c.name;
    EXPECT_EQ(bmp.Count(c.absent), 0) << c.name;
  }
}

TEST_F(ChartToolTest, CursorAndMarkers) {
  std::string plain = Temp("plain.bmp"), cursor = Temp("cursor.bmp"), marked = Temp("marked.bmp");
  ASSERT_EQ(RunTool("\"" + csv_ + "\" -o \"" + plain + "\" --channels a").status, 0);
  ASSERT_EQ(RunTool("\"" + csv_ + "\" -o \"" + cursor + "\" --channels a --cursor 7").status, 0);
  ASSERT_EQ(RunTool("\"" + csv_ + "\" -o \"" + marked + "\" --channels a --markers --xrange 0:1").status, 0);
  BmpFile a, b, m;
  ASSERT_TRUE(Load(&a, plain) && Load(&b, cursor) && Load(&m, marked));
  int left, top, right, bottom;
  ASSERT_TRUE(Frame(a, &left, &top, &right, &bottom));
  // The cursor inverts a column at 7 s and a row at sin(7) from edge to edge.
  int x = left + static_cast<int>((right - left) * 0.7);
  int inverted = 0;
  for (int dx = -1; dx <= 1; ++dx)
    for (int y = top + 1; y < bottom; ++y) inverted += a.At(x + dx, y) != b.At(x + dx, y);
  EXPECT_GT(inverted, (bottom - top) * 9 / 10);
  EXPECT_EQ(b.At(x - 2, (top + bottom) / 2), a.At(x - 2, (top + bottom) / 2));
  int changedRows = 0;
  for (int y = top + 1; y < bottom; ++y) {
    int changed = 0;
    for (int xx = left + 1; xx < right; ++xx) changed += a.At(xx, y) != b.At(xx, y);
    changedRows += changed > (right - left) * 9 / 10;
  }
  EXPECT_EQ(changedRows, 1);
  // 51 samples in view, each a filled square of at least 5x5 in its colour.
  EXPECT_GT(m.Count(kFirst), 51 * 25);
}

TEST_F(ChartToolTest, RecordsAMetafileThatPlaysBackAsTheChart) {
  std::string out = Temp("chart.emf");
  Result r = RunTool("\"" + csv_ + "\" -o \"" + out + "\" --cursor 7");
  ASSERT_EQ(r.status, 0) << r.output;
  EmfFile emf;
  ASSERT_TRUE(emf.Load(out));
  ASSERT_GT(emf.bytes.size(), 100u);
  const ENHMETAHEADER header = emf.Header();
  ASSERT_EQ(header.iType, static_cast<DWORD>(EMR_HEADER));  // the header first,
  EXPECT_EQ(header.dSignature, static_cast<DWORD>(ENHMETA_SIGNATURE));
  EXPECT_EQ(emf.OfType(EMR_EOF).size(), 1u);                 // one end-of-file record,
  EXPECT_EQ(emf.records.back().type, static_cast<DWORD>(EMR_EOF));
  EXPECT_EQ(emf.records.back().at + emf.records.back().size, emf.bytes.size());  // last.
  // The white page spans the whole chart, so its bounds are the canvas.
  EXPECT_EQ(emf.OfType(EMR_FILLRGN).size(), 1u);
  EXPECT_EQ(header.rclBounds.left, 0);
  EXPECT_EQ(header.rclBounds.right, 959);
  EXPECT_EQ(header.rclBounds.bottom, 599);
  // A solid pen for the first series and a dashed one for the second.
  std::map<COLORREF, uint32_t> pens;
  for (const auto& record : emf.OfType(EMR_CREATEPEN)) {
    const LOGPEN pen = emf.As<EMRCREATEPEN>(record).lopn;
    pens[pen.lopnColor] = pen.lopnStyle;
  }
  ASSERT_EQ(pens.count(kFirst), 1u);
  ASSERT_EQ(pens.count(kSecond), 1u);
  EXPECT_EQ(pens[kFirst], static_cast<uint32_t>(PS_SOLID));
  EXPECT_EQ(pens[kSecond], static_cast<uint32_t>(PS_DASH));
  // Polylines: traces, frame, legend; texts: tick labels and titles; the
  // cursor's two inverted bars.
  EXPECT_GE(emf.OfType(EMR_POLYLINE16).size() + emf.OfType(EMR_POLYLINE).size(), 4u);
  EXPECT_GE(emf.OfType(EMR_EXTTEXTOUTW).size() + emf.OfType(EMR_EXTTEXTOUTA).size(), 10u);
  EXPECT_EQ(emf.OfType(EMR_BITBLT).size(), 2u);

  // Played back, it is the chart: both traces in their colours.
  HENHMETAFILE file = GetEnhMetaFileA(out.c_str());
  ASSERT_NE(file, nullptr);
  vorda_test::DibSurface page(960, 600);
  RECT all{0, 0, 960, 600};
  ASSERT_TRUE(PlayEnhMetaFile(page.dc(), file, &all));
  DeleteEnhMetaFile(file);
  EXPECT_GT(page.Count(kFirst), 300);
  EXPECT_GT(page.Count(kSecond), 100);
}

TEST_F(ChartToolTest, FitsAPictureIntoThePlotBehindTheTraces) {
  // A 40x20 BMP of one green: drawn twice as wide as high, inside the frame.
  std::string pic = Temp("picture.bmp"), out = Temp("pictured.bmp");
  std::string bmp = "BM";
  auto put32 = [&](uint32_t v) { bmp.append(reinterpret_cast<char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { bmp.append(reinterpret_cast<char*>(&v), 2); };
  put32(54 + 40 * 20 * 3); put32(0); put32(54);
  put32(40); put32(40); put32(20); put16(1); put16(24); put32(0); put32(40 * 20 * 3);
  put32(2835); put32(2835); put32(0); put32(0);
  for (int i = 0; i < 40 * 20; ++i) bmp.append("\x0a\xc8\x0a", 3);  // blue, green, red
  Write(pic, bmp);
  Result r = RunTool("\"" + csv_ + "\" -o \"" + out + "\" --picture \"" + pic + "\"");
  ASSERT_EQ(r.status, 0) << r.output;
  BmpFile chart;
  ASSERT_TRUE(Load(&chart, out));
  int left, top, right, bottom;
  ASSERT_TRUE(Frame(chart, &left, &top, &right, &bottom));
  const COLORREF green = RGB(10, 200, 10);
  int x0 = chart.info.biWidth, x1 = -1, y0 = chart.info.biHeight, y1 = -1;
  for (int y = 0; y < chart.info.biHeight; ++y)
    for (int x = 0; x < chart.info.biWidth; ++x)
      if (chart.At(x, y) == green) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  ASSERT_GE(x1, 0);
  EXPECT_GE(x0, left);
  EXPECT_LE(x1, right);
  EXPECT_GE(y0, top);
  EXPECT_LE(y1, bottom);
  EXPECT_GT(x1 - x0, (right - left) * 9 / 10);  // the plot is narrower than 2:1, so its width sets the size
  EXPECT_NEAR(double(x1 - x0 + 1) / (y1 - y0 + 1), 2.0, 0.05);
  // The traces are drawn over it.
  EXPECT_GT(chart.Count(kFirst, x0, x1), 100);
}

TEST_F(ChartToolTest, ReadsWavFiles) {
  std::string wav = Temp("tone.wav"), out = Temp("tone.bmp");
  std::string bytes = "RIFF\0\0\0\0WAVEfmt ";
  bytes.assign("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x40\x1f\0\0\0\x7d\0\0\x04\0\x10\0data", 40);
  std::string data;
  for (int i = 0; i < 800; ++i) {
    short l = static_cast<short>(20000 * std::sin(i * 0.05)), rr = static_cast<short>(i * 20);
    data.append(reinterpret_cast<char*>(&l), 2).append(reinterpret_cast<char*>(&rr), 2);
  }
  uint32_t size = static_cast<uint32_t>(data.size());
  bytes.append(reinterpret_cast<char*>(&size), 4).append(data);
  Write(wav, bytes);
  Result r = RunTool("\"" + wav + "\" -o \"" + out + "\"");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("2 channels, 800 samples"));
  BmpFile bmp;
  ASSERT_TRUE(Load(&bmp, out));
  EXPECT_GT(bmp.Count(kFirst), 300);
  EXPECT_GT(bmp.Count(kSecond), 300);
}

TEST_F(ChartToolTest, RefusalsNameTheProblemAndWriteNothing) {
  std::string dir = Temp("refusals");
  CreateDirectoryA(dir.c_str(), nullptr);
  auto file = [&](const std::string& name, const std::string& text) {
    std::string p = dir + "\\" + name;
    Write(p, text);
    return p;
  };
  std::string bad = file("bad.csv", "t,a\n0,1\n1,x\n");
  std::string uneven = file("uneven.csv", "t,a\n0,1\n1,1\n3,1\n");
  std::string undated = file("undated.csv", "t,a\n2024-03-29,1\n29.03.2024,1\n");
  std::string mulaw = file("mulaw.wav", std::string("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x07\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0data\x02\0\0\0\x01\x02", 46));
  std::string picture = file("notapicture.png", "hello");
  std::string out = dir + "\\chart.bmp";
  struct Case {
    std::string args;
    int status;
    std::string message;
  };
  const std::string rec = "\"" + csv_ + "\"";
  const std::string to = " -o \"" + out + "\"";
  const Case cases[] = {
      {"\"" + bad + "\"" + to, 1, "vorda-chart: " + bad + ", line 3, column 2 (\"a\"): \"x\" is not a number\n"},
      {"\"" + uneven + "\"" + to + " --bars", 1,
       "vorda-chart: --bars: uneven.csv is not evenly sampled (its steps differ by more than 1%), and bars need one "
       "interval\n"},
      {"\"" + undated + "\"" + to, 1,
       "vorda-chart: " + undated + ", line 3, column 1 (\"t\"): \"29.03.2024\" is not an ISO 8601 date and time"},
      {"\"" + undated + "\"" + to + " --time-format %d.%m.%Y", 1,
       "vorda-chart: " + undated + ", line 2, column 1 (\"t\"): \"2024-03-29\" does not match --time-format "
       "%d.%m.%Y\n"},
      {"\"" + mulaw + "\"" + to, 1,
       "vorda-chart: " + mulaw + ": the WAV holds mu-law (format 7), which is not supported; vorda-chart reads "
       "PCM of 8, 16, 24 or 32 bits and 32-bit float\n"},
      {rec + to + " --channels a,zz", 1,
       "vorda-chart: --channels: " + csv_.substr(csv_.find_last_of("\\/") + 1) +
           " has no channel \"zz\" (it has a, b)\n"},
      {"\"" + dir + "\\missing.csv\"" + to, 1, "vorda-chart: cannot open " + dir + "\\missing.csv for reading\n"},
      {rec + " -o \"" + dir + "\\no\\such\\dir\\chart.bmp\"", 1, "vorda-chart: cannot write " + dir + "\\no\\such\\dir\\chart.bmp: "},
      {rec + to + " --picture \"" + dir + "\\missing.png\"", 1,
       "vorda-chart: cannot open the picture " + dir + "\\missing.png for reading\n"},
      {rec + to + " --cursor 5", 1, "vorda-chart: --cursor 5: no burst of "},
      {rec + to + " --picture \"" + picture + "\"", 1,
       "vorda-chart: drawing the picture " + picture +
           ": vorda says: This Message channel is not a valid picture channel.\n"},
      {rec + to + " --size 10x10px", 2, "vorda-chart: --size 10x10px: pixel sizes are whole numbers from 200 to 16000\n"},
      {rec + " -o chart.gif", 2, "vorda-chart: -o chart.gif: the output must end in .png, .bmp or .emf\n"},
      {rec, 2, "vorda-chart: no output file: give -o OUT.png, OUT.bmp or OUT.emf\n"},
  };
  // An earlier chart under the output's name survives every failure.
  Write(out, "an earlier chart");
  for (const Case& c : cases) {
    Result r = RunTool(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
    EXPECT_EQ(r.output.substr(0, c.message.size()), c.message) << c.args;
    std::vector<uint8_t> kept = ReadBytes(out);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "an earlier chart") << c.args;
  }
  // Nothing else was left in the directory: no temporary files.
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*.part").c_str(), &found);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

TEST_F(ChartToolTest, ReplacesAnEarlierChartAndTakesRelativePaths) {
  std::string dir = Temp("relative");
  CreateDirectoryA(dir.c_str(), nullptr);
  Write(dir + "\\rec.csv", Recording());
  Write(dir + "\\chart.bmp", "an earlier chart");
  Result r = RunTool("rec.csv -o chart.bmp", dir);
  EXPECT_EQ(r.status, 0) << r.output;
  BmpFile bmp;
  EXPECT_TRUE(Load(&bmp, dir + "\\chart.bmp"));
  Result help = RunTool("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.output, HasSubstr("usage: vorda-chart RECORDING -o OUT.png|OUT.bmp|OUT.emf [options]"));
  DeleteFileA((dir + "\\rec.csv").c_str());
  DeleteFileA((dir + "\\chart.bmp").c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
