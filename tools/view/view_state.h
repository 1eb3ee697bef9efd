// What part of a recording the viewer shows, and how a person's zooms and
// pans change it: a stack of views for going back, the whole recording at
// the bottom. Pure: ranges in model units in, ranges out.
#pragma once

#include <vector>

#include "axes.h"

namespace view {

using chart::Range;

struct PanelY {
  bool fixed = false;  // false: y fits the data shown
  Range y;
};

// What is in view: the time range and each panel's y (the first panel's
// in yFixed and y, the others' in `more`).
struct View {
  Range x;
  bool yFixed = false;  // false: y fits the data shown
  Range y;
  std::vector<PanelY> more;

  PanelY Panel(size_t panel) const;
  void SetPanel(size_t panel, PanelY y);
};

class ViewState {
 public:
  // `whole` is the x range of the whole recording.
  explicit ViewState(Range whole);

  const View& Current() const { return stack_.back(); }
  bool LogY(size_t panel = 0) const { return panel < logY_.size() && logY_[panel]; }
  // How many zooms Back can undo.
  size_t Depth() const { return stack_.size() - 1; }

  // A dragged span of x (ends in either order); with y as well when
  // `withY`. A span too narrow to be a zoom (as from a click) is ignored:
  // returns false.
  // `panel` is the panel whose y is dragged.
  bool ZoomTo(Range x, bool withY, Range y, size_t panel = 0);
  // The y of a panel fixed in the current view, as given on the command line.
  void FixY(size_t panel, Range y);
  // The wheel: x shrinks (factor < 1) or grows around `at`, never beyond
  // the whole recording. Consecutive wheel steps are one zoom for Back.
  void Wheel(double at, double factor);
  // Back one zoom; false when already at the whole recording.
  bool Back();
  // The whole recording again, with y fitting the data.
  void Home();
  // Moves x by `fraction` of its span (negative: left), kept within the
  // whole recording; the y of `panel` likewise, by `yFraction` of its shown
  // span `shownY` (a y that fits the data becomes fixed at it). Steps in a
  // row are one move for Back.
  void Pan(double fraction, double yFraction, Range shownY, size_t panel = 0);
  void ToggleLogY(size_t panel = 0);

 private:
  enum class Gesture { kZoom, kWheel, kPan };
  void Push(const View& v, Gesture gesture);
  Range Clamp(Range x) const;

  Range whole_;
  std::vector<View> stack_;
  Gesture last_ = Gesture::kZoom;
  std::vector<char> logY_;
};

// A span narrower than this fraction of the whole recording is no zoom.
inline constexpr double kMinSpanFraction = 1e-9;

}  // namespace view
