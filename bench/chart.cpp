// vorda-chart end to end on a recording of 10,000,000 samples (one channel
// at 10 kHz, as CSV with a time column and as a 16-bit WAV): the seconds
// spent reading, drawing and saving, beside the raw platform doing the
// same work (reading the file's bytes; GDI's Polyline drawing the same
// points converted by this program). Not a test.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chart_run.h"
#include "chunked_file.h"
#include "tarn.h"
#include "timer.h"

namespace {

constexpr int kSamples = 10000000;
constexpr int kWidth = 960, kHeight = 600;

double Signal(int i) {
  double t = i / 10000.0;
  return std::sin(t * 0.015708) + 0.2 * std::sin(t * 314.159) + 0.05 * std::sin(i * 1.7);
}

std::string TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

bool WriteCsv(const std::string& path) {
  bench::ChunkedFile f(path);
  if (!f.ok()) return false;
  f.Append("time (s),signal (V)\n");
  char cell[64];
  for (int i = 0; i < kSamples; ++i) {
    auto end = std::to_chars(cell, cell + 32, i / 10000.0, std::chars_format::fixed, 4).ptr;
    *end++ = ',';
    end = std::to_chars(end, cell + 64, Signal(i), std::chars_format::fixed, 5).ptr;
    *end++ = '\n';
    f.Append(cell, end);
  }
  return f.Close();
}

bool WriteWav(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::vector<short> data(kSamples);
  for (int i = 0; i < kSamples; ++i) data[i] = static_cast<short>(std::lround(Signal(i) * 25000));
  unsigned bytes = kSamples * 2, rate = 10000, byteRate = rate * 2, riff = 36 + bytes, fmt = 16;
  unsigned short pcm = 1, channels = 1, align = 2, bits = 16;
  std::fwrite("RIFF", 1, 4, f);
  std::fwrite(&riff, 4, 1, f);
  std::fwrite("WAVEfmt ", 1, 8, f);
  std::fwrite(&fmt, 4, 1, f);
  std::fwrite(&pcm, 2, 1, f);
  std::fwrite(&channels, 2, 1, f);
  std::fwrite(&rate, 4, 1, f);
  std::fwrite(&byteRate, 4, 1, f);
  std::fwrite(&align, 2, 1, f);
  std::fwrite(&bits, 2, 1, f);
  std::fwrite("data", 1, 4, f);
  std::fwrite(&bytes, 4, 1, f);
  std::fwrite(data.data(), 2, data.size(), f);
  return std::fclose(f) == 0;
}

double RawRead(const std::string& path) {
  size_t total = 0;
  const double s = bench::Time([&] {
    FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<char> chunk(1 << 20);
    size_t n;
    while (f && (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) total += n;
    if (f) std::fclose(f);
  });
  return total ? s : -1;
}

// GDI's Polyline on the same points, in the runs of 16000 that vorda uses,
// on a bitmap of the chart's size: the platform's share of the drawing.
double RawDraw() {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(30, 119, 181));  // as vorda-chart draws a dense trace
  HGDIOBJ oldPen = SelectObject(dc, pen);
  std::vector<double> values(kSamples);
  for (int i = 0; i < kSamples; ++i) values[i] = Signal(i);
  const double s = bench::Time([&] {
    std::vector<POINT> run(16000);
    const double xs = 800.0 / kSamples, ys = -200, yo = 300;
    for (int start = 0; start + 1 < kSamples;) {
      int count = std::min(16000, kSamples - start);
      for (int k = 0; k < count; ++k) {
        run[k].x = static_cast<long>(80 + xs * (start + k));
        run[k].y = std::clamp(static_cast<long>(ys * values[start + k] + yo), 0L, 16383L);
      }
      Polyline(dc, run.data(), count);
      start += count - 1;
    }
  });
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return s;
}

}  // namespace

int main() {
  const std::string csv = TempFile("vorda-bench-10M.csv"), wav = TempFile("vorda-bench-10M.wav");
  const std::string out = TempFile("vorda-bench-chart.bmp");
  std::printf("writing the recordings (not timed)...\n");
  if (!WriteCsv(csv) || !WriteWav(wav)) {
    std::fprintf(stderr, "bench_chart: cannot write the recordings\n");
    return 1;
  }
  double rawDraw = RawDraw();
  std::printf("\nvorda-chart, %d samples, %dx%d BMP\n", kSamples, kWidth, kHeight);
  std::printf("%-6s %9s %9s %9s %9s   %12s %12s\n", "input", "read s", "draw s", "save s", "total s",
              "raw read s", "raw draw s");
  bool ok = true;
  for (const std::string* input : {&csv, &wav}) {
    chart::Options o;
    o.input = *input;
    o.output = out;
    chart::Timings t;
    tarn::host().Reset();
    if (chart::RunChart(o, &t) != 0) {
      ok = false;
      continue;
    }
    double total = t.read + t.draw + t.save;
    std::printf("%-6s %9.3f %9.3f %9.3f %9.3f   %12.3f %12.3f   read x%.1f, draw x%.2f of raw\n",
                input == &csv ? "CSV" : "WAV", t.read, t.draw, t.save, total, RawRead(*input), rawDraw,
                t.read / std::max(1e-9, RawRead(*input)), t.draw / rawDraw);
    std::printf("       target: under 3 s in all: %s\n", total < 3 ? "yes" : "NO");
  }
  DeleteFileA(csv.c_str());
  DeleteFileA(wav.c_str());
  DeleteFileA(out.c_str());
  return ok ? 0 : 1;
}
