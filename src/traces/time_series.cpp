// _CDrawYTTrace and _CDrawYTBars: one channel's chosen dimension against
// its time base, as a connected trace or as one bar outline a sample.
#include "scratch.h"
#include "traces/block_format.h"
#include "traces/trace_call.h"
#include "vorda.h"

using namespace vorda;

namespace {

class TimeChannel final : public TraceChannels {
 public:
  TimeChannel(HostObject channel, BlockStyle style, int numDims, int dimension, double sampleInc)
      : channel_(channel),
        style_(style),
        record_(static_cast<uint32_t>(numDims - 1)),
        offset_(static_cast<uint32_t>(dimension - 1)),
        sampleInc_(sampleInc) {}

  bool Allocate() {
    input_ = AllocateScratch<double>(uint64_t{kMaxBlockSamples} * record_);
    return input_ != nullptr;
  }

  Failure ReadBurst(int32_t i, BurstSpan* span) override {
    double base = 0;
    int first = 0, last = 0;
    if (!ReadDouble(channel_, "BurstBase", i, &base) ||
        !ReadLong(channel_, "BurstBaseScan", i, &first) ||
        !ReadLong(channel_, "BurstEndScan", i, &last))
      return kXTTraceBurstFailed;
    *span = BurstSpan{first, last, base, sampleInc_};
    return {};
  }

  Failure ReadBlock(const Block& block) override {
    if (!tarnChannelDataSeek(channel_, block.firstScan, "POSITION_ABSOLUTE"))
      return kXTTraceSeekFailed;
    if (tarnChannelGetDataDouble(channel_, block.count, input_.get()) != block.count)
      return kXTTraceReadFailed;
    return {};
  }

  uint32_t FillBlock(const Block& block, double* out) override {
    const SampleColumn y{input_.get(), record_, offset_};
    if (style_ == BlockStyle::kBars) {
      FillBarBlock(y, block.count, block.origin, sampleInc_, out);
      return kBarDoublesPerSample * static_cast<uint32_t>(block.count);
    }
    FillTimeBlock(y, block.count, block.origin, sampleInc_, out);
    return kTraceDoublesPerSample * static_cast<uint32_t>(block.count);
  }

 private:
  HostObject channel_;
  BlockStyle style_;
  uint32_t record_, offset_;
  double sampleInc_;
  Scratch<double> input_;
};

// Both drivers' messages name _CDrawXTTrace, not the driver raising them:
// hosts key on the exact text, so it is not corrected.
int DrawTimeSeries(HostObject host, HostObject drawing, HostObject channel, int dimension,
                   BlockStyle style) {
  // Declared first, so that it resets and deletes the progress object
  // after everything else is freed, on every path.
  TraceCall call(host, drawing);
  int numDims = 0;
  double sampleInc = 0;
  if (!ReadLong(channel, "NumDims", -1, &numDims) ||
      !ReadDouble(channel, "SampleInc", -1, &sampleInc))
    return call.Fail(kXTTraceNumDimsFailed);
  if (!ValidDimension(numDims, dimension))
    return call.Fail(kXTTraceSanityChecksFailed);

  TimeChannel source(channel, style, numDims, dimension, sampleInc);
  const uint32_t perSample =
      style == BlockStyle::kBars ? kBarDoublesPerSample : kTraceDoublesPerSample;
  Scratch<double> output;
  if (source.Allocate()) output = AllocateScratch<double>(uint64_t{perSample} * kMaxBlockSamples);
  if (!output) return call.Fail(kXTTraceMallocFailed);

  return call.DrawBursts(channel, kXTTraceNumBurstsFailed, style, source, output.get());
}

}  // namespace

extern "C" int __cdecl _CDrawYTTrace(HostObject host, HostObject drawing, HostObject channel,
                                     int dimension) {
  return DrawTimeSeries(host, drawing, channel, dimension, BlockStyle::kTimeTrace);
}

extern "C" int __cdecl _CDrawYTBars(HostObject host, HostObject drawing, HostObject channel,
                                    int dimension) {
  return DrawTimeSeries(host, drawing, channel, dimension, BlockStyle::kBars);
}
