#include "chart_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>

#include "calendar_ticks.h"
#include "gdi_object.h"
#include "host_recording.h"
#include "layout.h"
#include "shown_path.h"
#include "tarn.h"
#include "vorda_data.h"
#include "vorda_map.h"

namespace chart {

Rgb SeriesColour(int k) {
  // Distinct on screen and in print, and kind to red-green blindness.
  static const Rgb kPalette[] = {
      {0.12, 0.47, 0.71}, {1.00, 0.50, 0.05}, {0.17, 0.63, 0.17}, {0.84, 0.15, 0.16},
      {0.58, 0.40, 0.74}, {0.55, 0.34, 0.29}, {0.89, 0.47, 0.76}, {0.50, 0.50, 0.50},
      {0.74, 0.74, 0.13}, {0.09, 0.75, 0.81},
  };
  return kPalette[k % 10];
}

const char* SeriesPenStyle(int k) {
  static const char* kStyles[] = {"SOLID", "DASH", "DOT", "DASHDOT", "DASHDOTDOT"};
  return kStyles[(k / 10 + k) % 5];
}

namespace {

constexpr Rgb kText = {0.1, 0.1, 0.1};
const char* kFace = "Arial";

// The "Draw" routine of one series: hands each block from the trace
// driver to MSPolyLine, and its samples to MSPolyPoints for markers.
class SeriesDrawer {
 public:
  SeriesDrawer(HostObject host, HPEN* pen, Style style, bool logY, bool markers, int markerSize,
               Rgb colour)
      : host_(host), pen_(pen), style_(style), logY_(logY), markers_(markers),
        markerSize_(markerSize), colour_(colour) {}

  int Draw(tarn::Handle self) {
    const tarn::Property* data = tarn::host().Find(self, "Data");
    const tarn::Property* size = tarn::host().Find(self, "DataSize");
    const tarn::Bytes* bytes = data ? std::get_if<tarn::Bytes>(data) : nullptr;
    const int* count = size ? std::get_if<int>(size) : nullptr;
    if (!bytes || !count || *count < 0 || bytes->size() < sizeof(double) * static_cast<size_t>(*count))
      return 0;
    const size_t n = static_cast<size_t>(*count);
    const double* points = reinterpret_cast<const double*>(bytes->data());
    // On a logarithmic axis vorda draws the missing-sample value like any
    // other number; a not-a-number breaks the line on every axis.
    if (logY_ || reinterpret_cast<std::uintptr_t>(points) % alignof(double) != 0) {
      work_.resize(n);
      std::memcpy(work_.data(), bytes->data(), n * sizeof(double));
      if (logY_)
        for (double& v : work_)
          if (v == kMissingSample) v = NAN;
      points = work_.data();
    }
    // A lone sample is no line; its marker still shows it.
    if (n >= 4 && MSPolyLine(host_, pen_, "LINE_STRIP", points, static_cast<unsigned>(n)) != 1) return 0;
    if (markers_) {
      marks_.clear();
      const size_t stride =
          style_ == Style::kBars ? VORDA_BAR_DOUBLES_PER_SAMPLE : VORDA_TRACE_DOUBLES_PER_SAMPLE;
      for (size_t k = 0; k + stride <= n; k += stride) {
        // A bar's marker sits on the middle of its top.
        double x = style_ == Style::kBars ? (points[k + 2] + points[k + 4]) * 0.5 : points[k];
        double y = style_ == Style::kBars ? points[k + 3] : points[k + 1];
        if (vorda_is_missing(x) || vorda_is_missing(y)) continue;
        marks_.push_back(x);
        marks_.push_back(y);
      }
      if (!marks_.empty() && MSPolyPoints(host_, marks_.data(), static_cast<unsigned>(marks_.size()),
                                          markerSize_, colour_.r, colour_.g, colour_.b) != 1)
        return 0;
    }
    return 1;
  }

 private:
  HostObject host_;
  HPEN* pen_;
  Style style_;
  bool logY_, markers_;
  int markerSize_;
  Rgb colour_;
  std::vector<double> work_, marks_;
};

class ChartPainter {
 public:
  ChartPainter(HostObject host, const Canvas& canvas, const Recording& r, const Options& o,
               const ChartPlan& p, VordaLog& log, ChartFrame* frame)
      : host_(host), canvas_(canvas), r_(r), o_(o), p_(p), log_(log), frame_(frame) {}

  bool Paint(const std::vector<unsigned char>& picture) {
    if (!Setup()) return false;
    if (!picture.empty() && !Picture(picture)) return false;
    if (!Grid() || !Traces() || !Cursor()) return false;
    MSDisable(host_);
    return Decorations();
  }

