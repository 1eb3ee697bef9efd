#include "traces/block_format.h"

namespace vorda {

void FillXYBlock(const SampleColumn& x, const SampleColumn& y, int32_t n, double* out) {
  for (int32_t k = 0; k < n; ++k) {
    out[2 * k] = ValueAt(x, k);
    out[2 * k + 1] = ValueAt(y, k);
  }
}

void FillTimeBlock(const SampleColumn& y, int32_t n, double origin, double sampleInc,
                   double* out) {
  for (int32_t k = 0; k < n; ++k) {
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
    double* p = out + 10 * k;
    p[0] = t - h, p[1] = 0;
    p[2] = t - h, p[3] = v;
    p[4] = t + h, p[5] = v;
    p[6] = t + h, p[7] = 0;
    p[8] = t - h, p[9] = 0;
  }
}

}  // namespace vorda
