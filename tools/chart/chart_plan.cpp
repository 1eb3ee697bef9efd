#include "chart_plan.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "channel_names.h"
#include "csv_reader.h"
#include "raw_reader.h"
#include "sample_access.h"
#include "shown_path.h"
#include "time_parse.h"
#include "timeline.h"
#include "wav_reader.h"

namespace chart {
namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Extension(const std::string& path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos ? std::string() : Lower(base.substr(dot));
}

std::vector<std::string> Names(const Recording& r) {
  std::vector<std::string> names;
  for (const Channel& c : r.channels) names.push_back(c.name);
  return names;
}

int IndexOf(const Recording& r, const std::string& name) {
  std::string why;
  return ResolveChannel(Names(r), name, &why);
}

// The channel a command line names, or false with the message.
bool Resolve(const Recording& r, const std::string& option, const std::string& file, const std::string& name,
             int* index, std::string* error) {
  std::string why;
  *index = ResolveChannel(Names(r), name, &why);
  if (*index < 0) *error = option + ": " + file + " " + why;
  return *index >= 0;
}

std::string Number(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

// A time as the user gives it back: a date for dated recordings.
std::string TimeText(const Recording& r, double t) {
  return r.dated ? FormatIsoTime(t) : Number(t);
}

// The panels' channels as series positions: by unit, or as grouped by hand
// (channels no group names get a panel each).
bool GroupSeries(const Recording& r, const Options& o, const std::string& file, const ChartPlan& p,
                 const std::vector<SeriesKind>& kinds, std::vector<std::vector<int>>* groups,
                 std::string* error) {
  if (o.style == Style::kXY) {
    *groups = {{0}};
    return true;
  }
  if (o.panels != PanelMode::kGroups) {
    *groups = GroupPanels(kinds, o.panels);
    return true;
  }
  groups->clear();
  std::vector<bool> placed(p.series.size(), false);
  for (const std::vector<std::string>& names : o.panelGroups) {
    std::vector<int> group;
    for (const std::string& name : names) {
      int c = 0;
      if (!Resolve(r, "--panels", file, name, &c, error)) return false;
      size_t k = 0;
      while (k < p.series.size() && p.series[k] != c) ++k;
      if (k == p.series.size()) {
        *error = "--panels: \"" + name + "\" is not among the channels drawn (--channels)";
        return false;
      }
      if (!placed[k]) group.push_back(static_cast<int>(k));
      placed[k] = true;
    }
    if (!group.empty()) groups->push_back(group);
  }
  for (size_t k = 0; k < p.series.size(); ++k)
    if (!placed[k]) groups->push_back({static_cast<int>(k)});
  return true;
}

// Whether channel c is among those a list of names gives.
bool Named(const Recording& r, const std::vector<std::string>& names, int c) {
  for (const std::string& n : names)
    if (IndexOf(r, n) == c) return true;
  return false;
}

// A panel's title: its one channel's name, else the unit they share, else
// what the file says they measure.
std::string PanelTitle(const Recording& r, const ChartPlan& p, const PanelPlan& panel,
                       const std::vector<SeriesKind>& kinds) {
  if (panel.series.size() == 1) return r.channels[static_cast<size_t>(p.series[static_cast<size_t>(panel.series[0])])].name;
  const std::string& unit = kinds[static_cast<size_t>(panel.series[0])].unit;
  bool shared = !unit.empty();
  for (int k : panel.series) shared = shared && kinds[static_cast<size_t>(k)].unit == unit;
  if (shared) return unit;
  return r.valueName.empty() ? "value" : r.valueName;
}

}  // namespace

int ChartPlan::PanelOf(int k) const {
  for (size_t i = 0; i < panels.size(); ++i)
    for (int s : panels[i].series)
      if (s == k) return static_cast<int>(i);
  return 0;
}

// Samples [first, first + count) of a channel.
static bool AddSamples(const Recording& r, int channel, std::int64_t first, std::int64_t count, Extent* e,
                std::string* error) {
  return ForEachBlock(r.Values(), channel, first, count, [e](const double* s, std::int64_t n) { e->Add(s, n); },
                      error);
}

bool ScanChannel(const Recording& r, int channel, const Range* time, ChannelValues* out,
                 std::string* error) {
  auto add = [out](const double* v, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
      const double x = v[i];
      if (x == kMissingSample || !std::isfinite(x)) continue;
      out->linear.Add(x);
      out->positive.Add(x);
      out->state.Add(x);
    }
  };
  // Placed infinities are not values: the samples are read as the file holds them.
  auto scan = [&](std::int64_t first, std::int64_t count) {
    if (!r.summaries) return ForEachBlock(r.Values(), channel, first, count, add, error);
    // Whole leaves from the summary, the parts of leaves from the file.
    const recording::ChannelSummary& s = (*r.summaries)[static_cast<size_t>(channel)];
    std::vector<recording::ChannelSummary::Part> parts;
    s.Split(first, first + count - 1, &parts);
    for (const recording::ChannelSummary::Part& p : parts) {
      if (p.level < 0) {
        if (!ForEachBlock(r.Values(), channel, p.first, p.last - p.first + 1, add, error)) return false;
        continue;
      }
      const recording::SummaryNode& n = s.Node(p.level, p.index);
      if (!n.Has(recording::SummaryNode::kFinite)) continue;
      for (double v : {n.lo, n.hi, n.minPositive > 0 ? n.minPositive : n.lo}) {
        out->linear.Add(v);
        out->positive.Add(v);
      }
      // Any value other than 0 and 1 is as good as the one the node saw.
      if (n.Has(recording::SummaryNode::kNotState)) out->state.Add(0.5);
      out->state.Add(n.lo);
      out->state.Add(n.hi);
    }
    return true;
  };
  if (!time) return scan(0, r.SampleCount());
  std::int64_t from = 0, to = 0;
  for (const Burst& b : r.bursts)
    if (SamplesWithin(r, b, *time, &from, &to) && !scan(b.first + from, to - from + 1)) return false;
  return true;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool LoadRecording(const Options& o, Recording* out, ReadError* error) {
  const std::string name = o.input == "-" ? std::string("standard input") : ShownPath(o.input);
  // The content decides: a RIFF or RF64 header of kind WAVE is a WAV file,
  // anything else is read as text. A file that cannot be opened is judged
  // by its extension, so that the reader names the fault.
  bool wav = false;
  if (o.input != "-") {
    char head[12] = {};
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(o.input.c_str(), "rb"), &std::fclose);
    if (file) {
      size_t n = std::fread(head, 1, sizeof head, file.get());
      wav = n == sizeof head && (std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "RF64", 4) == 0) &&
            std::memcmp(head + 8, "WAVE", 4) == 0;
    } else {
      wav = Extension(o.input) == ".wav";
    }
  }
  if (!o.raw.empty()) {
    RawOptions raw;
    recording::EncodingByName(o.raw, &raw.encoding);
    raw.rate = o.rate;
    raw.names = o.names;
    raw.scale = o.scale;
    raw.offset = o.offset;
    return ReadRawFile(o.input, name, raw, out, error);
  }
  if (wav) {
    if (!o.timeFormat.empty() || o.timeSeconds) {
      error->message = std::string(o.timeSeconds ? "--time" : "--time-format") +
                       " is for the time column of a CSV file; " + name + " has none";
      return false;
    }
    if (o.rate > 0) {
      error->message = "--rate is for CSV files without a time column; " + name + " gives its own rate";
      return false;
    }
    return ReadWavFile(o.input, name, out, error);
  }
  CsvOptions csv;
  csv.rate = o.rate;
  if (!o.timeFormat.empty() && !csv.timeFormat.Compile(o.timeFormat, &error->message)) return false;
  csv.timeSeconds = o.timeSeconds;
  csv.header = o.header > 0 ? CsvOptions::Header::kPresent
               : o.header < 0 ? CsvOptions::Header::kAbsent
                              : CsvOptions::Header::kGuess;
  csv.delimiter = o.delimiter;
  csv.decimal = o.decimal;
  csv.missing = o.missing;
  csv.skipBadLines = o.skipBadLines;
  return ReadCsvFile(o.input, name, csv, out, error);
}

