#include "surfaces/picture_fit.h"

namespace vorda {

namespace {

bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Truncation toward zero of a finite double, or false when the result would
// not be a 32-bit int (including not-a-number).
bool TruncFits(double v, int64_t* out) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
  *out = static_cast<int64_t>(v);
  return true;
}

}  // namespace

DeviceArea UnitSquareArea(const WorldTransform& t) {
  int32_t left = ClampToDevice(t.XScale * 0.0 + t.XOffset);
  int32_t right = ClampToDevice(t.XScale * 1.0 + t.XOffset);
  int32_t top = ClampToDevice(t.YScale * 1.0 + t.YOffset);
  int32_t bottom = ClampToDevice(t.YScale * 0.0 + t.YOffset);
  // Clamped corners lie in 0..16383, so the differences cannot overflow.
  return {left, top, right - left, bottom - top};
}

bool FitPicture(int32_t pictureWidth, int32_t pictureHeight, const DeviceArea& area,
                DeviceArea* placed) {
  // A zero extent would make a ratio infinite or undefined.
  if (pictureWidth == 0 || pictureHeight == 0 || area.width == 0 || area.height == 0)
    return false;
  const double pw = pictureWidth, ph = pictureHeight;
  const double w = area.width, h = area.height;
  int64_t x, y, width, height;
  if (pw / ph > w / h) {
    width = area.width;
    if (!TruncFits((ph / pw) * w, &height)) return false;
    x = area.left;
    // Integer division truncates toward zero, as the margin halving must.
    y = area.top + (area.height - height) / 2;
  } else {
    height = area.height;
    if (!TruncFits((pw / ph) * h, &width)) return false;
    x = area.left + (area.width - width) / 2;
    y = area.top;
  }
  if (!FitsInt32(x) || !FitsInt32(y)) return false;
  *placed = {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(width),
             static_cast<int32_t>(height)};
  return true;
}

}  // namespace vorda
