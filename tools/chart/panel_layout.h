// How the plot area of a chart is shared by stacked panels: one above the
// other with a gap between, a state's panel short, the others alike; and
// each panel's legend box. Pure: sizes in, rectangles out.
#pragma once

#include <vector>

#include "layout.h"

namespace chart {

struct PanelSplit {
  std::vector<Rect> panels;  // top to bottom
  bool ok = false;           // false when a panel would be too small to read
  int neededHeight = 0;      // when not ok: the canvas height that would do
};

// Splits `plot` (the area from the top of the first panel to the bottom of
// the last) for panels of which `state` tells the short ones, on a canvas
// `canvasHeight` pixels high with labels `textHeight` high.
PanelSplit SplitPanels(const Rect& plot, const std::vector<bool>& state, int textHeight,
                       int canvasHeight);

// The gap between two panels.
int PanelGap(int textHeight);

// The legend box of a panel with `entries` names, at the panel's top, in
// the column the layout keeps for legends.
Rect PanelLegend(const Layout& layout, const Rect& panel, int entries);

}  // namespace chart
