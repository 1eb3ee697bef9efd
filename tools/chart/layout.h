// Where the parts of a chart go on the canvas: the title on top, the plot
// area with its tick labels and axis titles, and the legend on the right.
// Every distance is a multiple of the text height, so a chart keeps its
// proportions at any resolution. Pure: the caller measures the text.
#pragma once

namespace chart {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct LayoutInput {
  int width = 0, height = 0;   // the canvas, pixels
  int textHeight = 0;          // cell height of the label font
  int titleHeight = 0;         // cell height of the title font
  int yLabelWidth = 0;         // the widest y tick label
  int xLabelWidth = 0;         // the widest x tick label (for the right edge)
  int legendTextWidth = 0;     // the widest channel name
  int legendEntries = 0;       // 0: no legend
};

struct Layout {
  Rect plot;                 // the frame; traces are clipped to it
  int tickLength = 0;
  int xLabelTop = 0;         // top of the x tick labels
  int yLabelRight = 0;       // right end of the y tick labels
  int titleCenterX = 0, titleTop = 0;
  int xTitleCenterX = 0, xTitleTop = 0;
  int yTitleCenterX = 0, yTitleCenterY = 0;  // centre of the vertical title
  Rect legend;               // the legend's box; empty without a legend
  int legendRowHeight = 0;
  int legendSwatch = 0;      // length of the line sample before each name
  int legendPad = 0;
  bool ok = false;           // false when the canvas is too small for a plot
};

Layout ComputeLayout(const LayoutInput& in);

// How many ticks fit along an axis of `length` pixels when each label
// needs `labelSize` pixels and a gap of `gap`.
int TicksThatFit(int length, int labelSize, int gap);

}  // namespace chart
