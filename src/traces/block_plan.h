// Planning the blocks of one burst: where each block starts, how many
// samples it holds, its time origin and the progress reported after it.
// Pure code.
#pragma once

#include <cstdint>

#include "vorda_data.h"
#include "vorda_map.h"

namespace vorda {

// A block holds at most this many samples; it bounds the scratch memory of
// a trace call whatever the length of the recording.
constexpr int32_t kMaxBlockSamples = VORDA_MAX_BLOCK_SAMPLES;

enum class BlockStyle {
  // Consecutive blocks share a sample so the drawn line has no gap;
  // progress is the block's first scan out of the burst's last scan.
  kXYTrace,
  // Blocks share a sample, and the time origin steps back with it;
  // progress counts the samples done within the burst.
  kTimeTrace,
  // No shared sample; progress counts as for kTimeTrace.
  kBars,
};

// One burst: scans firstScan..lastScan, both included; the time of its
// first sample and the time between samples (unused by kXYTrace).
struct BurstSpan {
  int32_t firstScan;
  int32_t lastScan;
  double origin;
  double sampleInc;
};

struct Block {
  int32_t firstScan;
  int32_t count;
  // Time of the block's first sample.
  double origin;
  // The progress call that follows the block's Draw.
  double done;
  double total;
};

// Yields the blocks of a burst in order. A burst whose last scan precedes
// its first has no blocks. Scan arithmetic is done in 64 bits, so bursts
// that reach the ends of the 32-bit scan range neither wrap nor overflow.
class BlockWalk {
 public:
  BlockWalk(BlockStyle style, const BurstSpan& span);
  // The next block, or false when the burst is done.
  bool Next(Block* block);

 private:
  BlockStyle style_;
  // Scans and time origins, as hosts can walk them too.
  VordaBlockWalk walk_;
  int64_t total_;
};

}  // namespace vorda
