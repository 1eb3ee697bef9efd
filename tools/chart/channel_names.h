// A channel as a person names it on the command line: by its header, by its
// name without the unit, in any case when only one channel answers, or by
// its number (1 is the first channel). Pure.
#pragma once

#include <string>
#include <vector>

namespace chart {

// The position of the channel `asked` names among `names`; -1 with the
// reason in `why`, worded to follow the file's name ("has no channel ...",
// "has more than one channel ... could name (...)").
int ResolveChannel(const std::vector<std::string>& names, const std::string& asked, std::string* why);

// The channels, quoted and separated by commas, for messages.
std::string QuotedList(const std::vector<std::string>& names);

}  // namespace chart
