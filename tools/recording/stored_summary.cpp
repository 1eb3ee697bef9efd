#include "stored_summary.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace recording {
namespace {

std::int64_t LeastStored(Encoding e) {
  switch (e) {
    case Encoding::kUInt8: return 0;
    case Encoding::kInt8: return -128;
    case Encoding::kInt16LE:
    case Encoding::kInt16BE: return -32768;
    case Encoding::kInt24LE: return -8388608;
    default: return std::numeric_limits<std::int32_t>::min();
  }
}

std::int64_t GreatestStored(Encoding e) {
  switch (e) {
    case Encoding::kUInt8: return 255;
    case Encoding::kInt8: return 127;
    case Encoding::kInt16LE:
    case Encoding::kInt16BE: return 32767;
    case Encoding::kInt24LE: return 8388607;
    default: return std::numeric_limits<std::int32_t>::max();
  }
}

// The least integer of [lo, hi] for which `holds` is true, where it is
// true for every integer above one for which it is; hi + 1 when none.
template <typename P>
std::int64_t First(std::int64_t lo, std::int64_t hi, P holds) {
  std::int64_t a = lo, b = hi + 1;
  while (a < b) {
    const std::int64_t m = a + (b - a) / 2;
    if (holds(m))
      b = m;
    else
      a = m + 1;
  }
  return a;
}

// The extremes of the integers at p kept lane by lane in 16-byte vectors
// (the compilers' vector extension, which every x86 target here runs as
// SSE2): lane j takes samples j, j + kCount, j + 2 * kCount, ... With a
// channel count that divides kCount each lane holds one channel.
template <typename T>
struct Lanes {
  using Unsigned = std::make_unsigned_t<T>;
  typedef T Vector __attribute__((vector_size(16)));
  typedef Unsigned UnsignedVector __attribute__((vector_size(16)));
  static constexpr int kCount = 16 / sizeof(T);
};

// Channels the lanes serve: those whose count divides the lanes of a vector.
template <typename T>
bool LanesFit(int channels) {
  return std::endian::native == std::endian::little && Lanes<T>::kCount % channels == 0;
}

// The least integer at or above `a` is found as a plain least: adding
// `shift` (wrapping) carries [a, greatest] to the bottom of T's order,
// keeping their order, and everything below `a` above them.
template <typename T>
typename Lanes<T>::Unsigned ShiftFor(T a) {
  using U = typename Lanes<T>::Unsigned;
  const U bottom = static_cast<U>(std::numeric_limits<T>::min());
  return static_cast<U>(bottom - static_cast<U>(a));
}

template <typename T>
void LaneExtremes(const std::uint8_t* p, std::int64_t frames, int channels, std::int64_t above,
                  std::int64_t* lo, std::int64_t* hi, std::int64_t* least) {
  using V = typename Lanes<T>::Vector;
  using UV = typename Lanes<T>::UnsignedVector;
  using U = typename Lanes<T>::Unsigned;
  constexpr int kCount = Lanes<T>::kCount;
  constexpr T kLow = std::numeric_limits<T>::min(), kTop = std::numeric_limits<T>::max();
  // Above the type's range nothing is at or above it, which the caller
  // tells by the greatest integer; the clamp only keeps the shift in range.
  const U shift = ShiftFor<T>(static_cast<T>(std::clamp<std::int64_t>(above, kLow, kTop)));
  const UV shifts = UV{} + shift;
  // Two sets of lanes, so that one vector's comparisons need not wait for
  // the other's.
  V lo0 = V{} + kTop, lo1 = lo0, hi0 = V{} + kLow, hi1 = hi0, key0 = lo0, key1 = lo0;
  const std::int64_t values = frames * channels;
  std::int64_t i = 0;
  for (; i + 2 * kCount <= values; i += 2 * kCount) {
    V v, w;
    std::memcpy(&v, p + i * static_cast<std::int64_t>(sizeof(T)), sizeof v);
    std::memcpy(&w, p + (i + kCount) * static_cast<std::int64_t>(sizeof(T)), sizeof w);
    lo0 = v < lo0 ? v : lo0;
    lo1 = w < lo1 ? w : lo1;
    hi0 = v > hi0 ? v : hi0;
    hi1 = w > hi1 ? w : hi1;
    const V kv = reinterpret_cast<V>(reinterpret_cast<UV>(v) + shifts);
    const V kw = reinterpret_cast<V>(reinterpret_cast<UV>(w) + shifts);
    key0 = kv < key0 ? kv : key0;
    key1 = kw < key1 ? kw : key1;
  }
  T laneLo[2][kCount], laneHi[2][kCount], laneKey[2][kCount];
  std::memcpy(laneLo[0], &lo0, sizeof lo0);
  std::memcpy(laneLo[1], &lo1, sizeof lo1);
  std::memcpy(laneHi[0], &hi0, sizeof hi0);
  std::memcpy(laneHi[1], &hi1, sizeof hi1);
  std::memcpy(laneKey[0], &key0, sizeof key0);
  std::memcpy(laneKey[1], &key1, sizeof key1);
  for (int j = 0; i < values; ++i, ++j) {
    T v;
    std::memcpy(&v, p + i * static_cast<std::int64_t>(sizeof(T)), sizeof v);
    T& l = laneLo[j / kCount][j % kCount];
    T& h = laneHi[j / kCount][j % kCount];
    T& k = laneKey[j / kCount][j % kCount];
    l = std::min(l, v);
    h = std::max(h, v);
    k = std::min(k, static_cast<T>(static_cast<U>(static_cast<U>(v) + shift)));
  }
  for (int c = 0; c < channels; ++c) {
    T l = kTop, h = kLow, k = kTop;
    for (int j = c; j < 2 * kCount; j += channels) {
      l = std::min(l, laneLo[j / kCount][j % kCount]);
      h = std::max(h, laneHi[j / kCount][j % kCount]);
      k = std::min(k, laneKey[j / kCount][j % kCount]);
    }
    lo[c] = l;
    hi[c] = h;
    least[c] = static_cast<T>(static_cast<U>(static_cast<U>(k) - shift));
  }
}

template <Encoding E>
std::int64_t Stored(const std::uint8_t* p) {
  if constexpr (E == Encoding::kUInt8) return p[0];
  if constexpr (E == Encoding::kInt8) return static_cast<std::int8_t>(p[0]);
  if constexpr (E == Encoding::kInt16LE) return static_cast<std::int16_t>(p[0] | (p[1] << 8));
  if constexpr (E == Encoding::kInt16BE) return static_cast<std::int16_t>((p[0] << 8) | p[1]);
  if constexpr (E == Encoding::kInt24LE) {
    const std::int32_t w = p[0] | (p[1] << 8) | (p[2] << 16);
    return w & 0x800000 ? w - 0x1000000 : w;
  }
  return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24));
}

