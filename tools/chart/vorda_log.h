// Shows the user every report vorda made to the host, with the chart
// step that was running: nothing vorda says is lost, and any report
// counts as a failure of the chart.
#pragma once

#include <string>
#include <vector>

namespace chart {

// Hears vorda's reports through the host's error sink while it lives.
class VordaLog {
 public:
  VordaLog();
  VordaLog(const VordaLog&) = delete;
  VordaLog& operator=(const VordaLog&) = delete;
  ~VordaLog();

  // True when vorda reported nothing since the last look; otherwise each
  // new message goes to stderr as "vorda-chart: STEP: vorda says: MESSAGE".
  bool Clean(const std::string& step);
  bool failed() const { return failed_; }
  // For a program that goes on after a failure: what failed before no
  // longer counts against what comes next.
  void Restart() { failed_ = false; }

 private:
  std::vector<std::string> heard_;
  bool failed_ = false;
};

// A message of the tool itself on stderr.
void Complain(const std::string& message);

// The name the messages begin with: "vorda-chart" unless a program that
// draws charts the same way says otherwise.
const char* ProgramName();
void SetProgramName(const char* name);

}  // namespace chart
