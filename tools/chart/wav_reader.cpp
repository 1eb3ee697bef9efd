#include "wav_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace chart {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

const char* EncodingName(unsigned tag) {
  switch (tag) {
    case 2: return "Microsoft ADPCM";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x11: return "IMA ADPCM";
    case 0x31: return "GSM 6.10";
    case 0x50: return "MPEG";
    case 0x55: return "MPEG layer 3";
    default: return "an encoding";
  }
}

struct Format {
  unsigned tag = 0;       // 1 PCM, 3 IEEE float, after resolving the extensible header
  unsigned channels = 0;
  std::uint32_t rate = 0;
  unsigned bits = 0;
  unsigned blockAlign = 0;
};

// Where the WAV's bytes come from: a file read piece by piece, or memory.
class Source {
 public:
  virtual ~Source() = default;
  // Reads exactly `count` bytes at `offset`; false at the end or on error.
  virtual bool Read(std::uint64_t offset, void* to, std::size_t count) = 0;
  virtual std::uint64_t Size() const = 0;
};

class MemorySource : public Source {
 public:
  MemorySource(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool Read(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    std::memcpy(to, bytes_ + offset, count);
    return true;
  }
  std::uint64_t Size() const override { return size_; }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
};

class FileSource : public Source {
 public:
  FileSource(FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  bool Read(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    if (offset != position_ && fseeko64(file_, static_cast<off64_t>(offset), SEEK_SET) != 0) return false;
    std::size_t got = std::fread(to, 1, count, file_);
    position_ = offset + got;
    return got == count;
  }
  std::uint64_t Size() const override { return size_; }

 private:
  FILE* file_;
  std::uint64_t size_;
  std::uint64_t position_ = ~std::uint64_t{0};
};

bool Fail(ReadError* error, std::string message) {
  error->message = std::move(message);
  return false;
}

bool ReadFormat(Source& src, std::uint64_t offset, std::uint32_t size, const std::string& name,
                Format* f, ReadError* error) {
  std::uint8_t b[40] = {};
  if (size < 16) return Fail(error, name + ": the WAV format chunk is too short");
  if (!src.Read(offset, b, size < 40 ? size : 40)) return Fail(error, name + ": the WAV format chunk is cut short");
  f->tag = U16(b);
  f->channels = U16(b + 2);
  f->rate = U32(b + 4);
  f->blockAlign = U16(b + 12);
  f->bits = U16(b + 14);
  if (f->tag == 0xFFFE) {
    if (size < 40) return Fail(error, name + ": the extensible WAV format chunk is too short");
    // The sub-format GUID's first two bytes are the plain format tag; the
    // rest is the fixed base GUID of the audio sub-formats.
    static const std::uint8_t kBase[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    if (std::memcmp(b + 26, kBase, sizeof kBase) != 0)
      return Fail(error, name + ": the WAV sub-format is not PCM or float, which is all vorda-chart reads");
    f->tag = U16(b + 24);
  }
  const char* supported = "vorda-chart reads PCM of 8, 16, 24 or 32 bits and 32-bit float";
  if (f->tag != 1 && f->tag != 3)
    return Fail(error, name + ": the WAV holds " + EncodingName(f->tag) + " (format " +
                           std::to_string(f->tag) + "), which is not supported; " + supported);
  bool ok = f->tag == 1 ? (f->bits == 8 || f->bits == 16 || f->bits == 24 || f->bits == 32)
                        : (f->bits == 32 || f->bits == 64);
  if (!ok)
    return Fail(error, name + ": " + std::to_string(f->bits) + "-bit " +
                           (f->tag == 1 ? "PCM" : "float") + " WAV is not supported; " + supported);
  if (f->channels == 0) return Fail(error, name + ": the WAV has no channels");
  if (f->rate == 0) return Fail(error, name + ": the WAV gives a sample rate of 0");
  if (f->blockAlign != f->channels * (f->bits / 8))
    return Fail(error, name + ": the WAV's frame size (" + std::to_string(f->blockAlign) +
                           " bytes) does not match its channels and sample size");
  return true;
}

double Sample(const std::uint8_t* p, const Format& f) {
  switch (f.bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0;
    case 16: return static_cast<std::int16_t>(U16(p)) / 32768.0;
    case 24: {
      std::int32_t w = (p[0] | (p[1] << 8) | (p[2] << 16));
      if (w & 0x800000) w -= 0x1000000;
      return w / 8388608.0;
    }
    case 32:
      if (f.tag == 3) {
        float x;
        std::memcpy(&x, p, 4);
        return x;
      }
      return static_cast<std::int32_t>(U32(p)) / 2147483648.0;
    default: {
      double x;
      std::memcpy(&x, p, 8);
      return x;
    }
  }
}

bool Parse(Source& src, const std::string& name, Recording* out, ReadError* error) {
  *out = Recording{};
  std::uint8_t head[12];
  if (!src.Read(0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
    return Fail(error, name + " is not a WAV file (no RIFF/WAVE header)");
  Format f;
  bool haveFormat = false;
  std::uint64_t offset = 12;
  const std::uint64_t size = src.Size();
  while (offset + 8 <= size) {
    std::uint8_t chunk[8];
    if (!src.Read(offset, chunk, 8)) break;
    std::uint32_t length = U32(chunk + 4);
    std::uint64_t body = offset + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (!ReadFormat(src, body, length, name, &f, error)) return false;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return Fail(error, name + ": the WAV data come before their format");
      // Recorders that stream write a placeholder length; take what is there.
      std::uint64_t available = size - body;
      std::uint64_t bytes = length < available ? length : available;
      std::uint64_t frames = bytes / f.blockAlign;
      if (frames == 0) return Fail(error, name + ": the WAV holds no samples");
      if (frames > static_cast<std::uint64_t>(kMaxSamples))
        return Fail(error, name + ": more than 2147483647 samples a channel");
      out->channels.resize(f.channels);
      for (unsigned c = 0; c < f.channels; ++c) {
        out->channels[c].name = "ch" + std::to_string(c + 1);
        out->channels[c].samples.resize(frames);
      }
      const unsigned width = f.bits / 8;
      std::vector<std::uint8_t> block(std::size_t{1} << 20);
      const std::uint64_t framesPerBlock = block.size() / f.blockAlign;
      for (std::uint64_t done = 0; done < frames;) {
        std::uint64_t n = frames - done < framesPerBlock ? frames - done : framesPerBlock;
        if (!src.Read(body + done * f.blockAlign, block.data(), n * f.blockAlign))
          return Fail(error, "cannot read " + name);
        const std::uint8_t* p = block.data();
        for (std::uint64_t k = 0; k < n; ++k)
          for (unsigned c = 0; c < f.channels; ++c, p += width)
            out->channels[c].samples[done + k] = Sample(p, f);
        done += n;
      }
      out->bursts.push_back({0.0, 0, static_cast<std::int64_t>(frames)});
      out->sampleInc = 1.0 / f.rate;
      out->valueName = "amplitude (full scale)";
      return true;
    }
    offset = body + length + (length & 1);
  }
  return Fail(error, haveFormat ? name + ": the WAV has no data chunk" : name + ": the WAV has no format chunk");
}

}  // namespace

bool ParseWav(const std::uint8_t* bytes, std::size_t size, const std::string& name,
              Recording* out, ReadError* error) {
  MemorySource src(bytes, size);
  return Parse(src, name, out, error);
}

bool ReadWavFile(const std::string& path, const std::string& name, Recording* out,
                 ReadError* error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return Fail(error, "cannot open " + name + " for reading");
  if (fseeko64(file.get(), 0, SEEK_END) != 0) return Fail(error, "cannot read " + name);
  off64_t size = ftello64(file.get());
  if (size < 0) return Fail(error, "cannot read " + name);
  FileSource src(file.get(), static_cast<std::uint64_t>(size));
  return Parse(src, name, out, error);
}

}  // namespace chart
