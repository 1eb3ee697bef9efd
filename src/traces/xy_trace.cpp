// _CDrawXYTrace: one channel's chosen dimension against another's, sample
// by sample, block by block, handed to the drawing object's "Draw".
#include "scratch.h"
#include "traces/block_format.h"
#include "traces/trace_call.h"
#include "vorda.h"

using namespace vorda;

namespace {

class XYChannels final : public TraceChannels {
 public:
  XYChannels(HostObject x, HostObject y, int xDims, int yDims, int xDim, int yDim)
      : x_(x),
        y_(y),
        xRecord_(static_cast<uint32_t>(xDims - 1)),
        yRecord_(static_cast<uint32_t>(yDims - 1)),
        xOffset_(static_cast<uint32_t>(xDim - 1)),
        yOffset_(static_cast<uint32_t>(yDim - 1)) {}

  // The X input, then the Y input; false when either cannot be had.
  bool Allocate() {
    xInput_ = AllocateScratch<double>(uint64_t{kMaxBlockSamples} * xRecord_);
    if (!xInput_) return false;
    yInput_ = AllocateScratch<double>(uint64_t{kMaxBlockSamples} * yRecord_);
    return yInput_ != nullptr;
  }

  Failure ReadBurst(int32_t i, BurstSpan* span) override {
    int xFirst = 0, xLast = 0, yFirst = 0, yLast = 0;
    if (!ReadLong(x_, "BurstBaseScan", i, &xFirst) || !ReadLong(x_, "BurstEndScan", i, &xLast) ||
        !ReadLong(y_, "BurstBaseScan", i, &yFirst) || !ReadLong(y_, "BurstEndScan", i, &yLast))
      return kXYTraceBurstFailed;
    if (xFirst != yFirst) return kXYTraceBurstsMisaligned;
    // The shorter burst bounds the trace.
    *span = BurstSpan{xFirst, xLast < yLast ? xLast : yLast, 0.0, 0.0};
    return {};
  }

  Failure ReadBlock(const Block& block) override {
    if (!tarnChannelDataSeek(x_, block.firstScan, "POSITION_ABSOLUTE") ||
        !tarnChannelDataSeek(y_, block.firstScan, "POSITION_ABSOLUTE"))
      return kXYTraceSeekFailed;
    const int xRead = tarnChannelGetDataDouble(x_, block.count, xInput_.get());
    const int yRead = tarnChannelGetDataDouble(y_, block.count, yInput_.get());
    if (xRead != block.count || yRead != block.count) return kXYTraceReadFailed;
    return {};
  }

  uint32_t FillBlock(const Block& block, double* out) override {
    FillXYBlock({xInput_.get(), xRecord_, xOffset_}, {yInput_.get(), yRecord_, yOffset_},
                block.count, out);
    return kTraceDoublesPerSample * static_cast<uint32_t>(block.count);
  }

 private:
  HostObject x_, y_;
  uint32_t xRecord_, yRecord_, xOffset_, yOffset_;
  Scratch<double> xInput_, yInput_;
};

}  // namespace

extern "C" int __cdecl _CDrawXYTrace(HostObject host, HostObject drawing, HostObject xChannel,
                                     HostObject yChannel, int xDimension, int yDimension) {
  // Declared first, so that it resets and deletes the progress object
  // after everything else is freed, on every path.
  TraceCall call(host, drawing);
  int xDims = 0, yDims = 0;
  if (!ReadLong(xChannel, "NumDims", -1, &xDims) || !ReadLong(yChannel, "NumDims", -1, &yDims))
    return call.Fail(kXYTraceNumDimsFailed);
  if (!ValidDimension(xDims, xDimension) || !ValidDimension(yDims, yDimension))
    return call.Fail(kXYTraceSanityChecksFailed);

  XYChannels channels(xChannel, yChannel, xDims, yDims, xDimension, yDimension);
  Scratch<double> output;
  if (channels.Allocate())
    output = AllocateScratch<double>(uint64_t{kTraceDoublesPerSample} * kMaxBlockSamples);
  if (!output) return call.Fail(kXYTraceMallocFailed);

  return call.DrawBursts(xChannel, kXYTraceNumBurstsFailed, BlockStyle::kXYTrace, channels,
                         output.get());
}
