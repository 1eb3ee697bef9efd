#include "traces/block_plan.h"

namespace vorda {

BlockWalk::BlockWalk(BlockStyle style, const BurstSpan& span)
    : style_(style),
      start_(span.firstScan),
      end_(span.lastScan),
      total_(int64_t{span.lastScan} - span.firstScan + 1),
      origin_(span.origin),
      sampleInc_(span.sampleInc) {}

bool BlockWalk::Next(Block* block) {
  if (start_ > end_) return false;
  const int64_t left = end_ - start_ + 1;
  const int64_t n = left < kMaxBlockSamples ? left : kMaxBlockSamples;
  block->firstScan = static_cast<int32_t>(start_);
  block->count = static_cast<int32_t>(n);
  block->origin = origin_;

  // The origin moves on as a double product plus the old origin, and steps
  // back by one increment with the shared sample, so that the shared
  // sample's time is the same in both blocks.
  start_ += n;
  origin_ = static_cast<double>(n) * sampleInc_ + origin_;
  if (left > n && style_ != BlockStyle::kBars) {
    start_ -= 1;
    origin_ = origin_ - sampleInc_;
  }

  if (style_ == BlockStyle::kXYTrace) {
    block->done = static_cast<double>(block->firstScan);
    block->total = static_cast<double>(end_);
  } else {
    const int64_t remaining = start_ <= end_ ? end_ - start_ + 1 : 0;
    block->done = static_cast<double>(total_ - remaining);
    block->total = static_cast<double>(total_);
  }
  return true;
}

}  // namespace vorda