// Channel by channel, for the encodings and channel counts the lanes do not fit.
template <Encoding E>
void StridedExtremes(const std::uint8_t* p, std::int64_t frames, int channels, std::int64_t above,
                     std::int64_t* lo, std::int64_t* hi, std::int64_t* least) {
  const std::int64_t width = WidthOf(E), frameBytes = width * channels;
  for (int c = 0; c < channels; ++c) {
    std::int64_t l = std::numeric_limits<std::int64_t>::max(), h = std::numeric_limits<std::int64_t>::min(), s = l;
    const std::uint8_t* q = p + c * width;
    for (std::int64_t k = 0; k < frames; ++k, q += frameBytes) {
      const std::int64_t v = Stored<E>(q);
      l = std::min(l, v);
      h = std::max(h, v);
      if (v >= above) s = std::min(s, v);
    }
    lo[c] = l;
    hi[c] = h;
    least[c] = s;
  }
}

}  // namespace

bool StoredSummarizer::Applies(const InterleavedLayout& l) {
  return l.encoding != Encoding::kFloat32LE && l.encoding != Encoding::kFloat64LE && std::isfinite(l.scale) &&
         l.scale > 0 && std::isfinite(l.offset) && l.channels > 0;
}

StoredSummarizer::StoredSummarizer(const InterleavedLayout& l) : layout_(l) {
  const std::int64_t least = LeastStored(l.encoding), greatest = GreatestStored(l.encoding);
  const auto first = [&](auto holds) { return First(least, greatest, holds); };
  above_ = first([&](std::int64_t s) { return Value(s) > 0; });
  missingLo_ = first([&](std::int64_t s) { return Value(s) >= VORDA_MISSING_SAMPLE; });
  missingHi_ = first([&](std::int64_t s) { return Value(s) > VORDA_MISSING_SAMPLE; }) - 1;
  const std::int64_t zeroLo = first([&](std::int64_t s) { return Value(s) >= 0; }), zeroHi = above_ - 1;
  const std::int64_t oneLo = first([&](std::int64_t s) { return Value(s) >= 1; });
  const std::int64_t oneHi = first([&](std::int64_t s) { return Value(s) > 1; }) - 1;
  const bool zeros = zeroLo <= zeroHi, ones = oneLo <= oneHi;
  if (zeros || ones) {
    stateLo_ = zeros ? zeroLo : oneLo;
    stateHi_ = ones ? oneHi : zeroHi;
    // The integers that read as 0 come before those that read as 1; with
    // a gap between them a leaf inside both ends may hold other values.
    stateWhole_ = !(zeros && ones) || zeroHi + 1 == oneLo;
  }
}

