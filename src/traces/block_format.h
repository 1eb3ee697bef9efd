// The blocks handed to a drawing object: interleaved x, y doubles in the
// point layout MSPolyLine takes (x at even, y at odd indexes). Pure code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vorda_data.h"
#include "vorda_map.h"

namespace vorda {

// Doubles a block holds per sample: one point for a trace, the five
// points of a closed bar outline for bars.
constexpr uint32_t kTraceDoublesPerSample = VORDA_TRACE_DOUBLES_PER_SAMPLE;
constexpr uint32_t kBarDoublesPerSample = VORDA_BAR_DOUBLES_PER_SAMPLE;

// A channel's block of sample records and the one value used from each.
struct SampleColumn {
  const double* records;
  uint32_t recordSize;  // doubles a record
  uint32_t offset;      // position of the value in the record, from 0
};

// The index is taken in size_t: a block of long records can hold more
// doubles than 32 bits count on a 64-bit build.
inline double ValueAt(const SampleColumn& c, int32_t k) {
  return c.records[size_t{static_cast<uint32_t>(k)} * c.recordSize + c.offset];
}

// The time of sample k of a block whose first sample is at `origin`.
inline double SampleTime(int32_t k, double sampleInc, double origin) {
  return vorda_sample_time(k, sampleInc, origin);
}

// Pairs the x and y values of n samples.
void FillXYBlock(const SampleColumn& x, const SampleColumn& y, int32_t n, double* out);
// Each sample's time and value.
void FillTimeBlock(const SampleColumn& y, int32_t n, double origin, double sampleInc,
                   double* out);
// Each sample as a bar from 0 to its value, one increment wide, centred on
// its time, traced as five points that end where they began.
void FillBarBlock(const SampleColumn& y, int32_t n, double origin, double sampleInc,
                  double* out);

// A dimension index counts from 1 and must name a value inside a record
// of numDims - 1 doubles; anything else would read outside the record.
inline bool ValidDimension(int numDims, int dimension) {
  return numDims >= 2 && dimension >= 1 && dimension <= numDims - 1;
}

}  // namespace vorda
