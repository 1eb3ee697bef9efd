#include "gdi/conversions.h"

namespace vorda {

void ApplyLogAxes(double* data, uint32_t count, bool xIsLog, bool yIsLog, double logFloor) {
  if (xIsLog)
    for (uint32_t i = 0; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
  if (yIsLog)
    for (uint32_t i = 1; i < count; i += 2) data[i] = LogAxisValue(data[i], logFloor);
}

}  // namespace vorda
