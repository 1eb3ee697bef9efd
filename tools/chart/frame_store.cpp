#include "frame_store.h"

#include <algorithm>

#include "interleaved_source.h"
#include "reversed_source.h"

namespace chart {
namespace {

constexpr size_t kBufferBytes = size_t{1} << 20;

}  // namespace

FrameStore::FrameStore(int channels, bool spill) : channels_(channels < 1 ? 1 : channels) {
  if (spill) spill_ = recording::SpillFile::Create();
  if (!spill_) columns_.resize(static_cast<size_t>(channels_));
  // Small at first, for the many small files (and tests and fuzzers that
  // parse thousands of them), and larger with every bufferful.
  buffer_.resize(64 * static_cast<size_t>(channels_));
}

void FrameStore::Expect(std::uint64_t frames) {
  if (spill_) return;
  for (std::vector<double>& c : columns_) c.reserve(static_cast<size_t>(frames));
}

void FrameStore::Flush() {
  if (spill_) {
    // Doubles as the machine holds them, which is float64 little-endian on x86.
    if (!spillFailed_ && !spill_->Append(buffer_.data(), at_ * sizeof(double))) spillFailed_ = true;
  } else {
    const size_t n = static_cast<size_t>(channels_);
    for (size_t c = 0; c < n; ++c) {
      std::vector<double>& column = columns_[c];
      for (size_t k = c; k < at_; k += n) column.push_back(buffer_[k]);
    }
  }
  at_ = 0;
  const size_t most = std::max<size_t>(1, kBufferBytes / sizeof(double) / static_cast<size_t>(channels_));
  if (buffer_.size() < most * static_cast<size_t>(channels_))
    buffer_.resize(std::min(buffer_.size() * 2, most * static_cast<size_t>(channels_)));
}

bool FrameStore::Finish(bool reversed, std::shared_ptr<recording::SampleSource>* out, std::string* error) {
  Flush();
  std::vector<double>().swap(buffer_);
  if (!spill_) {
    if (reversed)
      for (std::vector<double>& c : columns_) std::reverse(c.begin(), c.end());
    *out = std::make_shared<recording::MemorySource>(std::move(columns_));
    return true;
  }
  std::shared_ptr<recording::ByteSource> bytes = spill_->Bytes();
  spill_.reset();
  if (spillFailed_ || !bytes) {
    *error = "cannot write the samples to a temporary file (is its disk full?)";
    return false;
  }
  recording::InterleavedLayout layout;
  layout.channels = channels_;
  layout.encoding = recording::Encoding::kFloat64LE;
  layout.frames = frames_;
  // No path: it is no recording's file, and nothing may be cached under it.
  recording::FileIdentity identity;
  identity.name = "the temporary file of samples";
  auto source = std::make_shared<recording::InterleavedSource>(std::move(bytes), layout, identity);
  if (reversed) *out = std::make_shared<recording::ReversedSource>(std::move(source));
  else *out = std::move(source);
  return true;
}

}  // namespace chart
