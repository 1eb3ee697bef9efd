// vorda-chart end to end on recordings as people keep them: dated rows
// (ISO 8601 and --time-format) on a calendar axis, uneven sampling drawn
// with its gaps, spreadsheet CSV, public data sets that Debian ships, PNG
// output with vorda's pixels, and paths in messages as the user typed them.
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chart_tool_run.h"
#include "surface.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using vorda_test::FileExists;

const COLORREF kFirst = RGB(30, 119, 181);
const COLORREF kSecond = RGB(255, 127, 12);

// The pixels of a PNG as the platform's decoder reads them, as COLORREFs
// from the top-left; empty when it is no PNG.
std::vector<COLORREF> DecodePng(const std::string& path, UINT* width, UINT* height) {
  std::vector<COLORREF> pixels;
  std::vector<uint8_t> bytes = ReadBytes(path);
  if (bytes.size() < 8 || std::string(bytes.begin() + 1, bytes.begin() + 4) != "PNG") return pixels;
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  std::wstring wide(path.begin(), path.end());
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr))
    hr = factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
  if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(hr))
    hr = converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                               WICBitmapPaletteTypeCustom);
  if (SUCCEEDED(hr)) hr = converter->GetSize(width, height);
  std::vector<BYTE> rows;
  UINT stride = (*width * 3 + 3) & ~3u;
  if (SUCCEEDED(hr)) {
    rows.resize(size_t(stride) * *height);
    hr = converter->CopyPixels(nullptr, stride, static_cast<UINT>(rows.size()), rows.data());
  }
  if (SUCCEEDED(hr))
    for (UINT y = 0; y < *height; ++y)
      for (UINT x = 0; x < *width; ++x) {
        const BYTE* p = &rows[size_t(y) * stride + x * 3];
        pixels.push_back(RGB(p[2], p[1], p[0]));
      }
  for (IUnknown* u : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
    if (u) u->Release();
  if (SUCCEEDED(init)) CoUninitialize();
  return pixels;
}

class ChartRecordingsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& f : made_) DeleteFileA(f.c_str());
  }
  std::string File(const std::string& name, const std::string& text = "") {
    made_.push_back(Temp(name));
    if (!text.empty()) Write(made_.back(), text);
    return made_.back();
  }
  // Runs the tool and loads the BMP it wrote.
  BmpFile Chart(const std::string& input, const std::string& args, const std::string& output) {
    Result r = RunTool("\"" + input + "\" -o \"" + output + "\" " + args);
    EXPECT_EQ(r.status, 0) << r.output;
    last_ = r.output;
    BmpFile bmp;
    EXPECT_TRUE(Load(&bmp, output)) << output;
    return bmp;
  }
  std::vector<std::string> made_;
  std::string last_;
};

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

TEST_F(ChartRecordingsTest, PngHoldsExactlyThePixelsOfTheBitmap) {
  // Dated rows a minute apart over a morning, with an offset from UTC.
  std::string text = "when,level\n";
  for (int i = 0; i <= 240; ++i)
    text += "2024-03-29T" + Two(8 + i / 60) + ":" + Two(i % 60) + "+01:00," + std::to_string(std::sin(i / 20.0)) + "\n";
  std::string csv = File("dated.csv", text), bmpPath = File("dated.bmp"), png = File("dated.png");
  Write(png, "an earlier chart");
  BmpFile bmp = Chart(csv, "--size 640x400px", bmpPath);
  Result r = RunTool("\"" + csv + "\" -o \"" + png + "\" --size 640x400px");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("wrote " + png + " (640x400 pixels, 1 channel, 241 samples)"));
  UINT w = 0, h = 0;
  std::vector<COLORREF> pixels = DecodePng(png, &w, &h);
  ASSERT_EQ(w, 640u);
  ASSERT_EQ(h, 400u);
  int differ = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) differ += pixels[size_t(y) * 640 + x] != bmp.At(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(bmp.Count(kFirst), 500);
  EXPECT_FALSE(FileExists(png + "." + std::to_string(GetCurrentProcessId()) + ".part"));
}