double StoredSummarizer::Value(std::int64_t stored) const {
  return Scaled(static_cast<double>(stored), layout_);
}

void StoredSummarizer::Scan(const std::uint8_t* p, std::int64_t frames, std::int64_t* lo, std::int64_t* hi,
                            std::int64_t* least) const {
  const int channels = layout_.channels;
  // Sixteen bytes at a time where a frame's channels fit the lanes, else channel by channel.
  auto scan = [&](auto lane, auto strided) {
    using T = decltype(lane);
    LanesFit<T>(channels) ? LaneExtremes<T>(p, frames, channels, above_, lo, hi, least)
                          : strided(p, frames, channels, above_, lo, hi, least);
  };
  switch (layout_.encoding) {
    case Encoding::kUInt8: scan(std::uint8_t{}, StridedExtremes<Encoding::kUInt8>); break;
    case Encoding::kInt8: scan(std::int8_t{}, StridedExtremes<Encoding::kInt8>); break;
    case Encoding::kInt16LE: scan(std::int16_t{}, StridedExtremes<Encoding::kInt16LE>); break;
    case Encoding::kInt32LE: scan(std::int32_t{}, StridedExtremes<Encoding::kInt32LE>); break;
    case Encoding::kInt16BE: StridedExtremes<Encoding::kInt16BE>(p, frames, channels, above_, lo, hi, least); break;
    case Encoding::kInt24LE: StridedExtremes<Encoding::kInt24LE>(p, frames, channels, above_, lo, hi, least); break;
    case Encoding::kFloat32LE:
    case Encoding::kFloat64LE: break;  // not taken: Applies() refuses them
  }
}

bool StoredSummarizer::Node(std::int64_t lo, std::int64_t hi, std::int64_t least, SummaryNode* node) const {
  const double low = Value(lo), high = Value(hi);
  if (std::isinf(low) || std::isinf(high)) return false;
  if (missingLo_ <= missingHi_ && lo <= missingHi_ && hi >= missingLo_) return false;
  const bool state = stateLo_ <= stateHi_ && lo >= stateLo_ && hi <= stateHi_;
  if (state && !stateWhole_) return false;
  node->lo = low;
  node->hi = high;
  node->minPositive = hi >= above_ ? Value(least) : 0;
  node->flags = state ? SummaryNode::kFinite : SummaryNode::kFinite | SummaryNode::kNotState;
  return true;
}

SummaryNode StoredSummarizer::ValueByValue(const std::uint8_t* p, std::int64_t frames, int channel) const {
  double values[kSummaryLeaf];
  const std::int64_t width = WidthOf(layout_.encoding), frameBytes = width * layout_.channels;
  p += channel * width;
  for (std::int64_t k = 0; k < frames; ++k, p += frameBytes)
    values[k] = Scaled(DecodeSample(p, layout_.encoding), layout_);
  return SummarizeSamples(values, frames);
}

void StoredSummarizer::Summarize(const std::uint8_t* bytes, std::int64_t frames,
                                 std::vector<std::vector<SummaryNode>>* leaves) const {
  const std::size_t channels = static_cast<std::size_t>(layout_.channels);
  const std::int64_t frameBytes = static_cast<std::int64_t>(layout_.FrameBytes());
  std::vector<std::int64_t> lo(channels), hi(channels), least(channels);
  for (std::int64_t at = 0; at < frames; at += kSummaryLeaf) {
    const std::int64_t n = std::min(kSummaryLeaf, frames - at);
    const std::uint8_t* p = bytes + at * frameBytes;
    Scan(p, n, lo.data(), hi.data(), least.data());
    for (std::size_t c = 0; c < channels; ++c) {
      SummaryNode node;
      if (!Node(lo[c], hi[c], least[c], &node)) node = ValueByValue(p, n, static_cast<int>(c));
      (*leaves)[c].push_back(node);
    }
  }
}

}  // namespace recording
