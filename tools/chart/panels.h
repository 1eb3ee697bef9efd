// Which channels share a plot: the unit each channel's header names
// ("temperature (°C)", "pressure [hPa]"), whether a channel is a state (only
// 0 and 1), and the grouping of the series drawn into stacked panels that
// share one time axis. Pure.
#pragma once

#include <string>
#include <vector>

namespace chart {

// A header split into the name and the unit that ends it in parentheses or
// brackets; `unit` is empty when the header names none.
struct HeaderUnit {
  std::string name;
  std::string unit;
};
HeaderUnit SplitUnit(const std::string& header);

// How the series are put into panels: by unit (kAuto), all in one plot,
// one each, or in the groups given by hand.
enum class PanelMode { kAuto, kOne, kEach, kGroups };

struct SeriesKind {
  std::string unit;    // from the header, empty when none
  bool state = false;  // every value drawn is 0 or 1
};

// Panels as lists of series positions (0..n-1), in the order the series
// first appear. kAuto gives one plot when no two series differ in unit
// (or none has one); otherwise a panel per unit, the series without a unit
// in one more, except that a state without a unit gets a panel of its own.
// kGroups is not decided here (the groups name channels).
std::vector<std::vector<int>> GroupPanels(const std::vector<SeriesKind>& series, PanelMode mode);

// Whether the values seen are a state's: at least one, and each 0 or 1.
class StateCheck {
 public:
  void Add(double v) {
    if (v == 0 || v == 1) {
      seen_ = true;
    } else {
      other_ = true;
    }
  }
  bool IsState() const { return seen_ && !other_; }

 private:
  bool seen_ = false, other_ = false;
};

}  // namespace chart
