// The chart tool's trace from a summary against every sample, done the
// slow way: for each block of vorda's block walk, every sample's device
// point, the visible part (with one sample either side), the stretches
// between missing samples, and then either the pixels those stretches
// paint or MSPolyLine's runs of at most 16000 points. What is drawn from
// the summary must paint the same pixels, or be those very runs. Recordings cross leaves, blocks and bursts, with missing samples,
// infinities, values at or below 0 on a log axis, and views zoomed in.
#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "exact_trace.h"
#include "fuzz_input.h"
#include "summary.h"

namespace {

struct Pt {
  int32_t x, y;
  bool operator==(const Pt&) const = default;
};
using Line = std::vector<Pt>;

struct Case {
  VordaMapping map{};
  std::vector<double> values;
  std::vector<chart::Burst> bursts;
  double inc = 1;
  double plusInf = HUGE_VAL, minusInf = -HUGE_VAL;
  int32_t left = 0, right = 16383;
  chart::ExactMode mode = chart::ExactMode::kReduce;
};

double Placed(const Case& c, double v) { return std::isinf(v) ? (v > 0 ? c.plusInf : c.minusInf) : v; }

Pt Device(const Case& c, double t, double v) {
  return {vorda_clamp_to_device(vorda_axis_to_device(&c.map.x, t)),
          vorda_clamp_to_device(
              vorda_axis_to_device(&c.map.y, vorda_axis_value(v, c.map.y_is_log, c.map.log_floor)))};
}

std::vector<Line> Expected(const Case& c) {
  std::vector<Line> lines;
  for (const chart::Burst& b : c.bursts) {
    VordaBlockWalk walk;
    vorda_block_walk_start(&walk, static_cast<int32_t>(b.first), static_cast<int32_t>(b.first + b.count - 1),
                           b.start, c.inc, 1);
    VordaBlock block;
    while (vorda_block_walk_next(&walk, &block)) {
      const int32_t n = block.count;
      if (n < 2) continue;
      std::vector<Pt> pts(static_cast<size_t>(n));
      std::vector<bool> present(static_cast<size_t>(n));
      for (int32_t j = 0; j < n; ++j) {
        const double v = Placed(c, c.values[static_cast<size_t>(block.first_scan + j)]);
        present[static_cast<size_t>(j)] = !recording::IsMissingValue(v);
        pts[static_cast<size_t>(j)] = Device(c, vorda_sample_time(j, c.inc, block.origin), v);
      }
      int32_t firstIn = n, lastIn = -1;
      for (int32_t j = n - 1; j >= 0; --j)
        if (pts[static_cast<size_t>(j)].x >= c.left) firstIn = j;
      for (int32_t j = 0; j < n; ++j)
        if (pts[static_cast<size_t>(j)].x <= c.right) lastIn = j;
      if (firstIn == n || lastIn < 0) continue;
      const int32_t from = std::max(0, firstIn - 1), to = std::min(n - 1, lastIn + 1);
      if (c.mode == chart::ExactMode::kRuns) {
        // CutStrip's runs over the whole block, those that reach [from, to].
        int32_t i = 0;
        const int32_t cap = std::min(n, VORDA_MAX_STRIP_POINTS);
        while (i < n) {
          Line run;
          int32_t start = -1;
          for (;;) {
            if (static_cast<int32_t>(run.size()) == cap) {
              --i;
              break;
            }
            const bool here = present[static_cast<size_t>(i)];
            if (here && start < 0) start = i;
            ++i;
            if (!here) break;
            run.push_back(pts[static_cast<size_t>(i - 1)]);
            if (i >= n) break;
          }
          const int32_t end = start + static_cast<int32_t>(run.size()) - 1;
          if (run.size() >= 2 && end >= from && start <= to) lines.push_back(run);
        }
        continue;
      }
      for (int32_t j = from; j <= to;) {
        if (!present[static_cast<size_t>(j)]) {
          ++j;
          continue;
        }
        Line stretch;
        for (; j <= to && present[static_cast<size_t>(j)]; ++j) stretch.push_back(pts[static_cast<size_t>(j)]);
        if (stretch.size() >= 2) lines.push_back(stretch);  // reduced or whole: these pixels, or these points
      }
    }
  }
  return lines;
}

// The lines the calls draw: each call's parts between not-a-number
// points; a call that goes on where the one before stopped joins it.
std::vector<Line> Actual(const Case& c, bool* ok) {
  recording::MemorySource source({c.values});
  std::vector<recording::ChannelSummary> summaries;
  std::string error;
  FUZZ_CHECK(recording::SummarizeSource(source, &summaries, nullptr, &error), "%s", error.c_str());
  // Read as the chart tool reads it: infinities placed.
  std::vector<double> placed = c.values;
  for (double& v : placed) v = Placed(c, v);
  recording::MemorySource drawn({placed});
  chart::ExactTrace t;
  t.map = &c.map;
  t.summary = &summaries[0];
  t.source = &drawn;
  t.plusInf = c.plusInf;
  t.minusInf = c.minusInf;
  t.visibleLeft = c.left;
  t.visibleRight = c.right;
  t.mode = c.mode;
  std::vector<Line> lines;
  bool open = false;
  *ok = chart::DrawExactTrace(
      t, c.bursts, c.inc,
      [&](const double* xy, size_t points) {
        FUZZ_CHECK(points >= 2 && points <= 16000, "a call of %zu points", points);
        bool joined = open && c.mode != chart::ExactMode::kRuns;
        for (size_t k = 0; k < points; ++k) {
          const double x = xy[2 * k], y = xy[2 * k + 1];
          if (std::isnan(x)) {
            FUZZ_CHECK(std::isnan(y), "half a break");
            joined = false;
            open = false;
            continue;
          }
          const Pt p = Device(c, x, y);
          if (joined) {
            FUZZ_CHECK(!lines.empty() && lines.back().back() == p, "a call does not start where the last ended");
            joined = false;
            continue;
          }
          if (!open) lines.emplace_back();
          open = true;
          lines.back().push_back(p);
        }
        if (c.mode == chart::ExactMode::kRuns) open = false;
        return true;
      },
      &error);
  // A lone point that only restarts a call draws nothing.
  lines.erase(std::remove_if(lines.begin(), lines.end(), [](const Line& l) { return l.size() < 2; }), lines.end());
  return lines;
}

// What lines paint, in the model of a one-pixel line the column
// reduction rests on: a stroke paints its first pixel and not its last, a
// vertical one every row between, and one that changes column pixels
// fixed by its two ends alone (so it stands here for them). Each column's
// rows are kept as merged spans.
struct Painting {
  std::map<int32_t, std::vector<std::pair<int64_t, int64_t>>> rows;  // [from, to) by column
  std::set<std::array<int32_t, 4>> strokes;                          // between columns
  bool operator==(const Painting&) const = default;
};

Painting Painted(const std::vector<Line>& lines) {
  Painting p;
  for (const Line& l : lines)
    for (size_t k = 0; k + 1 < l.size(); ++k) {
      const Pt a = l[k], b = l[k + 1];
      auto& column = p.rows[a.x];
      if (a.x != b.x) {
        column.push_back({a.y, a.y + 1});
        p.strokes.insert({a.x, a.y, b.x, b.y});
      } else if (a.y != b.y) {
        column.push_back(b.y > a.y ? std::pair<int64_t, int64_t>{a.y, b.y} : std::pair<int64_t, int64_t>{b.y + 1, a.y + 1});
      }
    }
  for (auto& [x, spans] : p.rows) {
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto& sp : spans) {
      if (!merged.empty() && sp.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, sp.second);
      else
        merged.push_back(sp);
    }
    spans = merged;
  }
  std::erase_if(p.rows, [](const auto& column) { return column.second.empty(); });
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorda_fuzz::Input in(data, size);
  Case c;
  // Mostly short recordings; some that cross a block of the trace drivers.
  const uint8_t sizeCode = in.U8();
  const int64_t n = sizeCode < 200 ? 2 + (in.U32() % 5000) : 2 + (in.U32() % 260000);
  uint32_t state = in.U32() | 1;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  const uint8_t shape = in.U8();
  const int levels = 1 + in.U8() % 64;  // few levels: many samples on one row
  double walk = 0;
  c.values.resize(static_cast<size_t>(n));
  for (int64_t k = 0; k < n; ++k) {
    const uint32_t r = next();
    double v = 0;
    switch (shape % 4) {
      case 0: v = static_cast<double>(r % static_cast<uint32_t>(levels)); break;
      case 1: walk += static_cast<double>(static_cast<int>(r % 3) - 1); v = walk; break;
      case 2: v = std::sin(static_cast<double>(k) * 0.001) * levels + static_cast<double>(r % 3); break;
      default: v = (r % 97 == 0) ? levels * 10.0 : static_cast<double>(r % 2); break;
    }
    // Now and then what breaks a line, or lies beyond any axis.
    const uint32_t odd = next() % 1000;
    if (shape & 4 && odd < 3) v = VORDA_MISSING_SAMPLE;
    if (shape & 8 && odd >= 3 && odd < 5) v = NAN;
    if (shape & 16 && odd == 5) v = HUGE_VAL;
    if (shape & 16 && odd == 6) v = -HUGE_VAL;
    if (shape & 32 && odd > 900) v = -v;
    c.values[static_cast<size_t>(k)] = v;
  }
  if (shape & 4 && (next() % 4 == 0)) {
    // A long gap: many leaves missing.
    const int64_t at = next() % n, len = next() % 5000;
    for (int64_t k = at; k < std::min(n, at + len); ++k) c.values[static_cast<size_t>(k)] = VORDA_MISSING_SAMPLE;
  }

