#include "layout.h"

#include <algorithm>

namespace chart {

Layout ComputeLayout(const LayoutInput& in) {
  Layout l;
  const int t = std::max(in.textHeight, 8);
  const int pad = t;                 // outer margin and gaps between parts
  l.tickLength = std::max(4, t / 3);
  const int labelGap = std::max(3, t / 3);

  // Top: the title.
  l.titleCenterX = in.width / 2;
  l.titleTop = pad * 2 / 3;
  int top = l.titleTop + std::max(in.titleHeight, t) + pad * 2 / 3;

  // Left: the vertical y title, then the y tick labels.
  int yTitleLeft = pad * 2 / 3;
  l.yTitleCenterX = yTitleLeft + t / 2;
  int left = yTitleLeft + t + pad * 2 / 3 + in.yLabelWidth + labelGap + l.tickLength;
  l.yLabelRight = left - l.tickLength - labelGap;

  // Bottom: the x tick labels, then the x title.
  int bottom = in.height - (pad * 2 / 3 + t + pad / 2 + t + labelGap + l.tickLength);

  // Right: the legend, and room for half of the last x label.
  int right = in.width - std::max(pad, in.xLabelWidth / 2 + pad / 2);
  if (in.legendEntries > 0) {
    l.legendPad = t / 2;
    l.legendSwatch = 2 * t;
    l.legendRowHeight = t + t / 3;
    int legendWidth = l.legendPad * 3 + l.legendSwatch + in.legendTextWidth;
    l.legend.right = in.width - pad;
    l.legend.left = l.legend.right - legendWidth;
    l.legend.top = top;
    l.legend.bottom = top + l.legendPad * 2 + l.legendRowHeight * in.legendEntries;
    right = std::min(right, l.legend.left - pad);
  }

  l.plot = {left, top, right, bottom};
  l.xLabelTop = bottom + l.tickLength + labelGap;
  l.xTitleTop = l.xLabelTop + t + pad / 2;
  l.xTitleCenterX = (left + right) / 2;
  l.yTitleCenterY = (top + bottom) / 2;
  l.ok = l.plot.Width() >= 4 * t && l.plot.Height() >= 3 * t;
  return l;
}

int TicksThatFit(int length, int labelSize, int gap) {
  int per = std::max(1, labelSize + gap);
  return std::max(2, length / per);
}

}  // namespace chart
