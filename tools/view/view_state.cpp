#include "view_state.h"

#include <algorithm>
#include <cmath>

namespace view {
namespace {

Range Ordered(Range r) { return r.lo <= r.hi ? r : Range{r.hi, r.lo}; }
double Span(Range r) { return r.hi - r.lo; }

}  // namespace

ViewState::ViewState(Range whole) : whole_(Ordered(whole)) { stack_.push_back({whole_, false, {}}); }

Range ViewState::Clamp(Range x) const {
  const double span = std::min(Span(x), Span(whole_));
  if (x.lo < whole_.lo) x = {whole_.lo, whole_.lo + span};
  if (x.hi > whole_.hi) x = {whole_.hi - span, whole_.hi};
  return x;
}

void ViewState::Push(const View& v, bool fromWheel) {
  // A wheel gesture of many steps is undone by one Back.
  if (fromWheel && lastWasWheel_ && stack_.size() > 1)
    stack_.back() = v;
  else
    stack_.push_back(v);
  lastWasWheel_ = fromWheel;
}

bool ViewState::ZoomTo(Range x, bool withY, Range y) {
  x = Ordered(x);
  y = Ordered(y);
  const double minSpan = Span(whole_) * kMinSpanFraction;
  if (!(Span(x) > minSpan) || !std::isfinite(Span(x))) return false;
  if (withY && !(Span(y) > 0 && std::isfinite(Span(y)))) return false;
  View v = Current();
  v.x = Clamp(x);
  if (withY) {
    v.yFixed = true;
    v.y = y;
  }
  Push(v, false);
  return true;
}

void ViewState::Wheel(double at, double factor) {
  if (!(factor > 0) || !std::isfinite(at)) return;
  View v = Current();
  Range x{at - (at - v.x.lo) * factor, at + (v.x.hi - at) * factor};
  if (!(Span(x) > Span(whole_) * kMinSpanFraction)) return;
  if (Span(x) >= Span(whole_)) x = whole_;
  v.x = Clamp(x);
  Push(v, true);
}

bool ViewState::Back() {
  lastWasWheel_ = false;
  if (stack_.size() == 1) return false;
  stack_.pop_back();
  return true;
}

void ViewState::Home() {
  // A pan may have moved the bottom view's y; the whole recording fits it again.
  stack_.assign(1, View{whole_, false, {}});
  lastWasWheel_ = false;
}

void ViewState::Pan(double fraction, double yFraction, Range shownY) {
  View& v = stack_.back();
  const double dx = Span(v.x) * fraction;
  v.x = Clamp({v.x.lo + dx, v.x.hi + dx});
  if (yFraction != 0) {
    if (!v.yFixed) v.y = Ordered(shownY);
    v.yFixed = true;
    // On a logarithmic axis the shown range pans in decades.
    if (logY_ && v.y.lo > 0) {
      const double f = std::pow(v.y.hi / v.y.lo, yFraction);
      v.y = {v.y.lo * f, v.y.hi * f};
    } else {
      const double dy = Span(v.y) * yFraction;
      v.y = {v.y.lo + dy, v.y.hi + dy};
    }
  }
  lastWasWheel_ = false;
}

}  // namespace view
