// Draws a planned chart on the current surface through vorda's exports
// alone: picture, grid, traces (through the trace drivers and "Draw"
// routines), cursor, frame, ticks, labels, titles and legend.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "axes.h"
#include "chart_plan.h"
#include "layout.h"
#include "options.h"
#include "recording.h"
#include "vorda.h"
#include "vorda_log.h"

namespace chart {

struct Rgb {
  double r, g, b;
};

// The colour and pen style of series k.
Rgb SeriesColour(int k);
const char* SeriesPenStyle(int k);

struct Canvas {
  HDC dc = nullptr;
  int width = 0, height = 0;
  bool emf = false;
  // A window someone looks at: a drawing the host stops (because they
  // asked for another view) is no failure to tell them about.
  bool interactive = false;
};

// Where the plot of a drawn chart lies and how its axes map model values
// to pixels, for a viewer that turns the pointer back into values.
struct PanelFrame {
  Rect plot;
  AxisMap y;
};
struct ChartFrame {
  Rect plot;  // from the top of the first panel to the bottom of the last
  AxisMap x, y;  // y: the first panel's
  int textHeight = 0;
  std::vector<PanelFrame> panels;  // as ChartPlan::panels
  int summaryTraces = 0;  // traces drawn from the recording's summary
};

// Draws the whole chart; false after any failure, which is already shown
// (or after a stop, on an interactive canvas). `frame`, when given, gets
// the plot's place once the layout is known.
bool DrawChart(HostObject host, const Canvas& canvas, const Recording& recording,
               const Options& options, const ChartPlan& plan,
               const std::vector<unsigned char>& picture, VordaLog& log,
               ChartFrame* frame = nullptr);

}  // namespace chart
