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

// Rows of up to this many cells may take the fast way.
constexpr size_t kFastColumns = 64;

const char kIsoForm[] =
    "an ISO 8601 date and time (YYYY-MM-DD, or YYYY-MM-DD hh:mm, hh:mm:ss or hh:mm:ss.fff, after T or a "
    "space, then Z or an offset such as +02:00 if the zone is known)";

class CsvParser {
 public:
  // Without `keepTimes` the parser only checks that the times are even,
  // which is what nearly every recording is, and keeps no array of them;
  // when they are not, it fails with again() true, and a second pass with
  // `keepTimes` reads every time.
  CsvParser(const std::string& name, const CsvOptions& options, bool keepTimes, Recording* out, ReadError* error)
      : name_(name), options_(options), out_(out), error_(error), keepTimes_(keepTimes) {
    if (!options.timeFormat.empty()) timeKind_ = TimeKind::kFormat;
  }

  // The size of the whole text, from which the first row foretells the
  // number of rows: the arrays are then made once instead of grown again
  // and again, which would cost more than reading the numbers.
  void ExpectBytes(std::uint64_t bytes) { expectedBytes_ = bytes; }

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

  // The samples are parsed into memory and served from there.
  bool Finish() {
    if (!FinishRows()) return false;
    out_->source = std::make_shared<recording::MemorySource>(std::move(columns_));
    return true;
  }

  bool again() const { return again_; }

 private:
  std::int64_t Rows() const { return columns_.empty() ? 0 : static_cast<std::int64_t>(columns_[0].size()); }

  bool FinishRows() {
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
    if (spacing_.steps() == 0)
      return Fail(name_ + ": no burst has two samples, so the sample interval is unknown (give --rate HZ for a file without a time column)");
    if (!keepTimes_) {
      if (!spacing_.even()) {
        again_ = true;
        return false;
      }
      out_->sampleInc = spacing_.Interval();
      return true;
    }
    SettleTimeBase(std::move(times_), kSpacingTolerance, out_);
    return true;
  }

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
    return Fail(Where(0) + "a quoted cell is not closed where it ends (quotes go around a whole cell, and a quoted cell cannot hold a line break)");
  }

  bool Header(std::string_view line) {
    haveHeader_ = true;
    dialect_ = DetectDialect(line);
    if (!Split(line)) return false;
    // Spreadsheets pad rows with empty columns on the right.
    while (cells_.size() > 1 && cells_.back().empty()) cells_.pop_back();
    for (std::string_view c : cells_) headers_.push_back(EightBitName(c));
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
    for (size_t i = timeColumn_; i < headers_.size(); ++i) {
      out_->channels.push_back({headers_[i]});
      columns_.emplace_back();
    }
    return true;
  }

  void Reserve(size_t lineLength) {
    std::uint64_t rows = expectedBytes_ / (lineLength + 1);
    rows += rows / 8 + 16;
    if (rows > static_cast<std::uint64_t>(kMaxSamples)) rows = static_cast<std::uint64_t>(kMaxSamples);
    for (std::vector<double>& c : columns_) c.reserve(static_cast<size_t>(rows));
    if (timeColumn_ && keepTimes_) times_.reserve(static_cast<size_t>(rows));
  }

  // The row of plain numbers that makes up nearly every file, read in one
  // pass without cutting it into cells first. Anything else (quotes,
  // blanks, empty cells, decimal commas, a bad cell) is left to Row, which
  // reads it the same way and has the words for every fault; false then,
  // with nothing stored.
  bool FastRow(std::string_view line) {
    const char* p = line.data();
    const char* end = p + line.size();
    if (end > p && end[-1] == '\r') --end;
    const char d = dialect_.delimiter;
    const size_t columns = headers_.size();
    if (dialect_.decimalComma || columns > kFastColumns || Rows() >= kMaxSamples) return false;
    double t = 0;
    if (timeColumn_) {
      if (timeKind_ == TimeKind::kSeconds) {
        const char* q = ReadNumber(p, end, &t);
        if (!q || q == end || *q != d || !std::isfinite(t)) return false;
        p = q + 1;
      } else if (timeKind_ == TimeKind::kIso) {
        const char* q = static_cast<const char*>(std::memchr(p, d, static_cast<size_t>(end - p)));
        ParsedTime parsed;
        if (!q || !ParseIsoTime(std::string_view(p, static_cast<size_t>(q - p)), &parsed, &dateCache_)) return false;
        t = parsed.seconds;
        zoneMissing_ |= !parsed.zoneGiven;
        p = q + 1;
      } else {
        return false;
      }
      if (haveTime_ && !(t > lastTime_)) return false;
    }
    double values[kFastColumns];
    for (size_t i = timeColumn_; i < columns; ++i) {
      double& v = values[i];
      const char* q = ReadNumber(p, end, &v);
      if (!q || !std::isfinite(v)) return false;
      if (i + 1 < columns) {
        if (q == end || *q != d) return false;
        p = q + 1;
      } else if (q != end) {
        return false;
      }
    }
    if (timeColumn_) Note(t);
    for (size_t i = timeColumn_; i < columns; ++i) columns_[i - timeColumn_].push_back(values[i]);
    ++inBurst_;
    return true;
  }

  bool Row(std::string_view line) {
    if (Rows() == 0) Reserve(line.size());
    else if (FastRow(line)) return true;
    if (!Split(line)) return false;
    size_t n = cells_.size();
    while (n > headers_.size() && cells_[n - 1].empty()) --n;
    if (n != headers_.size())
      return Fail(Where(0) + "expected " + std::to_string(headers_.size()) + " cells as in the header, found " + std::to_string(n));
    if (Rows() >= kMaxSamples)
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
      columns_[i - timeColumn_].push_back(v);
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
    if (haveTime_) {
      double last = lastTime_;
      if (inBurst_ == 0 && !(t > last))
        return Fail(Where(1) + "this burst starts at " + Show(t) + ", not after the end of the one before (" + Show(last) + ")");
      if (inBurst_ > 0 && !(t > last))
        return Fail(Where(1) + "times must increase within a burst (" + Show(t) + " after " + Show(last) + ")");
    }
    Note(t);
    return true;
  }

  void Note(double t) {
    if (inBurst_ == 0) burstStart_ = t;
    spacing_.Add(t, inBurst_ == 0);
    if (keepTimes_) times_.push_back(t);
    lastTime_ = t;
    haveTime_ = true;
  }

  void EndBurst() {
    if (inBurst_ == 0) return;
    Burst b;
    b.start = burstStart_;
    b.count = inBurst_;
    b.first = Rows() - inBurst_;
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
  const bool keepTimes_;
  bool again_ = false;
  EvenSpacing spacing_{kSpacingTolerance};
  double lastTime_ = 0, burstStart_ = 0;
  bool haveTime_ = false;
  IsoDateCache dateCache_;
  std::vector<double> times_;
  std::vector<std::vector<double>> columns_;
  std::uint64_t expectedBytes_ = 0;
};

