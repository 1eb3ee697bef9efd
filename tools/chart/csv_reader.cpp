#include "csv_reader.h"

#include "csv_dialect.h"
#include "decimal_number.h"
#include "frame_store.h"
#include "timeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace chart {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// How the time column is written, decided by its first cell.
enum class TimeKind { kUnknown, kSeconds, kIso, kFormat, kDigits };

const char kIsoForm[] =
    "an ISO 8601 date and time (YYYY-MM-DD, or YYYY-MM-DD hh:mm, hh:mm:ss or hh:mm:ss.fff, after T or a "
    "space, then Z or an offset such as +02:00 if the zone is known)";

bool IsComment(std::string_view trimmed) {
  if (trimmed.empty() || trimmed.front() != '#') return false;
  // "#N/A" is a spreadsheet's missing value, not a comment.
  std::string_view head = trimmed.substr(0, 4);
  return !(head.size() == 4 && (head[1] == 'N' || head[1] == 'n') && head[2] == '/' && (head[3] == 'A' || head[3] == 'a'));
}

std::string Quoted(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& n : names) list += (list.empty() ? "\"" : ", \"") + n + "\"";
  return list;
}

// Where a row went wrong: its column (0: the whole line) and why.
struct RowFault {
  size_t column = 0;
  std::string why;
};

