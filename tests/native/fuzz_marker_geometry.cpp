// The marker geometry: corners always on the device (0..16383) whatever
// the transform, position or size (negative sizes included); a square
// marker is symmetric about its truncated centre when nothing clamps; the
// log conversion of records touches only X1, X2, Y1, Y2 of whole records
// and nothing outside the array (an exact-size heap block).
#include <vector>

#include "fuzz_input.h"
#include "gdi/marker_geometry.h"

namespace {

bool OnDevice(const vorda::MarkerCorners& c) {
  auto in = [](int32_t v) { return v >= 0 && v <= 16383; };
  return in(c.left) && in(c.top) && in(c.right) && in(c.bottom);
}

bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  vorda::WorldTransform t{in.Double(), in.Double(), in.Double(), in.Double()};
  if (in.U8() % 2) t = {1, 1, 0, 0};
  int32_t markerSize = in.I32();
  int32_t half = vorda::SquareHalf(markerSize);
  FUZZ_CHECK(half == markerSize / 2, "half of %d is %d", markerSize, half);
  double x = in.Double(), y = in.Double();
  vorda::MarkerCorners square = vorda::SquareMarker(t, x, y, half);
  FUZZ_CHECK(OnDevice(square), "square %d,%d,%d,%d", square.left, square.top, square.right,
             square.bottom);
  if (t.XScale == 1 && t.YScale == 1 && t.XOffset == 0 && t.YOffset == 0 && x >= 0 &&
      y >= 0 && x < 16383 && y < 16383 && half >= -1000 && half <= 1000) {
    int32_t cx = static_cast<int32_t>(x), cy = static_cast<int32_t>(y);
    if (cx - std::abs(half) >= 0 && cx + std::abs(half) <= 16383 && cy - std::abs(half) >= 0 &&
        cy + std::abs(half) <= 16383)
      FUZZ_CHECK(square.left == cx - half && square.right == cx + half &&
                     square.top == cy + half && square.bottom == cy - half,
                 "square around %d,%d half %d: %d,%d,%d,%d", cx, cy, half, square.left,
                 square.top, square.right, square.bottom);
  }

  double* record = new double[vorda::kMarkerRecordDoubles];
  for (uint32_t i = 0; i < vorda::kMarkerRecordDoubles; ++i) record[i] = in.Double();
  vorda::MarkerCorners box = vorda::RecordMarker(t, record);
  FUZZ_CHECK(OnDevice(box), "record marker %d,%d,%d,%d", box.left, box.top, box.right,
             box.bottom);
  delete[] record;

  // Any size, whole records or not: only whole ones are converted.
  uint32_t dataSize = in.U8() % 40;
  uint32_t records = vorda::WholeRecords(dataSize);
  FUZZ_CHECK(records * vorda::kMarkerRecordDoubles <= dataSize, "records past the array");
  FUZZ_CHECK(vorda::WholePoints(dataSize) * 2 <= dataSize, "points past the array");
  std::vector<double> before(dataSize);
  for (double& d : before) d = in.Double();
  double* data = dataSize ? new double[dataSize] : nullptr;
  std::copy(before.begin(), before.end(), data);
  bool xLog = in.U8() & 1, yLog = in.U8() & 1;
  double floor = -std::fabs(in.Double());
  vorda::ApplyLogToRecords(data, records, xLog, yLog, floor);
  for (uint32_t i = 0; i < dataSize; ++i) {
    uint32_t field = i % vorda::kMarkerRecordDoubles;
    bool whole = i < records * vorda::kMarkerRecordDoubles;
    bool isX = field == vorda::kMarkerX1 || field == vorda::kMarkerX2;
    bool isY = field == vorda::kMarkerY1 || field == vorda::kMarkerY2;
    bool converted = whole && ((isX && xLog) || (isY && yLog));
    double want = converted ? vorda::LogAxisValue(before[i], floor) : before[i];
    FUZZ_CHECK(Same(data[i], want), "element %u (field %u): %g became %g", i, field, before[i],
               data[i]);
  }
  delete[] data;
  return 0;
}
