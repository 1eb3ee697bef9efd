// The strip cutting of MSPolyLine: every run GDI is handed has 2 to
// `capacity` points, is exactly the device points of consecutive present
// samples, runs cut for length share their joining point, nothing is read
// outside the caller's array (the array is an exact-size heap block, so
// AddressSanitizer sees a read one past it), and a draw that fails stops
// the walk at once.
#include <vector>

#include "fuzz_input.h"
#include "gdi/strip.h"

namespace {

using vorda::DevicePoint;

struct Point {
  int32_t x, y;
};

// The runs a stretch of present points must come out as, worked out
// separately from the cutter: pieces of at most `capacity` points, each
// piece after the first starting on the last point of the one before.
std::vector<std::vector<DevicePoint>> ExpectedRuns(const double* data, uint32_t dataSize,
                                                   const vorda::WorldTransform& t,
                                                   uint32_t capacity) {
  std::vector<std::vector<DevicePoint>> runs;
  std::vector<DevicePoint> stretch;
  auto flush = [&] {
    if (stretch.size() >= 2) {
      size_t start = 0;
      for (;;) {
        size_t end = std::min(start + capacity, stretch.size());
        runs.emplace_back(stretch.begin() + start, stretch.begin() + end);
        if (end == stretch.size()) break;
        start = end - 1;
      }
    }
    stretch.clear();
  };
  for (uint32_t i = 0; i + 1 < dataSize; i += 2) {
    if (vorda::IsMissingPoint(data[i], data[i + 1])) {
      flush();
    } else {
      stretch.push_back(vorda::ToDevice(t, data[i], data[i + 1]));
    }
  }
  flush();
  return runs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  uint8_t mode = in.U8();
  vorda::WorldTransform t{in.Double(), in.Double(), in.Double(), in.Double()};
  if (mode & 1) t = {1, 1, 0, 0};  // points in pixels, easier to join up

  uint32_t dataSize;
  std::vector<double> values;
  uint32_t capacity;
  if ((mode & 0x12) == 0x12) {
    // Long strips, to cut at the real limit: a generated ramp of up to
    // 40000 points with a few gaps placed by the input.
    uint32_t points = in.U32() % 40001;
    dataSize = points * 2 + (in.U8() % 4 == 0 ? 1 : 0);
    values.resize(dataSize);
    for (uint32_t i = 0; i < dataSize; ++i) values[i] = static_cast<double>(i % 16384);
    for (int gaps = in.U8() % 4; gaps > 0; --gaps)
      if (dataSize) values[in.U32() % dataSize] = in.Double();
    capacity = vorda::StripBufferPoints(dataSize);
  } else {
    capacity = 2 + in.U8() % 8;
    dataSize = in.U8() % 64;
    values.resize(dataSize);
    for (double& v : values) v = in.Double();
  }
  uint32_t stopAt = in.U8();  // the draw call that fails, if any run gets that far
  bool stop = (mode & 4) != 0;

  // An exact-size block: one double past it is outside any allocation.
  double* data = dataSize ? new double[dataSize] : nullptr;
  std::copy(values.begin(), values.end(), data);
  std::vector<Point> buffer(capacity < 2 ? 2 : capacity);

  std::vector<std::vector<DevicePoint>> seen;
  bool result = vorda::CutStrip(data, dataSize, t, buffer.data(), capacity,
                                [&](const Point* run, uint32_t n) {
                                  FUZZ_CHECK(run == buffer.data(), "run outside the buffer");
                                  FUZZ_CHECK(n >= 2 && n <= capacity, "run of %u (capacity %u)",
                                             n, capacity);
                                  FUZZ_CHECK(n <= vorda::kMaxStripPoints, "run of %u", n);
                                  std::vector<DevicePoint> copy;
                                  for (uint32_t k = 0; k < n; ++k) {
                                    FUZZ_CHECK(run[k].x >= 0 && run[k].x <= 16383 &&
                                                   run[k].y >= 0 && run[k].y <= 16383,
                                               "point %d,%d off the device", run[k].x, run[k].y);
                                    copy.push_back({run[k].x, run[k].y});
                                  }
                                  seen.push_back(copy);
                                  return !(stop && seen.size() == stopAt);
                                });
  delete[] data;

  if (capacity < 2 || dataSize % 2 != 0) {
    FUZZ_CHECK(!result && seen.empty(), "unusable arguments drew %zu runs", seen.size());
    return 0;
  }
  auto expected = ExpectedRuns(values.data(), dataSize, t, capacity);
  bool stopped = stop && stopAt >= 1 && stopAt <= expected.size();
  FUZZ_CHECK(result == !stopped, "result %d, stopped %d", result, stopped);
  size_t runs = stopped ? stopAt : expected.size();
  FUZZ_CHECK(seen.size() == runs, "%zu runs drawn, %zu expected", seen.size(), runs);
  for (size_t r = 0; r < runs; ++r) {
    FUZZ_CHECK(seen[r].size() == expected[r].size(), "run %zu: %zu points, %zu expected", r,
               seen[r].size(), expected[r].size());
    for (size_t k = 0; k < seen[r].size(); ++k)
      FUZZ_CHECK(seen[r][k].x == expected[r][k].x && seen[r][k].y == expected[r][k].y,
                 "run %zu point %zu differs", r, k);
  }
  return 0;
}