TEST_F(ChartRecordingsTest, UnevenTimesAreDrawnAsTheyAreWithGapsAtLongSteps) {
  // Steps of 1 s and 1.5 s in turn (too uneven for the time-series driver),
  // then nothing from 40 s to 70 s: a gap, not a line across it; an empty
  // cell at 20 s breaks the trace as a missing sample.
  std::string text = "t,a\n";
  double t = 0;
  for (int i = 0; t <= 100; ++i) {
    if (t < 40 || t > 70) text += std::to_string(t) + "," + (std::fabs(t - 20) < 0.9 ? "" : "0.5") + "\n";
    t += i % 2 ? 1.5 : 1.0;
  }
  std::string csv = File("uneven.csv", text), out = File("uneven.bmp");
  BmpFile bmp = Chart(csv, "--yrange 0:1", out);
  int left, top, right, bottom;
  ASSERT_TRUE(Frame(bmp, &left, &top, &right, &bottom));
  auto column = [&](double s) { return left + static_cast<int>((right - left) * s / 100); };
  EXPECT_GT(bmp.Count(kFirst, column(2), column(15)), column(15) - column(2) - 4);
  EXPECT_EQ(bmp.Count(kFirst, column(42), column(68)), 0);  // the gap
  EXPECT_GT(bmp.Count(kFirst, column(72), column(98)), column(98) - column(72) - 4);
  EXPECT_EQ(bmp.Count(kFirst, column(19.2), column(20.8)), 0);  // the missing sample
}

TEST_F(ChartRecordingsTest, SpreadsheetExportsAndCustomLayoutsChartInOneCommand) {
  std::string eu = "\xEF\xBB\xBF# Datenlogger 7\r\n\"Zeit\";\"Temp; innen\";\"Druck \"\"hPa\"\"\";;\r\n";
  for (int i = 0; i < 200; ++i) {
    char row[96];
    std::snprintf(row, sizeof row, "29.03.2024 %02d:%02d;%d,%d;%d,5;;\r\n", 8 + i / 60, i % 60, 20 + i % 3, i % 10, 1 + i / 50);
    eu += row;
  }
  std::string csv = File("export.csv", eu), out = File("export.bmp");
  BmpFile bmp = Chart(csv, "--time-format \"%d.%m.%Y %H:%M\"", out);
  EXPECT_THAT(last_, HasSubstr("2 channels, 200 samples"));
  EXPECT_GT(bmp.Count(kFirst), 300);
  EXPECT_GT(bmp.Count(kSecond), 100);

  // The same layout without --time-format is named as what was expected.
  Result r = RunTool("\"" + csv + "\" -o \"" + out + "\"");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.output, HasSubstr(csv + ", line 3, column 1 (\"Zeit\"): \"29.03.2024 08:00\" is not a time"));
}

TEST_F(ChartRecordingsTest, PublicDataSetsThatDebianShips) {
  // matplotlib's sample data (Debian's python-matplotlib-data): monthly
  // share prices with a comment line and shares listed later left empty,
  // and yearly percentages with the year as the time.
  const std::string dir = "Z:\\usr\\share\\matplotlib\\mpl-data\\sample_data\\";
  if (!FileExists(dir + "Stocks.csv")) GTEST_SKIP() << "python-matplotlib-data is not installed (sh scripts/setup.sh)";
  BmpFile stocks = Chart(dir + "Stocks.csv", "--channels AAPL,MSFT --log-y", File("stocks.bmp"));
  EXPECT_THAT(last_, HasSubstr("2 channels, 524 samples"));
  EXPECT_GT(stocks.Count(kFirst), 500);
  EXPECT_GT(stocks.Count(kSecond), 500);
  BmpFile degrees = Chart(dir + "percent_bachelors_degrees_women_usa.csv", "--time-format %Y --channels Engineering",
                      File("degrees.bmp"));
  EXPECT_THAT(last_, HasSubstr("1 channel, 42 samples"));
  EXPECT_GT(degrees.Count(kFirst), 500);
}

// Columns of the plot between the trace's first and last that it leaves
// empty: a trace broken at every step that looks long has many.
int GapColumns(const BmpFile& bmp) {
  int left, top, right, bottom;
  if (!Frame(bmp, &left, &top, &right, &bottom)) return -1;
  int first = -1, last = -1, empty = 0;
  for (int x = left + 1; x < right; ++x)
    if (bmp.Count(kFirst, x, x + 1) > 0) {
      if (first < 0) first = x;
      last = x;
    }
  for (int x = first; first >= 0 && x <= last; ++x) empty += bmp.Count(kFirst, x, x + 1) == 0;
  return empty;
}

