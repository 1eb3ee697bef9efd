#include "chart_plan.h"

#include <cmath>
#include <cstdio>

#include "csv_reader.h"
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

std::string ChannelList(const Recording& r) {
  std::string list;
  for (const Channel& c : r.channels) list += (list.empty() ? "" : ", ") + c.name;
  return list;
}

int IndexOf(const Recording& r, const std::string& name) {
  for (size_t i = 0; i < r.channels.size(); ++i)
    if (r.channels[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string Number(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

double BurstEnd(const Recording& r, const Burst& b) {
  return b.start + static_cast<double>(b.count - 1) * r.sampleInc;
}

// The samples of the bursts that fall inside [lo, hi] of time.
void AddSamplesInTime(const Recording& r, int channel, Range t, Extent* e) {
  const std::vector<double>& s = r.channels[static_cast<size_t>(channel)].samples;
  for (const Burst& b : r.bursts) {
    double from = r.sampleInc > 0 ? std::ceil((t.lo - b.start) / r.sampleInc - 1e-9) : 0;
    double to = r.sampleInc > 0 ? std::floor((t.hi - b.start) / r.sampleInc + 1e-9) : double(b.count - 1);
    if (from < 0) from = 0;
    if (to > double(b.count - 1)) to = double(b.count - 1);
    if (to < from) continue;
    e->Add(s.data() + b.first + static_cast<long long>(from), static_cast<long long>(to - from) + 1);
  }
}

}  // namespace

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool LoadRecording(const Options& o, Recording* out, ReadError* error) {
  std::string ext = Extension(o.input);
  if (ext == ".csv")
    return ReadCsvFile(o.input, o.input, CsvOptions{o.rate}, out, error);
  if (ext == ".wav") {
    if (o.rate > 0) {
      error->message = "--rate is for CSV files without a time column; " + o.input + " gives its own rate";
      return false;
    }
    return ReadWavFile(o.input, o.input, out, error);
  }
  error->message = o.input + ": give a recording ending in .csv or .wav";
  return false;
}

bool SampleAt(const Recording& r, int channel, double t, double* value, bool* missing) {
  for (const Burst& b : r.bursts) {
    double half = r.sampleInc * 0.5;
    if (t < b.start - half || t > BurstEnd(r, b) + half) continue;
    long long k = r.sampleInc > 0 ? std::llround((t - b.start) / r.sampleInc) : 0;
    if (k < 0) k = 0;
    if (k >= b.count) k = b.count - 1;
    double v = r.channels[static_cast<size_t>(channel)].samples[static_cast<size_t>(b.first + k)];
    *missing = v == kMissingSample || std::isnan(v);
    *value = v;
    return true;
  }
  return false;
}

bool PlanChart(const Recording& r, const Options& o, ChartPlan* p, std::string* error) {
  *p = ChartPlan{};
  p->logY = o.logY;
  const std::string file = BaseName(o.input);
  // The series, by name, in the order asked for.
  if (o.style == Style::kXY) {
    for (const std::string* name : {&o.xChannel, &o.yChannel})
      if (IndexOf(r, *name) < 0) {
        *error = "--xy: " + file + " has no channel \"" + *name + "\" (it has " + ChannelList(r) + ")";
        return false;
      }
    p->xChannel = IndexOf(r, o.xChannel);
    p->series.push_back(IndexOf(r, o.yChannel));
  } else if (!o.channels.empty()) {
    for (const std::string& name : o.channels) {
      int i = IndexOf(r, name);
      if (i < 0) {
        *error = "--channels: " + file + " has no channel \"" + name + "\" (it has " + ChannelList(r) + ")";
        return false;
      }
      p->series.push_back(i);
    }
  } else {
    for (size_t i = 0; i < r.channels.size(); ++i) p->series.push_back(static_cast<int>(i));
  }

  // x: time, or the X channel's values.
  if (o.style == Style::kXY) {
    Extent ex;
    const std::vector<double>& xs = r.channels[static_cast<size_t>(p->xChannel)].samples;
    ex.Add(xs.data(), static_cast<long long>(xs.size()));
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

  // y: the series' values within the time shown.
  if (o.haveYRange) {
    p->y = o.yRange;
  } else {
    Extent ey(o.logY);
    for (int c : p->series) {
      if (o.style == Style::kXY) {
        const std::vector<double>& ys = r.channels[static_cast<size_t>(c)].samples;
        ey.Add(ys.data(), static_cast<long long>(ys.size()));
      } else {
        AddSamplesInTime(r, c, p->x, &ey);
      }
    }
    if (ey.Empty()) {
      *error = o.logY ? "--log-y: the channels drawn have no value above 0 to show"
                      : "the channels drawn have no samples in the time shown";
      return false;
    }
    if (o.style == Style::kBars && !o.logY) ey.Add(0.0);  // bars stand on 0
    p->y = PadRange(ey, o.logY, kRangeMargin);
  }

  // Titles and legend.
  p->title = o.haveTitle ? o.title : file;
  if (o.style == Style::kXY) {
    p->xTitle = o.xChannel;
    p->yTitle = o.yChannel;
    p->legend.push_back(o.yChannel + " against " + o.xChannel);
  } else {
    p->xTitle = r.timeName.empty() ? "time (s)" : r.timeName;
    p->yTitle = p->series.size() == 1 ? r.channels[static_cast<size_t>(p->series[0])].name
                : r.valueName.empty()     ? "value"
                                          : r.valueName;
    for (int c : p->series) p->legend.push_back(r.channels[static_cast<size_t>(c)].name);
  }

  // The cursor: at time T on the first series (in --xy, the point of the
  // pair at that time).
  if (o.haveCursor) {
    double v = 0;
    bool missing = false;
    if (!SampleAt(r, p->series[0], o.cursor, &v, &missing)) {
      *error = "--cursor " + Number(o.cursor) + ": no burst of " + file + " holds that time (it runs from " +
               Number(r.bursts.front().start) + " to " + Number(BurstEnd(r, r.bursts.back())) + " s)";
      return false;
    }
    p->haveCursor = true;
    p->cursorHasY = !missing;
    p->cursorY = v;
    p->cursorX = o.cursor;
    if (o.style == Style::kXY) {
      double xv = 0;
      bool xMissing = false;
      SampleAt(r, p->xChannel, o.cursor, &xv, &xMissing);
      if (xMissing || missing) {
        *error = "--cursor " + Number(o.cursor) + ": the sample at that time is missing";
        return false;
      }
      p->cursorX = xv;
    }
  }
  return true;
}

}  // namespace chart
