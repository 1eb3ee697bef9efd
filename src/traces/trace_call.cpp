#include "traces/trace_call.h"

#include "host/report.h"

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

int TraceCall::Fail(const char* message) {
  ReportError(host_, message);
  return 0;
}

bool TraceCall::Draw(const double* output, uint32_t doubles) {
  // At most 10 doubles for each of 100000 samples: the counts fit an int.
  const int bytes = static_cast<int>(doubles * sizeof(double));
  if (tarnObjectSetString(drawing_, "Data", 0, -1, reinterpret_cast<const char*>(output),
                          bytes) &&
      tarnObjectSetLong(drawing_, "DataSize", 0, -1, static_cast<int>(doubles)) &&
      tarnObjectCallSub(drawing_, "Draw"))
    return true;
  Fail("Draw failed.");
  return false;
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
    if (!channels.ReadBurst(i, &span)) return 0;
    BlockWalk walk(style, span);
    Block block;
    while (walk.Next(&block)) {
      if (!channels.ReadBlock(block)) return 0;
      if (!Draw(output, channels.FillBlock(block, output))) return 0;
      // A stop asked for by the host is not a failure: nothing is reported.
      if (!Progress(block.done, block.total)) return 0;
    }
  }
  return 1;
}

}  // namespace vorda