TEST_F(ChartRecordingsTest, DatesWrittenAsDigitsChartAsDatesAndSaySo) {
  // Weekly readings dated 19580329, 19580405, ... as statsmodels' co2.csv
  // has them. Read as seconds, the step across a month's end (19580405 -
  // 19580329 = 76) looks like ten missing weeks: a gap at every month.
  std::string text = "date,co2\n";
  int year = 1958, month = 3, day = 29;
  for (int i = 0; i < 150; ++i) {
    char row[64];
    std::snprintf(row, sizeof row, "%04d%02d%02d,%.1f\n", year, month, day, 315 + 3 * std::sin(i / 8.0));
    text += row;
    const int length = month == 2 ? (year % 4 ? 28 : 29) : month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
    if ((day += 7) > length) {
      day -= length;
      if (++month > 12) month = 1, ++year;
    }
  }
  std::string csv = File("co2.csv", text);
  BmpFile dates = Chart(csv, "", File("co2.bmp"));
  EXPECT_THAT(last_, HasSubstr("co2.csv: the first column (\"date\") holds dates written YYYYMMDD, such as 19580329"));
  EXPECT_THAT(last_, HasSubstr("--time seconds"));
  EXPECT_EQ(GapColumns(dates), 0);
  BmpFile seconds = Chart(csv, "--time seconds", File("co2-seconds.bmp"));
  EXPECT_THAT(last_, Not(HasSubstr("YYYYMMDD")));
  EXPECT_GT(GapColumns(seconds), 20);

  // The real file, where Debian's python3-statsmodels is installed.
  const std::string real = "Z:\\usr\\lib\\python3\\dist-packages\\statsmodels\\datasets\\co2\\co2.csv";
  if (FileExists(real)) {
    Chart(real, "", File("co2-real.bmp"));
    EXPECT_THAT(last_, HasSubstr("holds dates written YYYYMMDD"));
  }
}

TEST_F(ChartRecordingsTest, ExportsOfAnyNameAndShapeChartWithTheirNotes) {
  // No header: the first row is data, the channels are named by column.
  std::string bare = File("bare.txt", "1.5,20\n2.5,21\n3.5,22\n4.5,23\n");
  Chart(bare, "--channels \"column 2\"", File("bare.bmp"));
  EXPECT_THAT(last_, HasSubstr("vorda-chart: " + bare + ": the first row holds only numbers"));
  EXPECT_THAT(last_, HasSubstr("1 channel, 4 samples"));
  Result refused = RunTool("\"" + bare + "\" -o \"" + File("h.bmp") + "\" --header --channels \"column 2\"");
  EXPECT_EQ(refused.status, 1);

  // Tabs and decimal commas, newest first, R's NA, no extension at all;
  // and the same rows from standard input.
  std::string quotes = "Datum\tKurs\n";
  for (int d = 28; d >= 1; --d) quotes += "2024-02-" + Two(d) + "\t" + std::to_string(100 + d) + ",5\n";
  quotes += "2024-01-31\tNA\n";
  std::string plain = File("quotes", quotes), out = File("quotes.bmp");
  BmpFile bmp = Chart(plain, "", out);
  EXPECT_THAT(last_, HasSubstr("rows run newest first"));
  EXPECT_THAT(last_, HasSubstr("1 channel, 29 samples"));
  EXPECT_GT(bmp.Count(kFirst), 300);
  Result piped = RunTool("- -o \"" + out + "\"", "", false, plain);
  EXPECT_EQ(piped.status, 0) << piped.output;
  EXPECT_THAT(piped.output, HasSubstr("vorda-chart: standard input: the rows run newest first"));
  BmpFile again;
  ASSERT_TRUE(Load(&again, out));
  EXPECT_EQ(again.Count(kFirst), bmp.Count(kFirst));

  // A WAV file is known by its header, whatever its name.
  std::string wav = File("tone.dat", std::string("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0"
                                                 "\x02\0\x10\0data\x08\0\0\0\0\0\xff\x3f\0\0\x01\xc0", 52));
  Chart(wav, "", File("tone.bmp"));
  EXPECT_THAT(last_, HasSubstr("1 channel, 4 samples"));
}

