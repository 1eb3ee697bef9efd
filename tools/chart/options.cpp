#include "options.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "sample_encoding.h"
#include "time_parse.h"

namespace chart {
namespace {

bool Number(const std::string& s, double* v) {
  const char* b = s.data();
  const char* e = b + s.size();
  if (b != e && *b == '+') ++b;
  auto [p, ec] = std::from_chars(b, e, *v);
  return b != e && ec == std::errc() && p == e && std::isfinite(*v);
}

// A number, or an ISO 8601 date and time as seconds since 1970 (UTC).
bool NumberOrDate(const std::string& s, double* v) {
  ParsedTime t;
  if (Number(s, v)) return true;
  if (!ParseIsoTime(s, &t)) return false;
  *v = t.seconds;
  return true;
}

bool RangeArg(const std::string& s, Range* r) {
  // "A:B"; a colon keeps negative numbers unambiguous ("-5:5"). Times of
  // day hold colons too, so every colon is tried as the separator.
  for (size_t colon = s.find(':'); colon != std::string::npos; colon = s.find(':', colon + 1))
    if (NumberOrDate(s.substr(0, colon), &r->lo) && NumberOrDate(s.substr(colon + 1), &r->hi))
      return r->lo < r->hi;
  return false;
}

// "a,b,c": names, none empty.
bool NameList(const char* option, const std::string& value, std::vector<std::string>* out, std::string* error) {
  out->clear();
  for (size_t start = 0;;) {
    size_t comma = value.find(',', start);
    std::string name = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (name.empty()) {
      *error = std::string(option) + " " + value + ": give channel names separated by commas";
      return false;
    }
    out->push_back(name);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EndsWith(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  return s.size() >= n && Lower(s.substr(s.size() - n)) == suffix;
}

bool SizeArg(const std::string& s, Options* o, std::string* error) {
  std::string unit;
  std::string body = s;
  if (EndsWith(s, "in")) unit = "in";
  else if (EndsWith(s, "px")) unit = "px";
  else {
    *error = "--size " + s + ": give WxHin (inches) or WxHpx (pixels), for example 8x5in or 1200x750px";
    return false;
  }
  body = s.substr(0, s.size() - 2);
  size_t x = body.find_first_of("xX");
  double w = 0, h = 0;
  if (x == std::string::npos || !Number(body.substr(0, x), &w) || !Number(body.substr(x + 1), &h)) {
    *error = "--size " + s + ": give WxHin (inches) or WxHpx (pixels), for example 8x5in or 1200x750px";
    return false;
  }
  if (unit == "px") {
    if (w != std::floor(w) || h != std::floor(h) || w < kMinPixels || h < kMinPixels ||
        w > kMaxPixels || h > kMaxPixels) {
      *error = "--size " + s + ": pixel sizes are whole numbers from " + std::to_string(kMinPixels) +
               " to " + std::to_string(kMaxPixels);
      return false;
    }
    o->sizeInInches = false;
    o->widthPx = static_cast<int>(w);
    o->heightPx = static_cast<int>(h);
  } else {
    if (!(w >= 2 && h >= 2 && w <= 100 && h <= 100)) {
      *error = "--size " + s + ": inch sizes run from 2 to 100";
      return false;
    }
    o->sizeInInches = true;
    o->widthIn = w;
    o->heightIn = h;
  }
  return true;
}

bool ChannelList(const std::string& option, const std::string& value, std::vector<std::string>* out,
                 std::string* error) {
  std::vector<std::string> names;
  if (!SplitNames(value, ',', false, &names)) {
    *error = option + " " + value + ": give channel names separated by commas";
    return false;
  }
  out->insert(out->end(), names.begin(), names.end());
  return true;
}

bool PanelsArg(const std::string& value, Options* o, std::string* error) {
  if (value == "auto" || value == "one" || value == "each") {
    o->panels = value == "auto" ? PanelMode::kAuto : value == "one" ? PanelMode::kOne : PanelMode::kEach;
    o->panelGroups.clear();
    return true;
  }
  std::vector<std::string> groups;
  o->panelGroups.clear();
  bool ok = SplitNames(value, ';', true, &groups);
  for (size_t i = 0; ok && i < groups.size(); ++i) {
    o->panelGroups.emplace_back();
    ok = SplitNames(groups[i], ',', false, &o->panelGroups.back());
  }
  if (!ok) {
    *error = "--panels " + value +
             ": give auto, one, each, or groups of channel names such as \"a,b;c\" (a panel each group)";
    return false;
  }
  o->panels = PanelMode::kGroups;
  return true;
}

// "NAME=MIN:MAX" for one channel's panel, or "MIN:MAX" for every panel.
bool YRangeArg(const std::string& value, Options* o, std::string* error) {
  Range r;
  if (RangeArg(value, &r)) {
    o->yRange = r;
    o->haveYRange = true;
    return true;
  }
  const size_t eq = value.rfind('=');
  if (eq != std::string::npos && eq > 0 && RangeArg(value.substr(eq + 1), &r)) {
    std::string name = value.substr(0, eq);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    o->channelYRanges.push_back({name, r});
    return true;
  }
  *error = "--yrange " + value + ": give MIN:MAX with MIN below MAX";
  if (value.find('=') != std::string::npos) *error += " after NAME=";
  return false;
}

bool LooksLikeRecording(const std::string& s) { return EndsWith(s, ".csv") || EndsWith(s, ".wav"); }

}  // namespace

bool SplitNames(const std::string& text, char separator, bool keepQuotes, std::vector<std::string>* out) {
  out->clear();
  std::string name;
  bool quoted = false, wasQuoted = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || (!quoted && text[i] == separator)) {
      if (quoted || (name.empty() && !wasQuoted)) return false;
      out->push_back(name);
      name.clear();
      wasQuoted = false;
      continue;
    }
    const char c = text[i];
    if (c == '"') {
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        name += keepQuotes ? "\"\"" : "\"";
        ++i;
        continue;
      }
      quoted = !quoted;
      wasQuoted = true;
      if (keepQuotes) name += c;
      continue;
    }
    name += c;
  }
  return true;
}

