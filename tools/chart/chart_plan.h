// What a chart will show, decided from the recording and the options
// before anything is drawn: which channels in which order, the ranges of
// both axes, the titles, and the point of the cursor. Pure, so that every
// choice and every refusal can be checked without a device.
#pragma once

#include <string>
#include <vector>

#include "axes.h"
#include "options.h"
#include "panels.h"
#include "recording.h"

namespace chart {

// Reads the input named by the options: a WAV file by its header, any other
// file (or "-", standard input) as CSV text.
bool LoadRecording(const Options& options, Recording* out, ReadError* error);

// One of the plots stacked on the chart's time axis.
struct PanelPlan {
  std::vector<int> series;   // positions in ChartPlan::series
  Range y;
  bool logY = false;
  bool state = false;        // its channels only hold 0 and 1: a short panel
  std::string yTitle;        // the unit, or the channel's name when alone
};

struct ChartPlan {
  std::vector<int> series;   // channels drawn, in order (for --xy: Y only)
  int xChannel = -1;         // --xy: the channel along x
  std::vector<PanelPlan> panels;  // top to bottom; at least one
  Range x;
  // The first panel's y range, scale and title.
  Range y;
  bool logY = false;
  bool calendarX = false;    // x is dates: calendar ticks
  std::string title, xTitle, yTitle;
  std::vector<std::string> legend;  // one name a series
  bool haveCursor = false;
  double cursorX = 0, cursorY = 0;
  bool cursorHasY = false;   // false when the sample at the cursor is missing
  int cursorPanel = 0;       // the panel of the first series

  // The panel that draws series position k.
  int PanelOf(int k) const;
};

// What a channel holds within a time range (all of it when `time` is
// null): the extent of its values, of those above 0, and whether it is a
// state. The one place that reads a channel's values for its range.
struct ChannelValues {
  Extent linear{false};
  Extent positive{true};
  StateCheck state;
};
// False after *error says why the recording could not be read.
bool ScanChannel(const Recording& recording, int channel, const Range* time, ChannelValues* values,
                 std::string* error);

bool PlanChart(const Recording& recording, const Options& options, ChartPlan* plan,
               std::string* error);

// Makes the infinite samples of the channels drawn finite values a
// thousand axis lengths beyond the plan's axes (above for inf, below or to
// the left for -inf): vorda draws a coordinate beyond its 32-bit range at
// the device's top or left edge, which would put -inf at the top.
void PlaceInfinities(const ChartPlan& plan, Recording* recording);

// The sample of `channel` nearest to time t, if t lies within a burst:
// false outside the bursts; `missing` tells a missing sample there.
bool SampleAt(const Recording& recording, int channel, double t, double* value, bool* missing);

// The file name without its directories, for titles and messages.
std::string BaseName(const std::string& path);

}  // namespace chart
