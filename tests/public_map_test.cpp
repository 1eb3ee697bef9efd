// The public mapping and sample walk of vorda_map.h against what the DLL
// itself does: the device points MSPolyLine hands to GDI and the times the
// time-series drivers store, compared bit for bit.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "host_test.h"
#include "import_hook.h"
#include "surface.h"
#include "trace_scene.h"
#include "vorda_map.h"

namespace vorda_test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Runs = std::vector<std::vector<std::pair<LONG, LONG>>>;

// A table of model values: spread over many decades on both sides of zero,
// every special value, and values just around the ends of the ranges below.
std::vector<double> ModelValues() {
  std::vector<double> v = {0,    -0.0,  1,      -1,    0.03,  4.7e4, 1e-3, 7,     1e5,
                           -2.3e4, -3.7, 12.1,  1e300, -1e300, kInf, -kInf, kNaN,
                           VORDA_MISSING_SAMPLE, 2147483648.0, 16383.5, 0.999999999};
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (int k = 0; k < 400; ++k) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
    const double magnitude = std::pow(10.0, unit * 14 - 6);
    v.push_back((state & 1) ? magnitude : -magnitude / 50);
  }
  return v;
}

// The runs the header says MSPolyLine draws: points mapped one by one, the
// line broken where a point breaks it, runs of one point dropped.
Runs ExpectedRuns(const VordaMapping& m, const std::vector<double>& data) {
  Runs runs(1);
  for (size_t k = 0; k < data.size(); k += 2) {
    int32_t x = 0, y = 0;
    if (vorda_map_point(&m, data[k], data[k + 1], &x, &y)) {
      runs.back().emplace_back(x, y);
    } else if (!runs.back().empty()) {
      runs.emplace_back();
    }
  }
  Runs kept;
  for (auto& r : runs)
    if (r.size() >= 2) kept.push_back(r);
  return kept;
}

class PublicMapTest : public HostTest {
 protected:
  tarn::Host& h = tarn::host();
};

TEST_F(PublicMapTest, DevicePointsAreThoseMSPolyLineHandsToGdi) {
  struct Case {
    const char* name;
    const char* xType;
    const char* yType;
    int left, right, top, bottom;
    double modelLeft, modelRight, modelTop, modelBottom;
  } cases[] = {
      {"linear", "", "", 37, 613, 20, 451, -3.7, 12.1, 1e5, -2.3e4},
      {"both logarithmic", "LOG10", "LOG10", 10, 1000, 500, 0, 0.03, 4.7e4, 1e-3, 7},
      {"log y, increasing upwards", "", "LOG10", 0, 16383, 0, 800, -1, 1, 0.01, 100},
      {"log x, linear y", "LOG10", "", 900, 100, 700, 50, 1, 1e5, -1, 1},
      {"far outside the device", "", "", -2000000000, 2000000000, 5, 6, 0, 1e-9, 0, 3},
  };
  DibSurface surface(64, 64);
  ASSERT_EQ(MSEnable(host_, surface.dc()), 1);
  HPEN pen = nullptr;
  // Dashed: every point reaches GDI, none is left out as redundant.
  ASSERT_EQ(MSNewPen(host_, &pen, "DASH", 1, 0, 0, 0), 1);

  const std::vector<double> values = ModelValues();
  std::vector<double> data;
  for (size_t i = 0; i < values.size(); ++i)
    for (size_t j = 0; j < values.size(); j += 7) {
      data.push_back(values[i]);
      data.push_back(values[(i * 13 + j) % values.size()]);
    }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(MSSetXForm(host_, 0, c.xType, c.yType, c.left, c.right, c.top, c.bottom,
                         c.modelLeft, c.modelRight, c.modelTop, c.modelBottom),
              1);
    VordaMapping m{};
    ASSERT_EQ(vorda_make_mapping(*c.xType != 0, *c.yType != 0, c.left, c.right, c.top, c.bottom,
                                 c.modelLeft, c.modelRight, c.modelTop, c.modelBottom, &m),
              1);
    Runs drawn;
    VORDA_HOOK(hook, "gdi32.dll", Polyline, [&](HDC dc, const POINT* p, int n) {
      drawn.emplace_back();
      for (int k = 0; k < n; ++k) drawn.back().emplace_back(p[k].x, p[k].y);
      return hook.Original()(dc, p, n);
    });
    ASSERT_EQ(MSPolyLine(host_, &pen, "LINE_STRIP", data.data(), static_cast<unsigned>(data.size())), 1);
    // GDI takes at most 16000 points a run, the last repeated as the next
    // one's first: join them back before comparing.
    Runs joined;
    for (size_t r = 0; r < drawn.size(); ++r) {
      if (r > 0 && drawn[r - 1].size() == VORDA_MAX_STRIP_POINTS &&
          drawn[r].front() == drawn[r - 1].back())
        joined.back().insert(joined.back().end(), drawn[r].begin() + 1, drawn[r].end());
      else
        joined.push_back(drawn[r]);
    }
    const Runs expected = ExpectedRuns(m, data);
    ASSERT_GT(expected.size(), 3u) << "the table breaks the line and draws runs";
    EXPECT_TRUE(joined == expected) << joined.size() << " runs drawn, " << expected.size()
                                    << " expected";
  }

  // A logarithmic range with an end at zero or below: refused by both.
  VordaMapping untouched{};
  untouched.log_floor = 42;
  for (double end : {0.0, -5.0}) {
    EXPECT_EQ(vorda_make_mapping(0, 1, 0, 10, 0, 10, 0, 1, 10, end, &untouched), 0);
    EXPECT_NE(MSSetXForm(host_, 0, "", "LOG10", 0, 10, 0, 10, 0, 1, 10, end), 1);
  }
  EXPECT_EQ(untouched.log_floor, 42);
  DeleteObject(pen);
}

