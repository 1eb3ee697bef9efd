// A path as the user typed it. scripts/vorda-chart gives absolute Unix
// paths Wine's drive letter ("/data/rec.csv" becomes "Z:/data/rec.csv") and
// names that drive in VORDA_CHART_UNIX_DRIVE; messages show such a path
// without the drive, as it was given.
#pragma once

#include <string>

namespace chart {

std::string ShownPath(const std::string& path);

}  // namespace chart
