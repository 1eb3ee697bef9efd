#include "shown_path.h"

#include <cstdlib>

namespace chart {

std::string ShownPath(const std::string& path) {
  const char* drive = std::getenv("VORDA_CHART_UNIX_DRIVE");
  if (!drive || !*drive) return path;
  std::string prefix = std::string(drive) + "/";
  if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size() - 1);
  return path;
}

}  // namespace chart
