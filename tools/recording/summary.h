// A summary of one channel's samples: for each leaf of kSummaryLeaf
// consecutive samples, and for each group of kSummaryFanout nodes of the
// level below, what its samples hold: least and greatest finite value,
// least value above 0, and whether it holds a missing sample, an
// infinity, or a value other than 0 and 1. It is exact, not an
// approximation: a drawing can prove from it which samples decide a pixel
// column and read only those from the file. Made in one pass over the
// file; kept in the cache as bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sample_source.h"

namespace recording {

inline constexpr std::int64_t kSummaryLeaf = 1024;
inline constexpr std::int64_t kSummaryFanout = 16;

struct SummaryNode {
  enum : std::uint32_t {
    kMissing = 1,    // a missing sample (the missing-sample value or not-a-number)
    kFinite = 2,     // a finite value: lo, hi and, if above 0, minPositive hold
    kPlusInf = 4,
    kMinusInf = 8,
    kNotState = 16,  // a finite value other than 0 and 1
  };
  double lo = 0, hi = 0;
  double minPositive = 0;  // 0 when no finite value is above 0
  std::uint32_t flags = 0;

  bool Has(std::uint32_t f) const { return (flags & f) != 0; }
  void Add(const SummaryNode& other);
  bool operator==(const SummaryNode& o) const {
    return lo == o.lo && hi == o.hi && minPositive == o.minPositive && flags == o.flags;
  }
};

// Whether a sample value marks a missing sample.
inline bool IsMissingValue(double v) { return v != v || v == VORDA_MISSING_SAMPLE; }

// The node of samples v[0..n).
SummaryNode SummarizeSamples(const double* v, std::int64_t n);

class ChannelSummary {
 public:
  ChannelSummary() = default;
  // Builds level 1 and up from the leaves of `count` samples.
  ChannelSummary(std::int64_t count, std::vector<SummaryNode> leaves);

  std::int64_t Count() const { return count_; }
  int Levels() const { return static_cast<int>(levels_.size()); }
  // Samples a node of `level` covers (the last node of a level may cover fewer).
  static std::int64_t Span(int level);
  const SummaryNode& Node(int level, std::int64_t index) const {
    return levels_[static_cast<std::size_t>(level)][static_cast<std::size_t>(index)];
  }

  // The pieces samples [first, last] split into, in order: whole nodes as
  // high as fit, and the parts of leaves the range cuts, as raw ranges.
  struct Part {
    int level;                 // -1: a raw range, read from the file
    std::int64_t index;        // the node's index in its level
    std::int64_t first, last;  // its samples
  };
  void Split(std::int64_t first, std::int64_t last, std::vector<Part>* parts) const;
  // The children of a node as parts, in order.
  void Children(const Part& node, std::vector<Part>* parts) const;

  const std::vector<std::vector<SummaryNode>>& levels() const { return levels_; }

 private:
  std::int64_t count_ = 0;
  std::vector<std::vector<SummaryNode>> levels_;
};

// Summaries of every channel of `source`, made in one pass over its
// frames. `progress(done, total)` is called between reads and may return
// false to stop; false after *error says why (or that it was stopped).
bool SummarizeSource(SampleSource& source, std::vector<ChannelSummary>* out,
                     const std::function<bool(std::int64_t, std::int64_t)>& progress, std::string* error);

// The summaries as the bytes of a cache payload, and back. `recipe` says
// how the values were made from the file's bytes (an encoding, a scale),
// so that a summary of other values of the same file is not taken.
std::vector<std::uint8_t> PackSummaries(const std::string& recipe, const std::vector<ChannelSummary>& summaries);
// False when the bytes are not summaries made by that recipe of `channels`
// channels of `frames` samples.
bool UnpackSummaries(const std::vector<std::uint8_t>& bytes, const std::string& recipe, int channels,
                     std::int64_t frames, std::vector<ChannelSummary>* out);

}  // namespace recording