// One pass over the text in memory.
bool ParseText(std::string_view text, const std::string& name, const CsvOptions& options, bool keepTimes,
               Recording* out, ReadError* error, bool* again) {
  *out = Recording{};
  CsvParser parser(name, options, keepTimes, out, error);
  parser.ExpectBytes(text.size());
  long long number = 0;
  bool ok = true;
  while (ok && !text.empty()) {
    size_t end = text.find('\n');
    ok = parser.Line(text.substr(0, end), ++number);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  ok = ok && parser.Finish();
  *again = parser.again();
  return ok;
}

// One pass over the file, read in large chunks with lines cut in place; a
// line that straddles two chunks is moved to the front of the buffer first.
bool ReadFile(const std::string& path, const std::string& name, const CsvOptions& options, bool keepTimes,
              Recording* out, ReadError* error, bool* again) {
  *out = Recording{};
  *again = false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    error->message = "cannot open " + name + " for reading";
    return false;
  }
  CsvParser parser(name, options, keepTimes, out, error);
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
#ifdef _WIN32
    long long size = _ftelli64(file.get());
#else
    long long size = ftello(file.get());
#endif
    if (size > 0) parser.ExpectBytes(static_cast<std::uint64_t>(size));
    std::fseek(file.get(), 0, SEEK_SET);
  }
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
  bool ok = parser.Finish();
  *again = parser.again();
  return ok;
}

}  // namespace

bool ParseCsv(std::string_view text, const std::string& name, const CsvOptions& options,
              Recording* out, ReadError* error) {
  bool again = false;
  if (ParseText(text, name, options, false, out, error, &again)) return true;
  return again && ParseText(text, name, options, true, out, error, &again);
}

bool ReadCsvFile(const std::string& path, const std::string& name, const CsvOptions& options,
                 Recording* out, ReadError* error) {
  bool again = false;
  if (ReadFile(path, name, options, false, out, error, &again)) return true;
  return again && ReadFile(path, name, options, true, out, error, &again);
}

}  // namespace chart
