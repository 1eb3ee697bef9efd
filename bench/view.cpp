// vorda-view on a recording of 10,000,000 samples (one channel, a noisy
// signal at 10 kHz), once it is loaded: the seconds a redraw of the whole
// recording at full width takes, from the recording's summary as the
// viewer draws a long recording, and with every sample through the trace
// drivers (MSPolyLine and the labels, on the window's own device context);
// and the time to answer a pointer move (the crosshair erased and drawn
// again, the status line written), beside GDI's Polyline drawing the same
// points on the same window. Needs an X display. Not a test.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "options.h"
#include "recording.h"
#include "summary.h"
#include "timer.h"
#include "viewer.h"

namespace {

constexpr int kSamples = 10000000;
constexpr double kRate = 10000;

chart::Recording Signal() {
  chart::Recording r;
  std::vector<double> signal(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    const double t = i / kRate;
    signal[i] = std::sin(t * 0.015708) + 0.2 * std::sin(t * 314.159) + 0.05 * std::sin(i * 1.7);
  }
  r.channels.push_back({"signal (V)"});
  r.source = std::make_shared<recording::MemorySource>(std::vector<std::vector<double>>{std::move(signal)});
  r.bursts.push_back({0, 0, kSamples});
  r.sampleInc = 1 / kRate;
  r.timeName = "time (s)";
  return r;
}

// GDI's Polyline on the points the chart's traces have, mapped by the
// plot's axes: the raw platform drawing the same trace.
double RawPolyline(const view::Viewer& viewer, const chart::Recording& r) {
  const chart::ChartFrame& f = viewer.frame();
  std::vector<POINT> points(kSamples);
  const std::vector<double>& samples =
      static_cast<const recording::MemorySource&>(*r.source).Channels()[0];
  for (int i = 0; i < kSamples; ++i)
    points[i] = {static_cast<LONG>(f.x(i / kRate)), static_cast<LONG>(f.y(samples[i]))};
  HDC dc = GetDC(viewer.hwnd());
  const double seconds = bench::Best(3, [&] {
    for (int i = 0; i + 1 < kSamples; i += 15999)
      Polyline(dc, points.data() + i, std::min(16000, kSamples - i));
  });
  ReleaseDC(viewer.hwnd(), dc);
  return seconds;
}

}  // namespace

int main() {
  chart::Recording recording = Signal();
  const char* args[] = {"vorda-view", "signal.csv", "--size", "1600x900px"};
  chart::Options options;
  std::string error;
  if (!chart::ParseOptions(4, args, &options, &error, chart::Output::kOptional)) {
    std::fprintf(stderr, "bench_view: %s\n", error.c_str());
    return 1;
  }
  auto summaries = std::make_shared<std::vector<recording::ChannelSummary>>();
  const double summarize =
      bench::Time([&] { recording::SummarizeSource(*recording.source, summaries.get(), nullptr, &error); });
  if (summaries->empty()) {
    std::fprintf(stderr, "bench_view: %s\n", error.c_str());
    return 1;
  }
  recording.summaries = summaries;
  bool whole = true;
  double everySample = 0;
  {
    chart::Options every = options;
    every.everySample = true;
    view::Viewer viewer(every, recording, {});
    if (!viewer.Open()) return 1;
    everySample = bench::Best(5, [&] { whole = viewer.Redraw() && whole; });
  }
  view::Viewer viewer(options, recording, {});
  if (!viewer.Open()) return 1;
  const double redraw = bench::Best(10, [&] { whole = viewer.Redraw() && whole; });
  const chart::Rect& plot = viewer.frame().plot;
  int step = 0;
  const double move = bench::Best(50, [&] {
    viewer.MovePointer(plot.left + 20 + (step++ % 40) * (plot.right - plot.left - 40) / 40,
                       (plot.top + plot.bottom) / 2);
  });
  const double raw = RawPolyline(viewer, recording);
  std::printf("vorda-view, %d samples at full width, 1600x900 chart, best runs\n", kSamples);
  std::printf("summary of the samples in memory (once)   %8.4f s\n", summarize);
  std::printf("redraw from the summary                   %8.4f s\n", redraw);
  std::printf("redraw with every sample (trace drivers)  %8.4f s   GDI Polyline alone %8.4f s   ratio %.2f\n",
              everySample, raw, everySample / raw);
  std::printf("pointer move (crosshair and readout)      %8.4f s\n", move);
  std::printf("targets: redraw from the summary under 0.05 s: %s; with every sample under 0.1 s: %s; "
              "pointer move within a frame (1/60 s): %s; chart whole: %s\n",
              redraw < 0.05 ? "met" : "MISSED", everySample < 0.1 ? "met" : "MISSED",
              move < 1 / 60.0 ? "met" : "MISSED", whole ? "yes" : "NO");
  return whole ? 0 : 1;
}
