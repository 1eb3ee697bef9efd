#include "traces/block_format.h"

#include <cstring>

namespace vorda {

void FillXYBlock(const SampleColumn& x, const SampleColumn& y, int32_t n, double* out) {
  for (int32_t k = 0; k < n; ++k) {
    out[2 * k] = ValueAt(x, k);
    out[2 * k + 1] = ValueAt(y, k);
  }
}

namespace {

// Two doubles at once, with GCC's and Clang's portable vector extension;
// each lane is computed exactly as the scalar expression would be.
typedef double Pair __attribute__((vector_size(16)));

}  // namespace

void FillTimeBlock(const SampleColumn& y, int32_t n, double origin, double sampleInc,
                   double* out) {
  static_assert(kTraceDoublesPerSample == 2, "each pair of lanes below is one point");
  // Four samples a step: this loop is most of the driver's own work. The
  // sample numbers are held as doubles (exact far beyond a block's size)
  // in two independent pairs, so that no lane waits for the one before;
  // each lane computes exactly SampleTime's product and sum.
  const Pair step = {4.0, 4.0};
  const Pair inc = {sampleInc, sampleInc};
  const Pair base = {origin, origin};
  // Kept in locals: the compiler cannot tell that `out` does not overlap `y`.
  const double* values = y.records + y.offset;
  const size_t stride = y.recordSize;
  Pair k01 = {0.0, 1.0};
  Pair k23 = {2.0, 3.0};
  int32_t k = 0;
  for (; k + 3 < n; k += 4) {
    const Pair t01 = k01 * inc + base;
    const Pair t23 = k23 * inc + base;
    const Pair v01 = {values[0], values[stride]};
    const Pair v23 = {values[2 * stride], values[3 * stride]};
    const Pair p0 = __builtin_shufflevector(t01, v01, 0, 2);
    const Pair p1 = __builtin_shufflevector(t01, v01, 1, 3);
    const Pair p2 = __builtin_shufflevector(t23, v23, 0, 2);
    const Pair p3 = __builtin_shufflevector(t23, v23, 1, 3);
    std::memcpy(out + 2 * k, &p0, sizeof p0);
    std::memcpy(out + 2 * k + 2, &p1, sizeof p1);
    std::memcpy(out + 2 * k + 4, &p2, sizeof p2);
    std::memcpy(out + 2 * k + 6, &p3, sizeof p3);
    k01 += step;
    k23 += step;
    values += 4 * stride;
  }
  for (; k < n; ++k) {
    out[2 * k] = SampleTime(k, sampleInc, origin);
    out[2 * k + 1] = ValueAt(y, k);
  }
}

void FillBarBlock(const SampleColumn& y, int32_t n, double origin, double sampleInc,
                  double* out) {
  const double h = sampleInc * 0.5;
  for (int32_t k = 0; k < n; ++k) {
    const double t = SampleTime(k, sampleInc, origin);
    const double v = ValueAt(y, k);
    double* p = out + kBarDoublesPerSample * static_cast<uint32_t>(k);
    p[0] = t - h, p[1] = 0;
    p[2] = t - h, p[3] = v;
    p[4] = t + h, p[5] = v;
    p[6] = t + h, p[7] = 0;
    p[8] = t - h, p[9] = 0;
  }
}

}  // namespace vorda
