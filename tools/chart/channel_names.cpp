#include "channel_names.h"

#include <cctype>
#include <cstddef>
#include <iterator>

#include "panels.h"

namespace chart {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The channels for which `same` holds, in order.
template <typename Same>
std::vector<int> Matching(const std::vector<std::string>& names, Same same) {
  std::vector<int> found;
  for (size_t i = 0; i < names.size(); ++i)
    if (same(names[i])) found.push_back(static_cast<int>(i));
  return found;
}

}  // namespace

std::string QuotedList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& n : names) list += (list.empty() ? "" : ", ") + Quoted(n);
  return list;
}

int ResolveChannel(const std::vector<std::string>& names, const std::string& asked, std::string* why) {
  const std::string lower = Lower(asked);
  // From the strictest way of naming to the loosest: the first that
  // finds channels decides.
  const std::vector<int> tiers[] = {
      Matching(names, [&](const std::string& n) { return n == asked; }),
      Matching(names, [&](const std::string& n) { return SplitUnit(n).name == asked; }),
      Matching(names, [&](const std::string& n) { return Lower(n) == lower; }),
      Matching(names, [&](const std::string& n) { return Lower(SplitUnit(n).name) == lower; }),
  };
  for (size_t t = 0; t < std::size(tiers); ++t) {
    const std::vector<int>& found = tiers[t];
    // The same header twice is one channel to the person who named it.
    if (found.size() == 1 || (t == 0 && !found.empty())) return found[0];
    if (found.size() > 1) {
      std::vector<std::string> candidates;
      for (int i : found) candidates.push_back(names[static_cast<size_t>(i)]);
      *why = "has more than one channel " + Quoted(asked) + " could name (" + QuotedList(candidates) +
             "): give the whole name";
      return -1;
    }
  }
  bool digits = !asked.empty() && asked.size() <= 9;
  for (char c : asked) digits = digits && c >= '0' && c <= '9';
  if (digits) {
    const long n = std::stol(asked);
    if (n >= 1 && n <= static_cast<long>(names.size())) return static_cast<int>(n - 1);
    *why = "has no channel number " + asked + " (its channels are numbered 1 to " +
           std::to_string(names.size()) + ")";
    return -1;
  }
  std::string list;
  for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
  *why = "has no channel " + Quoted(asked) + " (it has " + list + ")";
  return -1;
}

}  // namespace chart