bool OutputKind(const std::string& path, bool* png, bool* emf) {
  *emf = EndsWith(path, ".emf");
  *png = EndsWith(path, ".png");
  return *emf || *png || EndsWith(path, ".bmp");
}

bool ParseOptions(int argc, const char* const* argv, Options* o, std::string* error,
                  Output output) {
  *o = Options{};
  bool haveXY = false, haveBars = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    // Options that take a value accept "--opt VALUE" and "--opt=VALUE".
    auto takes = [&](const char* name) {
      size_t n = std::strlen(name);
      if (arg == name) {
        if (i + 1 >= argc) {
          *error = std::string(name) + " needs a value (see --help)";
          return -1;
        }
        value = argv[++i];
        return 1;
      }
      if (arg.size() > n && arg.compare(0, n, name) == 0 && arg[n] == '=') {
        value = arg.substr(n + 1);
        return 1;
      }
      return 0;
    };
    int t;
    if (arg == "-h" || arg == "--help") {
      o->help = true;
      return true;
    } else if ((t = takes("-o")) || (t = takes("--output"))) {
      if (t < 0) return false;
      o->output = value;
    } else if ((t = takes("--rate"))) {
      if (t < 0) return false;
      if (!Number(value, &o->rate) || !(o->rate > 0)) {
        *error = "--rate " + value + ": give the sample rate in Hz, a number above 0";
        return false;
      }
    } else if ((t = takes("--time-format"))) {
      if (t < 0) return false;
      TimeFormat format;
      if (!format.Compile(value, error)) return false;
      o->timeFormat = value;
    } else if ((t = takes("--time"))) {
      if (t < 0) return false;
      if (value != "seconds") {
        *error = "--time " + value + ": give --time seconds to read a time column of digits as seconds "
                 "(use --time-format for a layout of dates)";
        return false;
      }
      o->timeSeconds = true;
    } else if (arg == "--header" || arg == "--no-header") {
      o->header = arg == "--header" ? 1 : -1;
    } else if ((t = takes("--delimiter"))) {
      if (t < 0) return false;
      std::string v = Lower(value);
      o->delimiter = v == "tab" || v == "\\t" ? '\t' : v == "space" ? ' ' : value.size() == 1 ? value[0] : 0;
      if (!o->delimiter || o->delimiter == '"' || o->delimiter == '#' || o->delimiter == '\n' ||
          o->delimiter == '\r' || std::isalnum(static_cast<unsigned char>(o->delimiter)) || o->delimiter == '.') {
        *error = "--delimiter " + value + ": give one character such as , ; | or the word tab or space";
        return false;
      }
    } else if ((t = takes("--decimal"))) {
      if (t < 0) return false;
      if (value != "." && value != ",") {
        *error = "--decimal " + value + ": give . or ,";
        return false;
      }
      o->decimal = value[0];
    } else if ((t = takes("--missing"))) {
      if (t < 0) return false;
      for (size_t start = 0;;) {
        size_t comma = value.find(',', start);
        std::string word = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (word.empty()) {
          *error = "--missing " + value + ": give the words for a missing value separated by commas";
          return false;
        }
        o->missing.push_back(word);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (arg == "--skip-bad-lines") {
      o->skipBadLines = true;
    } else if ((t = takes("--xy"))) {
      if (t < 0) return false;
      size_t colon = value.find(':');
      if (colon == std::string::npos || colon == 0 || colon + 1 == value.size()) {
        *error = "--xy " + value + ": give two channel names as X:Y";
        return false;
      }
      o->xChannel = value.substr(0, colon);
      o->yChannel = value.substr(colon + 1);
      haveXY = true;
    } else if (arg == "--bars") {
      haveBars = true;
    } else if (arg == "--log-y") {
      // Names may follow; a recording's name (or an option) may not be one.
      const bool names = i + 1 < argc && argv[i + 1][0] != '-' &&
                         (!o->input.empty() || !LooksLikeRecording(argv[i + 1]));
      if (names) {
        if (!ChannelList("--log-y", argv[++i], &o->logYChannels, error)) return false;
      } else {
        o->logY = true;
      }
    } else if ((t = takes("--log-y"))) {
      if (t < 0 || !ChannelList("--log-y", value, &o->logYChannels, error)) return false;
    } else if ((t = takes("--panels"))) {
      if (t < 0 || !PanelsArg(value, o, error)) return false;
    } else if ((t = takes("--yrange"))) {
      if (t < 0 || !YRangeArg(value, o, error)) return false;
    } else if ((t = takes("--xrange"))) {
      if (t < 0) return false;
      if (!RangeArg(value, &o->xRange)) {
        *error = "--xrange " + value + ": give MIN:MAX with MIN below MAX";
        return false;
      }
      o->haveXRange = true;
    } else if ((t = takes("--size"))) {
      if (t < 0 || !SizeArg(value, o, error)) return false;
    } else if ((t = takes("--channels"))) {
      if (t < 0 || !ChannelList("--channels", value, &o->channels, error)) return false;
    } else if (arg == "--markers") {
      o->markers = true;
    } else if ((t = takes("--cursor"))) {
      if (t < 0) return false;
      if (!NumberOrDate(value, &o->cursor)) {
        *error = "--cursor " + value + ": give a time in seconds, or a date and time such as 2024-03-29T12:00";
        return false;
      }
      o->haveCursor = true;
    } else if ((t = takes("--picture"))) {
      if (t < 0) return false;
      o->picture = value;
    } else if (arg == "--progress") {
      o->progress = true;
    } else if (arg == "--every-sample") {
      o->everySample = true;
    } else if (arg == "--no-cache") {
      o->noCache = true;
    } else if (arg == "--verbose" || arg == "-v") {
      o->verbose = true;
    } else if ((t = takes("--title"))) {
      if (t < 0) return false;
      o->title = value;
      o->haveTitle = true;
    } else if ((t = takes("--raw"))) {
      recording::Encoding e;
      if (t < 0) return false;
      if (!recording::EncodingByName(Lower(value), &e)) {
        *error = "--raw " + value + ": give the samples' encoding, one of " + recording::RawEncodingNames();
        return false;
      }
      o->raw = Lower(value);
    } else if ((t = takes("--names"))) {
      if (t < 0 || !NameList("--names", value, &o->names, error)) return false;
    } else if ((t = takes("--scale")) || (t = takes("--offset"))) {
      const bool scale = arg.compare(0, 7, "--scale") == 0;
      if (t < 0) return false;
      if (!Number(value, scale ? &o->scale : &o->offset) || (scale && o->scale == 0)) {
        *error = std::string(scale ? "--scale " : "--offset ") + value +
                 (scale ? ": give the factor from stored numbers to units, a number other than 0"
                        : ": give the units added after scaling, a number");
        return false;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {  // "-" alone is standard input
      *error = "unknown option " + arg + " (see --help)";
      return false;
    } else if (o->input.empty()) {
      o->input = arg;
    } else {
      *error = "more than one input file (" + o->input + ", " + arg + ")";
      return false;
    }
  }
  if (o->input.empty()) {
    *error = output == Output::kRequired
                 ? "no input file: give a recording (.csv or .wav) and -o OUT.png (see --help)"
                 : "no input file: give a recording (.csv or .wav) (see --help)";
    return false;
  }
  if (o->output.empty() && output == Output::kRequired) {
    *error = "no output file: give -o OUT.png, OUT.bmp or OUT.emf";
    return false;
  }
  if (!o->output.empty() && !OutputKind(o->output, &o->png, &o->emf)) {
    *error = "-o " + o->output + ": the output must end in .png, .bmp or .emf";
    return false;
  }
  if (o->delimiter && o->delimiter == o->decimal) {
    *error = "--delimiter and --decimal cannot both be " + std::string(1, o->decimal);
    return false;
  }
  if (o->timeSeconds && (o->rate > 0 || !o->timeFormat.empty())) {
    *error = o->rate > 0 ? "--time seconds is for the CSV's time column, and --rate says there is none"
                         : "--time seconds and --time-format say two ways to read the times: give one";
    return false;
  }
  if (!o->timeFormat.empty() && o->rate > 0) {
    *error = "--time-format is for the CSV's time column, and --rate says there is none";
    return false;
  }
  if (o->raw.empty() && (!o->names.empty() || o->scale != 1 || o->offset != 0)) {
    *error = "--names, --scale and --offset describe a raw recording; give --raw ENCODING too";
    return false;
  }
  if (!o->raw.empty() && !(o->rate > 0)) {
    *error = "--raw needs the sample rate: give --rate HZ";
    return false;
  }
  if (haveXY && haveBars) {
    *error = "--xy and --bars do not go together: bars are drawn against time";
    return false;
  }
  if (haveXY && !o->channels.empty()) {
    *error = "--xy names its two channels itself; leave out --channels";
    return false;
  }
  if (o->logY && o->haveYRange && !(o->yRange.lo > 0)) {
    *error = "--yrange must be above 0 on a logarithmic axis (--log-y)";
    return false;
  }
  if (haveXY && (o->panels != PanelMode::kAuto || !o->channelYRanges.empty() || !o->logYChannels.empty())) {
    *error = "--xy draws one plot of its two channels: leave out --panels and the channel names of --yrange and --log-y";
    return false;
  }
  o->style = haveXY ? Style::kXY : haveBars ? Style::kBars : Style::kTrace;
  return true;
}

const char* HelpText() {
  return R"(usage: vorda-chart RECORDING -o OUT.png|OUT.bmp|OUT.emf [options]

Draws a chart of a recording (CSV or WAV) into a PNG or BMP image or an
EMF metafile, with vorda's plotting primitives in the stand-in tarn host.

RECORDING
  a CSV file (any text file; - reads standard input): a header row of
               channel names (# comment lines may come anywhere; a first
               row of numbers alone is data, its channels named "column 2",
               ...); the first column holds the time of each row, every
               further column a channel. Times are seconds, or dates and
               times in ISO 8601 (2024-03-29, 2024-03-29 12:00:00.250,
               2024-03-29T12:00Z, ...+02:00; without a zone taken as UTC),
               or in any layout given with --time-format; digits that are
               plainly dates (19580329, 20240329120000, or Unix seconds
               under a header saying time) are read as dates, and said so.
               Cells are delimited by commas, semicolons (then 1,5 is one
               and a half) or tabs, as the first line shows; quoted cells
               may hold delimiters and doubled quotes. A blank line starts
               a new burst; an empty cell, NaN, NA, N/A, #N/A, null or - is
               a missing sample (the trace breaks there); inf is off the
               axis. Unevenly spaced or repeated times are drawn as they
               are, with a gap where a step is longer than three median
               intervals; rows newest first are turned round.
  a WAV file:  known by its header, whatever its name: PCM of 8, 16,
               24 or 32 bits or 32- or 64-bit float, any number of channels
               (named ch1, ch2, ...), scaled to full scale -1..1; also its
               large form RF64. The samples are read
               from the file as they are drawn, so any length fits.
  a raw file:  with --raw, interleaved samples and nothing else.

options
  -o, --output FILE   where to write the chart; .png writes a PNG image,
                      .bmp a bitmap, .emf an enhanced metafile. The file is
                      written under a temporary name and renamed when
                      complete, so an existing file is never left
                      half-written.
  --time-format FMT   the layout of the CSV's times, with the fields
                      %Y (2024) %y (24) %m (03) %d (29) %b (Mar) %B (March)
                      %j (day of the year) %H %M %S %f (parts of a second)
                      %p (AM/PM, with %H from 1 to 12) %z (+0200 or Z);
                      a space matches any blanks, other characters
                      themselves. Example: --time-format "%d.%m.%Y %H:%M"
  --rate HZ           the CSV has no time column: samples are 1/HZ s apart
  --time seconds      digits in the time column are seconds, never dates
  --header, --no-header
                      the first row names the channels, or is data
                      (default: a row of numbers alone is data)
  --delimiter C       the character between cells: , ; | ... or tab, or
                      space for runs of blanks (default: from the first line)
  --decimal . or ,    the decimal mark; the other mark may then separate
                      thousands (1.234,5)
  --missing A,B       more words for a missing value
  --skip-bad-lines    chart the rows that can be read and name each line
                      left out; without it the first bad line stops
  --raw ENCODING      the recording is raw interleaved samples, each one
                      int8, uint8, int16le, int16be, int32le, float32le or
                      float64le; give --rate HZ too
  --names a,b         the raw recording's channels, in the order of the
                      frame (their number is the channel count); default
                      one channel, ch1
  --scale K, --offset C
                      a raw sample stored as n means n*K+C (default 1 and 0)
  --xy X:Y            draw channel Y against channel X instead of against time
  --bars              draw one bar per sample instead of a connected trace
                      (evenly sampled recordings only)
  --log-y             logarithmic y axis (values of 0 or below are not drawn)
  --log-y a,b         logarithmic y axis in the panels of these channels only
  --panels MODE       auto: a plot for each unit the headers name, as in
                      temp (C) or p [hPa], when they differ, else one plot
                      (a 0/1 channel without a unit gets a short plot of its
                      own); one: one plot;
                      each: a plot for each channel; "a,b;c": the channels in
                      the groups given (others get a plot each). The plots
                      are stacked on one time axis.
  --xrange MIN:MAX    x axis range (seconds, dates such as
                      2024-03-01:2024-04-01, or X's units with --xy);
                      default: the whole recording
  --yrange MIN:MAX    y axis range of every plot; default: the data with a
                      5% margin
  --yrange NAME=MIN:MAX  the y range of the plot that holds channel NAME
  --size WxHin|WxHpx  size of the chart in inches (8x5in) or pixels
                      (1200x750px); default 960x600px
  --channels a,b      draw only these channels, in this order: by name, by
                      name without its unit, in any case when that is
                      unambiguous, or by column number (1 is the first
                      channel); "a,b" in double quotes is one name
  --markers           a square marker at every sample
  --cursor T          a crosshair at time T, in seconds or as a date (on the
                      first channel drawn)
  --picture FILE      a picture (BMP, JPEG, GIF, PNG) fitted into the plot
                      area behind the traces
  --title TEXT        the chart's title; default: the recording's file name
  --progress          show a progress bar on stderr while the traces are
                      drawn (shown anyway when stderr is a terminal)
  --every-sample      hand every sample to vorda's trace drivers instead of
                      drawing from the recording's summary (same pixels,
                      slower on long recordings)
  --no-cache          neither read nor keep the recording's summary in the
                      cache folder
  -v, --verbose       say how long each step took: summary, plan, draw, save
  -h, --help          this text

Exit status: 0 when the chart was written, 1 on any error (nothing is
written then), 2 for a wrong command line.

examples
  vorda-chart examples/bursts.csv -o out/bursts.png --size 8x5in
  vorda-chart logger.csv -o week.png --time-format "%d.%m.%Y %H:%M"
)";
}

}  // namespace chart
