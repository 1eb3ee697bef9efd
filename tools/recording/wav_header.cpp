#include "wav_header.h"

#include <cstring>

namespace recording {
namespace {

constexpr std::int64_t kMaxFrames = 2147483647;  // the host's scans are 32-bit

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint64_t U64(const std::uint8_t* p) { return U32(p) | (std::uint64_t{U32(p + 4)} << 32); }
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
  unsigned tag = 0;  // 1 PCM, 3 IEEE float, after resolving the extensible header
  unsigned channels = 0;
  std::uint32_t rate = 0;
  unsigned bits = 0;
  unsigned blockAlign = 0;
};

bool Fail(std::string* error, std::string message) {
  *error = std::move(message);
  return false;
}

bool ReadFormat(ByteSource& src, std::uint64_t offset, std::uint64_t size, const std::string& name, Format* f,
                std::string* error) {
  std::uint8_t b[40] = {};
  if (size < 16) return Fail(error, name + ": the WAV format chunk is too short");
  if (!src.Read(offset, b, size < 40 ? static_cast<std::size_t>(size) : 40))
    return Fail(error, name + ": the WAV format chunk is cut short");
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
    return Fail(error, name + ": the WAV holds " + EncodingName(f->tag) + " (format " + std::to_string(f->tag) +
                           "), which is not supported; " + supported);
  bool ok = f->tag == 1 ? (f->bits == 8 || f->bits == 16 || f->bits == 24 || f->bits == 32)
                        : (f->bits == 32 || f->bits == 64);
  if (!ok)
    return Fail(error, name + ": " + std::to_string(f->bits) + "-bit " + (f->tag == 1 ? "PCM" : "float") +
                           " WAV is not supported; " + supported);
  if (f->channels == 0) return Fail(error, name + ": the WAV has no channels");
  if (f->rate == 0) return Fail(error, name + ": the WAV gives a sample rate of 0");
  if (f->blockAlign != f->channels * (f->bits / 8))
    return Fail(error, name + ": the WAV's frame size (" + std::to_string(f->blockAlign) +
                           " bytes) does not match its channels and sample size");
  return true;
}

void SetEncoding(const Format& f, InterleavedLayout* l) {
  l->channels = static_cast<int>(f.channels);
  l->scale = 1;
  l->offset = 0;
  if (f.tag == 3) {
    l->encoding = f.bits == 32 ? Encoding::kFloat32LE : Encoding::kFloat64LE;
    return;
  }
  switch (f.bits) {
    case 8:
      l->encoding = Encoding::kUInt8;
      l->scale = 1 / 128.0;
      l->offset = -1;
      break;
    case 16:
      l->encoding = Encoding::kInt16LE;
      l->scale = 1 / 32768.0;
      break;
    case 24:
      l->encoding = Encoding::kInt24LE;
      l->scale = 1 / 8388608.0;
      break;
    default:
      l->encoding = Encoding::kInt32LE;
      l->scale = 1 / 2147483648.0;
      break;
  }
}

// The sizes an RF64 file keeps in its ds64 chunk, which must come first.
struct Ds64 {
  std::uint64_t riffSize = 0;
  std::uint64_t dataSize = 0;
};

bool ReadDs64(ByteSource& src, const std::string& name, Ds64* d, std::string* error) {
  std::uint8_t b[8 + 24];
  if (!src.Read(12, b, sizeof b) || std::memcmp(b, "ds64", 4) != 0 || U32(b + 4) < 24)
    return Fail(error, name + ": the RF64 file has no ds64 chunk of its sizes");
  d->riffSize = U64(b + 8);
  d->dataSize = U64(b + 16);
  // Whatever the file's length, the RIFF body holds the data chunk: a data
  // size beyond the RIFF size, or a RIFF size no file can have, is a header
  // that contradicts itself.
  if (d->riffSize < 4 || d->dataSize > d->riffSize || d->riffSize > (std::uint64_t{1} << 62))
    return Fail(error, name + ": the RF64 file's ds64 chunk gives sizes that contradict each other (RIFF " +
                           std::to_string(d->riffSize) + " bytes, data " + std::to_string(d->dataSize) + " bytes)");
  if (src.Size() > d->riffSize + 8 + 1)
    return Fail(error, name + ": the RF64 file's ds64 chunk gives a RIFF size of " + std::to_string(d->riffSize) +
                           " bytes, less than the file's " + std::to_string(src.Size()));
  return true;
}

}  // namespace

bool ParseWavHeader(ByteSource& src, const std::string& name, WavHeader* out, std::string* error) {
  *out = WavHeader{};
  std::uint8_t head[12];
  if (!src.Read(0, head, 12) || std::memcmp(head + 8, "WAVE", 4) != 0 ||
      (std::memcmp(head, "RIFF", 4) != 0 && std::memcmp(head, "RF64", 4) != 0))
    return Fail(error, name + " is not a WAV file (no RIFF/WAVE header)");
  const bool rf64 = std::memcmp(head, "RF64", 4) == 0;
  Ds64 ds64;
  if (rf64 && !ReadDs64(src, name, &ds64, error)) return false;

  Format f;
  bool haveFormat = false;
  std::uint64_t offset = 12;
  const std::uint64_t size = src.Size();
  while (offset + 8 <= size) {
    std::uint8_t chunk[8];
    if (!src.Read(offset, chunk, 8)) break;
    std::uint64_t length = U32(chunk + 4);
    const std::uint64_t body = offset + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (!ReadFormat(src, body, length, name, &f, error)) return false;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return Fail(error, name + ": the WAV data come before their format");
      // An RF64 file's data chunk says 0xFFFFFFFF and keeps its size in ds64.
      if (rf64 && length == 0xFFFFFFFFu) length = ds64.dataSize;
      // Recorders that stream write a placeholder length; take what is there.
      const bool placeholder = !rf64 && length == 0xFFFFFFFFu;
      const std::uint64_t available = size - body;
      const std::uint64_t bytes = length < available ? length : available;
      const std::uint64_t frames = bytes / f.blockAlign;
      if (frames == 0) return Fail(error, name + ": the WAV holds no samples");
      if (frames > static_cast<std::uint64_t>(kMaxFrames))
        return Fail(error, name + ": more than 2147483647 samples a channel");
      SetEncoding(f, &out->layout);
      out->layout.dataOffset = body;
      out->layout.frames = static_cast<std::int64_t>(frames);
      out->rate = f.rate;
      const std::uint64_t announced = length / f.blockAlign;
      out->announced = placeholder ? 0 : static_cast<std::int64_t>(announced < 0x7FFFFFFFFFFFFFFFull ? announced : 0);
      if (!placeholder && announced > frames)
        out->shortfall = name + ": the file ends after " + std::to_string(frames) + " of the " +
                         std::to_string(announced) + " samples its header announces; charting those";
      return true;
    }
    if (length > size) break;
    offset = body + length + (length & 1);
  }
  return Fail(error, haveFormat ? name + ": the WAV has no data chunk" : name + ": the WAV has no format chunk");
}

}  // namespace recording
