#include "wav_reader.h"

#include <memory>
#include <vector>

#include "file_bytes.h"
#include "interleaved_source.h"
#include "wav_header.h"

namespace chart {
namespace {

bool FromBytes(std::shared_ptr<recording::ByteSource> bytes, recording::FileIdentity identity,
               std::function<bool()> changed, const std::string& name, Recording* out, ReadError* error) {
  *out = Recording{};
  recording::WavHeader header;
  if (!recording::ParseWavHeader(*bytes, name, &header, &error->message)) return false;
  for (int c = 0; c < header.layout.channels; ++c) out->channels.push_back({"ch" + std::to_string(c + 1)});
  out->source = std::make_shared<recording::InterleavedSource>(std::move(bytes), header.layout, std::move(identity),
                                                               std::move(changed));
  out->bursts.push_back({0.0, 0, header.layout.frames});
  out->sampleInc = 1.0 / header.rate;
  out->valueName = "amplitude (full scale)";
  if (!header.shortfall.empty()) out->notes.push_back(header.shortfall);
  return true;
}

}  // namespace

bool ParseWav(const std::uint8_t* bytes, std::size_t size, const std::string& name, Recording* out,
              ReadError* error) {
  recording::FileIdentity identity;
  identity.path = identity.name = name;
  identity.size = size;
  auto memory = std::make_shared<recording::MemoryBytes>(std::vector<std::uint8_t>(bytes, bytes + size));
  return FromBytes(std::move(memory), identity, {}, name, out, error);
}

bool ReadWavFile(const std::string& path, const std::string& name, Recording* out, ReadError* error) {
  recording::OpenedFile file;
  if (!recording::OpenRecordingFile(path, name, &file, &error->message)) return false;
  const recording::FileIdentity identity = file.identity;
  auto changed = [identity] { return recording::ChangedOnDisk(identity); };
  return FromBytes(std::move(file.bytes), identity, changed, name, out, error);
}

}  // namespace chart
