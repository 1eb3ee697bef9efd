#include "exact_trace.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace chart {
namespace {

using recording::ChannelSummary;
using recording::SummaryNode;
using Part = ChannelSummary::Part;

// Points a call hands over at most: well under what MSPolyLine draws in
// one run, so a call is cheap to copy, and many stretches to a call.
constexpr std::size_t kBatchPoints = 8192;

// Reads a channel's samples a leaf at a time and keeps the last few: the
// parts read lie within one leaf, and a column's first sample, its cut
// leaves and its neighbours' share leaves.
class LeafReader {
 public:
  LeafReader(recording::SampleSource& source, int channel, std::int64_t count)
      : source_(source), channel_(channel), count_(count) {}

  // Samples [first, last], all within one leaf; null after *error is set.
  const double* Values(std::int64_t first, std::int64_t last, std::string* error) {
    const std::int64_t leaf = first / recording::kSummaryLeaf;
    Slot* slot = nullptr;
    for (Slot& s : slots_)
      if (s.leaf == leaf) slot = &s;
    if (!slot) {
      slot = &slots_[next_++ % kSlots];
      slot->leaf = -1;
      const std::int64_t start = leaf * recording::kSummaryLeaf;
      const std::int64_t n = std::min(recording::kSummaryLeaf, count_ - start);
      slot->values.resize(static_cast<std::size_t>(recording::kSummaryLeaf));
      if (n <= 0 || last >= start + n || !source_.Read(channel_, start, n, slot->values.data(), error)) {
        if (error->empty()) *error = "a sample beyond the recording was asked for";
        return nullptr;
      }
      slot->leaf = leaf;
    }
    return slot->values.data() + (first - leaf * recording::kSummaryLeaf);
  }

 private:
  static constexpr int kSlots = 4;
  struct Slot {
    std::int64_t leaf = -1;
    std::vector<double> values;
  };
  recording::SampleSource& source_;
  int channel_;
  std::int64_t count_;
  Slot slots_[kSlots];
  unsigned next_ = 0;
};

// The rows a set of samples lands on, the least and the greatest, with a
// sample value on each.
struct Rows {
  std::int32_t lo = INT32_MAX, hi = INT32_MIN;
  double loValue = 0, hiValue = 0;
  void Add(std::int32_t r, double v) {
    if (r < lo) lo = r, loValue = v;
    if (r > hi) hi = r, hiValue = v;
  }
  void Add(const Rows& r) {
    if (r.lo < lo) lo = r.lo, loValue = r.loValue;
    if (r.hi > hi) hi = r.hi, hiValue = r.hiValue;
  }
};

struct Found {
  std::int64_t index = -1;
  double value = 0;
};

class Planner {
 public:
  Planner(const ExactTrace& t, double sampleInc, const std::function<bool(const double*, std::size_t)>& draw,
          std::string* error)
      : t_(t), m_(*t.map), s_(*t.summary), inc_(sampleInc), draw_(draw), error_(error),
        reader_(*t.source, t.channel, t.summary->Count()) {}

  bool Burst(const chart::Burst& b) {
    if (b.count <= 0) return true;
    VordaBlockWalk walk;
    vorda_block_walk_start(&walk, static_cast<std::int32_t>(b.first),
                           static_cast<std::int32_t>(b.first + b.count - 1), b.start, inc_, 1);
    VordaBlock block;
    while (vorda_block_walk_next(&walk, &block))
      if (!Block(block)) return false;
    return true;
  }

  bool Finish() { return Flush(); }

 private:
  std::int32_t Row(double v) const {
    return vorda_clamp_to_device(vorda_axis_to_device(&m_.y, vorda_axis_value(v, m_.y_is_log, m_.log_floor)));
  }
  std::int32_t Column(std::int64_t g) const {
    return vorda_clamp_to_device(vorda_axis_to_device(&m_.x, Time(g)));
  }
  double Time(std::int64_t g) const {
    return vorda_sample_time(static_cast<std::int32_t>(g - blockFirst_), inc_, origin_);
  }

