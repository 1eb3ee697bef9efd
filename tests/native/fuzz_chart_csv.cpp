// The chart tool's CSV reader on any bytes, with or without a rate or a
// time layout, and with the choices of the command line (header or none,
// plain seconds, delimiter, decimal mark, missing words, bad lines
// skipped): it accepts or refuses with a message, never reads or writes
// out of bounds; what it accepts is a consistent recording (every channel
// as long as the bursts, bursts in order and covering the samples, times
// never falling within them), its notes say something, and the calendar
// ticks of its time span stay in the span, in order, one label each,
// never more than asked.
#include <string>
#include <string_view>

#include "calendar_ticks.h"
#include "csv_reader.h"
#include "fuzz_input.h"
#include "timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 3) return 0;
  const uint8_t mode = bytes[0];
  std::string_view text(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  chart::CsvOptions options(mode % 4 == 1 ? 25.0 : 0.0);
  std::string error;
  // The second byte chooses among the command line's other choices.
  const uint8_t choices = bytes[1];
  static const char kDelimiters[] = {0, ';', '\t', ' '};
  options.skipBadLines = choices & 1;
  options.timeSeconds = (choices & 2) && mode % 4 != 2;
  options.header = choices & 4 ? ((choices & 8) ? chart::CsvOptions::Header::kPresent
                                                : chart::CsvOptions::Header::kAbsent)
                               : chart::CsvOptions::Header::kGuess;
  options.delimiter = kDelimiters[choices >> 4 & 3];
  if (choices & 0x40) options.decimal = choices & 0x80 ? ',' : '.';
  else if (choices & 0x80) options.missing = {"-999", "x"};
  if (options.delimiter && options.delimiter == options.decimal) options.decimal = 0;
  text.remove_prefix(1);
  if (mode % 4 == 2) {
    // The layout is the first line; the file follows it.
    size_t nl = text.find('\n');
    if (nl == std::string_view::npos) return 0;
    if (!options.timeFormat.Compile(text.substr(0, nl), &error)) return 0;
    text.remove_prefix(nl + 1);
  }
  chart::Recording r;
  chart::ReadError e;
  if (!chart::ParseCsv(text, "f.csv", options, &r, &e)) {
    FUZZ_CHECK(!e.message.empty(), "refused without a message");
    return 0;
  }
  for (const std::string& note : r.notes) FUZZ_CHECK(!note.empty(), "an empty note");
  const std::int64_t n = r.SampleCount();
  FUZZ_CHECK(!r.channels.empty() && !r.bursts.empty() && n > 0, "accepted an empty recording");
  const auto& columns = static_cast<const recording::MemorySource&>(*r.source).Channels();
  FUZZ_CHECK(columns.size() == r.channels.size(), "%zu columns for %zu channels", columns.size(), r.channels.size());
  for (size_t i = 0; i < columns.size(); ++i)
    FUZZ_CHECK(static_cast<std::int64_t>(columns[i].size()) == n, "channel %s has %zu of %lld samples",
               r.channels[i].name.c_str(), columns[i].size(), static_cast<long long>(n));
  FUZZ_CHECK(!r.Uneven() || r.timeSource->FrameCount() == n, "%lld times for %lld samples",
             static_cast<long long>(r.timeSource->FrameCount()), static_cast<long long>(n));
  FUZZ_CHECK(r.sampleInc > 0 && std::isfinite(r.sampleInc), "sample interval %g", r.sampleInc);
  std::int64_t next = 0;
  double last = -1e300;
  for (const chart::Burst& b : r.bursts) {
    FUZZ_CHECK(b.first == next && b.count > 0, "burst at %lld of %lld", static_cast<long long>(b.first),
               static_cast<long long>(b.count));
    FUZZ_CHECK(b.start == chart::TimeOf(r, b, 0), "burst start");
    for (std::int64_t k = 0; k < b.count; ++k) {
      double t = chart::TimeOf(r, b, k);
      FUZZ_CHECK(std::isfinite(t) && (r.Uneven() ? t >= last : true), "time %g after %g", t, last);
      last = t;
    }
    next = b.first + b.count;
  }
  FUZZ_CHECK(next == n, "bursts cover %lld of %lld samples", static_cast<long long>(next), static_cast<long long>(n));

  chart::Range span{r.bursts.front().start, chart::BurstEnd(r, r.bursts.back())};
  const int count = 2 + mode / 4 % 12;
  chart::CalendarTicks ticks = chart::MakeCalendarTicks(span, count);
  FUZZ_CHECK(ticks.values.size() <= static_cast<size_t>(count), "%zu ticks, %d asked", ticks.values.size(), count);
  FUZZ_CHECK(ticks.labels.size() == ticks.values.size(), "%zu labels", ticks.labels.size());
  for (size_t i = 0; i < ticks.values.size(); ++i) {
    FUZZ_CHECK(ticks.values[i] >= span.lo && ticks.values[i] <= span.hi, "tick %g outside %g..%g", ticks.values[i],
               span.lo, span.hi);
    FUZZ_CHECK(i == 0 || ticks.values[i] > ticks.values[i - 1], "ticks out of order");
    FUZZ_CHECK(!ticks.labels[i].empty(), "empty label");
  }
  return 0;
}
