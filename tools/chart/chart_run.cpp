#include "chart_run.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <io.h>
#include <vector>

#include "chart_draw.h"
#include "chart_output.h"
#include "chart_plan.h"
#include "host_recording.h"
#include "shown_path.h"
#include "summaries.h"
#include "tarn.h"
#include "vorda_log.h"

namespace chart {
namespace {

double Since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

bool ReadPicture(const std::string& path, std::vector<unsigned char>* bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    Complain("cannot open the picture " + ShownPath(path) + " for reading");
    return false;
  }
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + n);
  bool bad = std::ferror(f) != 0;
  std::fclose(f);
  if (bad || bytes->empty()) {
    Complain(bad ? "cannot read the picture " + ShownPath(path) : "the picture " + ShownPath(path) + " is empty");
    return false;
  }
  return true;
}

bool SummarizeRecording(const Options& o, Recording* r, Timings* t,
                        const std::function<bool(std::int64_t, std::int64_t)>& told) {
  const auto t0 = std::chrono::steady_clock::now();
  const std::string name = ShownPath(o.input);
  // Progress for a pass a person waits for: asked for, or a long recording.
  const bool show = o.progress || o.verbose ||
                    r->SampleCount() * static_cast<std::int64_t>(r->channels.size()) >= 50000000;
  int shown = -1;
  auto progress = [&](std::int64_t done, std::int64_t total) {
    if (told) return told(done, total);
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (show && percent != shown) {
      shown = percent;
      std::fprintf(stderr, "\r%s: summarizing %s: %3d%%", ProgramName(), name.c_str(), percent);
      if (percent == 100) std::fputc('\n', stderr);
    }
    return true;
  };
  SummaryOutcome outcome;
  std::string error;
  if (!AttachSummaries(o, r, progress, &outcome, &error)) {
    Complain(error == "stopped" ? "stopped before " + name + " was summarized" : "cannot summarize " + name + ": " + error);
    return false;
  }
  if (!outcome.note.empty()) Complain(outcome.note);
  t->summary = Since(t0);
  t->summaryKept = outcome.fromCache;
  return true;
}

int RunChart(const Options& options, Timings* timings) {
  Timings local;
  Timings& t = timings ? *timings : local;
  Options o = options;
  // A terminal gets the progress bar unasked.
  if (_isatty(_fileno(stderr))) o.progress = true;

  VordaLog log;
  HostObject host = tarn::host().NewObject("vorda-chart");
  OutputSurface output(host, o, log);

  auto t0 = std::chrono::steady_clock::now();
  std::vector<unsigned char> picture;
  if (!o.picture.empty() && !ReadPicture(o.picture, &picture)) return 1;
  Recording recording;
  ReadError readError;
  bool loaded = LoadRecording(o, &recording, &readError);
  for (const std::string& note : recording.notes) Complain(note);
  if (!loaded) {
    Complain(readError.message);
    return 1;
  }
  t.read = Since(t0);
  if (!o.everySample && !SummarizeRecording(o, &recording, &t)) return 1;
  t0 = std::chrono::steady_clock::now();
  ChartPlan plan;
  std::string planError;
  if (!PlanChart(recording, o, &plan, &planError)) {
    Complain(planError);
    return 1;
  }
  PlaceInfinities(plan, &recording);
  t.plan = Since(t0);
  t.samples = recording.SampleCount() * static_cast<long long>(plan.series.size() + (plan.xChannel >= 0));

  t0 = std::chrono::steady_clock::now();
  if (!output.Open()) return 1;
  ClearHostReadFailure();
  ChartFrame frame;
  if (!DrawChart(host, output.canvas(), recording, o, plan, picture, log, &frame)) return 1;
  t.draw = Since(t0);
  // What was drawn must be the recording that was planned: a file changed
  // or unreadable meanwhile leaves nothing written.
  if (recording.source->Changed()) {
    Complain(ShownPath(o.input) + " changed on disk while it was being charted; nothing was written (chart it again)");
    return 1;
  }
  if (!HostReadFailure().empty()) {
    Complain(HostReadFailure() + "; nothing was written");
    return 1;
  }

  t0 = std::chrono::steady_clock::now();
  if (!output.Save()) return 1;
  t.save = Since(t0);
  if (o.verbose)
    std::fprintf(stderr,
                 "vorda-chart: read %.3f s, summary %.3f s (%s), plan %.3f s, draw %.3f s (%d of %zu traces from "
                 "the summary), save %.3f s\n",
                 t.read, t.summary, !recording.summaries ? "none" : t.summaryKept ? "kept" : "made", t.plan, t.draw,
                 frame.summaryTraces, plan.series.size(), t.save);
  std::printf("vorda-chart: wrote %s (%dx%d pixels, %zu channel%s, %lld samples)\n", ShownPath(o.output).c_str(),
              output.canvas().width, output.canvas().height, plan.series.size(),
              plan.series.size() == 1 ? "" : "s", static_cast<long long>(recording.SampleCount()));
  return 0;
}

}  // namespace chart