  Rows NodeRows(const SummaryNode& n) const {
    Rows r;
    auto add = [&](double v) { r.Add(Row(v), v); };
    if (n.Has(SummaryNode::kFinite)) {
      add(n.lo);
      add(n.hi);
      if (n.minPositive > 0) add(n.minPositive);
    }
    if (n.Has(SummaryNode::kPlusInf)) add(t_.plusInf);
    if (n.Has(SummaryNode::kMinusInf)) add(t_.minusInf);
    return r;
  }

  static bool Only(const Rows& r, std::int32_t row) { return r.lo == row && r.hi == row; }
  // Whether a node may hold a sample on a row: the row lies within its
  // rows (a cut leaf is asked about as a whole, which may reach beyond).
  auto Within(std::int32_t row) const {
    return [this, row](const SummaryNode& node) {
      const Rows r = NodeRows(node);
      return r.lo <= row && row <= r.hi;
    };
  }

  bool Value(std::int64_t g, double* v) {
    const double* p = reader_.Values(g, g, error_);
    if (!p) return false;
    *v = *p;
    return true;
  }

  // The first (or, backward, the last) sample of the parts for which
  // `sample` holds, looking into a node only where `mayHold` says it can
  // hold one. found->index stays -1 when none does.
  template <typename NodeTest, typename SampleTest>
  bool Find(const std::vector<Part>& parts, bool backward, const NodeTest& mayHold, const SampleTest& sample,
            Found* found) {
    const std::size_t n = parts.size();
    for (std::size_t i = 0; i < n; ++i) {
      const Part& p = parts[backward ? n - 1 - i : i];
      if (p.level < 0) {
        // A cut leaf holds no more than the whole one.
        if (!mayHold(s_.Node(0, p.first / recording::kSummaryLeaf))) continue;
        const double* v = reader_.Values(p.first, p.last, error_);
        if (!v) return false;
        const std::int64_t len = p.last - p.first + 1;
        for (std::int64_t k = 0; k < len; ++k) {
          const std::int64_t at = backward ? len - 1 - k : k;
          if (sample(v[at])) {
            *found = {p.first + at, v[at]};
            return true;
          }
        }
      } else if (mayHold(s_.Node(p.level, p.index))) {
        std::vector<Part> children;
        s_.Children(p, &children);
        if (!Find(children, backward, mayHold, sample, found)) return false;
        if (found->index >= 0) return true;
      }
    }
    return true;
  }

  bool PartRows(const std::vector<Part>& parts, Rows* rows) {
    for (const Part& p : parts)
      if (p.level >= 0) rows->Add(NodeRows(s_.Node(p.level, p.index)));
    for (const Part& p : parts) {
      if (p.level >= 0) continue;
      // Read only a cut leaf whose whole could reach beyond the rows known.
      const Rows whole = NodeRows(s_.Node(0, p.first / recording::kSummaryLeaf));
      if (whole.lo >= rows->lo && whole.hi <= rows->hi) continue;
      const double* v = reader_.Values(p.first, p.last, error_);
      if (!v) return false;
      for (std::int64_t k = 0; k <= p.last - p.first; ++k) rows->Add(Row(v[k]), v[k]);
    }
    return true;
  }

  // The first (or, backward, the last) missing sample of [first, last];
  // one beyond the range when there is none.
  bool Missing(std::int64_t first, std::int64_t last, bool backward, std::int64_t* at) {
    Found f;
    s_.Split(first, last, &parts_);
    if (!Find(parts_, backward, [](const SummaryNode& n) { return n.Has(SummaryNode::kMissing); },
              [](double v) { return recording::IsMissingValue(v); }, &f))
      return false;
    *at = f.index >= 0 ? f.index : backward ? first - 1 : last + 1;
    return true;
  }

  bool Block(const VordaBlock& b) {
    blockFirst_ = b.first_scan;
    origin_ = b.origin;
    const std::int64_t first = b.first_scan, last = first + b.count - 1;
    // MSPolyLine draws nothing of a block of one sample.
    if (b.count < 2) return true;
    // The visible part, with the sample on either side of it.
    std::int64_t lo = first, hi = last + 1;
    while (lo < hi) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (Column(mid) >= t_.visibleLeft) hi = mid; else lo = mid + 1;
    }
    const std::int64_t inside = lo;
    lo = first - 1;
    hi = last;
    while (lo < hi) {
      const std::int64_t mid = hi - (hi - lo) / 2;
      if (Column(mid) <= t_.visibleRight) lo = mid; else hi = mid - 1;
    }
    const std::int64_t insideLast = lo;
    if (inside > last || insideLast < first) return true;
    const std::int64_t from = std::max(first, inside - 1), to = std::min(last, insideLast + 1);

