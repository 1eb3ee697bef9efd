#include "raw_reader.h"

#include <cmath>
#include <functional>
#include <memory>

#include "file_bytes.h"
#include "interleaved_source.h"
#include "raw_layout.h"

namespace chart {
namespace {

bool FromBytes(std::shared_ptr<recording::ByteSource> bytes, recording::FileIdentity identity,
               std::function<bool()> changed, const std::string& name, const RawOptions& o, Recording* out,
               ReadError* error) {
  *out = Recording{};
  if (!(o.rate > 0) || !std::isfinite(o.rate)) {
    error->message = name + ": a raw recording needs its sample rate (--rate HZ)";
    return false;
  }
  std::vector<std::string> names = o.names.empty() ? std::vector<std::string>{"ch1"} : o.names;
  recording::InterleavedLayout layout;
  if (!recording::RawLayout(bytes->Size(), o.encoding, static_cast<int>(names.size()), o.scale, o.offset, name,
                            &layout, &error->message))
    return false;
  for (std::string& n : names) out->channels.push_back({std::move(n)});
  out->source = std::make_shared<recording::InterleavedSource>(std::move(bytes), layout, std::move(identity),
                                                               std::move(changed));
  out->bursts.push_back({0.0, 0, layout.frames});
  out->sampleInc = 1.0 / o.rate;
  out->valueName = o.unit;
  return true;
}

}  // namespace

bool ParseRaw(const std::vector<std::uint8_t>& bytes, const std::string& name, const RawOptions& options,
              Recording* out, ReadError* error) {
  recording::FileIdentity identity;
  identity.path = identity.name = name;
  identity.size = bytes.size();
  return FromBytes(std::make_shared<recording::MemoryBytes>(bytes), identity, {}, name, options, out, error);
}

bool ReadRawFile(const std::string& path, const std::string& name, const RawOptions& options, Recording* out,
                 ReadError* error) {
  recording::OpenedFile file;
  if (!recording::OpenRecordingFile(path, name, &file, &error->message)) return false;
  const recording::FileIdentity identity = file.identity;
  auto changed = [identity] { return recording::ChangedOnDisk(identity); };
  return FromBytes(std::move(file.bytes), identity, changed, name, options, out, error);
}

}  // namespace chart
