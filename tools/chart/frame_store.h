// Where a reader of text puts the values it parses, a frame (one value a
// channel) at a time: in memory, one array a channel, or in a temporary
// file of float64 frames read back in place, so that a recording of any
// length costs the same memory. Frames gather in a buffer (of up to a
// mebibyte) first, which is all the parse loop writes to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "sample_source.h"

namespace chart {

class FrameStore {
 public:
  // `spill`: to a temporary file (memory instead when none can be made).
  FrameStore(int channels, bool spill);

  // The room for the next frame, for its values; Commit keeps them, and
  // without it the next call hands out the same room.
  double* Next() {
    if (at_ == buffer_.size()) Flush();
    return buffer_.data() + at_;
  }
  void Commit() {
    at_ += static_cast<size_t>(channels_);
    ++frames_;
  }
  std::int64_t frames() const { return frames_; }
  // Memory for as many frames as the caller expects, made at once.
  void Expect(std::uint64_t frames);

  // The frames kept, as a source; with `reversed` the last comes first.
  // False after *error says why (the temporary file could not be written).
  bool Finish(bool reversed, std::shared_ptr<recording::SampleSource>* out, std::string* error);

 private:
  void Flush();

  int channels_;
  std::int64_t frames_ = 0;
  std::vector<double> buffer_;
  size_t at_ = 0;
  std::unique_ptr<recording::SpillFile> spill_;
  bool spillFailed_ = false;
  std::vector<std::vector<double>> columns_;
};

}  // namespace chart
