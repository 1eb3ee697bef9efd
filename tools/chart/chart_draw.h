// Draws a planned chart on the current surface through vorda's exports
// alone: picture, grid, traces (through the trace drivers and "Draw"
// routines), cursor, frame, ticks, labels, titles and legend.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "chart_plan.h"
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
};

// Draws the whole chart; false after any failure, which is already shown.
bool DrawChart(HostObject host, const Canvas& canvas, const Recording& recording,
               const Options& options, const ChartPlan& plan,
               const std::vector<unsigned char>& picture, VordaLog& log);

}  // namespace chart