class CsvParser {
 public:
  // Without `keepTimes` the parser only checks that the times are even,
  // which is what nearly every recording is, and keeps no array of them;
  // when they are not (or repeat, or run newest first), it fails with
  // again() true, and a second pass with `keepTimes` reads every time.
  // With `spill` the values go to a temporary file, read back in place.
  CsvParser(const std::string& name, const CsvOptions& options, bool keepTimes, bool spill, Recording* out,
            ReadError* error)
      : name_(name), options_(options), out_(out), error_(error), keepTimes_(keepTimes), spill_(spill) {
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
      if (started_) EndBurst();
      return true;
    }
    if (IsComment(trimmed)) return true;
    if (!started_) return First(line);
    return Row(line);
  }

  bool Finish() {
    if (!FinishRows()) return false;
    return store_->Finish(turned_, &out_->source, &error_->message) ||
           Fail(name_ + ": " + error_->message);
  }

  bool again() const { return again_; }

 private:
  std::int64_t Rows() const { return store_ ? store_->frames() : 0; }

  bool FinishRows() {
    if (!started_) return Fail(name_ + " is empty: it needs a header row of channel names");
    EndBurst();
    if (skipped_ > kNamedBadLines)
      out_->notes.push_back(name_ + ": " + std::to_string(skipped_ - kNamedBadLines) + " more bad lines skipped (" +
                            std::to_string(skipped_) + " in all)");
    if (out_->bursts.empty()) return Fail(name_ + " has a header but no samples");
    if (options_.rate > 0) {
      out_->sampleInc = 1.0 / options_.rate;
      for (Burst& b : out_->bursts) b.start = static_cast<double>(b.first) * out_->sampleInc;
      return true;
    }
    out_->dated = timeKind_ != TimeKind::kSeconds || unixTime_;
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
    if (direction_ < 0) {
      TurnRound();
      out_->notes.push_back(name_ + ": the rows run newest first; they are drawn oldest first");
    }
    if (!SettleTimeBase(std::move(times_), kSpacingTolerance, out_))
      return Fail(name_ + ": the times never advance, so the sample interval is unknown");
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
      if (!namedByColumn_ && column <= headers_.size() && !headers_[column - 1].empty())
        w += " (\"" + headers_[column - 1] + "\")";
    }
    return w + ": ";
  }

  // A row that cannot be read: the end of reading, or with
  // --skip-bad-lines a note and the next row.
  bool Bad(const RowFault& fault) {
    std::string message = Where(fault.column) + fault.why;
    if (!options_.skipBadLines) return Fail(std::move(message));
    if (++skipped_ <= kNamedBadLines) out_->notes.push_back(message + "; line skipped");
    return true;
  }

  // ---- What the text says: rules that store nothing.

  // The first line that is neither blank nor a comment: it sets the
  // dialect, and is the header or, when it holds only numbers, data.
  bool First(std::string_view line) {
    started_ = true;
    dialect_ = DetectDialect(line);
    if (options_.delimiter) {
      dialect_.delimiter = options_.delimiter;
      dialect_.decimalComma = options_.delimiter == ';';
    }
    if (options_.decimal) {
      dialect_.decimalComma = options_.decimal == ',';
      dialect_.decimalGiven = true;
    }
    dialect_.missing = options_.missing;
    timeColumn_ = options_.rate > 0 ? 0 : 1;
    if (!splitter_.Split(line, dialect_.delimiter, &cells_))
      return Fail(Where(0) + "a quoted cell is not closed where it ends (quotes go around a whole cell, and a quoted cell cannot hold a line break)");
    // Spreadsheets pad rows with empty columns on the right.
    while (cells_.size() > 1 && cells_.back().empty()) cells_.pop_back();
    bool data = options_.header == CsvOptions::Header::kAbsent ||
                (options_.header == CsvOptions::Header::kGuess && RowIsData());
    if (!data) return Header();
    if (cells_.size() <= timeColumn_)
      return Fail(Where(0) + "the first row holds one column, the time, and no channel (give --rate HZ if the file has no time column)");
    namedByColumn_ = true;
    for (size_t i = 0; i < cells_.size(); ++i) headers_.push_back("column " + std::to_string(i + 1));
    for (size_t i = timeColumn_; i < headers_.size(); ++i) out_->channels.push_back({headers_[i]});
    MakeStore();
    out_->notes.push_back(name_ + ": the first row holds only numbers, so it is read as data and the channels are "
                          "named by their columns (\"" + headers_[timeColumn_] + "\", ...); give --header if it names them");
    return Row(line);
  }

  // Whether the first row, split into cells_, is data: numbers after a
  // time (or, with a rate, numbers throughout).
  bool RowIsData() const {
    if (!CellsAreNumbers(cells_, timeColumn_, dialect_)) return false;
    if (timeColumn_ == 0) return true;
    std::string_view first = cells_[0];
    ParsedTime parsed;
    double t = 0;
    if (timeKind_ == TimeKind::kFormat) return options_.timeFormat.Parse(first, &parsed);
    return (ParseNumber(first, dialect_, &t) == Cell::kNumber && std::isfinite(t)) || ParseIsoTime(first, &parsed);
  }

  bool Header() {
    std::vector<std::string> unshown, renamed;
    for (std::string_view c : cells_) {
      bool changed = false;
      headers_.push_back(EightBitName(c, &changed));
      if (changed) unshown.push_back(headers_.back());
    }
    if (headers_.size() <= timeColumn_)
      return Fail(Where(0) + "the header names no channel (the first column is time; give --rate HZ if the file has no time column)");
    for (size_t i = 0; i < headers_.size(); ++i) {
      if (headers_[i].empty()) {
        if (i < timeColumn_) continue;
        return Fail(Where(i + 1) + "the header gives this column no name");
      }
      if (i < timeColumn_ || !NameTaken(headers_[i], i)) continue;
      // The second "flow" becomes "flow (2)", the third "flow (3)".
      std::string base = headers_[i];
      for (int k = 2;; ++k) {
        headers_[i] = base + " (" + std::to_string(k) + ")";
        if (!NameTaken(headers_[i], i)) break;
      }
      renamed.push_back(headers_[i]);
    }
    if (!renamed.empty())
      out_->notes.push_back(name_ + ": the header names some columns alike; they are drawn as " + Quoted(renamed));
    if (!unshown.empty())
      out_->notes.push_back(name_ + ": the chart's text cannot show some characters of " + Quoted(unshown) +
                            "; they are drawn as \"?\"");
    if (timeColumn_) out_->timeName = headers_[0];
    for (size_t i = timeColumn_; i < headers_.size(); ++i) out_->channels.push_back({headers_[i]});
    MakeStore();
    return true;
  }

  void MakeStore() { store_ = std::make_unique<FrameStore>(static_cast<int>(out_->channels.size()), spill_); }

  bool NameTaken(const std::string& name, size_t before) const {
    for (size_t j = timeColumn_; j < before; ++j)
      if (headers_[j] == name) return true;
    return false;
  }

  // Decides from the first time how the column is written, and says so
  // when digits are taken for dates.
  bool SettleTimeKind(std::string_view cell, RowFault* fault) {
    double t = 0;
    ParsedTime parsed;
    if (ParseNumber(cell, dialect_, &t) == Cell::kNumber) {
      timeKind_ = TimeKind::kSeconds;
      DigitTime guess = options_.timeSeconds ? DigitTime::kNone : GuessDigitTime(cell, out_->timeName);
      if (guess == DigitTime::kNone) return true;
      std::string column = namedByColumn_ ? "the first column" : "the first column (\"" + headers_[0] + "\")";
      if (guess == DigitTime::kUnix) {
        unixTime_ = true;
        out_->notes.push_back(name_ + ": " + column + " holds " + DigitTimeLayout(guess) + ", such as " +
                              std::string(cell) + ", and is read as dates; give --time seconds to read plain seconds");
      } else {
        timeKind_ = TimeKind::kDigits;
        digitTime_ = guess;
        out_->notes.push_back(name_ + ": " + column + " holds dates written " + DigitTimeLayout(guess) + ", such as " +
                              std::string(cell) + ", and is read so; give --time seconds if they are seconds, or "
                              "--time-format for another layout");
      }
      return true;
    }
    if (ParseIsoTime(cell, &parsed)) {
      timeKind_ = TimeKind::kIso;
      return true;
    }
    fault->column = 1;
    fault->why = "\"" + std::string(cell) + "\" is not a time: give seconds, " + kIsoForm +
                 ", or the layout of the times with --time-format";
    return false;
  }

  bool ReadTime(std::string_view cell, double* t, bool* zoneMissing, RowFault* fault) {
    double v = 0;
    if (cell.empty() || (ParseNumber(cell, dialect_, &v) == Cell::kEmpty && timeKind_ != TimeKind::kFormat)) {
      *fault = {1, "the time is missing"};
      return false;
    }
    if (timeKind_ == TimeKind::kUnknown && !SettleTimeKind(cell, fault)) return false;
    ParsedTime parsed;
    fault->column = 1;
    switch (timeKind_) {
      case TimeKind::kSeconds:
        if (ParseNumber(cell, dialect_, t) == Cell::kNumber && std::isfinite(*t)) return true;
        fault->why = "\"" + std::string(cell) + "\" is not a time in seconds";
        return false;
      case TimeKind::kDigits:
        if (ParseDigitTime(cell, digitTime_, t)) return true;
        fault->why = "\"" + std::string(cell) + "\" is not a date written " + DigitTimeLayout(digitTime_) +
                     " as the first times are (give --time seconds if the times are seconds)";
        return false;
      case TimeKind::kIso:
        if (!ParseIsoTime(cell, &parsed)) {
          fault->why = "\"" + std::string(cell) + "\" is not " + kIsoForm;
          return false;
        }
        break;
      case TimeKind::kFormat:
        if (!options_.timeFormat.Parse(cell, &parsed)) {
          fault->why = "\"" + std::string(cell) + "\" does not match --time-format " + options_.timeFormat.text();
          return false;
        }
        break;
      case TimeKind::kUnknown:
        return false;
    }
    *t = parsed.seconds;
    *zoneMissing = !parsed.zoneGiven;
    return true;
  }

  // Whether time t may follow the times before: rows run oldest first or
  // newest first, as the first two different times say, and may repeat a
  // time. `direction` is the file's order once this row is in.
  bool InOrder(double t, int* direction, RowFault* fault) const {
    *direction = direction_;
    if (!haveTime_ || t == lastTime_) return true;
    if (direction_ >= 0 && t > lastTime_) {
      *direction = 1;
      return true;
    }
    if (direction_ <= 0 && t < lastTime_) {
      *direction = -1;
      return true;
    }
    fault->column = 1;
    if (direction_ < 0)
      fault->why = "the rows run newest first, but this time comes after the one before (" + Show(t) + " after " +
                   Show(lastTime_) + ")";
    else if (inBurst_ == 0)
      fault->why = "this burst starts at " + Show(t) + ", before the end of the one before (" + Show(lastTime_) + ")";
    else
      fault->why = "times must increase within a burst (" + Show(t) + " after " + Show(lastTime_) + ")";
    return false;
  }

  // Reads one row into rowTime_ and values_, or says what is wrong with it.
  bool ReadRow(std::string_view line, RowFault* fault) {
    if (!splitter_.Split(line, dialect_.delimiter, &cells_)) {
      *fault = {0, "a quoted cell is not closed where it ends (quotes go around a whole cell, and a quoted cell cannot hold a line break)"};
      return false;
    }
    size_t n = cells_.size();
    while (n > headers_.size() && cells_[n - 1].empty()) --n;
    if (n != headers_.size()) {
      *fault = {0, "expected " + std::to_string(headers_.size()) + " cells as in the header, found " + std::to_string(n)};
      return false;
    }
    rowZoneMissing_ = false;
    if (timeColumn_ && (!ReadTime(cells_[0], &rowTime_, &rowZoneMissing_, fault) ||
                        !InOrder(rowTime_, &rowDirection_, fault)))
      return false;
    values_.clear();
    for (size_t i = timeColumn_; i < n; ++i) {
      double v = 0;
      switch (ParseNumber(cells_[i], dialect_, &v)) {
        case Cell::kNumber: break;
        case Cell::kEmpty: v = kMissingSample; break;
        case Cell::kBad: {
          std::string_view c = cells_[i];
          bool bothMarks = c.find('.') != std::string_view::npos && c.find(',') != std::string_view::npos;
          *fault = {i + 1, "\"" + std::string(c) + "\" is not a number" +
                               (bothMarks && !dialect_.decimalGiven && !dialect_.decimalComma
                                    ? std::string(" (give --decimal , or --decimal . to say which mark is the decimal one)")
                                    : std::string())};
          return false;
        }
      }
      values_.push_back(v);
    }
    return true;
  }

  // ---- Where the values go.

  bool Row(std::string_view line) {
    if (Rows() == 0) Reserve(line.size());
    if (Rows() >= kMaxSamples)
      return Fail(Where(0) + "more than 2147483647 samples a channel");
    RowFault fault;
    if (!ReadRow(line, &fault)) return Bad(fault);
    if (timeColumn_) {
      repeats_ |= haveTime_ && rowTime_ == lastTime_;
      direction_ = rowDirection_;
      zoneMissing_ |= rowZoneMissing_;
      Note(rowTime_);
    }
    std::copy(values_.begin(), values_.end(), store_->Next());
    store_->Commit();
    ++inBurst_;
    if (!keepTimes_ && (repeats_ || direction_ < 0)) {
      // Only every time, kept, can draw these: read again with them.
      again_ = true;
      return false;
    }
    return true;
  }

  void Reserve(size_t lineLength) {
    std::uint64_t rows = expectedBytes_ / (lineLength + 1);
    rows += rows / 8 + 16;
    if (rows > static_cast<std::uint64_t>(kMaxSamples)) rows = static_cast<std::uint64_t>(kMaxSamples);
    store_->Expect(rows);
    if (timeColumn_ && keepTimes_) times_.reserve(static_cast<size_t>(rows));
  }

 public:
  // The rows of plain numbers that make up nearly every file, read from
  // [p, end) one after another, each straight into its frame without
  // being cut into cells or looked at twice: returns where the first row
  // it leaves begins. It leaves anything else (quotes, blanks, empty
  // cells, decimal commas, comments, a bad cell, a time out of the plain
  // order, a row not ended within the text) to Line, which reads it the
  // same way and has the words for every fault.
  const char* FastRows(const char* p, const char* end, long long* number) {
    const size_t columns = headers_.size();
    const char d = dialect_.delimiter;
    if (!started_ || Rows() == 0 || dialect_.decimalComma || d == ' ' || !dialect_.missing.empty() ||
        direction_ < 0 || columns <= timeColumn_ ||
        (timeColumn_ && timeKind_ != TimeKind::kSeconds && timeKind_ != TimeKind::kIso))
      return p;
    // Both within 2^31 rows, so in 32 bits, which a 32-bit build keeps in
    // one register each.
    const std::int32_t room = static_cast<std::int32_t>(kMaxSamples - Rows());
    // Rows are read only up to the last line break, which stops every
    // number before it: the numbers need not look out for the end.
    while (end > p && end[-1] != '\n') --end;
    // Rows are counted in a local: a store through `number` might change
    // any 64-bit member, which the compiler would then read again each row.
    std::int32_t rows = 0;
    while (rows < room && p < end) {
      // Values go straight to their frame, which only Commit keeps.
      double* frame = store_->Next();
      const char* q = p;
      double t = 0;
      if (timeColumn_) {
        if (timeKind_ == TimeKind::kSeconds) {
          q = ReadCell(q, end, &t);
        } else {
          const char* cell = q;
          q = static_cast<const char*>(std::memchr(q, d, static_cast<size_t>(end - q)));
          ParsedTime parsed;
          if (!q || !ParseIsoTime(std::string_view(cell, static_cast<size_t>(q - cell)), &parsed, &dateCache_) ||
              (!parsed.zoneGiven && !zoneMissing_))
            break;
          t = parsed.seconds;
        }
        if (!q || *q != d || (haveTime_ && !(t > lastTime_))) break;
        ++q;
      }
      size_t i = timeColumn_;
      for (;; ++q) {
        q = ReadCell(q, end, &frame[i - timeColumn_]);
        if (!q || ++i == columns || *q != d) break;
      }
      // No cell reads past the last line break: q stays before `end`.
      if (!q || i != columns) break;
      if (*q == '\r') ++q;
      if (*q != '\n') break;
      if (timeColumn_) {
        if (haveTime_) direction_ = 1;
        Note(t);
      }
      store_->Commit();
      ++inBurst_;
      ++rows;
      p = q + 1;
    }
    if (rows > 0) line_ = *number += rows;
    return p;
  }

  // One number cell of a plain row, ended by its line break before `end`:
  // nullptr for anything the general way must judge, an infinity among them.
  CHART_EVERY_CELL static const char* ReadCell(const char* p, const char* end, double* v) {
    if (const char* q = ReadDecimalEnded(p, end, v)) return q;
    const char* q = ReadNumber(p, end, v);
    return q && std::isfinite(*v) ? q : nullptr;
  }

 private:
  CHART_EVERY_CELL void Note(double t) {
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

  // Rows read newest first, made oldest first: samples, times and bursts.
  void TurnRound() {
    turned_ = true;
    std::reverse(times_.begin(), times_.end());
    std::reverse(out_->bursts.begin(), out_->bursts.end());
    const std::int64_t n = Rows();
    for (Burst& b : out_->bursts) b.first = n - b.first - b.count;
  }

  std::string Show(double t) const {
    if (timeKind_ != TimeKind::kSeconds || unixTime_) return FormatIsoTime(t) + " UTC";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g s", t);
    return buffer;
  }

  const std::string& name_;
  const CsvOptions& options_;
  Recording* out_;
  ReadError* error_;
  long long line_ = 0;
  bool started_ = false;
  bool namedByColumn_ = false;
  CsvDialect dialect_;
  CellSplitter splitter_;
  std::vector<std::string> headers_;
  std::vector<std::string_view> cells_;
  size_t timeColumn_ = 1;
  std::int64_t inBurst_ = 0;
  TimeKind timeKind_ = TimeKind::kUnknown;
  DigitTime digitTime_ = DigitTime::kNone;
  bool unixTime_ = false;
  bool zoneMissing_ = false;
  const bool keepTimes_;
  bool again_ = false;
  EvenSpacing spacing_{kSpacingTolerance};
  double lastTime_ = 0, burstStart_ = 0;
  bool haveTime_ = false;
  int direction_ = 0;  // 1: oldest first, -1: newest first, 0: not yet known
  bool repeats_ = false;
  long long skipped_ = 0;
  // The row being read, before it is stored.
  double rowTime_ = 0;
  int rowDirection_ = 0;
  bool rowZoneMissing_ = false;
  std::vector<double> values_;
  IsoDateCache dateCache_;
  std::vector<double> times_;
  const bool spill_;
  std::unique_ptr<FrameStore> store_;  // made once the channels are known
  bool turned_ = false;  // the samples are to be read last first
  std::uint64_t expectedBytes_ = 0;
};

