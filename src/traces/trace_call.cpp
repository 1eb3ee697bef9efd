#include "traces/trace_call.h"

#include "traces/block_format.h"

namespace vorda {

bool ReadLong(HostObject object, const char* name, int index, int* out) {
  return tarnObjectGetLong(object, name, 0, index, out) != 0;
}

bool ReadDouble(HostObject object, const char* name, int index, double* out) {
  return tarnObjectGetDouble(object, name, 0, index, out) != 0;
}

TraceCall::TraceCall(HostObject host, HostObject drawing) : host_(host), drawing_(drawing) {
  // The root is left 0 if the host does not give one; a progress object
  // is then not asked for, since it would have no parent.
  HostObject root = 0;
  tarnObjectGetObject(host_, "TARN", 0, -1, &root);
  if (root) progress_ = tarnProgressNew(root, "Drawing");
}

TraceCall::~TraceCall() {
  if (!progress_) return;
  tarnObjectSetCString(progress_, "ProgressText", 0, -1, "");
  tarnProgress(progress_, 0.0, 100.0);
  tarnObjectDelete(progress_);
}

Failure TraceCall::Draw(const double* output, uint32_t doubles) {
  static_assert(uint64_t{kBarDoublesPerSample} * kMaxBlockSamples * sizeof(double) <= INT32_MAX,
                "a block's byte count must fit the int the host takes");
  const int bytes = static_cast<int>(doubles * sizeof(double));
  if (tarnObjectSetString(drawing_, "Data", 0, -1, reinterpret_cast<const char*>(output),
                          bytes) &&
      tarnObjectSetLong(drawing_, "DataSize", 0, -1, static_cast<int>(doubles)) &&
      tarnObjectCallSub(drawing_, "Draw"))
    return {};
  return kTraceDrawFailed;
}

bool TraceCall::Progress(double done, double total) {
  // Without a progress object there is no one to ask: go on.
  return !progress_ || tarnProgress(progress_, done, total) != 0;
}

int TraceCall::DrawBursts(HostObject burstChannel, const char* numBurstsMessage,
                          BlockStyle style, TraceChannels& channels, double* output) {
  int bursts = 0;
  if (tarnObjectGetSize(burstChannel, "BurstBase", 0, -1, &bursts) == 0)
    return Fail(numBurstsMessage);
  for (int32_t i = 0; i < bursts; ++i) {
    BurstSpan span{};
    if (Failure f = channels.ReadBurst(i, &span)) return Fail(f);
    BlockWalk walk(style, span);
    Block block;
    while (walk.Next(&block)) {
      if (Failure f = channels.ReadBlock(block)) return Fail(f);
      if (Failure f = Draw(output, channels.FillBlock(block, output))) return Fail(f);
      // A stop asked for by the host is not a failure: nothing is reported.
      if (!Progress(block.done, block.total)) return 0;
    }
  }
  return 1;
}

}  // namespace vorda
