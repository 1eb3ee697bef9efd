#include "csv_reader.h"

#include "csv_dialect.h"
#include "timeline.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace chart {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// How the time column is written, decided by its first cell.
enum class TimeKind { kUnknown, kSeconds, kIso, kFormat };

const char kIsoForm[] =
    "an ISO 8601 date and time (YYYY-MM-DD, or YYYY-MM-DD hh:mm, hh:mm:ss or hh:mm:ss.fff, after T or a "
    "space, then Z or an offset such as +02:00 if the zone is known)";

class CsvParser {
 public:
  CsvParser(const std::string& name, const CsvOptions& options, Recording* out, ReadError* error)
      : name_(name), options_(options), out_(out), error_(error) {
    if (!options.timeFormat.empty()) timeKind_ = TimeKind::kFormat;
  }

  bool Line(std::string_view line, long long number) {
    line_ = number;
    if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    std::string_view trimmed = Trim(line);
    if (trimmed.empty()) {
      if (haveHeader_) EndBurst();
      return true;
    }
    if (!haveHeader_) return trimmed.front() == '#' || Header(line);
    return Row(line);
  }

  bool Finish() {
    if (!haveHeader_) return Fail(name_ + " is empty: it needs a header row of channel names");
    EndBurst();
    if (out_->bursts.empty()) return Fail(name_ + " has a header but no samples");
    if (options_.rate > 0) {
      out_->sampleInc = 1.0 / options_.rate;
      for (Burst& b : out_->bursts) b.start = static_cast<double>(b.first) * out_->sampleInc;
      return true;
    }
    out_->dated = timeKind_ != TimeKind::kSeconds;
    out_->zoneGiven = out_->dated && !zoneMissing_;
    if (!SettleTimeBase(std::move(times_), kSpacingTolerance, out_))
      return Fail(name_ + ": no burst has two samples, so the sample interval is unknown (give --rate HZ for a file without a time column)");
    return true;
  }

 private:
  bool Fail(std::string message) {
    error_->message = std::move(message);
    return false;
  }
  std::string Where(size_t column) const {
    std::string w = name_ + ", line " + std::to_string(line_);
    if (column > 0) {
      w += ", column " + std::to_string(column);
      if (column <= headers_.size() && !headers_[column - 1].empty())
        w += " (\"" + headers_[column - 1] + "\")";
    }
    return w + ": ";
  }

  bool Split(std::string_view line) {
    if (splitter_.Split(line, dialect_.delimiter, &cells_)) return true;
    return Fail(Where(0) + "a quote opened in this line is not closed (a quoted cell cannot hold a line break)");
  }

  bool Header(std::string_view line) {
    haveHeader_ = true;
    dialect_ = DetectDialect(line);
    if (!Split(line)) return false;
    // Spreadsheets pad rows with empty columns on the right.
    while (cells_.size() > 1 && cells_.back().empty()) cells_.pop_back();
    for (std::string_view c : cells_) headers_.emplace_back(c);
    timeColumn_ = options_.rate > 0 ? 0 : 1;
    if (headers_.size() <= timeColumn_)
      return Fail(Where(0) + "the header names no channel (the first column is time; give --rate HZ if the file has no time column)");
    for (size_t i = 0; i < headers_.size(); ++i) {
      if (headers_[i].empty()) {
        if (i < timeColumn_) continue;
        return Fail(Where(i + 1) + "the header gives this column no name");
      }
      for (size_t j = timeColumn_; j < i; ++j)
        if (headers_[j] == headers_[i])
          return Fail(Where(i + 1) + "the name \"" + headers_[i] + "\" is already used by column " + std::to_string(j + 1));
    }
    if (timeColumn_) out_->timeName = headers_[0];
    for (size_t i = timeColumn_; i < headers_.size(); ++i) out_->channels.push_back({headers_[i], {}});
    return true;
  }

  bool Row(std::string_view line) {
    if (!Split(line)) return false;
    size_t n = cells_.size();
    while (n > headers_.size() && cells_[n - 1].empty()) --n;
    if (n != headers_.size())
      return Fail(Where(0) + "expected " + std::to_string(headers_.size()) + " cells as in the header, found " + std::to_string(n));
    if (out_->SampleCount() >= kMaxSamples)
      return Fail(Where(0) + "more than 2147483647 samples a channel");
    if (timeColumn_ && !Time()) return false;
    for (size_t i = timeColumn_; i < n; ++i) {
      double v = 0;
      switch (ParseNumber(cells_[i], dialect_, &v)) {
        case Cell::kNumber: break;
        case Cell::kEmpty: v = kMissingSample; break;
        case Cell::kBad:
          return Fail(Where(i + 1) + "\"" + std::string(cells_[i]) + "\" is not a number");
      }
      out_->channels[i - timeColumn_].samples.push_back(v);
    }
    ++inBurst_;
    return true;
  }