namespace {

// A recording's source with each channel's infinities read as the finite
// values given for it.
class PlacedSource final : public recording::SampleSource {
 public:
  PlacedSource(std::shared_ptr<recording::SampleSource> inner, std::vector<Range> places)
      : inner_(std::move(inner)), places_(std::move(places)) {}
  int ChannelCount() const override { return inner_->ChannelCount(); }
  std::int64_t FrameCount() const override { return inner_->FrameCount(); }
  bool Read(int channel, std::int64_t first, std::int64_t count, double* out,
            std::string* error) override {
    if (!inner_->Read(channel, first, count, out, error)) return false;
    Place(places_[static_cast<size_t>(channel)], out, count, 1);
    return true;
  }
  bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    if (!inner_->ReadFrames(first, count, out, error)) return false;
    const int n = ChannelCount();
    for (int c = 0; c < n; ++c) Place(places_[static_cast<size_t>(c)], out + c, count, n);
    return true;
  }
  recording::FileIdentity Identity() const override { return inner_->Identity(); }
  bool Changed() const override { return inner_->Changed(); }

 private:
  // lo is where -inf goes, hi where inf goes; an empty range leaves them.
  static void Place(Range at, double* v, std::int64_t count, int stride) {
    if (!(at.hi > at.lo)) return;
    for (std::int64_t k = 0; k < count; ++k) {
      double& x = v[k * stride];
      if (std::isinf(x)) x = x > 0 ? at.hi : at.lo;
    }
  }
  std::shared_ptr<recording::SampleSource> inner_;
  std::vector<Range> places_;
};

}  // namespace

