// first-chart: draws a small chart through vorda's exports alone (a plot
// frame, a dotted grid and a trace on a logarithmic y axis with a gap of
// missing samples) into a bitmap surface and saves it as a BMP file.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "tarn.h"
#include "vorda.h"

int main(int argc, char** argv) {
  const char* output = argc > 1 ? argv[1] : "first-chart.bmp";
  tarn::host().SetEchoErrors(true);
  HostObject host = tarn::host().NewObject("first-chart");

  int width = 800, height = 500;
  HDC dc = MSCreateBitmapDC(host, nullptr, nullptr, &width, &height);
  if (!dc) return 1;
  MSEnable(host, dc);
  const int left = 60, right = 770, top = 30, bottom = 460;
  const double xMin = 0, xMax = 10, yMin = 0.1, yMax = 1000;

  HPEN frame = nullptr, grid = nullptr, trace = nullptr;
  MSNewPen(host, &frame, "SOLID", 2, 0, 0, 0);
  MSNewPen(host, &grid, "DOT", 1, 0.6, 0.6, 0.6);
  MSNewPen(host, &trace, "SOLID", 2, 0.8, 0.1, 0.1);

  MSSetXForm(host, 0, "", "LOG10", left, right, top, bottom, xMin, xMax, yMax, yMin);
  std::vector<double> lines;
  for (int x = 1; x < 10; ++x) lines.insert(lines.end(), {double(x), yMin, double(x), yMax});
  for (double y = 1; y < yMax; y *= 10) lines.insert(lines.end(), {xMin, y, xMax, y});
  MSPolyLine(host, &grid, "LINES", lines.data(), static_cast<unsigned>(lines.size()));

  // An exponential rise with a ripple, and a stretch of missing samples.
  MSSetXForm(host, 1, "", "LOG10", left, right, top, bottom, xMin, xMax, yMax, yMin);
  std::vector<double> samples;
  for (int i = 0; i <= 1000; ++i) {
    double t = i / 100.0;
    double y = 0.2 * std::pow(10.0, t * 0.35) * (1.0 + 0.3 * std::sin(t * 6));
    if (t > 5.5 && t < 6.5) y = VORDA_MISSING_SAMPLE;
    samples.insert(samples.end(), {t, y});
  }
  // On a logarithmic axis the missing-sample value is an ordinary number,
  // so the gap goes through as not-a-number, which breaks the line on any axis.
  for (size_t k = 1; k < samples.size(); k += 2)
    if (samples[k] == VORDA_MISSING_SAMPLE) samples[k] = NAN;
  MSPolyLine(host, &trace, "LINE_STRIP", samples.data(), static_cast<unsigned>(samples.size()));

  MSDisable(host);
  MSSetXForm(host, 0, "", "", left, right, top, bottom, 0, 1, 1, 0);
  const double box[] = {0, 0, 1, 0, 1, 1, 0, 1, 0, 0};
  MSPolyLine(host, &frame, "LINE_STRIP", box, 10);

  int ok = MSSaveBitmapFile(host, dc, output);
  DeleteObject(frame);
  DeleteObject(grid);
  DeleteObject(trace);
  if (ok != 1 || !tarn::host().Errors().empty()) {
    std::fprintf(stderr, "first-chart: could not draw %s\n", output);
    return 1;
  }
  std::printf("first-chart: wrote %s (%dx%d)\n", output, width, height);
  return 0;
}
