// Puts a recording into the stand-in host as real channels: one channel
// object a recording channel, with "NumDims" 2, "SampleInc", and the
// bursts as "BurstBase", "BurstBaseScan" and "BurstEndScan". Scans are the
// sample indexes of the recording; the host reads the samples straight
// from the recording's arrays, block by block, without a copy of its own.
#pragma once

#include "recording.h"
#include "tarn.h"

namespace chart {

// `recording` must outlive the channel.
tarn::Handle AddHostChannel(const Recording& recording, int channel);
// A channel of the times of an unevenly sampled recording, in the same
// bursts, to draw its channels against with the XY trace driver.
tarn::Handle AddHostTimeChannel(const Recording& recording);

}  // namespace chart
