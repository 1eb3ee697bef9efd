#include "panels.h"

#include <cstddef>

namespace chart {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

HeaderUnit SplitUnit(const std::string& header) {
  const std::string h = Trim(header);
  HeaderUnit out{h, std::string()};
  if (h.size() < 3) return out;
  const char close = h.back();
  const char open = close == ')' ? '(' : close == ']' ? '[' : 0;
  if (!open) return out;
  // The group that closes the header: "flow (l/min) (raw)" names "raw".
  int depth = 0;
  size_t at = std::string::npos;
  for (size_t i = h.size(); i-- > 0;) {
    if (h[i] == close) ++depth;
    if (h[i] == open && --depth == 0) {
      at = i;
      break;
    }
  }
  if (at == std::string::npos || at == 0) return out;
  const std::string unit = Trim(h.substr(at + 1, h.size() - at - 2));
  const std::string name = Trim(h.substr(0, at));
  if (unit.empty() || name.empty()) return out;
  return {name, unit};
}

std::vector<std::vector<int>> GroupPanels(const std::vector<SeriesKind>& series, PanelMode mode) {
  std::vector<std::vector<int>> panels;
  const int n = static_cast<int>(series.size());
  if (n == 0) return panels;
  bool anyUnit = false, unitsDiffer = false;
  for (const SeriesKind& s : series) {
    anyUnit = anyUnit || !s.unit.empty();
    unitsDiffer = unitsDiffer || s.unit != series[0].unit;
  }
  if (mode == PanelMode::kOne || (mode == PanelMode::kAuto && (!anyUnit || !unitsDiffer))) {
    panels.emplace_back();
    for (int i = 0; i < n; ++i) panels[0].push_back(i);
    return panels;
  }
  if (mode == PanelMode::kEach) {
    for (int i = 0; i < n; ++i) panels.push_back({i});
    return panels;
  }
  // By unit, in order of first appearance.
  for (int i = 0; i < n; ++i) {
    const SeriesKind& s = series[static_cast<size_t>(i)];
    if (s.unit.empty() && s.state) {
      panels.push_back({i});
      continue;
    }
    bool placed = false;
    for (size_t p = 0; p < panels.size() && !placed; ++p) {
      const SeriesKind& first = series[static_cast<size_t>(panels[p][0])];
      if (first.unit.empty() && first.state) continue;
      if (first.unit == s.unit) {
        panels[p].push_back(i);
        placed = true;
      }
    }
    if (!placed) panels.push_back({i});
  }
  return panels;
}

}  // namespace chart
