// MSPolyLine against GDI's own Polyline drawing the same 1,000,000 points
// on a 1920x1080 bitmap surface, linear and logarithmic y. Prints points
// per second and the ratios; not a test.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tarn.h"
#include "timer.h"
#include "vorda.h"

namespace {

constexpr int kPoints = 1000000;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRepeats = 5;

// The raw platform: the benchmark converts the points itself and hands
// GDI the same runs of 16000 points, joined at the cuts.
void RawPolyline(HDC dc, const std::vector<double>& data, bool logY, double xs, double xo,
                 double ys, double yo, std::vector<POINT>& buffer) {
  const size_t n = data.size() / 2;
  size_t start = 0;
  while (start + 1 < n) {
    size_t count = std::min<size_t>(16000, n - start);
    for (size_t k = 0; k < count; ++k) {
      double x = data[2 * (start + k)], y = data[2 * (start + k) + 1];
      if (logY) y = std::log10(y);
      buffer[k].x = std::clamp(static_cast<long>(xs * x + xo), 0L, 16383L);
      buffer[k].y = std::clamp(static_cast<long>(ys * y + yo), 0L, 16383L);
    }
    Polyline(dc, buffer.data(), static_cast<int>(count));
    start += count - 1;
  }
}

}  // namespace

int main() {
  tarn::host().SetEchoErrors(true);
  HostObject host = tarn::host().NewObject("bench");
  int w = kWidth, h = kHeight;
  HDC dc = MSCreateBitmapDC(host, nullptr, nullptr, &w, &h);
  if (!dc) return 1;
  HPEN pen = nullptr;
  MSEnable(host, dc);
  MSNewPen(host, &pen, "SOLID", 1, 0, 0.4, 0.8);
  SelectObject(dc, pen);

  std::vector<double> linear(2 * kPoints), logarithmic(2 * kPoints);
  for (int i = 0; i < kPoints; ++i) {
    double s = std::sin(i / 50.0) * 0.9 + 0.05 * std::sin(i / 3.0);
    linear[2 * i] = logarithmic[2 * i] = i;
    linear[2 * i + 1] = s;
    logarithmic[2 * i + 1] = std::pow(10.0, 2 * s);
  }
  std::vector<POINT> buffer(16000);
  // Model x 0..kPoints on 0..1919; y 1..-1 (or 100..0.01) on 0..1079.
  double xs = (0.0 - (kWidth - 1)) / (0.0 - kPoints), xo = 0;
  double ys = (0.0 - (kHeight - 1)) / (1.0 - -1.0), yo = 0 - ys * 1.0;
  double lys = (0.0 - (kHeight - 1)) / (2.0 - -2.0), lyo = 0 - lys * 2.0;

  std::printf("%d points onto a %dx%d bitmap surface, best of %d\n", kPoints, kWidth, kHeight,
              kRepeats);
  std::printf("%-22s %12s %12s %14s %8s\n", "axes", "vorda s", "raw GDI s", "vorda pts/s",
              "ratio");
  struct Run {
    const char* name;
    const std::vector<double>& data;
    const char* yAxis;
    double top, bottom, ys, yo;
    bool log;
  } runs[] = {{"linear", linear, "", 1, -1, ys, yo, false},
              {"log y", logarithmic, "LOG10", 100, 0.01, lys, lyo, true}};
  for (const Run& r : runs) {
    MSSetXForm(host, 1, "", r.yAxis, 0, kWidth - 1, 0, kHeight - 1, 0, kPoints, r.top, r.bottom);
    // Alternate the two so that neither gains from running second.
    double tv = 1e300, tr = 1e300;
    for (int k = 0; k < 2; ++k) {
      tr = std::min(tr, bench::Best(kRepeats, [&] { RawPolyline(dc, r.data, r.log, xs, xo, r.ys, r.yo, buffer); }));
      tv = std::min(tv, bench::Best(kRepeats, [&] {
        MSPolyLine(host, &pen, "LINE_STRIP", r.data.data(), static_cast<unsigned>(r.data.size()));
      }));
    }
    std::printf("%-22s %12.4f %12.4f %14.0f %8.3f\n", r.name, tv, tr, kPoints / tv, tv / tr);
  }
  MSDisable(host);
  char path[MAX_PATH + 32];
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, "vorda-bench-polyline.bmp");
  int saved = MSSaveBitmapFile(host, dc, path);
  DeleteObject(pen);
  std::printf("target: linear ratio at most 1.05; chart saved: %s\n", saved == 1 ? "yes" : "no");
  return 0;
}
