#include "interleaved_source.h"

#include <algorithm>

namespace recording {

InterleavedSource::InterleavedSource(std::shared_ptr<ByteSource> bytes, const InterleavedLayout& layout,
                                     FileIdentity identity, std::function<bool()> changed)
    : bytes_(std::move(bytes)), layout_(layout), identity_(std::move(identity)), changed_(std::move(changed)) {}

bool InterleavedSource::Each(std::int64_t first, std::int64_t count, std::string* error,
                             const std::function<void(const std::uint8_t*, std::int64_t, std::int64_t)>& take) {
  if (first < 0 || count < 0 || first > layout_.frames || count > layout_.frames - first) {
    *error = identity_.name + ": frames " + std::to_string(first) + " to " + std::to_string(first + count) +
             " lie outside its " + std::to_string(layout_.frames);
    return false;
  }
  const std::uint64_t frameBytes = layout_.FrameBytes();
  if (count > 0 && buffer_.empty()) {
    // No more than the recording holds, for the many small ones.
    const std::uint64_t all = static_cast<std::uint64_t>(layout_.frames) * frameBytes;
    buffer_.resize(static_cast<std::size_t>(std::max<std::uint64_t>(frameBytes, std::min<std::uint64_t>(kReadBufferBytes, all))));
  }
  const std::int64_t perBuffer = static_cast<std::int64_t>(buffer_.size() / frameBytes);
  for (std::int64_t done = 0; done < count;) {
    const std::int64_t n = std::min(count - done, perBuffer);
    const std::uint64_t at = layout_.dataOffset + static_cast<std::uint64_t>(first + done) * frameBytes;
    if (!bytes_->Read(at, buffer_.data(), static_cast<std::size_t>(n * static_cast<std::int64_t>(frameBytes)))) {
      *error = Changed() ? identity_.name + " changed on disk since it was opened"
                         : "cannot read the samples of " + identity_.name + " at byte " + std::to_string(at);
      return false;
    }
    take(buffer_.data(), n, done);
    done += n;
  }
  return true;
}

bool InterleavedSource::Read(int channel, std::int64_t first, std::int64_t count, double* out, std::string* error) {
  if (channel < 0 || channel >= layout_.channels) {
    *error = identity_.name + " has no channel " + std::to_string(channel + 1);
    return false;
  }
  const std::size_t frameBytes = static_cast<std::size_t>(layout_.FrameBytes());
  const std::size_t at = static_cast<std::size_t>(channel) * static_cast<std::size_t>(WidthOf(layout_.encoding));
  return Each(first, count, error, [&](const std::uint8_t* p, std::int64_t n, std::int64_t done) {
    DecodeSamples(p + at, frameBytes, n, layout_, out + done);
  });
}

bool InterleavedSource::ReadFrames(std::int64_t first, std::int64_t count, double* out, std::string* error) {
  const std::size_t width = static_cast<std::size_t>(WidthOf(layout_.encoding));
  const std::size_t channels = static_cast<std::size_t>(layout_.channels);
  return Each(first, count, error, [&](const std::uint8_t* p, std::int64_t n, std::int64_t done) {
    DecodeSamples(p, width, n * static_cast<std::int64_t>(channels), layout_,
                  out + static_cast<std::size_t>(done) * channels);
  });
}

std::int64_t InterleavedSource::StoredFramesPerRead() const {
  return std::max<std::int64_t>(1, static_cast<std::int64_t>(kReadBufferBytes / layout_.FrameBytes()));
}

const std::uint8_t* InterleavedSource::ReadStored(std::int64_t first, std::int64_t count, std::string* error) {
  if (count > StoredFramesPerRead()) {
    *error = identity_.name + ": more frames asked for at once than the read buffer holds";
    return nullptr;
  }
  // No more than a bufferful: Each takes it in one piece.
  const std::uint8_t* bytes = nullptr;
  if (!Each(first, count, error, [&](const std::uint8_t* p, std::int64_t, std::int64_t) { bytes = p; }))
    return nullptr;
  static const std::uint8_t kNone = 0;
  return bytes ? bytes : &kNone;  // no frames asked for: nothing was read
}

}  // namespace recording
