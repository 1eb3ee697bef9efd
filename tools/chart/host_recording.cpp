#include "host_recording.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace chart {

namespace {

std::string& Failure() {
  static std::string failure;
  return failure;
}

tarn::Handle AddHostSamples(const Recording& r, std::shared_ptr<recording::SampleSource> source, int channel) {
  std::vector<tarn::Burst> bursts;
  for (const Burst& b : r.bursts)
    bursts.push_back({b.start, static_cast<int>(b.first), static_cast<int>(b.first + b.count - 1)});
  tarn::Handle handle = tarn::host().NewChannel(2, r.sampleInc, bursts);
  tarn::host().SetGenerator(handle, 0, static_cast<int>(r.SampleCount() - 1),
                            [source, channel](int first, int count, double* out) {
                              std::string error;
                              if (source->Read(channel, first, count, out, &error)) return;
                              std::fill(out, out + count, kMissingSample);
                              if (Failure().empty()) Failure() = error;
                            });
  return handle;
}

}  // namespace

tarn::Handle AddHostChannel(const Recording& r, int channel) { return AddHostSamples(r, r.source, channel); }

tarn::Handle AddHostTimeChannel(const Recording& r) { return AddHostSamples(r, r.timeSource, 0); }

const std::string& HostReadFailure() { return Failure(); }
void ClearHostReadFailure() { Failure().clear(); }

}  // namespace chart