void PlaceInfinities(const ChartPlan& plan, Recording* r) {
  if (!r->source) return;
  std::vector<Range> places(static_cast<size_t>(r->source->ChannelCount()), Range{0, 0});
  auto place = [&places](int channel, Range range, bool log) {
    const double span = range.hi - range.lo;
    if (channel < 0 || static_cast<size_t>(channel) >= places.size()) return;
    places[static_cast<size_t>(channel)] = log ? Range{range.lo / 1e3, range.hi * 1e3}
                                               : Range{range.lo - 1e3 * span, range.hi + 1e3 * span};
  };
  // Each beyond the axis of its own panel: another panel's may be far
  // narrower, and put it on the visible part of this one.
  for (size_t k = 0; k < plan.series.size(); ++k) {
    const int panel = plan.PanelOf(static_cast<int>(k));
    const bool own = panel >= 0 && static_cast<size_t>(panel) < plan.panels.size();
    const PanelPlan* pp = own ? &plan.panels[static_cast<size_t>(panel)] : nullptr;
    place(plan.series[k], pp ? pp->y : plan.y, pp ? pp->logY : plan.logY);
  }
  if (plan.xChannel >= 0) place(plan.xChannel, plan.x, false);
  r->placed.assign(places.size(), Recording::Infinities{});
  for (size_t c = 0; c < places.size(); ++c)
    if (places[c].hi > places[c].lo) r->placed[c] = {places[c].lo, places[c].hi};
  if (!r->unplaced) r->unplaced = r->source;
  r->source = std::make_shared<PlacedSource>(r->unplaced, std::move(places));
}

bool SampleAt(const Recording& r, int channel, double t, double* value, bool* missing) {
  for (const Burst& b : r.bursts) {
    std::int64_t k = 0;
    if (!NearestSample(r, b, t, &k)) continue;
    double v = SampleValue(r, channel, b.first + k);
    *missing = v == kMissingSample || std::isnan(v);
    *value = v;
    return true;
  }
  return false;
}

