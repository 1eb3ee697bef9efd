// Shows the user every report vorda made to the host, with the chart
// step that was running: nothing vorda says is lost, and any report
// counts as a failure of the chart.
#pragma once

#include <cstddef>
#include <string>

namespace chart {

class VordaLog {
 public:
  // True when vorda reported nothing since the last look; otherwise each
  // new message goes to stderr as "vorda-chart: STEP: vorda says: MESSAGE".
  bool Clean(const std::string& step);
  bool failed() const { return failed_; }

 private:
  std::size_t seen_ = 0;
  bool failed_ = false;
};

// A message of the tool itself on stderr.
void Complain(const std::string& message);

}  // namespace chart