    // The stretches between missing samples, from where the first one
    // really starts (the runs of a pen that cannot be reduced count from there).
    std::int64_t start = from;
    if (t_.mode == ExactMode::kRuns) {
      std::int64_t before = 0;
      if (!Missing(first, from, true, &before)) return false;
      start = std::max(before + 1, first);
    }
    while (start <= to) {
      std::int64_t gap = 0;
      if (!Missing(start, to, false, &gap)) return false;
      std::int64_t end = gap - 1;
      if (end == to && to < last && t_.mode == ExactMode::kRuns) {
        // A run reaching past `to` is drawn whole: find where it really ends.
        if (!Missing(to, last, false, &gap)) return false;
        end = gap - 1;
      }
      if (end > start && !Stretch(start, end, from, to)) return false;
      start = gap + 1;
    }
    return true;
  }

  // Every sample of [first, last], as points.
  bool PushAll(std::int64_t first, std::int64_t last) {
    for (std::int64_t g = first; g <= last;) {
      const std::int64_t leafEnd = std::min(last, (g / recording::kSummaryLeaf + 1) * recording::kSummaryLeaf - 1);
      const double* v = reader_.Values(g, leafEnd, error_);
      if (!v) return false;
      for (std::int64_t k = g; k <= leafEnd; ++k) Push(Time(k), v[k - g]);
      g = leafEnd + 1;
    }
    return true;
  }

  bool Stretch(std::int64_t a, std::int64_t b, std::int64_t from, std::int64_t to) {
    if (t_.mode == ExactMode::kAll) {
      if (!PushAll(std::max(a, from), std::min(b, to))) return false;
      EndStretch();
      return true;
    }
    if (t_.mode == ExactMode::kRuns) {
      // MSPolyLine's runs: VORDA_MAX_STRIP_POINTS points, each starting
      // with the last point of the one before.
      const std::int64_t step = VORDA_MAX_STRIP_POINTS - 1;
      for (std::int64_t r = a; r < b; r += step) {
        const std::int64_t e = std::min(b, r + step);
        if (e < from || r > to) continue;
        if (!Flush() || !PushAll(r, e) || !Flush()) return false;
      }
      return true;
    }
    a = std::max(a, from);
    b = std::min(b, to);
    if (b <= a) return true;
    for (std::int64_t c0 = a; c0 <= b;) {
      // The column's samples: Column never falls as the index rises.
      const std::int32_t x = Column(c0);
      std::int64_t c1 = c0, step = 1;
      while (c1 + step <= b && Column(c1 + step) == x) {
        c1 += step;
        step *= 2;
      }
      std::int64_t beyond = std::min(c1 + step, b + 1);
      while (beyond - c1 > 1) {
        const std::int64_t mid = c1 + (beyond - c1) / 2;
        if (Column(mid) == x) c1 = mid; else beyond = mid;
      }
      if (!Group(c0, c1, c0 == a, c1 == b)) return false;
      c0 = c1 + 1;
    }
    EndStretch();
    return true;
  }

