// Samples stored interleaved frame by frame in a file (WAV, RF64, raw),
// read in place: each read goes through one buffer of at most
// kReadBufferBytes, so a recording of any length costs that much memory.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "byte_source.h"
#include "sample_encoding.h"
#include "sample_source.h"

namespace recording {

inline constexpr std::size_t kReadBufferBytes = std::size_t{1} << 20;

class InterleavedSource final : public SampleSource {
 public:
  // `name` is the file as the user gave it, for messages; `changed` tells
  // whether the file on disk is no longer the one opened (none: never).
  InterleavedSource(std::shared_ptr<ByteSource> bytes, const InterleavedLayout& layout, FileIdentity identity,
                    std::function<bool()> changed = {});

  int ChannelCount() const override { return layout_.channels; }
  std::int64_t FrameCount() const override { return layout_.frames; }
  bool Read(int channel, std::int64_t first, std::int64_t count, double* out, std::string* error) override;
  bool ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) override;
  FileIdentity Identity() const override { return identity_; }
  bool Changed() const override { return changed_ && changed_(); }

  const InterleavedLayout& Layout() const { return layout_; }
  // Frames a ReadStored may ask for at once.
  std::int64_t StoredFramesPerRead() const;
  // The bytes of frames [first, first + count) as the file stores them,
  // valid until the next read; null after *error says why.
  const std::uint8_t* ReadStored(std::int64_t first, std::int64_t count, std::string* error);

 private:
  // Calls take(frames in the buffer, how many, index of the first) for each bufferful.
  bool Each(std::int64_t first, std::int64_t count, std::string* error,
            const std::function<void(const std::uint8_t*, std::int64_t, std::int64_t)>& take);

  std::shared_ptr<ByteSource> bytes_;
  InterleavedLayout layout_;
  FileIdentity identity_;
  std::function<bool()> changed_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace recording
