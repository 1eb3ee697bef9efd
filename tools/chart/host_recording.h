// Puts a recording into the stand-in host as real channels: one channel
// object a recording channel, with "NumDims" 2, "SampleInc", and the
// bursts as "BurstBase", "BurstBaseScan" and "BurstEndScan". Scans are the
// sample indexes of the recording; the host reads the samples from the
// recording's source block by block as vorda asks for them, without a copy
// of its own.
#pragma once

#include <string>

#include "recording.h"
#include "tarn.h"

namespace chart {

// `recording` must outlive the channel.
tarn::Handle AddHostChannel(const Recording& recording, int channel);
// A channel of the times of an unevenly sampled recording, in the same
// bursts, to draw its channels against with the XY trace driver.
tarn::Handle AddHostTimeChannel(const Recording& recording);

// The first failure to read samples for the host since the last clear
// (the file became unreadable or changed): the samples it could not read
// were handed over as missing, so what was drawn is not the recording.
// Empty when every read succeeded.
const std::string& HostReadFailure();
void ClearHostReadFailure();

}  // namespace chart
