#include "host_recording.h"

#include <cstring>
#include <vector>

namespace chart {

namespace {

tarn::Handle AddHostSamples(const Recording& r, const double* samples) {
  std::vector<tarn::Burst> bursts;
  for (const Burst& b : r.bursts)
    bursts.push_back({b.start, static_cast<int>(b.first), static_cast<int>(b.first + b.count - 1)});
  tarn::Handle handle = tarn::host().NewChannel(2, r.sampleInc, bursts);
  tarn::host().SetGenerator(handle, 0, static_cast<int>(r.SampleCount() - 1),
                            [samples](int first, int count, double* out) {
                              std::memcpy(out, samples + first, sizeof(double) * static_cast<size_t>(count));
                            });
  return handle;
}

}  // namespace

tarn::Handle AddHostChannel(const Recording& r, int channel) {
  return AddHostSamples(r, r.channels[static_cast<size_t>(channel)].samples.data());
}

tarn::Handle AddHostTimeChannel(const Recording& r) { return AddHostSamples(r, r.times.data()); }

}  // namespace chart