TEST_F(ChartRecordingsTest, InfinitiesLeaveThePlotOnTheirOwnSide) {
  // inf runs off the top, -inf off the bottom; the axis is that of the
  // rest, so both charts have their finite samples in the same places.
  std::string csv = File("inf.csv", "t,a,b\n0,1,1\n1,2,2\n2,inf,-inf\n3,2,2\n4,1,1\n");
  int highest[2], lowest[2];
  for (int i = 0; i < 2; ++i) {
    BmpFile bmp = Chart(csv, i == 0 ? "--channels a" : "--channels b", File("inf.bmp"));
    highest[i] = bmp.info.biHeight;
    lowest[i] = -1;
    for (int y = 0; y < bmp.info.biHeight; ++y)
      for (int x = 0; x < bmp.info.biWidth; ++x)
        if (bmp.At(x, y) == kFirst) {
          highest[i] = std::min(highest[i], y);
          lowest[i] = std::max(lowest[i], y);
        }
  }
  EXPECT_LT(highest[0], highest[1] - 10);  // inf above the top sample, -inf not there
  EXPECT_GT(lowest[1], lowest[0] + 10);    // -inf below the lowest sample, inf not there
}

TEST_F(ChartRecordingsTest, TitlesTheTextCannotShowGetQuestionMarksAndANote) {
  std::string csv = File("t.csv", "t,a\n0,1\n1,2\n"), out = File("title.bmp");
  // "10⁸ m³": the superscript eight is beyond the 8-bit text, the cube is in it.
  Result r = RunTool("\"" + csv + "\" -o \"" + out + "\" --title \"10\xE2\x81\xB8 m\xC2\xB3\"", "", true);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("vorda-chart: the chart's text cannot show some characters of the title \"10? m\xB3\""));
  Result ascii = RunTool("\"" + csv + "\" -o \"" + out + "\" --title \"10^8 m3\"", "", true);
  EXPECT_THAT(ascii.output, Not(HasSubstr("cannot show")));
}

TEST_F(ChartRecordingsTest, MessagesShowPathsAsTheUserTypedThem) {
  // scripts/vorda-chart turns /data/rec.csv into Z:/data/rec.csv for Wine
  // and says so; the messages show what the user typed.
  SetEnvironmentVariableA("VORDA_CHART_UNIX_DRIVE", "Z:");
  Result missing = RunTool("Z:/no/such/dir/rec.csv -o Z:/no/such/dir/chart.png");
  Result relative = RunTool("no-such-rec.csv -o chart.png");
  SetEnvironmentVariableA("VORDA_CHART_UNIX_DRIVE", nullptr);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.output, "vorda-chart: cannot open /no/such/dir/rec.csv for reading\n");
  EXPECT_EQ(relative.output.substr(0, 52), "vorda-chart: cannot open no-such-rec.csv for reading");
}

// A 16-bit mono WAV whose header announces 2 GB of samples (a recorder
// that stopped early, or the first bytes of a huge file) holding only 478:
// charted as far as it goes, said so, with the path as the user typed it.
TEST_F(ChartRecordingsTest, AWavShorterThanItsHeaderIsChartedAndSaidSo) {
  const std::string unixPath = "/tmp/vorda-" + std::to_string(GetCurrentProcessId()) + "-big.wav";
  const std::string wav = "Z:" + unixPath, out = File("big.bmp");
  std::string bytes("RIFF\xFF\xFF\xFF\x7FWAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x42\x0F\0\x80\x84\x1E\0\x02\0\x10\0data"
                    "\0\x94\x35\x77", 44);  // 2000000000 bytes: 10^9 samples
  for (int i = 0; i < 478; ++i) {
    const short v = static_cast<short>(20000 * std::sin(i * 0.05));
    bytes.append(reinterpret_cast<const char*>(&v), 2);
  }
  Write(wav, bytes);
  SetEnvironmentVariableA("VORDA_CHART_UNIX_DRIVE", "Z:");
  Result r = RunTool("\"" + wav + "\" -o \"" + out + "\"");
  SetEnvironmentVariableA("VORDA_CHART_UNIX_DRIVE", nullptr);
  DeleteFileA(wav.c_str());
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("vorda-chart: " + unixPath +
                                  ": the file ends after 478 of the 1000000000 samples its header announces; "
                                  "charting those\n"));
  EXPECT_THAT(r.output, HasSubstr("1 channel, 478 samples"));
  EXPECT_EQ(r.output.find("Z:"), std::string::npos) << r.output;
  // Said once, not again after the recording was read.
  EXPECT_EQ(r.output.find("charting those"), r.output.rfind("charting those")) << r.output;
}

}  // namespace
