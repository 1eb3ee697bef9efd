// Another source's frames, last first: a recording whose rows were written
// newest first is read oldest first without being turned round on disk.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "sample_source.h"

namespace recording {

class ReversedSource final : public SampleSource {
 public:
  explicit ReversedSource(std::shared_ptr<SampleSource> inner) : inner_(std::move(inner)) {}

  int ChannelCount() const override { return inner_->ChannelCount(); }
  std::int64_t FrameCount() const override { return inner_->FrameCount(); }
  bool Read(int channel, std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    if (!InRange(first, count, error) || !inner_->Read(channel, FrameCount() - first - count, count, out, error))
      return false;
    std::reverse(out, out + count);
    return true;
  }
  bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    if (!InRange(first, count, error) || !inner_->ReadFrames(FrameCount() - first - count, count, out, error))
      return false;
    // Whole frames change places; the channels within a frame stay.
    const std::int64_t n = ChannelCount();
    for (std::int64_t a = 0, b = count - 1; a < b; ++a, --b)
      std::swap_ranges(out + a * n, out + (a + 1) * n, out + b * n);
    return true;
  }
  FileIdentity Identity() const override { return inner_->Identity(); }
  bool Changed() const override { return inner_->Changed(); }

 private:
  bool InRange(std::int64_t first, std::int64_t count, std::string* error) const {
    if (first >= 0 && count >= 0 && first <= FrameCount() && count <= FrameCount() - first) return true;
    *error = "frames " + std::to_string(first) + " to " + std::to_string(first + count) + " lie outside the " +
             std::to_string(FrameCount()) + " of the recording";
    return false;
  }

  std::shared_ptr<SampleSource> inner_;
};

}  // namespace recording
