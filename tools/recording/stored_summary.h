// Leaf summaries of samples a file stores as integers, made from the
// integers themselves. With a scale above 0 a value never falls as its
// stored integer rises (rounding keeps the order), so a leaf's least and
// greatest values are those of its least and greatest integers, and its
// least value above 0 is that of its least integer at or above the first
// one whose value is above 0. Which integers read as a missing sample, an
// infinity, 0 or 1 is worked out once; only a leaf whose integers reach
// such a one is read value by value. The nodes are exactly those
// SummarizeSamples gives for the values, at a fraction of the cost: the
// summary pass runs at the speed of reading the file.
#pragma once

#include <cstdint>
#include <vector>

#include "sample_encoding.h"
#include "summary.h"

namespace recording {

class StoredSummarizer {
 public:
  // Whether the layout's values rise with its stored integers: an integer
  // encoding, a finite scale above 0 and a finite offset.
  static bool Applies(const InterleavedLayout& layout);

  explicit StoredSummarizer(const InterleavedLayout& layout);

  // Appends to leaves[c] the leaves of channel c of the `frames` frames at
  // `bytes`, one every kSummaryLeaf frames (the last may be shorter).
  void Summarize(const std::uint8_t* bytes, std::int64_t frames, std::vector<std::vector<SummaryNode>>* leaves) const;

 private:
  double Value(std::int64_t stored) const;
  // Each channel's least and greatest stored integer over the frames, and
  // the least of those at or above above_ (any, when none is).
  void Scan(const std::uint8_t* bytes, std::int64_t frames, std::int64_t* lo, std::int64_t* hi,
            std::int64_t* least) const;
  // The node of a leaf from its integers' extremes; false when the leaf
  // must be read value by value.
  bool Node(std::int64_t lo, std::int64_t hi, std::int64_t least, SummaryNode* node) const;
  SummaryNode ValueByValue(const std::uint8_t* bytes, std::int64_t frames, int channel) const;

  InterleavedLayout layout_;
  std::int64_t above_ = 0;                   // the least integer whose value is above 0
  std::int64_t missingLo_ = 1, missingHi_ = 0;  // those that read as the missing-sample value
  std::int64_t stateLo_ = 1, stateHi_ = 0;   // the least and greatest that read as 0 or 1
  bool stateWhole_ = true;                   // every integer between those reads as 0 or 1
};

}  // namespace recording