// Reads the lines of [begin, end): the plain rows the fast way, any other
// line by Line. A line not ended within the text is left for the next
// chunk (its start in *stop), unless `last`. False when a line fails.
bool Lines(CsvParser* parser, const char* begin, const char* end, bool last, long long* number,
           const char** stop) {
  const char* p = begin;
  for (;;) {
    p = parser->FastRows(p, end, number);
    const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
    if (!nl) break;
    const char* lineEnd = static_cast<const char*>(nl);
    if (!parser->Line(std::string_view(p, static_cast<size_t>(lineEnd - p)), ++*number)) return false;
    p = lineEnd + 1;
  }
  if (last && p < end) {
    if (!parser->Line(std::string_view(p, static_cast<size_t>(end - p)), ++*number)) return false;
    p = end;
  }
  *stop = p;
  return true;
}

// One pass over the text in memory.
bool ParseText(std::string_view text, const std::string& name, const CsvOptions& options, bool keepTimes,
               Recording* out, ReadError* error, bool* again) {
  *out = Recording{};
  CsvParser parser(name, options, keepTimes, false, out, error);
  parser.ExpectBytes(text.size());
  long long number = 0;
  const char* stop = nullptr;
  bool ok = Lines(&parser, text.data(), text.data() + text.size(), true, &number, &stop) && parser.Finish();
  *again = parser.again();
  return ok;
}

