// Trace drivers: the scratch memory of a call stays bounded by the block
// size whatever the recording's length, and the burst/block loop costs
// little beside a plain copy of the bytes it hands over, measured in the
// same run. Also the time-series trace drawn through MSPolyLine beside
// GDI's Polyline on points converted here.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host_probe.h"
#include "tarnapi.h"
#include "tarn.h"
#include "timer.h"
#include "vorda.h"

namespace {

constexpr int kSamples = 50000000;
constexpr int kBlock = 100000;
constexpr double kSampleInc = 1e-4;

double MiB(size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS m{};
  m.cb = sizeof m;
  GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
  return m;
}

// A generator channel of one burst; its records are copied on demand from
// one period of a sine, so the host holds none of the samples.
tarn::Handle SineChannel(int samples) {
  static std::vector<double> table = [] {
    std::vector<double> t(4096);
    for (size_t i = 0; i < t.size(); ++i) t[i] = std::sin(static_cast<double>(i) * 0.00153398);
    return t;
  }();
  tarn::Handle c = tarn::host().NewChannel(2, kSampleInc, {{0.0, 0, samples - 1}});
  tarn::host().SetGenerator(c, 0, samples - 1, [](int first, int count, double* out) {
    for (int k = 0; k < count;) {
      const unsigned at = static_cast<unsigned>(first + k) & 4095u;
      const int run = std::min(count - k, static_cast<int>(4096 - at));
      std::memcpy(out + k, &table[at], sizeof(double) * static_cast<size_t>(run));
      k += run;
    }
  });
  return c;
}

}  // namespace

