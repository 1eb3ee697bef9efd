// vorda-view: an interactive chart window of a recording, drawn through
// vorda's exports on the window's own device context, playing the tarn
// host itself. Takes the chart tool's options; -o only names where S saves.
#include <cstdio>
#include <new>
#include <string>

#include "chart_plan.h"
#include "chart_run.h"
#include "options.h"
#include "shown_path.h"
#include "summary_window.h"
#include "viewer.h"
#include "vorda_log.h"

namespace {

const char* kHelp = R"(usage: vorda-view RECORDING [options of vorda-chart]

Opens a window with the chart of a recording (CSV or WAV), as vorda-chart
would draw it, and lets you look into it:
  pointer over the plot  a crosshair on the nearest sample, through every
                         panel, with the time and each channel's value there
                         in the status line
  click, A               pin cursor A there (a second click moves it); the
                         status line then reads A and B (the pointer), dt,
                         1/dt, and each channel at A and B with their
                         difference
  C                      clear cursor A (Escape does too)
  drag (left button)     zoom into the dragged span of time (with Shift: and
                         into the values of the panel where the drag began)
  wheel                  zoom in or out around the pointer
  Backspace, right click back one zoom
  Home                   the whole recording
  arrow keys             move the view left, right, up or down
  L                      logarithmic y axis of the panel under the pointer on
                         or off
  S                      save the view: -o FILE (.png, .bmp or .emf) if given,
                         else RECORDING-view.png (then -view-2.png, ...) here
  Escape                 clear cursor A; without it, quit (closing the window
                         does too)

A long recording (250,000 samples a channel or more) is first summarized in
one pass over the file, with its progress in a window (Escape stops it); the
summary is kept in the cache folder, so the next opening skips the pass. Every
zoom is then drawn from the summary, with the pixels every sample would give.

Every option of vorda-chart is taken (see vorda-chart --help); --size sets the
chart's size in the window.
)";

}  // namespace

int main(int argc, char** argv) {
  chart::SetProgramName("vorda-view");
  chart::Options options;
  std::string error;
  if (!chart::ParseOptions(argc, argv, &options, &error, chart::Output::kOptional)) {
    std::fprintf(stderr, "vorda-view: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    std::vector<unsigned char> picture;
    if (!options.picture.empty() && !chart::ReadPicture(options.picture, &picture)) return 1;
    chart::Recording recording;
    chart::ReadError readError;
    bool loaded = chart::LoadRecording(options, &recording, &readError);
    for (const std::string& note : recording.notes) chart::Complain(note);
    if (!loaded) {
      chart::Complain(readError.message);
      return 1;
    }
    if (!options.everySample && !view::SummarizeInWindow(options, &recording)) return 1;
    // What the chart tool would refuse, the viewer refuses before it opens.
    chart::ChartPlan plan;
    if (!chart::PlanChart(recording, options, &plan, &error)) {
      chart::Complain(error);
      return 1;
    }
    chart::PlaceInfinities(plan, &recording);
    view::Viewer viewer(options, recording, std::move(picture));
    if (!viewer.Open()) return 1;
    return viewer.Run();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "vorda-view: out of memory reading %s\n", chart::ShownPath(options.input).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorda-view: cannot show %s: %s\n", chart::ShownPath(options.input).c_str(), e.what());
    return 1;
  }
}