 private:
  // After a vorda call that did not succeed: shows what vorda said.
  bool Failed(const std::string& step) {
    log_.Clean(step);
    return false;
  }
  // A vorda call's result and what it reported: true only for a success
  // that reported nothing. Every report is shown, whatever the result.
  bool Ok(int result, const std::string& step) {
    bool clean = log_.Clean(step);
    return clean && result == 1;
  }

  int TextHeight() const { return std::max(9, static_cast<int>(std::lround(10 * scale_))); }

  // Fonts scale with the canvas so that a large chart reads like a small one.
  bool Setup() {
    if (!Ok(MSEnable(host_, canvas_.dc), "making the surface current")) return false;
    scale_ = std::max(0.9, std::min(canvas_.width / 960.0, canvas_.height / 600.0));
    const int points = TextHeight();
    const int titlePoints = static_cast<int>(std::lround(points * 1.3));
    if (!Ok(MSNewFont(host_, label_.get(), kFace, points, "HORIZONTAL", "NORMAL", 0, 0, 0), "making the fonts") ||
        !Ok(MSNewFont(host_, vertical_.get(), kFace, points, "+VERTICAL", "NORMAL", 0, 0, 0), "making the fonts") ||
        !Ok(MSNewFont(host_, title_.get(), kFace, titlePoints, "HORIZONTAL", "HEAVY", 0, 0, 0), "making the fonts"))
      return false;
    int w = 0;
    if (!Measure(label_, "Ag", &w, &textHeight_) || !Measure(title_, "Ag", &w, &titleHeight_)) return false;

    int legendWidth = 0;
    for (const std::string& name : p_.legend) {
      int h = 0, nameWidth = 0;
      if (!Measure(label_, name, &nameWidth, &h)) return false;
      legendWidth = std::max(legendWidth, nameWidth);
    }
    // Lay out with a guess at the tick labels, choose the ticks for the
    // plot that results, then lay out again with their real widths.
    LayoutInput in;
    in.width = canvas_.width;
    in.height = canvas_.height;
    in.textHeight = textHeight_;
    in.titleHeight = titleHeight_;
    in.yLabelWidth = textHeight_ * 3;
    in.xLabelWidth = textHeight_ * 3;
    in.legendTextWidth = legendWidth;
    in.legendEntries = p_.series.size() > 1 || o_.style == Style::kXY ? static_cast<int>(p_.legend.size()) : 0;
    for (int pass = 0; pass < 2; ++pass) {
      layout_ = ComputeLayout(in);
      if (!layout_.ok) {
        Complain("the chart is too small for its labels; give a larger --size");
        return false;
      }
      if (!ChooseTicks(&in.xLabelWidth, &in.yLabelWidth)) return false;
    }
    layout_ = ComputeLayout(in);
    if (canvas_.emf && !WhiteMetafile()) return false;
    const Rect& plot = layout_.plot;
    if (!MakeAxisMap(plot.left, plot.right, p_.x.lo, p_.x.hi, false, &xMap_) ||
        !MakeAxisMap(plot.top, plot.bottom, p_.y.hi, p_.y.lo, p_.logY, &yMap_)) {
      Complain("the value range cannot be shown on a logarithmic axis");
      return false;
    }
    if (frame_) *frame_ = ChartFrame{plot, xMap_, yMap_, textHeight_};
    return true;
  }

  // A metafile starts transparent and as small as what is drawn on it. A
  // text drawn while clipping is on clears the clip area to white first:
  // clipped to the canvas, that paints the chart's white page.
  bool WhiteMetafile() {
    if (!Ok(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, canvas_.width, 0, canvas_.height, 0,
                       canvas_.width, 0, canvas_.height),
            "clipping to the metafile's page"))
      return false;
    if (!Text(label_, " ", 0, 0, "HORIZONTAL", "LEFT", "CENTER", {1, 1, 1})) return false;
    MSDisable(host_);
    return true;
  }

  bool Measure(Font& font, const std::string& text, int* w, int* h) {
    return Ok(MSGetTextExtents(host_, font.get(), text.c_str(), "HORIZONTAL", w, h),
              "measuring \"" + text + "\"");
  }

