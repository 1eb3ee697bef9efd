#include "panel_layout.h"

#include <algorithm>

namespace chart {
namespace {

// A panel needs room for two tick labels and the space between them; a
// state's panel for its two levels, 0 and 1, and a legend row.
int MinHeight(bool state, int t) { return state ? t * 5 / 2 : t * 4; }

// A state's panel takes about a fifth of a full one's height.
constexpr double kStateWeight = 0.22;

bool Split(const Rect& plot, const std::vector<bool>& state, int t, std::vector<Rect>* out) {
  const int n = static_cast<int>(state.size());
  const int gap = n > 1 ? PanelGap(t) : 0;
  const int room = plot.Height() - gap * (n - 1);
  int others = 0;
  double weights = 0;
  for (bool s : state) {
    weights += s ? kStateWeight : 1.0;
    others += s ? 0 : 1;
  }
  const int stateHeight =
      others == 0 ? 0 : std::max(MinHeight(true, t), static_cast<int>(room * kStateWeight / weights));
  int otherRoom = room - stateHeight * (n - others);
  int othersLeft = others, top = plot.top, alone = room;
  bool ok = room > 0;
  out->clear();
  for (int i = 0; i < n; ++i) {
    const bool s = state[static_cast<size_t>(i)];
    int h;
    if (others == 0) {  // only states: they share the room alike
      h = alone / (n - i);
      alone -= h;
    } else if (s) {
      h = stateHeight;
    } else {
      h = otherRoom / othersLeft;
      otherRoom -= h;
      --othersLeft;
    }
    ok = ok && h >= MinHeight(s, t);
    out->push_back({plot.left, top, plot.right, top + h});
    top += h + gap;
  }
  return ok;
}

}  // namespace

int PanelGap(int textHeight) { return std::max(6, textHeight * 3 / 4); }

PanelSplit SplitPanels(const Rect& plot, const std::vector<bool>& state, int textHeight,
                       int canvasHeight) {
  PanelSplit out;
  if (state.empty()) return out;
  const int t = std::max(textHeight, 8);
  out.ok = Split(plot, state, t, &out.panels);
  if (!out.ok) {
    // Grow the plot (and so the canvas) until every panel has its room;
    // the labels and titles around it keep their size.
    std::vector<Rect> trial;
    Rect taller = plot;
    int extra = 0;
    taller.bottom = std::max(plot.bottom, plot.top);
    while (extra < 1000000 && !Split(taller, state, t, &trial)) {
      extra += 10;
      taller.bottom = std::max(plot.bottom, plot.top) + extra;
    }
    out.neededHeight = canvasHeight + (taller.bottom - plot.bottom);
  }
  return out;
}

Rect PanelLegend(const Layout& layout, const Rect& panel, int entries) {
  Rect r;
  if (entries <= 0 || layout.legend.Width() == 0) return r;
  r.left = layout.legend.left;
  r.right = layout.legend.right;
  r.top = panel.top;
  r.bottom = panel.top + layout.legendPad * 2 + layout.legendRowHeight * entries;
  return r;
}

}  // namespace chart
