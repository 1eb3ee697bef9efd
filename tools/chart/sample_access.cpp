#include "sample_access.h"

#include <algorithm>
#include <vector>

namespace chart {

double SampleValue(const Recording& r, int channel, std::int64_t index) {
  double v = kMissingSample;
  std::string error;
  if (!r.source || !r.source->Read(channel, index, 1, &v, &error)) return kMissingSample;
  return v;
}

double TimeAt(const Recording& r, std::int64_t index) {
  double t = 0;
  std::string error;
  if (!r.timeSource || !r.timeSource->Read(0, index, 1, &t, &error)) return 0;
  return t;
}

bool ForEachBlock(recording::SampleSource& source, int channel, std::int64_t first, std::int64_t count,
                  const std::function<void(const double*, std::int64_t)>& take, std::string* error) {
  std::vector<double> block(static_cast<std::size_t>(std::min(count, kSampleBlock)));
  for (std::int64_t done = 0; done < count;) {
    const std::int64_t n = std::min(count - done, kSampleBlock);
    if (!source.Read(channel, first + done, n, block.data(), error)) return false;
    take(block.data(), n);
    done += n;
  }
  return true;
}

}  // namespace chart