  // Ticks at round values, as many as their labels leave room for.
  bool ChooseTicks(int* xLabelWidth, int* yLabelWidth) {
    const Rect& plot = layout_.plot;
    for (int axis = 0; axis < 2; ++axis) {
      bool x = axis == 0;
      bool log = !x && p_.logY;
      Range range = x ? p_.x : p_.y;
      int length = x ? plot.Width() : plot.Height();
      int room = x ? textHeight_ * 6 : textHeight_ * 3;
      const bool dates = x && p_.calendarX;
      std::vector<double> ticks;
      std::vector<std::string> labels;
      CalendarTicks calendar;
      int widest = 0;
      // Fewer ticks until the labels fit with a gap between them.
      for (int count = TicksThatFit(length, room, 0); count >= 2; --count) {
        if (dates) calendar = MakeCalendarTicks(range, count);
        ticks = dates ? calendar.values : log ? LogTicks(range, count) : LinearTicks(range, count);
        double step = log || dates ? 0 : LinearStep(range, count);
        labels.clear();
        widest = 0;
        for (size_t i = 0; i < ticks.size(); ++i) {
          double t = ticks[i];
          labels.push_back(dates ? calendar.labels[i] : log ? FormatLogTick(t) : FormatLinearTick(t, step));
          int w = 0, h = 0;
          if (!Measure(label_, labels.back(), &w, &h)) return false;
          widest = std::max(widest, w);
        }
        int need = x ? widest + textHeight_ * 2 : textHeight_ * 2;
        if (static_cast<int>(ticks.size()) * need <= length) break;
      }
      if (x) xTitle_ = calendar.context.empty() ? p_.xTitle : p_.xTitle + ", " + calendar.context;
      (x ? xTicks_ : yTicks_) = ticks;
      (x ? xLabels_ : yLabels_) = labels;
      (x ? *xLabelWidth : *yLabelWidth) = widest;
    }
    return true;
  }

  // Plot area in model units (the world transform of the traces), clipped.
  bool PlotTransform(int clip) {
    const Rect& plot = layout_.plot;
    return Ok(MSSetXForm(host_, clip, "LINEAR", p_.logY ? "LOG10" : "LINEAR", plot.left, plot.right,
                         plot.top, plot.bottom, p_.x.lo, p_.x.hi, p_.y.hi, p_.y.lo),
              "setting the plot's transform");
  }
  // The whole canvas in pixels, unclipped, for frame, ticks and text.
  bool PixelTransform() {
    return Ok(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, canvas_.width, 0, canvas_.height, 0,
                         canvas_.width, 0, canvas_.height),
              "setting the canvas transform");
  }

  bool Picture(const std::vector<unsigned char>& bytes) {
    const Rect& plot = layout_.plot;
    // The model unit square on the plot area: the picture is fitted into it.
    return Ok(MSSetXForm(host_, 0, "LINEAR", "LINEAR", plot.left, plot.right, plot.top, plot.bottom,
                         0, 1, 1, 0),
              "placing the picture " + ShownPath(o_.picture)) &&
           Ok(MSLoadPicture(host_, bytes.data(), static_cast<unsigned>(bytes.size())),
              "drawing the picture " + ShownPath(o_.picture));
  }

  bool Grid() {
    if (!PlotTransform(1)) return false;
    Pen grid;
    if (MSNewPen(host_, grid.get(), "SOLID", 1, 0.87, 0.87, 0.87) != 1) return Failed("making the grid pen");
    std::vector<double> lines;
    for (double t : xTicks_) lines.insert(lines.end(), {t, p_.y.lo, t, p_.y.hi});
    for (double t : yTicks_) lines.insert(lines.end(), {p_.x.lo, t, p_.x.hi, t});
    if (lines.empty()) return true;
    MSPolyLine(host_, grid.get(), "LINES", lines.data(), static_cast<unsigned>(lines.size()));
    return log_.Clean("drawing the grid");
  }

