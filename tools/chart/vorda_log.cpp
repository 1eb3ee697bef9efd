#include "vorda_log.h"

#include <cstdio>

#include "tarn.h"

namespace chart {
namespace {

const char* programName = "vorda-chart";

}  // namespace

const char* ProgramName() { return programName; }
void SetProgramName(const char* name) { programName = name; }

VordaLog::VordaLog() {
  tarn::host().SetErrorSink([this](const tarn::ErrorRecord& report) { heard_.push_back(report.message); });
}

VordaLog::~VordaLog() { tarn::host().SetErrorSink(nullptr); }

bool VordaLog::Clean(const std::string& step) {
  // The reports are shown under the step that finished, which the sink
  // cannot know while vorda is still inside it.
  for (std::string& message : heard_) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    std::fprintf(stderr, "%s: %s: vorda says: %s\n", programName, step.c_str(), message.c_str());
  }
  const bool clean = heard_.empty();
  heard_.clear();
  if (!clean) failed_ = true;
  return clean;
}

void Complain(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", programName, message.c_str());
}

}  // namespace chart
