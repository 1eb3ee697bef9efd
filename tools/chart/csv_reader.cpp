#include "csv_reader.h"

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

std::string_view Unquote(std::string_view s) {
  s = Trim(s);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Trim(s.substr(1, s.size() - 2));
  return s;
}

// Splits a row at commas; quoted cells may not hold commas of their own.
void SplitCells(std::string_view line, std::vector<std::string_view>* cells) {
  cells->clear();
  size_t start = 0;
  for (;;) {
    size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      cells->push_back(Unquote(line.substr(start)));
      return;
    }
    cells->push_back(Unquote(line.substr(start, comma - start)));
    start = comma + 1;
  }
}

enum class Cell { kNumber, kEmpty, kBad };

Cell ParseNumber(std::string_view s, double* value) {
  if (s.empty()) return Cell::kEmpty;
  if (s.front() == '+') s.remove_prefix(1);
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, *value);
  if (ec != std::errc() || ptr != end) return Cell::kBad;
  if (std::isnan(*value)) return Cell::kEmpty;
  if (std::isinf(*value)) return Cell::kBad;
  return Cell::kNumber;
}

class CsvParser {
 public:
  CsvParser(const std::string& name, const CsvOptions& options, Recording* out, ReadError* error)
      : name_(name), options_(options), out_(out), error_(error) {}

  bool Line(std::string_view line, long long number) {
    line_ = number;
    if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (Trim(line).empty()) {
      if (haveHeader_) EndBurst();
      return true;
    }
    return haveHeader_ ? Row(line) : Header(line);
  }

  bool Finish() {
    if (!haveHeader_) return Fail(name_ + " is empty: it needs a header row of channel names");
    EndBurst();
    if (out_->bursts.empty()) return Fail(name_ + " has a header but no samples");
    if (options_.rate > 0) {
      out_->sampleInc = 1.0 / options_.rate;
    } else if (spannedSteps_ > 0) {
      out_->sampleInc = spannedTime_ / static_cast<double>(spannedSteps_);
    } else {
      return Fail(name_ + ": no burst has two samples, so the sample interval is unknown (give --rate HZ for a file without a time column)");
    }
    if (options_.rate > 0) {
      for (Burst& b : out_->bursts) b.start = static_cast<double>(b.first) * out_->sampleInc;
    }
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

  bool Header(std::string_view line) {
    haveHeader_ = true;
    SplitCells(line, &cells_);
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
    SplitCells(line, &cells_);
    if (cells_.size() != headers_.size())
      return Fail(Where(0) + "expected " + std::to_string(headers_.size()) + " cells as in the header, found " + std::to_string(cells_.size()));
    if (out_->SampleCount() >= kMaxSamples)
      return Fail(Where(0) + "more than 2147483647 samples a channel");
    if (timeColumn_ && !Time()) return false;
    for (size_t i = timeColumn_; i < cells_.size(); ++i) {
      double v = 0;
      switch (ParseNumber(cells_[i], &v)) {
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

  // Checks the time of the row against the burst's start and interval.
  bool Time() {
    double t = 0;
    Cell kind = ParseNumber(cells_[0], &t);
    if (kind == Cell::kEmpty) return Fail(Where(1) + "the time is missing");
    if (kind == Cell::kBad) return Fail(Where(1) + "\"" + std::string(cells_[0]) + "\" is not a time in seconds");
    if (inBurst_ == 0) {
      if (haveLast_ && !(t > lastTime_))
        return Fail(Where(1) + "this burst starts at " + Format(t) + " s, not after the end of the one before (" + Format(lastTime_) + " s)");
      burstStart_ = t;
    } else {
      double step = t - lastTime_;
      if (!(step > 0)) return Fail(Where(1) + "times must increase within a burst (" + Format(t) + " s after " + Format(lastTime_) + " s)");
      if (interval_ == 0) interval_ = step;
      // Judged against the burst's start, so that rounding in the file
      // cannot add up and a skipped or doubled sample is always caught.
      double expected = burstStart_ + static_cast<double>(inBurst_) * interval_;
      if (std::fabs(t - expected) > kSpacingTolerance * interval_ &&
          std::fabs(step - interval_) > kSpacingTolerance * interval_)
        return Fail(Where(1) + "uneven sampling: " + Format(step) + " s after the sample before, but samples are " + Format(interval_) + " s apart (a blank line starts a new burst)");
    }
    lastTime_ = t;
    haveLast_ = true;
    return true;
  }

  void EndBurst() {
    if (inBurst_ == 0) return;
    Burst b;
    b.start = burstStart_;
    b.count = inBurst_;
    b.first = out_->SampleCount() - inBurst_;
    out_->bursts.push_back(b);
    if (timeColumn_ && inBurst_ > 1) {
      spannedTime_ += lastTime_ - burstStart_;
      spannedSteps_ += inBurst_ - 1;
    }
    inBurst_ = 0;
  }

  static std::string Format(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    return buffer;
  }

  const std::string& name_;
  const CsvOptions& options_;
  Recording* out_;
  ReadError* error_;
  long long line_ = 0;
  bool haveHeader_ = false;
  std::vector<std::string> headers_;
  std::vector<std::string_view> cells_;
  size_t timeColumn_ = 1;
  std::int64_t inBurst_ = 0;
  double burstStart_ = 0, lastTime_ = 0, interval_ = 0;
  bool haveLast_ = false;
  double spannedTime_ = 0;
  std::int64_t spannedSteps_ = 0;
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