  // One to three bursts over the samples, with time between them.
  c.inc = (1 + in.U8() % 200) * 1e-4;
  const int bursts = 1 + in.U8() % 3;
  int64_t first = 0;
  double start = static_cast<double>(in.U8()) - 20;
  for (int b = 0; b < bursts && first < n; ++b) {
    const int64_t count = b + 1 == bursts ? n - first : 1 + static_cast<int64_t>(next() % static_cast<uint32_t>(n - first));
    c.bursts.push_back({start, first, count});
    start += static_cast<double>(count) * c.inc + in.U8() * 0.01;
    first += count;
  }
  const double end = start;

  // The view: all of it, or zoomed into a part; a plot of some width.
  const bool logY = in.U8() % 3 == 0;
  const int32_t plotLeft = 20 + in.U8(), plotWidth = 1 + static_cast<int32_t>(in.U32() % 3000);
  double x0 = c.bursts.front().start, x1 = end;
  if (in.U8() % 2) {
    const double span = end - x0;
    x0 += span * (in.U8() / 256.0);
    x1 = x0 + span * ((1 + in.U8()) / 2048.0);
  }
  const double yLo = logY ? 0.5 : -static_cast<double>(in.U8()), yHi = logY ? levels * 2.0 + 1 : levels + in.U8();
  if (!vorda_make_mapping(0, logY, plotLeft, plotLeft + plotWidth, 10, 10 + 1 + static_cast<int32_t>(in.U8()) * 4,
                          x0, x1, yHi, yLo, &c.map) ||
      !(c.map.x.scale > 0))
    return 0;
  if (shape & 64) {
    c.plusInf = logY ? yHi * 1e3 : yHi + 1e3 * (yHi - yLo);
    c.minusInf = logY ? yLo / 1e3 : yLo - 1e3 * (yHi - yLo);
  }
  c.left = plotLeft - 3;
  c.right = plotLeft + plotWidth + 3;
  c.mode = shape & 128 ? chart::ExactMode::kRuns : (sizeCode & 1) ? chart::ExactMode::kAll : chart::ExactMode::kReduce;