  // One column's samples [c0, c1] of a stretch.
  //
  // Inside a column the line is vertical strokes from point to point, each
  // painting its first row and not its last. Passing through the lowest
  // and the highest row, they paint every row between; what is left out is
  // at most the last point's row, and that only in the stretch's last
  // column (elsewhere the stroke into the next column starts there), and
  // only when the last point lies on the lowest or the highest row. So any
  // sample on each extreme row will do, in either order, as long as the
  // points that join the column to its neighbours are the samples
  // themselves: the first one where a stroke comes in from the column
  // before, the last one always. That needs no sample read but those two.
  bool Group(std::int64_t c0, std::int64_t c1, bool firstOfStretch, bool lastOfStretch) {
    if (c1 - c0 >= 2) {
      s_.Split(c0, c1, &parts_);
      Rows rows;
      double last = 0;
      if (!PartRows(parts_, &rows) || !Value(c1, &last)) return false;
      const std::int32_t lastRow = Row(last);
      if (!lastOfStretch || (rows.lo < lastRow && lastRow < rows.hi)) {
        const double t = Time(c0);
        if (!firstOfStretch) {
          double first = 0;
          if (!Value(c0, &first)) return false;
          Push(t, first);
        }
        Push(t, rows.loValue);
        Push(t, rows.hiValue);
        Push(Time(c1), last);
        return true;
      }
      // The last column, its last point on an extreme row: the strokes
      // paint every other row, and that one only if some stroke starts
      // from it, that is when a sample before the closing samples on that
      // row lies on it too.
      Found before;
      if (!Find(parts_, true, [&](const SummaryNode& n) { return !Only(NodeRows(n), lastRow); },
                [&](double v) { return Row(v) != lastRow; }, &before))
        return false;
      bool reached = false;
      if (before.index > c0) {
        std::vector<Part> head;
        s_.Split(c0, before.index - 1, &head);
        Found on;
        if (!Find(head, false, Within(lastRow), [&](double v) { return Row(v) == lastRow; }, &on)) return false;
        reached = on.index >= 0;
      }
      const double t = Time(c0);
      if (!firstOfStretch) {
        double first = 0;
        if (!Value(c0, &first)) return false;
        Push(t, first);
      }
      // All on one row, nothing is painted; else from the other extreme.
      if (before.index >= 0) {
        const double other = lastRow == rows.hi ? rows.loValue : rows.hiValue;
        Push(t, other);
        if (reached) {
          Push(t, last);
          Push(t, other);
        }
      }
      Push(Time(c1), last);
      return true;
    }
    return FewSamples(c0, c1);
  }


  // A column of one or two samples: each is kept, as ReduceColumns keeps them.
  bool FewSamples(std::int64_t c0, std::int64_t c1) {
    for (std::int64_t g = c0; g <= c1; ++g) {
      double v = 0;
      if (!Value(g, &v)) return false;
      Push(Time(g), v);
    }
    return true;
  }

  void Push(double x, double y) {
    // A run of a pen that cannot be reduced is one call, as MSPolyLine's own.
    if (t_.mode != ExactMode::kRuns && out_.size() >= 2 * kBatchPoints) {
      const double lastX = out_[out_.size() - 2], lastY = out_.back();
      pending_ = Flush();
      // The next call starts where this one ended, so the line stays joined.
      if (!std::isnan(lastX)) out_.insert(out_.end(), {lastX, lastY});
    }
    out_.insert(out_.end(), {x, y});
  }
  void EndStretch() {
    if (!out_.empty() && !std::isnan(out_.back())) out_.insert(out_.end(), {NAN, NAN});
  }
  bool Flush() {
    if (!pending_) return false;
    if (out_.size() >= 4 && !draw_(out_.data(), out_.size() / 2)) pending_ = false;
    out_.clear();
    return pending_;
  }

  const ExactTrace& t_;
  const VordaMapping& m_;
  const ChannelSummary& s_;
  double inc_;
  const std::function<bool(const double*, std::size_t)>& draw_;
  std::string* error_;
  LeafReader reader_;
  std::int64_t blockFirst_ = 0;
  double origin_ = 0;
  std::vector<Part> parts_;
  std::vector<double> out_;
  bool pending_ = true;  // false once draw refused
};

}  // namespace

bool DrawExactTrace(const ExactTrace& trace, const std::vector<Burst>& bursts, double sampleInc,
                    const std::function<bool(const double*, std::size_t)>& draw, std::string* error) {
  if (!trace.map || !trace.summary || !trace.source || !(trace.map->x.scale > 0) || trace.map->x_is_log) {
    *error = "no exact trace for this axis";
    return false;
  }
  Planner planner(trace, sampleInc, draw, error);
  for (const Burst& b : bursts)
    if (!planner.Burst(b)) return false;
  return planner.Finish();
}

}  // namespace chart
