// What the three trace drivers share: the progress object that lives for
// the call, and the loop over bursts and blocks that hands each block to
// the drawing object's "Draw" routine.
#pragma once

#include <cstdint>

#include "host/report.h"
#include "traces/block_plan.h"

namespace vorda {

// The channel work that differs between drivers, called by the loop.
class TraceChannels {
 public:
  // Reads burst `index`.
  virtual Failure ReadBurst(int32_t index, BurstSpan* span) = 0;
  // Seeks and reads the sample records of a block.
  virtual Failure ReadBlock(const Block& block) = 0;
  // Writes the block in the driver's format; returns the doubles written.
  virtual uint32_t FillBlock(const Block& block, double* out) = 0;

 protected:
  ~TraceChannels() = default;
};

// One driver call. Made first, it fetches the root object and makes the
// progress object "Drawing"; its destructor, which runs last on every
// path, resets the progress object and deletes it. A missing root or
// progress object does not stop the drawing: the call then goes without.
class TraceCall {
 public:
  TraceCall(HostObject host, HostObject drawing);
  TraceCall(const TraceCall&) = delete;
  TraceCall& operator=(const TraceCall&) = delete;
  ~TraceCall();

  // Reports the failure; the driver's result is then 0.
  int Fail(const Failure& failure) { return ReportThenZero(host_, failure); }

  // Reads the number of bursts from `burstChannel` and draws every burst
  // block by block into `output`. Returns 1 when all were drawn, 0 after a
  // report or when the host stopped the work through the progress call.
  int DrawBursts(HostObject burstChannel, const char* numBurstsMessage, BlockStyle style,
                 TraceChannels& channels, double* output);

 private:
  // Hands one block to the drawing object.
  Failure Draw(const double* output, uint32_t doubles);
  // False when the host asks to stop.
  bool Progress(double done, double total);

  HostObject host_;
  HostObject drawing_;
  HostObject progress_ = 0;
};

// Host reads that count a zero result as failure.
bool ReadLong(HostObject object, const char* name, int index, int* out);
bool ReadDouble(HostObject object, const char* name, int index, double* out);

}  // namespace vorda
