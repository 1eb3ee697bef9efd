// What part of a recording the viewer shows, and how a person's zooms and
// pans change it: a stack of views for going back, the whole recording at
// the bottom. Pure: ranges in model units in, ranges out.
#pragma once

#include <vector>

#include "axes.h"

namespace view {

using chart::Range;

struct View {
  Range x;
  bool yFixed = false;  // false: y fits the data shown
  Range y;
};

class ViewState {
 public:
  // `whole` is the x range of the whole recording.
  explicit ViewState(Range whole);

  const View& Current() const { return stack_.back(); }
  bool LogY() const { return logY_; }
  // How many zooms Back can undo.
  size_t Depth() const { return stack_.size() - 1; }

  // A dragged span of x (ends in either order); with y as well when
  // `withY`. A span too narrow to be a zoom (as from a click) is ignored:
  // returns false.
  bool ZoomTo(Range x, bool withY, Range y);
  // The wheel: x shrinks (factor < 1) or grows around `at`, never beyond
  // the whole recording. Consecutive wheel steps are one zoom for Back.
  void Wheel(double at, double factor);
  // Back one zoom; false when already at the whole recording.
  bool Back();
  // The whole recording again, with y fitting the data.
  void Home();
  // Moves x by `fraction` of its span (negative: left), kept within the
  // whole recording; y likewise when it is fixed, by `yFraction` of the
  // shown y span `shownY` (a y that fits the data becomes fixed at it).
  void Pan(double fraction, double yFraction, Range shownY);
  void ToggleLogY() { logY_ = !logY_; }

 private:
  void Push(const View& v, bool fromWheel);
  Range Clamp(Range x) const;

  Range whole_;
  std::vector<View> stack_;
  bool lastWasWheel_ = false;
  bool logY_ = false;
};

// A span narrower than this fraction of the whole recording is no zoom.
inline constexpr double kMinSpanFraction = 1e-9;

}  // namespace view
