#include "host/report.h"

#include <cstdio>

namespace vorda {

int ReportError(HostObject host, const char* message) {
  return tarnObjectError(host, message);
}

int ReportFormatted(HostObject host, char (&buffer)[512], const char* format, int value) {
  std::snprintf(buffer, sizeof buffer, format, value);
  return ReportError(host, buffer);
}

}  // namespace vorda