int main() {
  tarn::Host& h = tarn::host();
  vorda_test::HostProbe& probe = vorda_test::probe();
  HostObject script = h.NewObject("script");
  tarn::Handle channel = SineChannel(kSamples);
  tarn::Handle empty = h.NewObject("drawing");
  h.SetRoutine(empty, "Draw", [](tarn::Handle) { return 1; });

  // Memory: one 50,000,000-sample burst from the generator.
  PROCESS_MEMORY_COUNTERS before = Memory();
  int result = 0;
  double first = bench::Time([&] { result = _CDrawYTTrace(script, empty, channel, 1); });
  PROCESS_MEMORY_COUNTERS after = Memory();
  std::printf("_CDrawYTTrace, %d samples from a generator channel: result %d, %zu progress calls\n",
              kSamples, result, probe.ProgressCalls().size());
  std::printf("  peak working set %.1f MiB before the call, %.1f MiB after (+%.1f MiB); "
              "the samples as doubles would be %.1f MiB\n",
              MiB(before.PeakWorkingSetSize), MiB(after.PeakWorkingSetSize),
              MiB(after.PeakWorkingSetSize - before.PeakWorkingSetSize),
              MiB(sizeof(double) * static_cast<size_t>(kSamples)));

  // Speed: the driver with a Draw routine that does nothing, beside a plain
  // copy of the bytes it hands to the host ("Data", 16 a sample), block by
  // block through buffers of the block's size. The machine is shared: the
  // three are measured in turn, best of five.
  std::vector<double> from(2 * kBlock, 1.0), to(2 * kBlock);
  std::vector<double> records(kBlock), stored(2 * kBlock);
  volatile double sink = 0;
  double driver = first, copy = 1e300, hostSide = 1e300;
  for (int run = 0; run < 5; ++run) {
    driver = std::min(driver, bench::Time([&] { _CDrawYTTrace(script, empty, channel, 1); }));
    copy = std::min(copy, bench::Time([&] {
      for (long long done = 0; done < kSamples; done += kBlock - 1) {
        size_t n = static_cast<size_t>(std::min<long long>(kBlock, kSamples - done));
        std::memcpy(to.data(), from.data(), 16 * n);
        sink = sink + to[n - 1];
      }
    }));
    // What the stand-in host spends of the driver's time: the same calls
    // (seek, read, set "Data" and "DataSize", Draw) without the driver.
    hostSide = std::min(hostSide, bench::Time([&] {
      for (long long done = 0; done < kSamples; done += kBlock - 1) {
        int n = static_cast<int>(std::min<long long>(kBlock, kSamples - done));
        tarnChannelDataSeek(channel, static_cast<int>(done), "POSITION_ABSOLUTE");
        tarnChannelGetDataDouble(channel, n, records.data());
        tarnObjectSetString(empty, "Data", 0, -1, reinterpret_cast<const char*>(stored.data()),
                            16 * n);
        tarnObjectSetLong(empty, "DataSize", 0, -1, 2 * n);
        tarnObjectCallSub(empty, "Draw");
      }
    }));
  }
  std::printf("  empty Draw routine:  %8.1f M samples/s (%.3f s)\n", kSamples / driver / 1e6,
              driver);
  std::printf("    of which the stand-in host's calls alone (seek, read, set, Draw): %.3f s\n",
              hostSide);
  std::printf("  memcpy of the Data:  %8.1f M samples/s (%.3f s, %.0f MB)\n",
              kSamples / copy / 1e6, copy, 16.0 * kSamples / 1e6);
  std::printf("  driver / copy: %.2fx (target at most 3x)\n", driver / copy);

  // Drawing: each block through MSPolyLine onto a 1000 x 500 DIB, beside
  // GDI's Polyline on the same points converted here.
  const int drawn = 5000000;
  tarn::Handle drawChannel = SineChannel(drawn);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1000, -500, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  MSEnable(script, dc);
  const double span = drawn * kSampleInc;
  MSSetXForm(script, 1, "LINEAR", "LINEAR", 0, 999, 0, 499, 0, span, 1.1, -1.1);
  tarn::Handle poly = h.NewObject("drawing");
  std::vector<double> block;
  h.SetRoutine(poly, "Draw", [&](tarn::Handle self) {
    const tarn::Bytes& data = std::get<tarn::Bytes>(*h.Find(self, "Data"));
    block.resize(data.size() / sizeof(double));
    std::memcpy(block.data(), data.data(), data.size());
    return MSPolyLine(script, &pen, "LINE_STRIP", block.data(), static_cast<unsigned>(block.size()));
  });
  const double viaDriver = bench::Best(2, [&] { _CDrawYTTrace(script, poly, drawChannel, 1); });

  // The same strips straight to GDI: converted here, in runs of 16000
  // points that share their end points, as MSPolyLine hands them over.
  std::vector<POINT> points(static_cast<size_t>(drawn));
  const double xScale = 999.0 / span, yScale = -499.0 / 2.2, yOffset = 499.0 / 2.0;
  {
    std::vector<double> y(static_cast<size_t>(drawn));
    tarnChannelDataSeek(drawChannel, 0, "POSITION_ABSOLUTE");
    tarnChannelGetDataDouble(drawChannel, drawn, y.data());
    for (int k = 0; k < drawn; ++k)
      points[static_cast<size_t>(k)] = {static_cast<LONG>(xScale * (k * kSampleInc)),
                                        static_cast<LONG>(yScale * y[static_cast<size_t>(k)] + yOffset)};
  }
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const double raw = bench::Best(2, [&] {
    for (size_t at = 0; at + 1 < points.size(); at += 15999)
      Polyline(dc, &points[at], static_cast<int>(std::min<size_t>(16000, points.size() - at)));
  });
  std::printf("_CDrawYTTrace, %d samples drawn through MSPolyLine on a 1000x500 DIB:\n", drawn);
  std::printf("  Draw calling MSPolyLine: %8.2f M samples/s (%.3f s)\n", drawn / viaDriver / 1e6,
              viaDriver);
  std::printf("  GDI Polyline alone:      %8.2f M samples/s (%.3f s)\n", drawn / raw / 1e6, raw);
  std::printf("  driver and MSPolyLine / Polyline: %.2fx\n", viaDriver / raw);

  MSDisable(script);
  SelectObject(dc, oldPen);
  SelectObject(dc, old);
  DeleteObject(pen);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return result == 1 ? 0 : 1;
}
