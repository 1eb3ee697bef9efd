// The axis conversions: ClampToDevice always lands in 0..16383 and agrees
// with truncation worked out in long double; UnitRgb is the low byte of
// each truncated component, top byte 0; axis values and LogFloor follow
// their rules for every double, and the in-place log conversion touches
// only the array it was given (an exact-size block) and only its axes.
#include <vector>

#include "fuzz_input.h"
#include "gdi/conversions.h"

namespace {

// Truncation toward zero into int32, or INT32_MIN when it does not fit.
int64_t ReferenceTrunc(double v) {
  if (!std::isfinite(v)) return INT32_MIN;
  long double t = std::trunc(static_cast<long double>(v));
  if (t < INT32_MIN || t > INT32_MAX) return INT32_MIN;
  return static_cast<int64_t>(t);
}

int64_t ReferenceClamp(double v) {
  int64_t t = ReferenceTrunc(v);
  return t < 0 ? 0 : t > 16383 ? 16383 : t;
}

bool SameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  double v = in.Double();
  FUZZ_CHECK(vorda::TruncToInt32(v) == ReferenceTrunc(v), "TruncToInt32(%.17g)", v);
  int32_t c = vorda::ClampToDevice(v);
  FUZZ_CHECK(c >= 0 && c <= vorda::kMaxDeviceCoordinate, "ClampToDevice(%.17g) = %d", v, c);
  FUZZ_CHECK(c == ReferenceClamp(v), "ClampToDevice(%.17g) = %d", v, c);

  double r = in.Double(), g = in.Double(), b = in.Double();
  uint32_t colour = vorda::UnitRgb(r, g, b);
  FUZZ_CHECK((colour >> 24) == 0, "UnitRgb top byte set: %08x", colour);
  auto byte = [](double x) { return static_cast<uint32_t>(ReferenceTrunc(x * 255.0) & 0xFF); };
  FUZZ_CHECK(colour == (byte(r) | byte(g) << 8 | byte(b) << 16), "UnitRgb(%g, %g, %g) = %06x", r,
             g, b, colour);

  double top = in.Double(), bottom = in.Double();
  double floor = vorda::LogFloor(top, bottom);
  if (!std::isnan(top) && !std::isnan(bottom) && std::isfinite(top - bottom))
    FUZZ_CHECK(floor <= 0.0 && floor == -std::fabs(top - bottom), "LogFloor(%g, %g) = %g", top,
               bottom, floor);

  double u = in.Double();
  double axis = vorda::AxisValue(u, true, floor);
  if (u <= 0.0)
    FUZZ_CHECK(SameDouble(axis, floor), "log axis value of %g is %g", u, axis);
  else
    FUZZ_CHECK(SameDouble(axis, std::log10(u)), "log axis value of %g is %g", u, axis);
  FUZZ_CHECK(SameDouble(vorda::AxisValue(u, false, floor), u), "linear axis changed %g", u);

  vorda::WorldTransform t{in.Double(), in.Double(), in.Double(), in.Double()};
  vorda::DevicePoint p = vorda::ToDevice(t, in.Double(), in.Double());
  FUZZ_CHECK(p.x >= 0 && p.x <= 16383 && p.y >= 0 && p.y <= 16383, "ToDevice gave %d,%d", p.x,
             p.y);

  // Any count, odd ones included.
  uint32_t count = in.U8() % 33;
  bool xLog = in.U8() & 1, yLog = in.U8() & 1;
  std::vector<double> before(count);
  for (double& d : before) d = in.Double();
  double* data = count ? new double[count] : nullptr;
  std::copy(before.begin(), before.end(), data);
  vorda::ApplyLogAxes(data, count, xLog, yLog, floor);
  for (uint32_t i = 0; i < count; ++i) {
    bool converted = (i % 2 == 0) ? xLog : yLog;
    double want = converted ? vorda::LogAxisValue(before[i], floor) : before[i];
    FUZZ_CHECK(SameDouble(data[i], want), "element %u: %g became %g", i, before[i], data[i]);
  }
  delete[] data;
  return 0;
}