  bool ok = false;
  const std::vector<Line> actual = Actual(c, &ok);
  FUZZ_CHECK(ok, "the exact trace failed");
  const std::vector<Line> expected = Expected(c);
  if (c.mode == chart::ExactMode::kReduce) {
    const Painting drawn = Painted(actual), all = Painted(expected);
    FUZZ_CHECK(drawn.strokes == all.strokes, "%zu strokes between columns drawn, %zu by every sample",
               drawn.strokes.size(), all.strokes.size());
    for (const auto& [x, spans] : all.rows) {
      auto it = drawn.rows.find(x);
      FUZZ_CHECK(it != drawn.rows.end() && it->second == spans, "column %d: other rows painted", x);
    }
    FUZZ_CHECK(drawn.rows.size() == all.rows.size(), "%zu columns painted, %zu by every sample", drawn.rows.size(),
               all.rows.size());
    return 0;
  }
  FUZZ_CHECK(actual.size() == expected.size(), "%zu lines drawn, %zu expected", actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    FUZZ_CHECK(actual[i].size() == expected[i].size(), "line %zu: %zu points drawn, %zu expected", i,
               actual[i].size(), expected[i].size());
    for (size_t k = 0; k < expected[i].size(); ++k)
      FUZZ_CHECK(actual[i][k] == expected[i][k], "line %zu point %zu: (%d,%d) drawn, (%d,%d) expected", i, k,
                 actual[i][k].x, actual[i][k].y, expected[i][k].x, expected[i][k].y);
  }
  return 0;
}