TEST_F(PublicMapTest, SampleTimesAreThoseTheTimeSeriesDriversStore) {
  // An increment and origin that no binary fraction holds, and bursts that
  // fill one block, spill over by one, and run for several blocks.
  const double inc = 0.1, base = 1e6 + 1.0 / 3;
  const std::vector<tarn::Burst> bursts = {
      {base, 7, 7 + 250000}, {-base, 500000, 599999}, {base * 3, 700000, 800000}};
  struct Case {
    const char* name;
    int (*driver)(HostObject, HostObject, HostObject, int);
    int share;
    int perSample;
  } cases[] = {{"trace", _CDrawYTTrace, 1, 2}, {"bars", _CDrawYTBars, 0, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.Reset();
    const tarn::Handle channel = ScanChannel(2, inc, bursts);
    DrawRecorder draw;
    ASSERT_EQ(c.driver(host_, draw.object(), channel, 1), 1);

    size_t drawnBlock = 0;
    for (const tarn::Burst& burst : bursts) {
      VordaBlockWalk walk;
      vorda_block_walk_start(&walk, burst.firstScan, burst.lastScan, burst.base, inc, c.share);
      VordaBlock block;
      while (vorda_block_walk_next(&walk, &block)) {
        SCOPED_TRACE(block.first_scan);
        ASSERT_LT(drawnBlock, draw.blocks().size());
        const std::vector<double>& got = draw.blocks()[drawnBlock++].data;
        ASSERT_EQ(got.size(), static_cast<size_t>(c.perSample) * block.count);
        int wrong = 0;
        for (int32_t k = 0; k < block.count; ++k) {
          const double t = vorda_sample_time(k, inc, block.origin);
          const double* p = &got[static_cast<size_t>(c.perSample) * k];
          // Dimension 1 of scan s holds s.
          const bool right = c.share ? p[0] == t && p[1] == block.first_scan + k
                                     : p[0] == t - inc * 0.5 && p[4] == t + inc * 0.5 &&
                                           p[3] == block.first_scan + k;
          wrong += !right;
        }
        EXPECT_EQ(wrong, 0);
      }
    }
    EXPECT_EQ(drawnBlock, draw.blocks().size());
  }
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace vorda_test