  // Reads the row's time in the column's way and checks that it follows
  // the time before.
  bool Time() {
    std::string_view cell = cells_[0];
    if (cell.empty()) return Fail(Where(1) + "the time is missing");
    double t = 0;
    ParsedTime parsed;
    if (timeKind_ == TimeKind::kUnknown) {
      // The first row decides: a number is seconds, anything else a date.
      Cell kind = ParseNumber(cell, dialect_, &t);
      if (kind == Cell::kNumber) timeKind_ = TimeKind::kSeconds;
      else if (ParseIsoTime(cell, &parsed)) timeKind_ = TimeKind::kIso;
      else
        return Fail(Where(1) + "\"" + std::string(cell) + "\" is not a time: give seconds, " + kIsoForm +
                    ", or the layout of the times with --time-format");
    }
    switch (timeKind_) {
      case TimeKind::kSeconds: {
        if (ParseNumber(cell, dialect_, &t) != Cell::kNumber)
          return Fail(Where(1) + "\"" + std::string(cell) + "\" is not a time in seconds");
        break;
      }
      case TimeKind::kIso:
        if (!ParseIsoTime(cell, &parsed))
          return Fail(Where(1) + "\"" + std::string(cell) + "\" is not " + kIsoForm);
        t = parsed.seconds;
        zoneMissing_ |= !parsed.zoneGiven;
        break;
      case TimeKind::kFormat:
        if (!options_.timeFormat.Parse(cell, &parsed))
          return Fail(Where(1) + "\"" + std::string(cell) + "\" does not match --time-format " +
                      options_.timeFormat.text());
        t = parsed.seconds;
        zoneMissing_ |= !parsed.zoneGiven;
        break;
      case TimeKind::kUnknown:
        break;
    }
    if (!times_.empty()) {
      double last = times_.back();
      if (inBurst_ == 0 && !(t > last))
        return Fail(Where(1) + "this burst starts at " + Show(t) + ", not after the end of the one before (" + Show(last) + ")");
      if (inBurst_ > 0 && !(t > last))
        return Fail(Where(1) + "times must increase within a burst (" + Show(t) + " after " + Show(last) + ")");
    }
    times_.push_back(t);
    return true;
  }

  void EndBurst() {
    if (inBurst_ == 0) return;
    Burst b;
    b.count = inBurst_;
    b.first = out_->SampleCount() - inBurst_;
    out_->bursts.push_back(b);
    inBurst_ = 0;
  }

  std::string Show(double t) const {
    if (timeKind_ != TimeKind::kSeconds) return FormatIsoTime(t) + " UTC";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g s", t);
    return buffer;
  }

  const std::string& name_;
  const CsvOptions& options_;
  Recording* out_;
  ReadError* error_;
  long long line_ = 0;
  bool haveHeader_ = false;
  CsvDialect dialect_;
  CellSplitter splitter_;
  std::vector<std::string> headers_;
  std::vector<std::string_view> cells_;
  size_t timeColumn_ = 1;
  std::int64_t inBurst_ = 0;
  TimeKind timeKind_ = TimeKind::kUnknown;
  bool zoneMissing_ = false;
  std::vector<double> times_;
};

}  // namespace

bool ParseCsv(std::string_view text, const std::string& name, const CsvOptions& options,
              Recording* out, ReadError* error) {
  *out = Recording{};
  CsvParser parser(name, options, out, error);
  long long number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!parser.Line(line, ++number)) return false;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parser.Finish();
}

bool ReadCsvFile(const std::string& path, const std::string& name, const CsvOptions& options,
                 Recording* out, ReadError* error) {
  *out = Recording{};
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    error->message = "cannot open " + name + " for reading";
    return false;
  }
  CsvParser parser(name, options, out, error);
  // Read in large chunks and cut lines in place; a line that straddles two
  // chunks is moved to the front of the buffer first.
  std::vector<char> buffer(1 << 20);
  size_t held = 0;
  long long number = 0;
  for (;;) {
    if (held == buffer.size()) buffer.resize(buffer.size() * 2);
    size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, file.get());
    if (got == 0 && std::ferror(file.get())) {
      error->message = "cannot read " + name;
      return false;
    }
    bool last = got == 0;
    held += got;
    size_t start = 0;
    for (;;) {
      const char* begin = buffer.data() + start;
      const void* nl = std::memchr(begin, '\n', held - start);
      if (!nl) break;
      size_t length = static_cast<const char*>(nl) - begin;
      if (!parser.Line(std::string_view(begin, length), ++number)) return false;
      start += length + 1;
    }
    if (last) {
      if (held > start && !parser.Line(std::string_view(buffer.data() + start, held - start), ++number))
        return false;
      break;
    }
    std::memmove(buffer.data(), buffer.data() + start, held - start);
    held -= start;
  }
  return parser.Finish();
}

}  // namespace chart
