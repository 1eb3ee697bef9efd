// The chart tool's command line: what to read, what to draw and where to.
#pragma once

#include <string>
#include <vector>

#include "axes.h"
#include "panels.h"
#include "vorda_data.h"

namespace chart {

enum class Style { kTrace, kBars, kXY };

struct Options {
  std::string input;
  std::string output;
  bool emf = false;            // chosen by the output's extension
  bool png = false;
  double rate = 0;             // --rate HZ: the CSV has no time column
  std::string timeFormat;      // --time-format FMT: the layout of the times
  // How a CSV is read where its content alone leaves it open.
  bool timeSeconds = false;    // --time seconds: digits in the time column are seconds, not dates
  int header = 0;              // --header 1, --no-header -1; 0: the first row decides
  char delimiter = 0;          // --delimiter; 0: found from the first line (' ': blanks)
  char decimal = 0;            // --decimal; 0: found from the delimiter
  std::vector<std::string> missing;  // --missing: more words for a missing value
  bool skipBadLines = false;   // --skip-bad-lines: chart the rest, naming each
  Style style = Style::kTrace;
  std::string xChannel, yChannel;  // --xy X:Y
  bool logY = false;               // --log-y: every panel
  std::vector<std::string> logYChannels;  // --log-y a,b: the panels of these
  struct NamedRange {
    std::string channel;
    Range range;
  };
  std::vector<NamedRange> channelYRanges;  // --yrange NAME=MIN:MAX
  PanelMode panels = PanelMode::kAuto;
  std::vector<std::vector<std::string>> panelGroups;  // --panels "a,b;c"
  bool haveXRange = false, haveYRange = false;
  Range xRange, yRange;
  // --size: pixels, or inches when sizeInInches.
  bool sizeInInches = false;
  int widthPx = 960, heightPx = 600;
  double widthIn = 0, heightIn = 0;
  std::vector<std::string> channels;  // --channels a,b; empty: all
  bool markers = false;
  bool haveCursor = false;
  double cursor = 0;
  std::string picture;
  bool progress = false;
  bool everySample = false;    // --every-sample: through the trace drivers, not the summary
  bool noCache = false;        // --no-cache: the summary is made anew and not kept
  bool verbose = false;        // --verbose: the time of each step on stderr
  std::string title;
  bool haveTitle = false;
  bool help = false;
  // A raw recording: --raw ENCODING, with --rate, --names, --scale, --offset.
  std::string raw;
  std::vector<std::string> names;
  double scale = 1, offset = 0;
};

// Limits of --size: a canvas must lie inside vorda's device coordinates.
inline constexpr int kMinPixels = 200, kMaxPixels = 16000;
static_assert(kMaxPixels <= VORDA_MAX_DEVICE_COORDINATE);

// Whether the command line must name an output: the chart tool draws into
// one, the viewer only when asked to save.
enum class Output { kRequired, kOptional };

// Parses argv[1..argc-1]. On failure returns false with the message to
// show (without the program's name).
bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error,
                  Output output = Output::kRequired);

// The kind of file an output path names, by its extension: false unless
// it ends in .png, .bmp or .emf.
bool OutputKind(const std::string& path, bool* png, bool* emf);

// Splits a list of names at `separator`; a name in double quotes may hold
// the separator (and "" a quote). False for an empty name or an open quote.
bool SplitNames(const std::string& text, char separator, bool keepQuotes,
                std::vector<std::string>* out);

// The text of --help.
const char* HelpText();

}  // namespace chart