  bool Traces() {
    const bool show = o_.progress;
    tarn::host().SetProgressBar(show);
    pens_.resize(p_.series.size());
    for (size_t k = 0; k < p_.series.size(); ++k) {
      const int c = p_.series[k];
      const std::string& name = r_.channels[static_cast<size_t>(c)].name;
      Rgb colour = SeriesColour(static_cast<int>(k));
      const char* style = SeriesPenStyle(static_cast<int>(k));
      // GDI draws dashes and dots only with pens one pixel wide. A trace of
      // more samples than pixels is a solid band at any width, and with a
      // solid one-pixel pen MSPolyLine hands GDI a few points a column
      // instead of every sample: 10,000,000 samples draw in less than a tenth of the
      // time a wider pen takes.
      bool dense = SamplesInView() > 2.0 * layout_.plot.Width();
      int width = std::strcmp(style, "SOLID") == 0 && !dense
                      ? std::max(1, static_cast<int>(std::lround(1.5 * scale_)))
                      : 1;
      pens_[k] = std::make_unique<Pen>();
      if (MSNewPen(host_, pens_[k]->get(), style, width, colour.r, colour.g, colour.b) != 1)
        return Failed("making the pen of " + name);
      if (!PlotTransform(1)) return false;

      tarn::Handle channel = AddHostChannel(r_, c);
      tarn::Handle draw = tarn::host().NewObject("trace");
      SeriesDrawer drawer(host_, pens_[k]->get(), o_.style, p_.logY, o_.markers, MarkerSize(),
                          colour);
      tarn::host().SetRoutine(draw, "Draw", [&drawer](tarn::Handle self) { return drawer.Draw(self); });
      int result = 0;
      if (o_.style == Style::kXY || r_.Uneven()) {
        // Uneven times have no one interval for the time-series driver:
        // they are drawn against a channel of the times themselves.
        tarn::Handle x = o_.style == Style::kXY ? AddHostChannel(r_, p_.xChannel) : AddHostTimeChannel(r_);
        result = _CDrawXYTrace(host_, draw, x, channel, 1, 1);
        tarn::host().Delete(x);
      } else if (o_.style == Style::kBars) {
        result = _CDrawYTBars(host_, draw, channel, 1);
      } else {
        result = _CDrawYTTrace(host_, draw, channel, 1);
      }
      tarn::host().Delete(draw);
      tarn::host().Delete(channel);
      if (!log_.Clean("drawing " + name)) return false;
      if (result != 1) {
        if (!canvas_.interactive) Complain("drawing " + name + " was stopped");
        return false;
      }
    }
    return true;
  }

  // How many samples of one series the plot's time range holds.
  double SamplesInView() const {
    if (o_.style == Style::kXY || !(r_.sampleInc > 0)) return static_cast<double>(r_.SampleCount());
    double n = 0;
    for (const Burst& b : r_.bursts) {
      double first = std::max(0.0, std::ceil((p_.x.lo - b.start) / r_.sampleInc));
      double last = std::min(double(b.count - 1), std::floor((p_.x.hi - b.start) / r_.sampleInc));
      if (last >= first) n += last - first + 1;
    }
    return n;
  }

  int MarkerSize() const { return std::max(3, static_cast<int>(std::lround(5 * scale_))) | 1; }

  bool Cursor() {
    if (!p_.haveCursor) return true;
    // The horizontal bar of a missing sample lies outside the plot, where
    // the clipping hides it, leaving the line at the time.
    double y = p_.cursorHasY ? p_.cursorY : (p_.logY ? p_.y.hi * 10 : p_.y.hi + (p_.y.hi - p_.y.lo));
    const double bars[VORDA_CROSSHAIR_DOUBLES] = {p_.x.lo, y, p_.x.hi, y,
                                                  p_.cursorX, p_.y.hi, p_.cursorX, p_.y.lo};
    // A slot for each of the two bars, both free.
    int slots[2 * VORDA_CROSSHAIR_SLOT_INTS];
    std::fill(std::begin(slots), std::end(slots), VORDA_FREE_SLOT);
    MSCrossHair(host_, bars, VORDA_CROSSHAIR_DOUBLES, slots, static_cast<unsigned>(std::size(slots)));
    return log_.Clean("drawing the cursor");
  }

  bool Text(Font& font, const std::string& text, double x, double y, const char* orientation,
            const char* horz, const char* vert, Rgb colour = kText) {
    MSText(host_, font.get(), text.c_str(), x, y, orientation, horz, vert, colour.r, colour.g, colour.b);
    return log_.Clean("writing \"" + text + "\"");
  }

