#include "chart_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>

#include "calendar_ticks.h"
#include "exact_trace.h"
#include "gdi_object.h"
#include "host_recording.h"
#include "layout.h"
#include "panel_layout.h"
#include "shown_path.h"
#include "tarn.h"
#include "tick_labels.h"
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
    // Each panel has its legend in the column the layout keeps on the right.
    in.legendEntries = p_.series.size() > 1 || o_.style == Style::kXY ? 1 : 0;
    for (int pass = 0; pass < 3; ++pass) {
      layout_ = ComputeLayout(in);
      if (!layout_.ok) {
        Complain("the chart is too small for its labels; give a larger --size");
        return false;
      }
      if (!SplitPlot()) return false;
      if (pass < 2 && !ChooseTicks(&in.xLabelWidth, &in.yLabelWidth)) return false;
    }
    if (canvas_.emf && !WhiteMetafile()) return false;
    const Rect& plot = layout_.plot;
    bool mapped = MakeAxisMap(plot.left, plot.right, p_.x.lo, p_.x.hi, false, &xMap_);
    for (size_t i = 0; i < panels_.size(); ++i) {
      const Rect& r = panels_[i].rect;
      const PanelPlan& pp = p_.panels[i];
      mapped = mapped && MakeAxisMap(r.top, r.bottom, pp.y.hi, pp.y.lo, pp.logY, &panels_[i].y);
    }
    if (!mapped) {
      Complain("the value range cannot be shown on a logarithmic axis");
      return false;
    }
    if (frame_) {
      *frame_ = ChartFrame{plot, xMap_, panels_[0].y, textHeight_, {}, 0};
      for (const PanelDraw& pd : panels_) frame_->panels.push_back({pd.rect, pd.y});
    }
    return true;
  }

  // The panels' places in the plot area, or a refusal that says how tall
  // the chart must be.
  bool SplitPlot() {
    std::vector<bool> state;
    for (const PanelPlan& pp : p_.panels) state.push_back(pp.state);
    PanelSplit split = SplitPanels(layout_.plot, state, textHeight_, canvas_.height);
    if (!split.ok) {
      Complain("the chart is too small for its " + std::to_string(p_.panels.size()) +
               " panels: give a --size at least " + std::to_string(split.neededHeight) +
               " pixels high (or fewer panels with --panels or --channels)");
      return false;
    }
    panels_.resize(split.panels.size());
    for (size_t i = 0; i < panels_.size(); ++i) {
      panels_[i].rect = split.panels[i];
      panels_[i].legend = PanelLegend(layout_, split.panels[i], static_cast<int>(p_.panels[i].series.size()));
    }
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
    *yLabelWidth = 0;
    if (!AxisTicks(-1, &xTicks_, &xLabels_, xLabelWidth)) return false;
    for (size_t i = 0; i < panels_.size(); ++i) {
      int w = 0;
      if (!AxisTicks(static_cast<int>(i), &panels_[i].ticks, &panels_[i].labels, &w)) return false;
      *yLabelWidth = std::max(*yLabelWidth, w);
    }
    return true;
  }

  // The ticks and labels of the x axis (panel -1) or of a panel's y axis,
  // and the axis title with what the labels leave out.
  bool AxisTicks(int panel, std::vector<double>* ticks, std::vector<std::string>* labels, int* widest) {
    const bool x = panel < 0;
    const PanelPlan* pp = x ? nullptr : &p_.panels[static_cast<size_t>(panel)];
    std::string& title = x ? xTitle_ : panels_[static_cast<size_t>(panel)].title;
    const bool log = !x && pp->logY;
    const Range range = x ? p_.x : pp->y;
    const int length = x ? layout_.plot.Width() : panels_[static_cast<size_t>(panel)].rect.Height();
    const int room = x ? textHeight_ * 6 : textHeight_ * 3;
    const bool dates = x && p_.calendarX;
    title = x ? p_.xTitle : pp->yTitle;
    if (!x && pp->state && !log && range.lo < 0 && range.hi > 1) {
      // A state reads as its two levels.
      *ticks = {0, 1};
      *labels = {"0", "1"};
      return MeasureWidest(*labels, widest);
    }
    CalendarTicks calendar;
    std::string note;
    // Fewer ticks until the labels fit with a gap between them.
    for (int count = TicksThatFit(length, room, 0); count >= 2; --count) {
      if (dates) calendar = MakeCalendarTicks(range, count);
      *ticks = dates ? calendar.values : log ? LogTicks(range, count) : LinearTicks(range, count);
      labels->clear();
      note.clear();
      if (dates) {
        *labels = calendar.labels;
      } else if (log) {
        for (double t : *ticks) labels->push_back(FormatLogTick(t));
      } else {
        TickLabels linear = LabelLinearTicks(*ticks, LinearStep(range, count));
        *labels = linear.labels;
        note = linear.note;
      }
      if (!MeasureWidest(*labels, widest)) return false;
      int need = x ? *widest + textHeight_ * 2 : textHeight_ * 2;
      if (static_cast<int>(ticks->size()) * need <= length) break;
    }
    if (!calendar.context.empty()) title += ", " + calendar.context;
    if (!note.empty()) title += "   " + note;
    if (!x) KeepLabelsApart(static_cast<size_t>(panel), ticks, labels);
    return true;
  }

  // A label half out of its panel, towards the next one, would run into
  // that panel's label at the same edge: such ticks are left out.
  void KeepLabelsApart(size_t panel, std::vector<double>* ticks, std::vector<std::string>* labels) {
    const Rect& r = panels_[panel].rect;
    const PanelPlan& pp = p_.panels[panel];
    AxisMap map;
    if (panels_.size() < 2 || !MakeAxisMap(r.top, r.bottom, pp.y.hi, pp.y.lo, pp.logY, &map)) return;
    const double half = textHeight_ / 2.0 + 1;
    std::vector<double> keptTicks;
    std::vector<std::string> keptLabels;
    for (size_t i = 0; i < ticks->size(); ++i) {
      const double y = map((*ticks)[i]);
      if ((panel > 0 && y < r.top + half) || (panel + 1 < panels_.size() && y > r.bottom - half)) continue;
      keptTicks.push_back((*ticks)[i]);
      keptLabels.push_back((*labels)[i]);
    }
    *ticks = keptTicks;
    *labels = keptLabels;
  }

  bool MeasureWidest(const std::vector<std::string>& labels, int* widest) {
    *widest = 0;
    for (const std::string& label : labels) {
      int w = 0, h = 0;
      if (!Measure(label_, label, &w, &h)) return false;
      *widest = std::max(*widest, w);
    }
    return true;
  }

  // A panel in model units (the world transform of the traces), clipped.
  bool PlotTransform(int clip, size_t panel) {
    const Rect& plot = panels_[panel].rect;
    const PanelPlan& pp = p_.panels[panel];
    return Ok(MSSetXForm(host_, clip, "LINEAR", pp.logY ? "LOG10" : "LINEAR", plot.left, plot.right,
                         plot.top, plot.bottom, p_.x.lo, p_.x.hi, pp.y.hi, pp.y.lo),
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
    Pen grid;
    if (MSNewPen(host_, grid.get(), "SOLID", 1, 0.87, 0.87, 0.87) != 1) return Failed("making the grid pen");
    for (size_t i = 0; i < panels_.size(); ++i) {
      if (!PlotTransform(1, i)) return false;
      const Range y = p_.panels[i].y;
      std::vector<double> lines;
      for (double t : xTicks_) lines.insert(lines.end(), {t, y.lo, t, y.hi});
      for (double t : panels_[i].ticks) lines.insert(lines.end(), {p_.x.lo, t, p_.x.hi, t});
      if (lines.empty()) continue;
      MSPolyLine(host_, grid.get(), "LINES", lines.data(), static_cast<unsigned>(lines.size()));
      if (!log_.Clean("drawing the grid")) return false;
    }
    return true;
  }

  bool Traces() {
    const bool show = o_.progress;
    tarn::host().SetProgressBar(show);
    pens_.resize(p_.series.size());
    for (size_t k = 0; k < p_.series.size(); ++k) {
      const int c = p_.series[k];
      const std::string& name = r_.channels[static_cast<size_t>(c)].name;
      Rgb colour = SeriesColour(static_cast<int>(k));
      // GDI draws dashes and dots only with pens one pixel wide. A trace of
      // more samples than pixels is a band at any width, in which a dash
      // pattern no longer shows; with a solid one-pixel pen MSPolyLine
      // hands GDI a few points a column instead of every sample:
      // 10,000,000 samples draw in less than a tenth of the time a wider
      // pen takes, and the summary can stand in for the samples.
      bool dense = SamplesInView() > 2.0 * layout_.plot.Width();
      const char* style = dense ? "SOLID" : SeriesPenStyle(static_cast<int>(k));
      int width = std::strcmp(style, "SOLID") == 0 && !dense
                      ? std::max(1, static_cast<int>(std::lround(1.5 * scale_)))
                      : 1;
      pens_[k] = std::make_unique<Pen>();
      if (MSNewPen(host_, pens_[k]->get(), style, width, colour.r, colour.g, colour.b) != 1)
        return Failed("making the pen of " + name);
      const size_t panel = static_cast<size_t>(p_.PanelOf(static_cast<int>(k)));
      if (!PlotTransform(1, panel)) return false;

      if (FromSummary()) {
        if (!SummaryTrace(c, panel, width, std::strcmp(style, "SOLID") == 0, pens_[k]->get(), name)) return false;
        if (frame_) ++frame_->summaryTraces;
        continue;
      }
      tarn::Handle channel = AddHostChannel(r_, c);
      tarn::Handle draw = tarn::host().NewObject("trace");
      SeriesDrawer drawer(host_, pens_[k]->get(), o_.style, p_.panels[panel].logY, o_.markers, MarkerSize(),
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

  // Whether the traces are drawn from the recording's summary: exactly
  // what the time-series driver draws from every sample, on a raster
  // surface, where pixels are what is compared. Markers mark every sample.
  bool FromSummary() const {
    return !o_.everySample && r_.summaries && !canvas_.emf && o_.style == Style::kTrace && !r_.Uneven() &&
           !o_.markers && r_.sampleInc > 0;
  }

  bool SummaryTrace(int c, size_t panel, int width, bool solid, HPEN* pen, const std::string& name) {
    const Rect& plot = panels_[panel].rect;
    const PanelPlan& pp = p_.panels[panel];
    VordaMapping map;
    if (!vorda_make_mapping(0, pp.logY, plot.left, plot.right, plot.top, plot.bottom, p_.x.lo, p_.x.hi, pp.y.hi,
                            pp.y.lo, &map))
      return Failed("mapping " + name);
    ExactTrace trace;
    trace.map = &map;
    trace.summary = &(*r_.summaries)[static_cast<size_t>(c)];
    trace.source = r_.source.get();
    trace.channel = c;
    if (static_cast<size_t>(c) < r_.placed.size()) {
      trace.plusInf = r_.placed[static_cast<size_t>(c)].plus;
      trace.minusInf = r_.placed[static_cast<size_t>(c)].minus;
    }
    // The clip rectangle, and a margin no pen reaches across.
    trace.visibleLeft = plot.left - width - 2;
    trace.visibleRight = plot.right + width + 2;
    trace.mode = !solid ? ExactMode::kRuns : width == 1 ? ExactMode::kReduce : ExactMode::kAll;
    std::string error;
    bool drawn = DrawExactTrace(
        trace, r_.bursts, r_.sampleInc,
        [this, pen](const double* xy, std::size_t points) {
          return MSPolyLine(host_, pen, "LINE_STRIP", xy, static_cast<unsigned>(2 * points)) == 1;
        },
        &error);
    if (!log_.Clean("drawing " + name)) return false;
    if (!drawn) {
      Complain(error.empty() ? "drawing " + name + " failed" : "cannot read " + name + ": " + error);
      return false;
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
    const size_t panel = static_cast<size_t>(p_.cursorPanel);
    const PanelPlan& pp = p_.panels[panel];
    if (!PlotTransform(1, panel)) return false;
    // The horizontal bar of a missing sample lies outside the plot, where
    // the clipping hides it, leaving the line at the time.
    double y = p_.cursorHasY ? p_.cursorY : (pp.logY ? pp.y.hi * 10 : pp.y.hi + (pp.y.hi - pp.y.lo));
    const double bars[VORDA_CROSSHAIR_DOUBLES] = {p_.x.lo, y, p_.x.hi, y,
                                                  p_.cursorX, pp.y.hi, p_.cursorX, pp.y.lo};
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

  static std::vector<double> Box(const Rect& b) {
    return {double(b.left),  double(b.top),    double(b.right), double(b.top),   double(b.right),
            double(b.bottom), double(b.left), double(b.bottom), double(b.left), double(b.top)};
  }

  bool Decorations() {
    if (!PixelTransform()) return false;
    const Rect& plot = layout_.plot;
    Pen frame, tick;
    if (MSNewPen(host_, frame.get(), "SOLID", 1, 0.2, 0.2, 0.2) != 1 ||
        MSNewPen(host_, tick.get(), "SOLID", 1, 0.2, 0.2, 0.2) != 1)
      return Failed("making the frame pen");
    for (const PanelDraw& pd : panels_) {
      const std::vector<double> box = Box(pd.rect);
      MSPolyLine(host_, frame.get(), "LINE_STRIP", box.data(), static_cast<unsigned>(box.size()));
    }
    if (!log_.Clean("drawing the frame")) return false;

    std::vector<double> marks;
    const double len = layout_.tickLength;
    for (double t : xTicks_) {
      double x = std::trunc(xMap_(t));
      marks.insert(marks.end(), {x, double(plot.bottom), x, plot.bottom + len});
    }
    for (const PanelDraw& pd : panels_)
      for (double t : pd.ticks) {
        double y = std::trunc(pd.y(t));
        marks.insert(marks.end(), {double(plot.left), y, plot.left - len, y});
      }
    if (!marks.empty()) MSPolyLine(host_, tick.get(), "LINES", marks.data(), static_cast<unsigned>(marks.size()));
    if (!log_.Clean("drawing the ticks")) return false;

    for (size_t i = 0; i < xTicks_.size(); ++i)
      if (!Text(label_, xLabels_[i], std::trunc(xMap_(xTicks_[i])), layout_.xLabelTop + textHeight_ / 2,
                "HORIZONTAL", "CENTER", "CENTER"))
        return false;
    for (const PanelDraw& pd : panels_) {
      for (size_t i = 0; i < pd.ticks.size(); ++i)
        if (!Text(label_, pd.labels[i], layout_.yLabelRight, std::trunc(pd.y(pd.ticks[i])), "HORIZONTAL",
                  "RIGHT", "CENTER"))
          return false;
      if (!Text(vertical_, pd.title, layout_.yTitleCenterX, (pd.rect.top + pd.rect.bottom) / 2, "+VERTICAL",
                "CENTER", "CENTER"))
        return false;
    }
    if (!Text(title_, p_.title, layout_.titleCenterX, layout_.titleTop + titleHeight_ / 2, "HORIZONTAL",
              "CENTER", "CENTER", {0, 0, 0}) ||
        !Text(label_, xTitle_, layout_.xTitleCenterX, layout_.xTitleTop + textHeight_ / 2, "HORIZONTAL",
              "CENTER", "CENTER"))
      return false;
    for (size_t k = 0; k < panels_.size(); ++k)
      if (!Legend(panels_[k].legend, p_.panels[k].series)) return false;
    return true;
  }

  bool Legend(const Rect& b, const std::vector<int>& series) {
    if (b.Width() == 0) return true;
    Pen border;
    if (MSNewPen(host_, border.get(), "SOLID", 1, 0.75, 0.75, 0.75) != 1) return Failed("making the legend pen");
    const std::vector<double> box = Box(b);
    MSPolyLine(host_, border.get(), "LINE_STRIP", box.data(), static_cast<unsigned>(box.size()));
    if (!log_.Clean("drawing the legend")) return false;
    for (size_t row = 0; row < series.size(); ++row) {
      const size_t k = static_cast<size_t>(series[row]);
      double y = b.top + layout_.legendPad + layout_.legendRowHeight * (row + 0.5);
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

  struct PanelDraw {
    Rect rect;
    AxisMap y;
    std::vector<double> ticks;
    std::vector<std::string> labels;
    Rect legend;
    std::string title;  // with what the tick labels leave out
  };

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
  AxisMap xMap_;
  std::vector<double> xTicks_;
  std::vector<std::string> xLabels_;
  std::vector<PanelDraw> panels_;
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
