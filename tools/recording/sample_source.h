// Where a recording's samples come from. The samples of a long recording stay
// in its file; a source reads the frames asked for into the caller's buffer,
// so what a tool holds at once is bounded by what it asks for, not by the
// length of the recording.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vorda_data.h"

namespace recording {

// What identifies a recording on disk: enough to key a cache of what was
// learnt from it and to notice that it changed since it was opened.
struct FileIdentity {
  std::string path;           // as opened
  std::string name;           // as the user gave it, for messages
  std::uint64_t size = 0;     // bytes
  std::int64_t modified = 0;  // modification time, in the platform's own units
  bool operator==(const FileIdentity& o) const {
    return path == o.path && size == o.size && modified == o.modified;  // the name is only how it is shown
  }
  bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

class SampleSource {
 public:
  virtual ~SampleSource() = default;
  virtual int ChannelCount() const = 0;
  virtual std::int64_t FrameCount() const = 0;  // samples per channel
  // Frames [first, first + count) of one channel, as doubles in engineering units; a missing
  // sample reads as VORDA_MISSING_SAMPLE. false after *error is set to a message naming the file.
  virtual bool Read(int channel, std::int64_t first, std::int64_t count, double* out,
                    std::string* error) = 0;
  // The same for every channel at once, interleaved frame by frame (out holds count * ChannelCount()).
  virtual bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) = 0;
  // What identifies the recording on disk (path as opened, size, modification time), to key a cache and
  // to notice that the file changed since it was opened.
  virtual FileIdentity Identity() const = 0;
  // true when the file on disk is no longer what was opened (size or time changed)
  virtual bool Changed() const = 0;
};

// Samples held in memory, one vector a channel (all of the same length): for
// tests and for recordings small enough to parse whole. Its identity is what
// it is given; it never changes.
class MemorySource final : public SampleSource {
 public:
  MemorySource() = default;
  explicit MemorySource(std::vector<std::vector<double>> channels, FileIdentity identity = {})
      : channels_(std::move(channels)), identity_(std::move(identity)) {}

  int ChannelCount() const override { return static_cast<int>(channels_.size()); }
  std::int64_t FrameCount() const override {
    return channels_.empty() ? 0 : static_cast<std::int64_t>(channels_[0].size());
  }
  bool Read(int channel, std::int64_t first, std::int64_t count, double* out,
            std::string* error) override {
    if (channel < 0 || channel >= ChannelCount() || !InRange(first, count, error)) {
      if (channel < 0 || channel >= ChannelCount()) *error = "no channel " + std::to_string(channel);
      return false;
    }
    const std::vector<double>& c = channels_[static_cast<std::size_t>(channel)];
    for (std::int64_t i = 0; i < count; ++i) out[i] = c[static_cast<std::size_t>(first + i)];
    return true;
  }
  bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) override {
    if (!InRange(first, count, error)) return false;
    const std::size_t n = channels_.size();
    for (std::int64_t i = 0; i < count; ++i)
      for (std::size_t c = 0; c < n; ++c)
        out[static_cast<std::size_t>(i) * n + c] = channels_[c][static_cast<std::size_t>(first + i)];
    return true;
  }
  FileIdentity Identity() const override { return identity_; }
  bool Changed() const override { return false; }

  // The channels themselves, for the one who fills them.
  std::vector<std::vector<double>>& Channels() { return channels_; }
  const std::vector<std::vector<double>>& Channels() const { return channels_; }

 private:
  bool InRange(std::int64_t first, std::int64_t count, std::string* error) const {
    if (first < 0 || count < 0 || first > FrameCount() || count > FrameCount() - first) {
      *error = "frames " + std::to_string(first) + "+" + std::to_string(count) + " lie outside the " +
               std::to_string(FrameCount()) + " held";
      return false;
    }
    return true;
  }

  std::vector<std::vector<double>> channels_;
  FileIdentity identity_;
};

}  // namespace recording