// One pass over a file or a stream, read in chunks of a mebibyte with
// lines cut in place; a line that straddles two chunks is moved to the
// front of the buffer first, which grows only for a line longer than it.
bool ReadStream(FILE* file, const std::string& name, const CsvOptions& options, bool keepTimes,
                std::uint64_t expectedBytes, Recording* out, ReadError* error, bool* again) {
  *out = Recording{};
  *again = false;
  CsvParser parser(name, options, keepTimes, true, out, error);
  if (expectedBytes > 0) parser.ExpectBytes(expectedBytes);
  std::vector<char> buffer(1 << 20);
  size_t held = 0;
  long long number = 0;
  for (;;) {
    if (held == buffer.size()) buffer.resize(buffer.size() * 2);
    size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, file);
    if (got == 0 && std::ferror(file)) {
      error->message = "cannot read " + name;
      return false;
    }
    bool last = got == 0;
    held += got;
    const char* stop = nullptr;
    if (!Lines(&parser, buffer.data(), buffer.data() + held, last, &number, &stop)) {
      *again = parser.again();
      return false;
    }
    if (last) break;
    size_t start = static_cast<size_t>(stop - buffer.data());
    std::memmove(buffer.data(), buffer.data() + start, held - start);
    held -= start;
  }
  bool ok = parser.Finish();
  *again = parser.again();
  return ok;
}

bool ReadFile(const std::string& path, const std::string& name, const CsvOptions& options, bool keepTimes,
              Recording* out, ReadError* error, bool* again) {
  *again = false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *out = Recording{};
    error->message = "cannot open " + name + " for reading";
    return false;
  }
  long long size = 0;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
#ifdef _WIN32
    size = _ftelli64(file.get());
#else
    size = ftello(file.get());
#endif
    std::fseek(file.get(), 0, SEEK_SET);
  }
  return ReadStream(file.get(), name, options, keepTimes, size > 0 ? static_cast<std::uint64_t>(size) : 0, out,
                    error, again);
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
  if (path == "-") {
    // Standard input cannot be read twice, and is not held: its one pass
    // keeps every time, which the second pass of a file is for.
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return ReadStream(stdin, name, options, true, 0, out, error, &again);
  }
  if (ReadFile(path, name, options, false, out, error, &again)) return true;
  return again && ReadFile(path, name, options, true, out, error, &again);
}

}  // namespace chart
