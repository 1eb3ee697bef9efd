// The picture fit: the unit square's area has clamped corners; a fitted
// picture keeps inside the area, fills one of its extents, is centred in
// the other (the odd pixel after it), keeps the picture's aspect within a
// pixel, and a refusal leaves the placement untouched.
#include "fuzz_input.h"
#include "surfaces/picture_fit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  vorda::WorldTransform t{in.Double(), in.Double(), in.Double(), in.Double()};
  vorda::DeviceArea square = vorda::UnitSquareArea(t);
  FUZZ_CHECK(square.left >= 0 && square.left <= 16383 && square.top >= 0 && square.top <= 16383,
             "corner %d,%d", square.left, square.top);
  FUZZ_CHECK(square.left + square.width >= 0 && square.left + square.width <= 16383 &&
                 square.top + square.height >= 0 && square.top + square.height <= 16383,
             "far corner %d,%d", square.left + square.width, square.top + square.height);

  int32_t pw = in.I32(), ph = in.I32();
  vorda::DeviceArea area = square;
  if (in.U8() % 2) area = {in.I32(), in.I32(), in.I32(), in.I32()};
  const vorda::DeviceArea untouched{-7, -7, -7, -7};
  vorda::DeviceArea placed = untouched;
  bool fitted = vorda::FitPicture(pw, ph, area, &placed);
  if (pw == 0 || ph == 0 || area.width == 0 || area.height == 0)
    FUZZ_CHECK(!fitted, "nothing to draw, yet fitted");
  if (!fitted) {
    FUZZ_CHECK(placed.left == -7 && placed.top == -7 && placed.width == -7 && placed.height == -7,
               "refused placement written");
    return 0;
  }
  // The sound case: positive sizes, an area on the device.
  if (pw > 0 && ph > 0 && area.width > 0 && area.height > 0 && area.left >= 0 &&
      area.top >= 0 && area.left <= 16383 && area.top <= 16383 && area.width <= 16384 &&
      area.height <= 16384) {
    FUZZ_CHECK(placed.width >= 0 && placed.height >= 0, "extent %dx%d", placed.width,
               placed.height);
    FUZZ_CHECK(placed.left >= area.left && placed.top >= area.top &&
                   int64_t{placed.left} + placed.width <= int64_t{area.left} + area.width &&
                   int64_t{placed.top} + placed.height <= int64_t{area.top} + area.height,
               "%d,%d %dx%d outside %d,%d %dx%d", placed.left, placed.top, placed.width,
               placed.height, area.left, area.top, area.width, area.height);
    bool fillsWidth = placed.width == area.width && placed.left == area.left;
    bool fillsHeight = placed.height == area.height && placed.top == area.top;
    FUZZ_CHECK(fillsWidth || fillsHeight, "fills neither extent");
    if (fillsWidth && !fillsHeight) {
      int before = placed.top - area.top;
      int after = area.top + area.height - placed.top - placed.height;
      FUZZ_CHECK(after == before || after == before + 1, "margins %d and %d", before, after);
    } else if (!fillsWidth) {
      int before = placed.left - area.left;
      int after = area.left + area.width - placed.left - placed.width;
      FUZZ_CHECK(after == before || after == before + 1, "margins %d and %d", before, after);
    }
    // Truncation loses under one pixel of the extent that is not filled.
    double want = fillsWidth && !fillsHeight ? static_cast<double>(ph) / pw * placed.width
                                             : static_cast<double>(pw) / ph * placed.height;
    double got = fillsWidth && !fillsHeight ? placed.height : placed.width;
    FUZZ_CHECK(got <= want + 1e-6 && got > want - 1.0 - 1e-6, "extent %g for %g", got, want);
  }
  return 0;
}
