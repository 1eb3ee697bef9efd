// Scenes for the trace drivers: channels whose sample values tell their
// scan, a drawing object whose "Draw" routine records every block it was
// given, and the progress calls and deleted progress objects to check.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host_probe.h"
#include "tarn.h"

namespace vorda_test {

// The doubles of a byte-string property (empty when there is none).
std::vector<double> DoublesOf(tarn::Handle object, const std::string& name);
// A long property, or -1 when there is none.
int LongOf(tarn::Handle object, const std::string& name);

// What one "Draw" call found in the drawing object.
struct DrawnBlock {
  std::vector<double> data;
  size_t bytes = 0;
  int dataSize = -1;
};

// A drawing object whose "Draw" routine records each block; `then`, when
// set, runs afterwards on the same object and gives the routine's result.
class DrawRecorder {
 public:
  explicit DrawRecorder(std::function<int(tarn::Handle)> then = nullptr);
  // The drawing object goes with the recorder, and the last block it holds:
  // a sweep makes hundreds of recorders, which would otherwise fill a
  // 32-bit process with blocks of bars.
  ~DrawRecorder();
  DrawRecorder(const DrawRecorder&) = delete;
  DrawRecorder& operator=(const DrawRecorder&) = delete;
  tarn::Handle object() const { return object_; }
  const std::vector<DrawnBlock>& blocks() const { return blocks_; }

 private:
  tarn::Handle object_;
  std::vector<DrawnBlock> blocks_;
  std::function<int(tarn::Handle)> then_;
};

// A channel of one burst per entry whose records of (numDims - 1) doubles
// are made on demand: value j (from 0) of scan s is s * (j + 1) * sign.
tarn::Handle ScanChannel(int numDims, double sampleInc, const std::vector<tarn::Burst>& bursts,
                         double sign = 1);

// The progress objects deleted so far, as they were at deletion.
std::vector<tarn::DeletedObject> DeletedProgress();
// (done, total) of every progress call, in order.
std::vector<std::pair<double, double>> ProgressValues();

// Checks that exactly one progress object "Drawing" was made under the
// root, that its last call was (0, 100) with "ProgressText" set to "",
// and that it is gone.
void ExpectProgressClosed();

class Ledger;
// Checks the end of a call that drew everything: the progress calls were
// `progress` and then (0, 100), the progress object is closed, vorda
// reported nothing and the ledger holds nothing.
void ExpectCleanRun(const Ledger& ledger, std::vector<std::pair<double, double>> progress);

}  // namespace vorda_test
