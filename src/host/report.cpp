#include "host/report.h"

#include <cstdio>

namespace vorda {

int ReportError(HostObject host, const Failure& failure) {
  if (!failure.buffer_) return tarnObjectError(host, failure.text_);
  std::snprintf(failure.buffer_, sizeof(MessageBuffer), failure.text_, failure.number_);
  return tarnObjectError(host, failure.buffer_);
}

}  // namespace vorda
