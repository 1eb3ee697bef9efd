// MSPolyLine against GDI's own Polyline on the same device points, 1920x1080
// bitmap surfaces, for traces denser and sparser than the pixel columns: a
// 10,000,000-point random walk, a 1,000,000-point noisy sine whose every
// sample jumps up to a fifth of the range, and a sine of fewer points than
// columns. Prints the seconds, the speed-up, whether both drew the same
// pixels, and the time it takes just to read the points; not a test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "tarn.h"
#include "vorda.h"
#include "timer.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
// Keeps the reading of the points from being optimised away.
volatile double sink;

// The best of `repeats` timings of `calls` calls of f, per call.
template <typename F>
double Best(int repeats, int calls, F&& f) {
  return bench::Best(repeats, [&] {
           for (int c = 0; c < calls; ++c) f();
         }) / calls;
}

// Model units are pixels here (the transform is the identity), so the
// benchmark's own conversion gives the very device points vorda computes.
long Pixel(double v) { return std::clamp(static_cast<long>(v), 0L, 16383L); }

// GDI alone, in the runs of 16000 points joined at the cuts that vorda
// hands it when it draws every point.
void RawPolyline(HDC dc, const std::vector<double>& data, std::vector<POINT>& buffer) {
  const size_t n = data.size() / 2;
  for (size_t start = 0; start + 1 < n;) {
    size_t count = std::min<size_t>(16000, n - start);
    for (size_t k = 0; k < count; ++k)
      buffer[k] = {Pixel(data[2 * (start + k)]), Pixel(data[2 * (start + k) + 1])};
    Polyline(dc, buffer.data(), static_cast<int>(count));
    start += count - 1;
  }
}

// x spread evenly over the columns, y from the generator.
template <typename Y>
std::vector<double> Trace(int points, Y&& y) {
  std::vector<double> data(2 * static_cast<size_t>(points));
  for (int i = 0; i < points; ++i) {
    data[2 * static_cast<size_t>(i)] = (kWidth - 1) * (i / double(points - 1));
    data[2 * static_cast<size_t>(i) + 1] = y(i);
  }
  return data;
}

std::vector<double> RandomWalk(int points) {
  std::mt19937 random(7);
  std::vector<double> walk(static_cast<size_t>(points));
  double v = 0;
  for (double& w : walk) w = v += (random() & 1) ? 1.0 : -1.0;
  auto [lo, hi] = std::minmax_element(walk.begin(), walk.end());
  const double low = *lo, scale = (kHeight - 81) / std::max(1.0, *hi - *lo);
  return Trace(points, [&](int i) { return 40 + (walk[static_cast<size_t>(i)] - low) * scale; });
}

std::vector<double> NoisySine(int points, int periods, double jump) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> noise(-jump, jump);
  const double range = kHeight - 80;
  return Trace(points, [&](int i) {
    double s = std::sin(6.283185307179586 * periods * i / points);
    return 40 + range * (0.5 + 0.3 * s + noise(random));
  });
}

struct Surface {
  HDC dc = nullptr;
  std::vector<uint32_t> pixels;
};

void Clear(const Surface& s) { PatBlt(s.dc, 0, 0, kWidth, kHeight, WHITENESS); }

const std::vector<uint32_t>& Read(Surface& s) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  s.pixels.assign(static_cast<size_t>(kWidth) * kHeight, 0);
  HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(s.dc, OBJ_BITMAP));
  GetDIBits(s.dc, bitmap, 0, kHeight, s.pixels.data(), &info, DIB_RGB_COLORS);
  return s.pixels;
}

}  // namespace

int main() {
  tarn::host().SetEchoErrors(true);
  HostObject host = tarn::host().NewObject("bench");
  int w = kWidth, h = kHeight;
  Surface vorda, raw;
  vorda.dc = MSCreateBitmapDC(host, nullptr, nullptr, &w, &h);
  raw.dc = MSCreateBitmapDC(host, nullptr, nullptr, &w, &h);
  if (!vorda.dc || !raw.dc) return 1;
  HPEN pen = nullptr;
  MSNewPen(host, &pen, "SOLID", 1, 0, 0.4, 0.8);
  HGDIOBJ rawPen = SelectObject(raw.dc, pen);
  MSEnable(host, vorda.dc);
  MSSetXForm(host, 0, "", "", 0, kWidth - 1, 0, kHeight - 1, 0, kWidth - 1, 0, kHeight - 1);

  struct Case {
    const char* name;
    std::vector<double> data;
    int repeats, calls;
    double target;  // the speed-up asked for
  } cases[] = {
      {"random walk, 10M points", RandomWalk(10000000), 3, 1, 20},
      {"noisy sine, 1M points", NoisySine(1000000, 5, 0.2), 3, 1, 20},
      {"sparse sine, 1500 points", NoisySine(1500, 3, 0), 5, 400, 1 / 1.03},
      {"sparse noisy sine, 1500 pts", NoisySine(1500, 3, 0.2), 5, 100, 1 / 1.03},
  };
  std::vector<POINT> buffer(16000);
  std::printf("MSPolyLine and GDI Polyline on the same device points, %dx%d, best of the runs\n",
              kWidth, kHeight);
  std::printf("%-28s %10s %10s %9s %7s %7s %10s\n", "trace", "vorda s", "GDI s", "speed-up",
              "pixels", "target", "reading s");
  bool all = true;
  for (Case& c : cases) {
    const unsigned size = static_cast<unsigned>(c.data.size());
    Clear(vorda);
    Clear(raw);
    // Alternate the two so that neither gains from running second.
    double tv = 1e300, tr = 1e300;
    for (int k = 0; k < 2; ++k) {
      tr = std::min(tr, Best(c.repeats, c.calls, [&] { RawPolyline(raw.dc, c.data, buffer); }));
      tv = std::min(tv, Best(c.repeats, c.calls,
                             [&] { MSPolyLine(host, &pen, "LINE_STRIP", c.data.data(), size); }));
    }
    // One pen over white, drawn again and again: the last drawing is the
    // picture, so the surfaces compare as they would after one call each.
    bool same = Read(vorda) == Read(raw);
    bool met = same && tr / tv >= c.target;
    all = all && met;
    // What no drawing of every point can go below: reading the points once.
    double floor = Best(c.repeats, c.calls, [&] {
      double sum = 0;
      for (double v : c.data) sum += v;
      sink = sink + sum;
    });
    std::printf("%-28s %10.6f %10.6f %8.2fx %7s %7s %10.6f\n", c.name, tv, tr, tr / tv,
                same ? "same" : "DIFFER", met ? "met" : "MISSED", floor);
  }
  std::printf("targets: dense traces at least 20x faster, the sparse one no slower than 1.03x; "
              "pixels the same: %s\n", all ? "all met" : "NOT all met");
  MSDisable(host);
  SelectObject(raw.dc, rawPen);
  DeleteObject(pen);
  for (HDC dc : {vorda.dc, raw.dc}) {
    // A bitmap selected into a DC cannot be deleted: the DC goes first.
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  return all ? 0 : 1;
}
