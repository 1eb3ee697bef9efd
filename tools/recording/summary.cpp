#include "summary.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "interleaved_source.h"
#include "stored_summary.h"

namespace recording {

void SummaryNode::Add(const SummaryNode& o) {
  if (o.Has(kFinite)) {
    if (!Has(kFinite)) {
      lo = o.lo;
      hi = o.hi;
    } else {
      lo = std::min(lo, o.lo);
      hi = std::max(hi, o.hi);
    }
    if (o.minPositive > 0 && (minPositive == 0 || o.minPositive < minPositive)) minPositive = o.minPositive;
  }
  flags |= o.flags;
}

SummaryNode SummarizeSamples(const double* v, std::int64_t n) {
  SummaryNode s;
  // Most leaves hold only ordinary values: one tight pass finds that out,
  // and only the others take the careful one.
  double lo = HUGE_VAL, hi = -HUGE_VAL, minPositive = HUGE_VAL;
  bool ordinary = true, state = true;
  for (std::int64_t k = 0; k < n; ++k) {
    const double x = v[k];
    ordinary = ordinary && x >= -1.7976931348623157e308 && x <= 1.7976931348623157e308 && x != VORDA_MISSING_SAMPLE;
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
    minPositive = x > 0 && x < minPositive ? x : minPositive;
    state = state && (x == 0 || x == 1);
  }
  if (!ordinary) {
    lo = HUGE_VAL, hi = -HUGE_VAL, minPositive = HUGE_VAL;
    state = true;
    for (std::int64_t k = 0; k < n; ++k) {
      const double x = v[k];
      if (IsMissingValue(x)) {
        s.flags |= SummaryNode::kMissing;
      } else if (std::isinf(x)) {
        s.flags |= x > 0 ? SummaryNode::kPlusInf : SummaryNode::kMinusInf;
      } else {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        if (x > 0) minPositive = std::min(minPositive, x);
        state = state && (x == 0 || x == 1);
      }
    }
  }
  if (lo <= hi) {
    s.flags |= SummaryNode::kFinite;
    s.lo = lo;
    s.hi = hi;
    s.minPositive = minPositive < HUGE_VAL ? minPositive : 0;
    if (!state) s.flags |= SummaryNode::kNotState;
  }
  return s;
}

ChannelSummary::ChannelSummary(std::int64_t count, std::vector<SummaryNode> leaves) : count_(count) {
  levels_.push_back(std::move(leaves));
  while (levels_.back().size() > 1) {
    const std::vector<SummaryNode>& below = levels_.back();
    std::vector<SummaryNode> up((below.size() + kSummaryFanout - 1) / kSummaryFanout);
    for (std::size_t i = 0; i < below.size(); ++i) up[i / kSummaryFanout].Add(below[i]);
    levels_.push_back(std::move(up));
  }
}

std::int64_t ChannelSummary::Span(int level) {
  std::int64_t span = kSummaryLeaf;
  for (int l = 0; l < level; ++l) span *= kSummaryFanout;
  return span;
}

void ChannelSummary::Split(std::int64_t first, std::int64_t last, std::vector<Part>* parts) const {
  parts->clear();
  last = std::min(last, count_ - 1);
  std::int64_t at = std::max<std::int64_t>(first, 0);
  while (at <= last) {
    if (at % kSummaryLeaf != 0 || at + kSummaryLeaf - 1 > last) {
      // A leaf the range cuts, or the short last leaf taken in part.
      const std::int64_t end = std::min(last, (at / kSummaryLeaf + 1) * kSummaryLeaf - 1);
      if (at % kSummaryLeaf == 0 && end == std::min(count_ - 1, at + kSummaryLeaf - 1))
        parts->push_back({0, at / kSummaryLeaf, at, end});
      else
        parts->push_back({-1, 0, at, end});
      at = end + 1;
      continue;
    }
    int level = 0;
    while (level + 1 < Levels() && at % Span(level + 1) == 0 && at + Span(level + 1) - 1 <= last) ++level;
    const std::int64_t span = Span(level);
    parts->push_back({level, at / span, at, std::min(at + span, count_) - 1});
    at += span;
  }
}

void ChannelSummary::Children(const Part& node, std::vector<Part>* parts) const {
  parts->clear();
  if (node.level <= 0) {
    parts->push_back({-1, 0, node.first, node.last});
    return;
  }
  const int level = node.level - 1;
  const std::int64_t span = Span(level);
  for (std::int64_t at = node.first; at <= node.last; at += span)
    parts->push_back({level, at / span, at, std::min(at + span, count_) - 1});
}

namespace {

// The pass over a file of integer samples: whole leaves a read, each
// summarized from the integers as stored (see stored_summary.h).
bool SummarizeStored(InterleavedSource& source, std::int64_t perRead, std::vector<std::vector<SummaryNode>>* leaves,
                     const std::function<bool(std::int64_t, std::int64_t)>& progress, std::string* error) {
  const StoredSummarizer summarizer(source.Layout());
  const std::int64_t frames = source.FrameCount();
  for (std::int64_t done = 0; done < frames;) {
    if (progress && !progress(done, frames)) {
      *error = "stopped";
      return false;
    }
    const std::int64_t n = std::min(perRead, frames - done);
    const std::uint8_t* bytes = source.ReadStored(done, n, error);
    if (!bytes) return false;
    summarizer.Summarize(bytes, n, leaves);
    done += n;
  }
  return true;
}

}  // namespace

bool SummarizeSource(SampleSource& source, std::vector<ChannelSummary>* out,
                     const std::function<bool(std::int64_t, std::int64_t)>& progress, std::string* error) {
  const int channels = source.ChannelCount();
  const std::int64_t frames = source.FrameCount();
  auto* stored = dynamic_cast<InterleavedSource*>(&source);
  const std::int64_t storedPerRead =
      stored && StoredSummarizer::Applies(stored->Layout()) ? stored->StoredFramesPerRead() / kSummaryLeaf * kSummaryLeaf : 0;
  if (storedPerRead > 0) {
    std::vector<std::vector<SummaryNode>> leaves(static_cast<std::size_t>(channels));
    for (auto& l : leaves) l.reserve(static_cast<std::size_t>((frames + kSummaryLeaf - 1) / kSummaryLeaf));
    if (!SummarizeStored(*stored, storedPerRead, &leaves, progress, error)) return false;
    if (progress) progress(frames, frames);
    out->clear();
    for (auto& l : leaves) out->emplace_back(frames, std::move(l));
    return true;
  }
  // Whole leaves a read, so that no leaf is split across two; a short
  // recording in one read, into a buffer no longer than it.
  const std::int64_t chunk = std::min(kSummaryLeaf * 64, std::max<std::int64_t>(frames, 1));
  std::vector<double> frameBuffer(static_cast<std::size_t>(chunk * std::max(channels, 1)));
  std::vector<double> column(static_cast<std::size_t>(chunk));
  std::vector<std::vector<SummaryNode>> leaves(static_cast<std::size_t>(channels));
  for (auto& l : leaves) l.reserve(static_cast<std::size_t>((frames + kSummaryLeaf - 1) / kSummaryLeaf));
  for (std::int64_t done = 0; done < frames;) {
    if (progress && !progress(done, frames)) {
      *error = "stopped";
      return false;
    }
    const std::int64_t n = std::min(chunk, frames - done);
    if (!source.ReadFrames(done, n, frameBuffer.data(), error)) return false;
    for (int c = 0; c < channels; ++c) {
      for (std::int64_t k = 0; k < n; ++k)
        column[static_cast<std::size_t>(k)] = frameBuffer[static_cast<std::size_t>(k * channels + c)];
      for (std::int64_t at = 0; at < n; at += kSummaryLeaf)
        leaves[static_cast<std::size_t>(c)].push_back(
            SummarizeSamples(column.data() + at, std::min(kSummaryLeaf, n - at)));
    }
    done += n;
  }
  if (progress) progress(frames, frames);
  out->clear();
  for (auto& l : leaves) out->emplace_back(frames, std::move(l));
  return true;
}

namespace {

constexpr char kMagic[8] = {'v', 'o', 'r', 'd', 'a', 'S', 'M', '1'};

template <typename T>
void Put(std::vector<std::uint8_t>* b, T v) {
  const std::size_t at = b->size();
  b->resize(at + sizeof v);
  std::memcpy(b->data() + at, &v, sizeof v);
}

template <typename T>
bool Get(const std::vector<std::uint8_t>& b, std::size_t* at, T* v) {
  if (b.size() - *at < sizeof *v) return false;
  std::memcpy(v, b.data() + *at, sizeof *v);
  *at += sizeof *v;
  return true;
}

}  // namespace

std::vector<std::uint8_t> PackSummaries(const std::string& recipe, const std::vector<ChannelSummary>& summaries) {
  std::vector<std::uint8_t> b(kMagic, kMagic + sizeof kMagic);
  Put(&b, static_cast<std::uint32_t>(recipe.size()));
  b.insert(b.end(), recipe.begin(), recipe.end());
  Put(&b, static_cast<std::uint32_t>(summaries.size()));
  for (const ChannelSummary& s : summaries) {
    Put(&b, s.Count());
    const std::vector<SummaryNode>& leaves = s.levels().front();
    Put(&b, static_cast<std::uint64_t>(leaves.size()));
    b.reserve(b.size() + leaves.size() * 28);
    for (const SummaryNode& n : leaves) {
      Put(&b, n.lo);
      Put(&b, n.hi);
      Put(&b, n.minPositive);
      Put(&b, n.flags);
    }
  }
  return b;
}

bool UnpackSummaries(const std::vector<std::uint8_t>& b, const std::string& recipe, int channels,
                     std::int64_t frames, std::vector<ChannelSummary>* out) {
  std::size_t at = sizeof kMagic;
  std::uint32_t length = 0, count = 0;
  if (b.size() < sizeof kMagic || std::memcmp(b.data(), kMagic, sizeof kMagic) != 0 || !Get(b, &at, &length) ||
      b.size() - at < length || std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                                             b.begin() + static_cast<std::ptrdiff_t>(at + length)) != recipe)
    return false;
  at += length;
  if (!Get(b, &at, &count) || static_cast<int>(count) != channels) return false;
  const std::uint64_t leafCount = static_cast<std::uint64_t>((frames + kSummaryLeaf - 1) / kSummaryLeaf);
  std::vector<ChannelSummary> result;
  for (std::uint32_t c = 0; c < count; ++c) {
    std::int64_t n = 0;
    std::uint64_t leaves = 0;
    if (!Get(b, &at, &n) || n != frames || !Get(b, &at, &leaves) || leaves != leafCount ||
        (b.size() - at) / 28 < leaves)
      return false;
    std::vector<SummaryNode> nodes(static_cast<std::size_t>(leaves));
    for (SummaryNode& node : nodes)
      if (!Get(b, &at, &node.lo) || !Get(b, &at, &node.hi) || !Get(b, &at, &node.minPositive) ||
          !Get(b, &at, &node.flags))
        return false;
    result.emplace_back(frames, std::move(nodes));
  }
  if (at != b.size()) return false;
  *out = std::move(result);
  return true;
}

}  // namespace recording
