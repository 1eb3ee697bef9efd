#include "gdi/conversions.h"

namespace vorda {

bool MapAxis(int32_t device0, int32_t device1, double model0, double model1, bool isLog,
             AxisMapping* out) {
  VordaAxis axis;
  if (!vorda_map_axis(device0, device1, model0, model1, isLog, &axis)) return false;
  *out = {axis.scale, axis.offset, axis.end0, axis.end1};
  return true;
}

void ApplyLogAxes(double* data, uint32_t count, bool xIsLog, bool yIsLog, double logFloor) {
  if (xIsLog)
    for (uint32_t i = 0; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
  if (yIsLog)
    for (uint32_t i = 1; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
}

}  // namespace vorda
