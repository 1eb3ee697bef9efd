#include "vorda_log.h"

#include <cstdio>

#include "tarn.h"

namespace chart {

bool VordaLog::Clean(const std::string& step) {
  const auto& errors = tarn::host().Errors();
  bool clean = errors.size() == seen_;
  for (; seen_ < errors.size(); ++seen_) {
    std::string message = errors[seen_].message;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    std::fprintf(stderr, "vorda-chart: %s: vorda says: %s\n", step.c_str(), message.c_str());
  }
  if (!clean) failed_ = true;
  return clean;
}

void Complain(const std::string& message) {
  std::fprintf(stderr, "vorda-chart: %s\n", message.c_str());
}

}  // namespace chart