  bool Decorations() {
    if (!PixelTransform()) return false;
    const Rect& plot = layout_.plot;
    Pen frame, tick;
    if (MSNewPen(host_, frame.get(), "SOLID", 1, 0.2, 0.2, 0.2) != 1 ||
        MSNewPen(host_, tick.get(), "SOLID", 1, 0.2, 0.2, 0.2) != 1)
      return Failed("making the frame pen");
    const double box[] = {double(plot.left), double(plot.top),     double(plot.right), double(plot.top),
                          double(plot.right), double(plot.bottom), double(plot.left),  double(plot.bottom),
                          double(plot.left), double(plot.top)};
    MSPolyLine(host_, frame.get(), "LINE_STRIP", box, 10);
    if (!log_.Clean("drawing the frame")) return false;

    std::vector<double> marks;
    const double len = layout_.tickLength;
    for (double t : xTicks_) {
      double x = std::trunc(xMap_(t));
      marks.insert(marks.end(), {x, double(plot.bottom), x, plot.bottom + len});
    }
    for (double t : yTicks_) {
      double y = std::trunc(yMap_(t));
      marks.insert(marks.end(), {double(plot.left), y, plot.left - len, y});
    }
    if (!marks.empty()) MSPolyLine(host_, tick.get(), "LINES", marks.data(), static_cast<unsigned>(marks.size()));
    if (!log_.Clean("drawing the ticks")) return false;

    for (size_t i = 0; i < xTicks_.size(); ++i)
      if (!Text(label_, xLabels_[i], std::trunc(xMap_(xTicks_[i])), layout_.xLabelTop + textHeight_ / 2,
                "HORIZONTAL", "CENTER", "CENTER"))
        return false;
    for (size_t i = 0; i < yTicks_.size(); ++i)
      if (!Text(label_, yLabels_[i], layout_.yLabelRight, std::trunc(yMap_(yTicks_[i])), "HORIZONTAL",
                "RIGHT", "CENTER"))
        return false;
    if (!Text(title_, p_.title, layout_.titleCenterX, layout_.titleTop + titleHeight_ / 2, "HORIZONTAL",
              "CENTER", "CENTER", {0, 0, 0}) ||
        !Text(label_, xTitle_, layout_.xTitleCenterX, layout_.xTitleTop + textHeight_ / 2, "HORIZONTAL",
              "CENTER", "CENTER") ||
        !Text(vertical_, p_.yTitle, layout_.yTitleCenterX, layout_.yTitleCenterY, "+VERTICAL", "CENTER",
              "CENTER"))
      return false;
    return Legend();
  }

  bool Legend() {
    if (layout_.legend.Width() == 0) return true;
    const Rect& b = layout_.legend;
    Pen border;
    if (MSNewPen(host_, border.get(), "SOLID", 1, 0.75, 0.75, 0.75) != 1) return Failed("making the legend pen");
    const double box[] = {double(b.left), double(b.top),     double(b.right), double(b.top),
                          double(b.right), double(b.bottom), double(b.left),  double(b.bottom),
                          double(b.left), double(b.top)};
    MSPolyLine(host_, border.get(), "LINE_STRIP", box, 10);
    if (!log_.Clean("drawing the legend")) return false;
    for (size_t k = 0; k < p_.legend.size(); ++k) {
      double y = b.top + layout_.legendPad + layout_.legendRowHeight * (k + 0.5);
      double x0 = b.left + layout_.legendPad, x1 = x0 + layout_.legendSwatch;
      y = std::trunc(y);
      const double swatch[] = {x0, y, x1, y};
      MSPolyLine(host_, pens_[k]->get(), "LINES", swatch, 4);
      if (o_.markers) {
        Rgb c = SeriesColour(static_cast<int>(k));
        const double mid[] = {std::trunc((x0 + x1) / 2), y};
        MSPolyPoints(host_, mid, 2, MarkerSize(), c.r, c.g, c.b);
      }
      if (!log_.Clean("drawing the legend") ||
          !Text(label_, p_.legend[k], x1 + layout_.legendPad, y, "HORIZONTAL", "LEFT", "CENTER"))
        return false;
    }
    return true;
  }

  HostObject host_;
  const Canvas& canvas_;
  const Recording& r_;
  const Options& o_;
  const ChartPlan& p_;
  VordaLog& log_;
  ChartFrame* frame_;
  double scale_ = 1;
  Font label_, vertical_, title_;
  int textHeight_ = 0, titleHeight_ = 0;
  Layout layout_;
  AxisMap xMap_, yMap_;
  std::vector<double> xTicks_, yTicks_;
  std::vector<std::string> xLabels_, yLabels_;
  std::string xTitle_;  // with the date that the calendar labels leave out
  std::vector<std::unique_ptr<Pen>> pens_;
};

}  // namespace

bool DrawChart(HostObject host, const Canvas& canvas, const Recording& recording,
               const Options& options, const ChartPlan& plan,
               const std::vector<unsigned char>& picture, VordaLog& log, ChartFrame* frame) {
  ChartPainter painter(host, canvas, recording, options, plan, log, frame);
  bool ok = painter.Paint(picture);
  MSDisable(host);
  // Nothing vorda said goes unseen, whichever way the drawing ended.
  bool clean = log.Clean("drawing the chart");
  return ok && clean && !log.failed();
}

}  // namespace chart