bool PlanChart(const Recording& r, const Options& o, ChartPlan* p, std::string* error) {
  *p = ChartPlan{};
  p->logY = o.logY;
  const std::string file = o.input == "-" ? std::string("standard input") : BaseName(o.input);
  if (o.style == Style::kBars && r.Uneven()) {
    *error = "--bars: " + file + " is not evenly sampled (its steps differ by more than 1%), and bars need one interval";
    return false;
  }
  // The series, by name, in the order asked for.
  if (o.style == Style::kXY) {
    int y = 0;
    if (!Resolve(r, "--xy", file, o.xChannel, &p->xChannel, error) || !Resolve(r, "--xy", file, o.yChannel, &y, error))
      return false;
    p->series.push_back(y);
  } else if (!o.channels.empty()) {
    for (const std::string& name : o.channels) {
      int i = 0;
      if (!Resolve(r, "--channels", file, name, &i, error)) return false;
      // A channel named twice is drawn once.
      bool again = false;
      for (int c : p->series) again = again || c == i;
      if (!again) p->series.push_back(i);
    }
  } else {
    for (size_t i = 0; i < r.channels.size(); ++i) p->series.push_back(static_cast<int>(i));
  }

  // x: time, or the X channel's values.
  if (o.style == Style::kXY) {
    Extent ex;
    if (!AddSamples(r, p->xChannel, 0, r.SampleCount(), &ex, error)) return false;
    if (ex.Empty()) {
      *error = "--xy: channel \"" + o.xChannel + "\" has no samples to draw";
      return false;
    }
    p->x = o.haveXRange ? o.xRange : PadRange(ex, false, kRangeMargin);
  } else if (o.haveXRange) {
    p->x = o.xRange;
  } else {
    Extent et;
    et.Add(r.bursts.front().start);
    et.Add(BurstEnd(r, r.bursts.back()));
    if (o.style == Style::kBars) {
      // Bars are a sample interval wide, centred on their times.
      et.Add(r.bursts.front().start - r.sampleInc * 0.5);
      et.Add(BurstEnd(r, r.bursts.back()) + r.sampleInc * 0.5);
    }
    p->x = PadRange(et, false, 0);
  }

  // y: each panel's series' values within the time shown.
  std::vector<ChannelValues> values;
  std::vector<SeriesKind> kinds;
  for (int c : p->series) {
    values.emplace_back();
    if (!ScanChannel(r, c, o.style == Style::kXY ? nullptr : &p->x, &values.back(), error)) return false;
    kinds.push_back({SplitUnit(r.channels[static_cast<size_t>(c)].name).unit, values.back().state.IsState()});
  }
  std::vector<std::vector<int>> groups;
  if (!GroupSeries(r, o, file, *p, kinds, &groups, error)) return false;
  for (const Options::NamedRange& nr : o.channelYRanges) {
    int c = 0;
    if (!Resolve(r, "--yrange", file, nr.channel, &c, error)) return false;
  }
  for (const std::string& name : o.logYChannels) {
    int c = 0;
    if (!Resolve(r, "--log-y", file, name, &c, error)) return false;
  }
  bool anyData = false;
  for (const ChannelValues& v : values) anyData = anyData || !(o.logY ? v.positive : v.linear).Empty();
  if (!anyData && !o.haveYRange) {
    *error = o.logY ? "--log-y: the channels drawn have no value above 0 to show"
                    : "the channels drawn have no samples in the time shown";
    return false;
  }
  for (const std::vector<int>& group : groups) {
    PanelPlan panel;
    panel.series = group;
    panel.logY = o.logY;
    panel.state = true;
    const Range* given = o.haveYRange ? &o.yRange : nullptr;
    std::string names;
    for (int k : group) {
      const int c = p->series[static_cast<size_t>(k)];
      names += (names.empty() ? "\"" : ", \"") + r.channels[static_cast<size_t>(c)].name + "\"";
      panel.logY = panel.logY || Named(r, o.logYChannels, c);
      panel.state = panel.state && kinds[static_cast<size_t>(k)].state;
      for (const Options::NamedRange& nr : o.channelYRanges)
        if (IndexOf(r, nr.channel) == c) given = &nr.range;
    }
    if (given) {
      if (panel.logY && !(given->lo > 0)) {
        *error = "--yrange: the range of " + names + " must be above 0 on a logarithmic axis (--log-y)";
        return false;
      }
      panel.y = *given;
    } else {
      Extent e(panel.logY);
      for (int k : group) {
        const ChannelValues& v = values[static_cast<size_t>(k)];
        for (const Extent* part : {panel.logY ? &v.positive : &v.linear})
          if (!part->Empty()) {
            e.Add(part->Get().lo);
            e.Add(part->Get().hi);
          }
      }
      if (panel.logY && e.Empty() && o.style != Style::kXY) {
        bool linearData = false;
        for (int k : group) linearData = linearData || !values[static_cast<size_t>(k)].linear.Empty();
        if (linearData) {
          *error = "--log-y: " + names + " has no value above 0 to show";
          return false;
        }
      }
      if (o.style == Style::kBars && !panel.logY) e.Add(0.0);  // bars stand on 0
      // A state's two levels stand clear of the frame.
      const bool state = panel.state && !panel.logY && o.style != Style::kBars;
      panel.y = PadRange(e, panel.logY, state ? 0.15 : kRangeMargin);
    }
    p->panels.push_back(panel);
  }
  p->y = p->panels[0].y;
  p->logY = p->panels[0].logY;

  // Titles and legend.
  p->title = o.haveTitle ? o.title : file;
  if (o.style == Style::kXY) {
    const std::string& xName = r.channels[static_cast<size_t>(p->xChannel)].name;
    const std::string& yName = r.channels[static_cast<size_t>(p->series[0])].name;
    p->xTitle = xName;
    p->yTitle = p->panels[0].yTitle = yName;
    p->legend.push_back(yName + " against " + xName);
  } else {
    p->calendarX = r.dated;
    if (r.dated) {
      // The calendar axis says its zone; times without one were taken as UTC.
      p->xTitle = (r.timeName.empty() ? std::string("time") : r.timeName) +
                  (r.zoneGiven ? " (UTC)" : " (UTC, as no zone was given)");
    } else {
      p->xTitle = r.timeName.empty() ? "time (s)" : r.timeName;
    }
    for (PanelPlan& panel : p->panels) panel.yTitle = PanelTitle(r, *p, panel, kinds);
    p->yTitle = p->panels[0].yTitle;
    for (int c : p->series) p->legend.push_back(r.channels[static_cast<size_t>(c)].name);
  }

  // The cursor: at time T on the first series (in --xy, the point of the
  // pair at that time).
  if (o.haveCursor) {
    double v = 0;
    bool missing = false;
    if (!SampleAt(r, p->series[0], o.cursor, &v, &missing)) {
      *error = "--cursor " + TimeText(r, o.cursor) + ": no burst of " + file + " holds that time (it runs from " +
               TimeText(r, r.bursts.front().start) + " to " + TimeText(r, BurstEnd(r, r.bursts.back())) + (r.dated ? ")" : " s)");
      return false;
    }
    p->haveCursor = true;
    p->cursorPanel = p->PanelOf(0);
    p->cursorHasY = !missing;
    p->cursorY = v;
    p->cursorX = o.cursor;
    if (o.style == Style::kXY) {
      double xv = 0;
      bool xMissing = false;
      SampleAt(r, p->xChannel, o.cursor, &xv, &xMissing);
      if (xMissing || missing) {
        *error = "--cursor " + TimeText(r, o.cursor) + ": the sample at that time is missing";
        return false;
      }
      p->cursorX = xv;
    }
  }
  return true;
}

}  // namespace chart
