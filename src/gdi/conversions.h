// Model-to-device arithmetic shared by every GDI primitive. Pure code: no
// platform header, so it can be built and exercised on its own.
#pragma once

#include <cmath>
#include <cstdint>

#include "vorda_data.h"
#include "vorda_map.h"

namespace vorda {

// Device coordinates are clamped into this range before GDI sees them.
constexpr int32_t kMaxDeviceCoordinate = VORDA_MAX_DEVICE_COORDINATE;

// device = Scale * axis value + Offset, per axis.
struct WorldTransform {
  double XScale;
  double YScale;
  double XOffset;
  double YOffset;
};

struct DevicePoint {
  int32_t x;
  int32_t y;
};

// Truncates toward zero; a value that is not a number, infinite or outside
// the 32-bit range gives INT32_MIN instead of undefined behaviour.
inline int32_t TruncToInt32(double v) { return vorda_trunc_to_int32(v); }

inline int32_t ClampToDevice(double v) { return vorda_clamp_to_device(v); }

// A GDI colour from unit components: each * 255, truncated, low 8 bits;
// red in the low byte. Out-of-range components wrap rather than clamp.
inline uint32_t UnitRgb(double red, double green, double blue) {
  auto byte = [](double c) { return static_cast<uint32_t>(TruncToInt32(c * 255.0)) & 0xFFu; };
  return byte(red) | (byte(green) << 8) | (byte(blue) << 16);
}

// Minus the distance between the y-axis ends: where non-positive values sit
// on a logarithmic axis, so they land just below the visible range.
inline double LogFloor(double axisTop, double axisBottom) {
  return vorda_log_floor(axisTop, axisBottom);
}

// Not-a-number is neither zero nor negative, so it stays not-a-number.
inline double LogAxisValue(double v, double logFloor) { return vorda_axis_value(v, 1, logFloor); }

inline double AxisValue(double v, bool isLog, double logFloor) {
  return vorda_axis_value(v, isLog, logFloor);
}

// One axis of the world transform, device = Scale * axis value + Offset,
// and the axis values of its two ends.
struct AxisMapping {
  double Scale;
  double Offset;
  double End0;
  double End1;
};

// The axis that puts model0 on device0 and model1 on device1: the plot's
// left and right edges, or its top and bottom. A logarithmic axis maps the
// base-10 logarithms of its ends; false, with *out untouched, when one of
// them is zero or below and has none. The device difference is taken in 64
// bits: in 32 it could overflow.
bool MapAxis(int32_t device0, int32_t device1, double model0, double model1, bool isLog,
             AxisMapping* out);

inline WorldTransform TransformOf(const AxisMapping& x, const AxisMapping& y) {
  return {x.Scale, y.Scale, x.Offset, y.Offset};
}

// The device coordinate of an axis value, before any clamping.
inline double AxisToDevice(const AxisMapping& m, double axisValue) {
  return m.Scale * axisValue + m.Offset;
}

// Maps axis values (already logarithmic where the axis is) to pixels.
inline DevicePoint ToDevice(const WorldTransform& t, double x, double y) {
  return {ClampToDevice(t.XScale * x + t.XOffset), ClampToDevice(t.YScale * y + t.YOffset)};
}

// Replaces, in place, the x values (even indexes) and/or the y values (odd
// indexes) of an interleaved array by their logarithmic axis values.
void ApplyLogAxes(double* data, uint32_t count, bool xIsLog, bool yIsLog, double logFloor);

}  // namespace vorda
