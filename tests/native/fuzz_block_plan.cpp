// The burst/block planning of the trace drivers: the blocks of a burst
// cover every scan from its first to its last exactly once, plus one shared
// scan between consecutive blocks of a trace (none for bars); every block
// holds 1 to 100000 samples; the shared sample has the same time in both
// blocks; progress never runs backwards and ends at its total. Bursts
// reaching the ends of the int32 scan range neither wrap nor overflow.
// The block fillers write exactly their doubles per sample and read only
// the records they were given (exact-size heap blocks).
#include <vector>

#include "fuzz_input.h"
#include "traces/block_format.h"
#include "traces/block_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  const vorda::BlockStyle styles[] = {vorda::BlockStyle::kXYTrace, vorda::BlockStyle::kTimeTrace,
                                      vorda::BlockStyle::kBars};
  vorda::BlockStyle style = styles[in.U8() % 3];
  bool bars = style == vorda::BlockStyle::kBars;
  int32_t first = in.I32();
  int32_t last;
  switch (in.U8() % 4) {
    case 0: last = in.I32(); break;
    case 1: last = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t{first} + in.U32() % 400001)); break;
    case 2: last = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, int64_t{first} - 1)); break;
    default: last = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t{first} + in.U8())); break;
  }
  double origin = in.U8() % 2 ? static_cast<double>(in.U8()) : in.Double();
  double inc = in.U8() % 2 ? 0.5 : in.Double();
  vorda::BlockWalk walk(style, {first, last, origin, inc});

  int64_t expectedStart = first;
  int64_t blocks = 0;
  double lastDone = -1e308;
  vorda::Block b{}, previous{};
  bool any = false;
  while (walk.Next(&b)) {
    FUZZ_CHECK(b.count >= 1 && b.count <= vorda::kMaxBlockSamples, "block of %d", b.count);
    FUZZ_CHECK(b.firstScan == expectedStart, "block starts at %d, not %lld", b.firstScan,
               static_cast<long long>(expectedStart));
    int64_t end = int64_t{b.firstScan} + b.count - 1;
    FUZZ_CHECK(end <= last, "block ends at %lld past %d", static_cast<long long>(end), last);
    if (any && !bars && std::isfinite(inc) && std::isfinite(origin) && std::fabs(inc) < 1e6 &&
        std::fabs(origin) < 1e6) {
      // The shared sample's time, from either block.
      double before = vorda::SampleTime(previous.count - 1, inc, previous.origin);
      double after = vorda::SampleTime(0, inc, b.origin);
      FUZZ_CHECK(std::fabs(before - after) <= 1e-6 * (1 + std::fabs(before)),
                 "shared sample at %g and %g", before, after);
    }
    FUZZ_CHECK(b.done >= lastDone, "progress went back from %g to %g", lastDone, b.done);
    FUZZ_CHECK(b.done <= b.total, "progress %g of %g", b.done, b.total);
    lastDone = b.done;
    // A trace's next block starts on this one's last scan, bars' after it.
    expectedStart = (bars || end == last) ? end + 1 : end;
    previous = b;
    any = true;
    FUZZ_CHECK(++blocks <= (int64_t{last} - first) / 99999 + 2, "too many blocks");
  }
  if (last < first) {
    FUZZ_CHECK(!any, "an empty burst had blocks");
  } else {
    FUZZ_CHECK(any && expectedStart == int64_t{last} + 1, "scans up to %lld covered of %d",
               static_cast<long long>(expectedStart - 1), last);
    if (style != vorda::BlockStyle::kXYTrace)
      FUZZ_CHECK(b.done == b.total, "progress ends at %g of %g", b.done, b.total);
  }

  // The fillers, on one small block.
  uint32_t recordSize = 1 + in.U8() % 4;
  uint32_t offset = in.U8() % recordSize;
  int32_t n = in.U8() % 20;
  std::vector<double> records(static_cast<size_t>(n) * recordSize);
  for (double& d : records) d = in.Double();
  // The drivers always fill from a real block, even for no samples.
  double* exact = new double[records.empty() ? 1 : records.size()];
  std::copy(records.begin(), records.end(), exact);
  vorda::SampleColumn column{exact, recordSize, offset};
  const uint32_t per = bars ? vorda::kBarDoublesPerSample : vorda::kTraceDoublesPerSample;
  std::vector<double> out(static_cast<size_t>(n) * per + 1, 12345.0);
  if (style == vorda::BlockStyle::kXYTrace)
    vorda::FillXYBlock(column, column, n, out.data());
  else if (bars)
    vorda::FillBarBlock(column, n, origin, inc, out.data());
  else
    vorda::FillTimeBlock(column, n, origin, inc, out.data());
  FUZZ_CHECK(out.back() == 12345.0, "a filler wrote past its block");
  if (bars) {
    for (int32_t k = 0; k < n; ++k) {
      const double* bar = &out[static_cast<size_t>(k) * per];
      bool closed = (std::isnan(bar[0]) && std::isnan(bar[8])) || bar[0] == bar[8];
      closed = closed && ((std::isnan(bar[1]) && std::isnan(bar[9])) || bar[1] == bar[9]);
      FUZZ_CHECK(closed, "bar %d does not end where it began", k);
    }
  }
  delete[] exact;
  return 0;
}
