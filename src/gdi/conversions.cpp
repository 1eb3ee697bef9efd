#include "gdi/conversions.h"

namespace vorda {

bool MapAxis(int32_t device0, int32_t device1, double model0, double model1, bool isLog,
             AxisMapping* out) {
  double end0 = model0, end1 = model1;
  if (isLog) {
    if (model0 <= 0.0 || model1 <= 0.0) return false;
    end0 = std::log10(model0);
    end1 = std::log10(model1);
  }
  const double scale = static_cast<double>(int64_t{device0} - device1) / (end0 - end1);
  *out = {scale, device0 - scale * end0, end0, end1};
  return true;
}

void ApplyLogAxes(double* data, uint32_t count, bool xIsLog, bool yIsLog, double logFloor) {
  if (xIsLog)
    for (uint32_t i = 0; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
  if (yIsLog)
    for (uint32_t i = 1; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
}

}  // namespace vorda
