#include "raw_layout.h"

#include <cmath>

namespace recording {

bool RawLayout(std::uint64_t size, Encoding encoding, int channels, double scale, double offset,
               const std::string& name, InterleavedLayout* out, std::string* error) {
  if (channels < 1 || channels > 65535) {
    *error = name + ": a raw recording needs between 1 and 65535 channels";
    return false;
  }
  if (!std::isfinite(scale) || !std::isfinite(offset) || scale == 0) {
    *error = name + ": the scale must be a finite number other than 0, and the offset finite";
    return false;
  }
  InterleavedLayout l;
  l.channels = channels;
  l.encoding = encoding;
  l.scale = scale;
  l.offset = offset;
  const std::uint64_t frame = l.FrameBytes();
  if (size % frame != 0) {
    *error = name + ": " + std::to_string(size) + " bytes is not a whole number of " + std::to_string(frame) +
             "-byte frames (" + std::to_string(channels) + " channel" + (channels == 1 ? "" : "s") + " of " +
             std::to_string(WidthOf(encoding)) + "-byte samples)";
    return false;
  }
  if (size == 0) {
    *error = name + ": the raw recording is empty";
    return false;
  }
  if (size / frame > 2147483647u) {
    *error = name + ": more than 2147483647 samples a channel";
    return false;
  }
  l.frames = static_cast<std::int64_t>(size / frame);
  *out = l;
  return true;
}

}  // namespace recording
