// _CDrawYTTrace and _CDrawYTBars: one channel's chosen dimension against
// its time base, as a connected trace or as one bar outline a sample.
#include "scratch.h"
#include "traces/block_format.h"
#include "traces/trace_call.h"
#include "vorda.h"

using namespace vorda;

namespace {

// The messages of both drivers name "_CDrawXTTrace": that is what hosts
// have always been shown.
class TimeChannel final : public TraceChannels {
 public:
  TimeChannel(TraceCall& call, HostObject channel, BlockStyle style, int numDims, int dimension,
              double sampleInc)
      : call_(call),
        channel_(channel),
        style_(style),
        record_(static_cast<uint32_t>(numDims - 1)),
        offset_(static_cast<uint32_t>(dimension - 1)),
        sampleInc_(sampleInc) {}

  bool Allocate() {
    input_ = AllocateScratch<double>(uint64_t{kMaxBlockSamples} * record_);
    return input_ != nullptr;
  }

  bool ReadBurst(int32_t i, BurstSpan* span) override {
    double base = 0;
    int first = 0, last = 0;
    if (!ReadDouble(channel_, "BurstBase", i, &base) ||
        !ReadLong(channel_, "BurstBaseScan", i, &first) ||
        !ReadLong(channel_, "BurstEndScan", i, &last)) {
      call_.Fail("In _CDrawXTTrace.  Failed to get BurstBase etc.");
      return false;
    }
    *span = BurstSpan{first, last, base, sampleInc_};
    return true;
  }

  bool ReadBlock(const Block& block) override {
    if (!tarnChannelDataSeek(channel_, block.firstScan, "POSITION_ABSOLUTE")) {
      call_.Fail("In _CDrawXTTrace. tarnChannelDataSeek failed.");
      return false;
    }
    if (tarnChannelGetDataDouble(channel_, block.count, input_.get()) != block.count) {
      call_.Fail("In _CDrawXTTrace. tarnChannelGetDataDouble failed.");
      return false;
    }
    return true;
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
  TraceCall& call_;
  HostObject channel_;
  BlockStyle style_;
  uint32_t record_, offset_;
  double sampleInc_;
  Scratch<double> input_;
};

int DrawTimeSeries(HostObject host, HostObject drawing, HostObject channel, int dimension,
                   BlockStyle style) {
  // Declared first, so that it resets and deletes the progress object
  // after everything else is freed, on every path.
  TraceCall call(host, drawing);
  int numDims = 0;
  double sampleInc = 0;
  if (!ReadLong(channel, "NumDims", -1, &numDims) ||
      !ReadDouble(channel, "SampleInc", -1, &sampleInc))
    return call.Fail("In _CDrawXTTrace. Failed to get NumDims or SampleInc.");
  if (!ValidDimension(numDims, dimension))
    return call.Fail("In _CDrawXTTrace. Sanity checks failed.");

  TimeChannel source(call, channel, style, numDims, dimension, sampleInc);
  const uint32_t perSample =
      style == BlockStyle::kBars ? kBarDoublesPerSample : kTraceDoublesPerSample;
  Scratch<double> output;
  if (source.Allocate()) output = AllocateScratch<double>(uint64_t{perSample} * kMaxBlockSamples);
  if (!output) return call.Fail("In _CDrawXTTrace. malloc failed.");

  return call.DrawBursts(channel, "In _CDrawXTTrace.  Failed to determine NumBursts.", style,
                         source, output.get());
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
