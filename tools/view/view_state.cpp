#include "view_state.h"

#include <algorithm>
#include <cmath>

namespace view {
namespace {

Range Ordered(Range r) { return r.lo <= r.hi ? r : Range{r.hi, r.lo}; }
double Span(Range r) { return r.hi - r.lo; }

}  // namespace

PanelY View::Panel(size_t panel) const {
  if (panel == 0) return {yFixed, y};
  return panel - 1 < more.size() ? more[panel - 1] : PanelY{};
}

void View::SetPanel(size_t panel, PanelY p) {
  if (panel == 0) {
    yFixed = p.fixed;
    y = p.y;
    return;
  }
  if (more.size() < panel) more.resize(panel);
  more[panel - 1] = p;
}

ViewState::ViewState(Range whole) : whole_(Ordered(whole)) { stack_.push_back({whole_, false, {}, {}}); }

Range ViewState::Clamp(Range x) const {
  const double span = std::min(Span(x), Span(whole_));
  if (x.lo < whole_.lo) x = {whole_.lo, whole_.lo + span};
  if (x.hi > whole_.hi) x = {whole_.hi - span, whole_.hi};
  return x;
}

void ViewState::Push(const View& v, Gesture gesture) {
  // A wheel gesture of many steps, or many steps of panning, is undone by
  // one Back.
  if (gesture != Gesture::kZoom && gesture == last_ && stack_.size() > 1)
    stack_.back() = v;
  else
    stack_.push_back(v);
  last_ = gesture;
}

void ViewState::FixY(size_t panel, Range y) { stack_.back().SetPanel(panel, {true, Ordered(y)}); }

void ViewState::ToggleLogY(size_t panel) {
  if (logY_.size() <= panel) logY_.resize(panel + 1, 0);
  logY_[panel] = !logY_[panel];
}

bool ViewState::ZoomTo(Range x, bool withY, Range y, size_t panel) {
  x = Ordered(x);
  y = Ordered(y);
  const double minSpan = Span(whole_) * kMinSpanFraction;
  if (!(Span(x) > minSpan) || !std::isfinite(Span(x))) return false;
  if (withY && !(Span(y) > 0 && std::isfinite(Span(y)))) return false;
  View v = Current();
  v.x = Clamp(x);
  if (withY) v.SetPanel(panel, {true, y});
  Push(v, Gesture::kZoom);
  return true;
}

void ViewState::Wheel(double at, double factor) {
  if (!(factor > 0) || !std::isfinite(at)) return;
  View v = Current();
  Range x{at - (at - v.x.lo) * factor, at + (v.x.hi - at) * factor};
  if (!(Span(x) > Span(whole_) * kMinSpanFraction)) return;
  if (Span(x) >= Span(whole_)) x = whole_;
  v.x = Clamp(x);
  Push(v, Gesture::kWheel);
}

bool ViewState::Back() {
  last_ = Gesture::kZoom;
  if (stack_.size() == 1) return false;
  stack_.pop_back();
  return true;
}

void ViewState::Home() {
  // A pan may have moved the bottom view's y; the whole recording fits it again.
  stack_.assign(1, View{whole_, false, {}, {}});
  last_ = Gesture::kZoom;
}

void ViewState::Pan(double fraction, double yFraction, Range shownY, size_t panel) {
  // A pan is a view of its own: Back returns to the view before it.
  View v = Current();
  const double dx = Span(v.x) * fraction;
  v.x = Clamp({v.x.lo + dx, v.x.hi + dx});
  if (yFraction != 0) {
    PanelY p = v.Panel(panel);
    if (!p.fixed) p.y = Ordered(shownY);
    p.fixed = true;
    // On a logarithmic axis the shown range pans in decades.
    if (LogY(panel) && p.y.lo > 0) {
      const double f = std::pow(p.y.hi / p.y.lo, yFraction);
      p.y = {p.y.lo * f, p.y.hi * f};
    } else {
      const double dy = Span(p.y) * yFraction;
      p.y = {p.y.lo + dy, p.y.hi + dy};
    }
    v.SetPanel(panel, p);
  }
  Push(v, Gesture::kPan);
}

}  // namespace view
