// The chart tool's CSV reader on a recording of 10,000,000 rows (a time
// column and two channels, sampled every millisecond), once with the times
// in seconds and once as ISO 8601 dates and times, the same values in both:
// MB/s and rows/s side by side, the plain read of the file's bytes (the
// same 1 MB chunks, nothing done with them) as the platform's share, the
// reader's time as a multiple of it, the peak working set of the process,
// and how much slower the dates make it. Not a test.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chunked_file.h"
#include "csv_reader.h"
#include "timer.h"

namespace {

constexpr int kRows = 10000000;

std::string TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

// Times from 2024-03-29 12:00:00 UTC (1711713600 s), one a millisecond.
bool Write(const std::string& path, bool dated) {
  bench::ChunkedFile f(path);
  if (!f.ok()) return false;
  f.Append("time,a,b\n");
  char cell[96];
  for (int i = 0; i < kRows; ++i) {
    char* end = cell;
    if (dated) {
      int ms = i % 1000, s = i / 1000;  // 10,000 s: all on one day
      end += std::snprintf(cell, 40, "2024-03-29T%02d:%02d:%02d.%03dZ", 12 + s / 3600, s / 60 % 60, s % 60, ms);
    } else {
      end = std::to_chars(cell, cell + 40, 1711713600 + i / 1000.0, std::chars_format::fixed, 3).ptr;
    }
    *end++ = ',';
    end = std::to_chars(end, cell + 96, std::sin(i * 0.001), std::chars_format::fixed, 5).ptr;
    *end++ = ',';
    end = std::to_chars(end, cell + 96, (i % 977) * 0.25, std::chars_format::fixed, 2).ptr;
    *end++ = '\n';
    f.Append(cell, end);
  }
  return f.Close();
}

// Writes the file's bytes to the disk before anything is timed: written
// back meanwhile, they would fall into the timings as work the reader
// never did.
bool Settle(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = FlushFileBuffers(h) != 0;
  CloseHandle(h);
  return ok;
}

double FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return 0;
  return static_cast<double>((static_cast<unsigned long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
}

// The best of three, as for the reader: the file is then in the cache for
// both, and the ratio is of the work done on the bytes, not of the disk.
double RawRead(const std::string& path) {
  return bench::Best(3, [&] {
    FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<char> chunk(1 << 20);
    while (f && std::fread(chunk.data(), 1, chunk.size(), f) > 0) {
    }
    if (f) std::fclose(f);
  });
}

// The best of three reads, so that a neighbour's burst of work on the
// machine does not decide the figure.
double Read(const std::string& path, long long* samples) {
  bool ok = true;
  double best = bench::Best(3, [&] {
    chart::Recording r;
    chart::ReadError e;
    if (!chart::ReadCsvFile(path, path, chart::CsvOptions{}, &r, &e)) {
      std::fprintf(stderr, "bench_csv: %s\n", e.message.c_str());
      ok = false;
    }
    *samples = r.SampleCount();
  });
  return ok ? best : -1;
}

// The most memory the process has held at once so far, in MB.
double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) return 0;
  return static_cast<double>(c.PeakWorkingSetSize) / 1e6;
}

}  // namespace

int main() {
  const std::string numeric = TempFile("vorda-bench-csv-seconds.csv");
  const std::string dated = TempFile("vorda-bench-csv-dates.csv");
  std::printf("writing two CSV files of %d rows (not timed)...\n", kRows);
  if (!Write(numeric, false) || !Write(dated, true) || !Settle(numeric) || !Settle(dated)) {
    std::fprintf(stderr, "bench_csv: cannot write the files\n");
    return 1;
  }
  const double peakBefore = PeakWorkingSetMb();
  std::printf("\n%-16s %9s %9s %9s %12s %12s %9s %10s\n", "times", "MB", "read s", "MB/s", "rows/s", "raw read s",
              "x raw", "peak MB");
  double secs[2] = {0, 0}, raw[2] = {0, 0};
  bool ok = true;
  for (int k = 0; k < 2; ++k) {
    const std::string& path = k == 0 ? numeric : dated;
    long long rows = 0;
    double s = Read(path, &rows);
    if (s < 0 || rows != kRows) {
      ok = false;
      continue;
    }
    secs[k] = s;
    raw[k] = RawRead(path);
    double mb = FileSize(path) / 1e6;
    std::printf("%-16s %9.1f %9.3f %9.0f %12.3g %12.3f %9.1f %10.0f\n", k == 0 ? "seconds" : "ISO 8601 dates", mb, s,
                mb / s, rows / s, raw[k], s / raw[k], PeakWorkingSetMb());
  }
  // The peak is the process's: after the dates it is the larger of the two.
  std::printf("(peak MB: the process's peak working set after that file's reads; %.0f MB before any)\n", peakBefore);
  if (ok) {
    double mb = FileSize(numeric) / 1e6;
    std::printf("\nseconds: %.0f MB/s (target at least 300): %s\n", mb / secs[0], mb / secs[0] >= 300 ? "yes" : "NO");
    std::printf("dates take x%.2f the time of seconds (target at most 1.5): %s\n", secs[1] / secs[0],
                secs[1] / secs[0] <= 1.5 ? "yes" : "NO");
    for (int k = 0; k < 2; ++k)
      std::printf("%s: x%.1f the plain read (target at most 20): %s\n", k == 0 ? "seconds" : "dates",
                  secs[k] / raw[k], secs[k] / raw[k] <= 20 ? "yes" : "NO");
  }
  DeleteFileA(numeric.c_str());
  DeleteFileA(dated.c_str());
  return ok ? 0 : 1;
}
