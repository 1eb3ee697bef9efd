#include "gl/gl_geometry.h"

namespace vorda {

namespace {

int32_t ClampToInt32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

GlBox ViewportFor(uint32_t left, uint32_t right, uint32_t top, uint32_t bottom) {
  // Unsigned subtraction wraps; reading the result as signed is modular.
  return {0, 0, static_cast<int32_t>(right - left), static_cast<int32_t>(top - bottom)};
}

GlOrtho OrthoFor(uint32_t left, uint32_t right, uint32_t top, uint32_t bottom) {
  return {static_cast<double>(left), static_cast<double>(right), static_cast<double>(bottom),
          static_cast<double>(top)};
}

WorldTransform GlTransformFor(int32_t deviceLeft, int32_t deviceRight, int32_t deviceTop,
                              int32_t deviceBottom, double modelLeft, double modelRight,
                              double modelTop, double modelBottom) {
  WorldTransform t;
  t.XScale = static_cast<double>(int64_t{deviceRight} - deviceLeft) / (modelRight - modelLeft);
  t.YScale = static_cast<double>(int64_t{deviceTop} - deviceBottom) / (modelTop - modelBottom);
  t.XOffset = deviceLeft - t.XScale * modelLeft;
  t.YOffset = deviceBottom - t.YScale * modelBottom;
  return t;
}

GlBox ScissorFor(int32_t deviceLeft, int32_t deviceRight, int32_t deviceTop, int32_t deviceBottom) {
  return {deviceLeft, deviceBottom, ClampToInt32(int64_t{deviceRight} - deviceLeft + 1),
          ClampToInt32(int64_t{deviceTop} - deviceBottom + 1)};
}

}  // namespace vorda
