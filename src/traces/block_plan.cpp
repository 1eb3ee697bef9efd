#include "traces/block_plan.h"

namespace vorda {

BlockWalk::BlockWalk(BlockStyle style, const BurstSpan& span)
    : style_(style), walk_{}, total_(int64_t{span.lastScan} - span.firstScan + 1) {
  vorda_block_walk_start(&walk_, span.firstScan, span.lastScan, span.origin, span.sampleInc,
                         style != BlockStyle::kBars);
}

bool BlockWalk::Next(Block* block) {
  VordaBlock b;
  if (!vorda_block_walk_next(&walk_, &b)) return false;
  block->firstScan = b.first_scan;
  block->count = b.count;
  block->origin = b.origin;

  const int64_t end = walk_.last_scan;
  if (style_ == BlockStyle::kXYTrace) {
    block->done = static_cast<double>(block->firstScan);
    block->total = static_cast<double>(end);
  } else {
    const int64_t remaining = walk_.next_scan <= end ? end - walk_.next_scan + 1 : 0;
    block->done = static_cast<double>(total_ - remaining);
    block->total = static_cast<double>(total_);
  }
  return true;
}

}  // namespace vorda
