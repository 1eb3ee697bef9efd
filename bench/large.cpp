// vorda-chart and vorda-view on two long recordings, side by side:
//   (a) a WAV of 10^9 16-bit samples, one channel (2 GB), and
//   (b) an RF64 of 5.5e8 frames of four 16-bit channels (4.4 GB, sizes in
//       its ds64 chunk).
// For each: a plain read of the file; the summary pass the tools make
// (the same code, in this process, the cache skipped) and its ratio to the
// read; vorda-chart's peak working set while it makes the summary and
// draws; vorda-chart's time on a file whose summary is kept, less Wine's
// start-up (vorda-chart --help); vorda-view's redraw at full width and at
// six zoom depths down to 1000 samples on screen.
//
//   bench_large [FOLDER]
//
// The recordings are written to FOLDER (default: the temporary folder)
// only when missing, and left there for the next run; writing them is
// timed apart from the figures. The reads run on a file the system has
// just read or written, as a person's second look at a recording does.
// Needs an X display and vorda-chart.exe beside this program. Not a test.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cache_store.h"
#include "chart_plan.h"
#include "options.h"
#include "recording.h"
#include "summaries.h"
#include "timer.h"
#include "viewer.h"

namespace {

constexpr double kTargetRatio = 2, kTargetPeakMb = 256, kTargetKept = 0.5, kTargetRedraw = 0.05;

struct BenchFile {
  const char* label;
  const char* file;
  bool rf64;
  int channels;
  std::int64_t frames;
  std::uint32_t rate;
};
constexpr BenchFile kFiles[2] = {{"(a) WAV 1e9 x1", "vorda-bench-1e9.wav", false, 1, 1000000000, 1000000},
                            {"(b) RF64 5.5e8 x4", "vorda-bench-5.5e8x4.rf64.wav", true, 4, 550000000, 100000}};

// --- the recordings --------------------------------------------------------

std::uint64_t HeaderBytes(const BenchFile& s) { return s.rf64 ? 80 : 44; }
std::uint64_t DataBytes(const BenchFile& s) { return static_cast<std::uint64_t>(s.frames) * s.channels * 2; }

void Put16(std::vector<std::uint8_t>* b, std::uint16_t v) {
  b->push_back(static_cast<std::uint8_t>(v));
  b->push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>* b, std::uint32_t v) {
  Put16(b, static_cast<std::uint16_t>(v));
  Put16(b, static_cast<std::uint16_t>(v >> 16));
}
void Put64(std::vector<std::uint8_t>* b, std::uint64_t v) {
  Put32(b, static_cast<std::uint32_t>(v));
  Put32(b, static_cast<std::uint32_t>(v >> 32));
}
void PutTag(std::vector<std::uint8_t>* b, const char* tag) { b->insert(b->end(), tag, tag + 4); }

std::vector<std::uint8_t> Header(const BenchFile& s) {
  const std::uint64_t data = DataBytes(s), riff = HeaderBytes(s) - 8 + data;
  std::vector<std::uint8_t> b;
  PutTag(&b, s.rf64 ? "RF64" : "RIFF");
  Put32(&b, s.rf64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(riff));
  PutTag(&b, "WAVE");
  if (s.rf64) {
    PutTag(&b, "ds64");
    Put32(&b, 28);
    Put64(&b, riff);
    Put64(&b, data);
    Put64(&b, static_cast<std::uint64_t>(s.frames));
    Put32(&b, 0);  // no table of other chunks' sizes
  }
  PutTag(&b, "fmt ");
  Put32(&b, 16);
  Put16(&b, 1);
  Put16(&b, static_cast<std::uint16_t>(s.channels));
  Put32(&b, s.rate);
  Put32(&b, s.rate * 2 * static_cast<std::uint32_t>(s.channels));
  Put16(&b, static_cast<std::uint16_t>(2 * s.channels));
  Put16(&b, 16);
  PutTag(&b, "data");
  Put32(&b, s.rf64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(data));
  return b;
}

// Signals with something to see at every zoom depth: a slow swell, a
// fast tone, noise, and now and then a spike; the other channels a square
// wave, a sawtooth and a random walk. Integer arithmetic and tables, so
// that writing gigabytes takes seconds, not minutes.
class Signals {
 public:
  Signals() {
    for (int i = 0; i < kTone; ++i) tone_[i] = static_cast<std::int16_t>(std::lround(5000 * std::sin(i * 6.283185307179586 / kTone)));
  }
  void Frame(std::int64_t i, int channels, std::int16_t* out) {
    noise_ ^= noise_ << 13;
    noise_ ^= noise_ >> 7;
    noise_ ^= noise_ << 17;
    const int n = static_cast<int>(noise_ & 0xFFF) - 2048;
    if ((i & 0xFFFF) == 0) swell_ = static_cast<int>(std::lround(15000 * std::sin(i * 6.283185307179586 / 3.3e8)));
    int v = swell_ + tone_[i % kTone] + n;
    if (i % 9999991 == 4242) v = 32000;  // a spike of one sample
    out[0] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
    if (channels < 4) return;
    out[1] = static_cast<std::int16_t>((i / 1000003) % 2 ? 12000 + n : -12000 + n);
    out[2] = static_cast<std::int16_t>((i % 7000001) * 60000 / 7000001 - 30000);
    walk_ = std::clamp(walk_ + ((noise_ >> 20) & 1 ? 3 : -3), -30000, 30000);
    out[3] = static_cast<std::int16_t>(walk_);
  }

 private:
  static constexpr int kTone = 1000;
  std::int16_t tone_[kTone];
  std::uint64_t noise_ = 0x9E3779B97F4A7C15ull;
  int swell_ = 0, walk_ = 0;
};

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Writes the recording under a temporary name and renames it into place,
// so that a run cut short leaves no file that looks whole.
bool Write(const BenchFile& s, const std::string& path) {
  const std::string part = path + ".part";
  HANDLE f = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  auto put = [&](const void* p, std::size_t n) {
    DWORD wrote = 0;
    ok = ok && WriteFile(f, p, static_cast<DWORD>(n), &wrote, nullptr) && wrote == n;
  };
  const std::vector<std::uint8_t> header = Header(s);
  put(header.data(), header.size());
  Signals signals;
  constexpr std::int64_t kBlock = 1 << 20;  // frames a write
  std::vector<std::int16_t> block(static_cast<std::size_t>(kBlock * s.channels));
  for (std::int64_t at = 0; ok && at < s.frames; at += kBlock) {
    const std::int64_t n = std::min(kBlock, s.frames - at);
    for (std::int64_t k = 0; k < n; ++k) signals.Frame(at + k, s.channels, &block[static_cast<std::size_t>(k * s.channels)]);
    put(block.data(), static_cast<std::size_t>(n * s.channels) * 2);
  }
  ok = CloseHandle(f) && ok;
  if (ok) ok = MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileA(part.c_str());
  return ok;
}

// --- measurements ----------------------------------------------------------

// Reads the file in 1 MB pieces, adding up its bytes so that none is left
// unlooked at; the seconds, or -1 when it cannot be read.
double PlainRead(const std::string& path, std::uint64_t* sum) {
  std::vector<std::uint64_t> piece((1 << 20) / 8);
  bool ok = false;
  const double seconds = bench::Time([&] {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::uint64_t s = 0;
    DWORD got = 0;
    while (ReadFile(f, piece.data(), 1 << 20, &got, nullptr) && got > 0) {
      std::memset(reinterpret_cast<char*>(piece.data()) + got, 0, (1 << 20) - got);
      for (std::uint64_t w : piece) s += w;
    }
    CloseHandle(f);
    *sum = s;
    ok = true;
  });
  return ok ? seconds : -1;
}

chart::Options ParsedOptions(std::vector<std::string> args) {
  args.insert(args.begin(), "vorda-view");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  chart::Options o;
  std::string error;
  if (!chart::ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &error, chart::Output::kOptional))
    std::fprintf(stderr, "bench_large: %s\n", error.c_str());
  return o;
}

bool Load(const chart::Options& o, chart::Recording* r) {
  chart::ReadError error;
  if (chart::LoadRecording(o, r, &error)) return true;
  std::fprintf(stderr, "bench_large: %s\n", error.message.c_str());
  return false;
}

// The summary pass as the tools make it, the cache skipped: seconds, or -1.
double SummaryPass(const std::string& path) {
  chart::Options o = ParsedOptions({path, "--no-cache"});
  chart::Recording r;
  if (!Load(o, &r)) return -1;
  chart::SummaryOutcome outcome;
  std::string error;
  bool ok = false;
  const double seconds = bench::Time([&] { ok = chart::AttachSummaries(o, &r, nullptr, &outcome, &error); });
  if (!ok || !r.summaries) {
    std::fprintf(stderr, "bench_large: no summary of %s: %s\n", path.c_str(), error.c_str());
    return -1;
  }
  return seconds;
}

// Removes the summary the cache keeps of the recording, if any.
void ForgetSummary(const std::string& path) {
  chart::Recording r;
  if (!Load(ParsedOptions({path}), &r)) return;
  const recording::CacheStore store(recording::CacheStore::UserFolder());
  if (store.enabled()) DeleteFileA(store.FileFor(r.source->Identity()).c_str());
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/") + 1); }

std::string ThisFolder() {
  char self[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  return Folder(std::string(self, n));
}

// A run of a program: its wall time from start to exit, its peak working
// set, its exit status and what it said on stderr.
struct Run {
  double seconds = -1;
  double peakMb = 0;
  DWORD status = 1;
  std::string said;
};

Run RunProgram(const std::string& commandLine, const std::string& scratch) {
  Run run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const std::string errPath = scratch + "vorda-bench-stderr.txt";
  HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nullptr;
  si.hStdOutput = nul;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  const auto start = std::chrono::steady_clock::now();
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    // The working set's peak is asked for while the program runs as well
    // as after: not every system keeps it for a process that has ended.
    SIZE_T peak = 0;
    auto ask = [&] {
      PROCESS_MEMORY_COUNTERS pmc{};
      pmc.cb = sizeof pmc;
      if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) peak = std::max(peak, pmc.PeakWorkingSetSize);
    };
    while (WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT) ask();
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ask();
    GetExitCodeProcess(pi.hProcess, &run.status);
    run.peakMb = static_cast<double>(peak) / (1 << 20);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (FILE* f = std::fopen(errPath.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) run.said.append(buffer, n);
    std::fclose(f);
  }
  DeleteFileA(errPath.c_str());
  return run;
}

// The --verbose line of vorda-chart, from "read" on.
std::string Timings(const std::string& said) {
  const std::size_t at = said.rfind("read ");
  if (at == std::string::npos) return "(no timings said)";
  std::string line = said.substr(at);
  line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
  line.erase(std::remove(line.begin(), line.end(), '\n'), line.end());
  return line;
}

Run BestRun(int runs, const std::string& commandLine, const std::string& scratch) {
  Run best;
  for (int i = 0; i < runs; ++i) {
    Run r = RunProgram(commandLine, scratch);
    if (r.status != 0) return r;
    if (best.seconds < 0 || r.seconds < best.seconds) best = r;
  }
  return best;
}

struct Zoom {
  std::int64_t samples;  // on screen; 0: the whole recording
  double seconds = -1;
  bool whole = false;
};

// vorda-view's redraw (best of several) at each zoom, the view centred a
// little off the recording's middle, where no leaf of the summary begins.
void Redraws(const BenchFile& s, const std::string& path, std::vector<Zoom>* zooms) {
  chart::Options o = ParsedOptions({path, "--size", "1600x900px"});
  chart::Recording r;
  if (!Load(o, &r)) return;
  chart::SummaryOutcome outcome;
  std::string error;
  if (!chart::AttachSummaries(o, &r, nullptr, &outcome, &error)) {
    std::fprintf(stderr, "bench_large: %s\n", error.c_str());
    return;
  }
  chart::ChartPlan plan;
  if (!chart::PlanChart(r, o, &plan, &error)) {
    std::fprintf(stderr, "bench_large: %s\n", error.c_str());
    return;
  }
  chart::PlaceInfinities(plan, &r);
  for (Zoom& z : *zooms) {
    chart::Options zoomed = o;
    if (z.samples > 0) {
      const double centre = 0.4137 * static_cast<double>(s.frames), half = 0.5 * static_cast<double>(z.samples);
      char range[96];
      std::snprintf(range, sizeof range, "%.9f:%.9f", (centre - half) / s.rate, (centre + half) / s.rate);
      zoomed = ParsedOptions({path, "--size", "1600x900px", "--xrange", range});
    }
    view::Viewer viewer(zoomed, r, {});
    if (!viewer.Open()) return;
    z.whole = true;
    z.seconds = bench::Best(5, [&] { z.whole = viewer.Redraw() && z.whole; });
  }
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (argc > 1) {
    folder = argv[1];
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  } else {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = temp;
  }
  const std::string bin = ThisFolder(), chartExe = "\"" + bin + "vorda-chart.exe\"";
  std::string paths[2];
  for (int i = 0; i < 2; ++i) {
    const BenchFile& s = kFiles[i];
    paths[i] = folder + s.file;
    const std::uint64_t size = HeaderBytes(s) + DataBytes(s);
    if (FileSize(paths[i]) == size) {
      std::printf("%s: %s is there (%.2f GB)\n", s.label, paths[i].c_str(), size / 1e9);
      continue;
    }
    std::printf("%s: writing %s (%.2f GB)...\n", s.label, paths[i].c_str(), size / 1e9);
    std::fflush(stdout);
    bool ok = false;
    const double seconds = bench::Time([&] { ok = Write(s, paths[i]); });
    if (!ok) {
      std::fprintf(stderr, "bench_large: cannot write %s\n", paths[i].c_str());
      return 1;
    }
    std::printf("%s: written in %.1f s (%.0f MB/s); not part of the figures\n", s.label, seconds, size / 1e6 / seconds);
  }
  std::fflush(stdout);

  double readS[2], passS[2], peakNoCache[2], peakMaking[2], keptS[2];
  std::string makingSaid[2], keptSaid[2];
  std::vector<Zoom> zooms[2];
  bool ok = true;
  const std::string out = folder + "vorda-bench-large.png";
  const Run help = BestRun(3, chartExe + " --help", folder);
  for (int i = 0; i < 2; ++i) {
    const std::string quoted = "\"" + paths[i] + "\"";
    std::uint64_t sum = 0;
    readS[i] = std::min(PlainRead(paths[i], &sum), PlainRead(paths[i], &sum));
    passS[i] = SummaryPass(paths[i]);
    const Run noCache = RunProgram(chartExe + " " + quoted + " -o \"" + out + "\" --no-cache --verbose", folder);
    peakNoCache[i] = noCache.peakMb;
    // The first run with the cache makes the summary and keeps it; the
    // next ones take it.
    ForgetSummary(paths[i]);
    const Run making = RunProgram(chartExe + " " + quoted + " -o \"" + out + "\" --verbose", folder);
    peakMaking[i] = making.peakMb;
    makingSaid[i] = Timings(making.said);
    const Run kept = BestRun(3, chartExe + " " + quoted + " -o \"" + out + "\" --verbose", folder);
    keptS[i] = kept.seconds - help.seconds;
    keptSaid[i] = Timings(kept.said);
    if (readS[i] < 0 || passS[i] < 0 || noCache.status || making.status || kept.status) {
      std::fprintf(stderr, "bench_large: %s: a step failed\n%s%s", kFiles[i].label, making.said.c_str(),
                   kept.said.c_str());
      ok = false;
    }
    for (std::int64_t n : {std::int64_t{0}, std::int64_t{100000000}, std::int64_t{10000000}, std::int64_t{1000000},
                           std::int64_t{100000}, std::int64_t{10000}, std::int64_t{1000}})
      zooms[i].push_back({n});
    Redraws(kFiles[i], paths[i], &zooms[i]);
  }
  DeleteFileA(out.c_str());

  auto mb = [](int i) { return (HeaderBytes(kFiles[i]) + DataBytes(kFiles[i])) / 1e6; };
  std::printf("\nvorda-chart and vorda-view on long recordings (%d-bit; files already read once)\n",
              static_cast<int>(sizeof(void*) * 8));
  std::printf("%-44s %22s %22s   target\n", "", kFiles[0].label, kFiles[1].label);
  std::printf("%-44s %13.3f s %5.0f MB/s %13.3f s %5.0f MB/s\n", "1. plain read, 1 MB pieces", readS[0],
              mb(0) / readS[0], readS[1], mb(1) / readS[1]);
  std::printf("%-44s %13.3f s x%-6.2f %13.3f s x%-6.2f   x%.0f: %s, %s\n", "2. summary pass (no cache), x plain read",
              passS[0], passS[0] / readS[0], passS[1], passS[1] / readS[1], kTargetRatio,
              Verdict(passS[0] <= kTargetRatio * readS[0]), Verdict(passS[1] <= kTargetRatio * readS[1]));
  std::printf("%-44s %19.0f MB %19.0f MB   %.0f MB: %s, %s\n", "3. vorda-chart peak working set, --no-cache",
              peakNoCache[0], peakNoCache[1], kTargetPeakMb, Verdict(peakNoCache[0] <= kTargetPeakMb),
              Verdict(peakNoCache[1] <= kTargetPeakMb));
  std::printf("%-44s %19.0f MB %19.0f MB   %.0f MB: %s, %s\n", "   the same, making the summary and keeping it",
              peakMaking[0], peakMaking[1], kTargetPeakMb, Verdict(peakMaking[0] <= kTargetPeakMb),
              Verdict(peakMaking[1] <= kTargetPeakMb));
  std::printf("%-44s %21.3f s %21.3f s   %.1f s: %s, %s\n", "4. vorda-chart, summary kept, less start-up", keptS[0],
              keptS[1], kTargetKept, Verdict(keptS[0] < kTargetKept), Verdict(keptS[1] < kTargetKept));
  std::printf("   (start-up: vorda-chart --help took %.3f s, peak working set %.0f MB)\n", help.seconds, help.peakMb);
  bool allWhole = true;
  for (std::size_t z = 0; z < zooms[0].size(); ++z) {
    char what[64];
    if (zooms[0][z].samples == 0)
      std::snprintf(what, sizeof what, "5. vorda-view redraw, whole recording");
    else
      std::snprintf(what, sizeof what, "   %lld samples on screen", static_cast<long long>(zooms[0][z].samples));
    std::printf("%-44s %21.4f s %21.4f s   %.0f ms: %s, %s\n", what, zooms[0][z].seconds, zooms[1][z].seconds,
                kTargetRedraw * 1000, Verdict(zooms[0][z].seconds >= 0 && zooms[0][z].seconds < kTargetRedraw),
                Verdict(zooms[1][z].seconds >= 0 && zooms[1][z].seconds < kTargetRedraw));
    allWhole = allWhole && zooms[0][z].whole && zooms[1][z].whole;
  }
  std::printf("   every redraw whole: %s\n", allWhole ? "yes" : "NO");
  for (int i = 0; i < 2; ++i) {
    std::printf("%s vorda-chart making the summary: %s\n", kFiles[i].label, makingSaid[i].c_str());
    std::printf("%s vorda-chart, summary kept:      %s\n", kFiles[i].label, keptSaid[i].c_str());
  }
  return ok && allWhole ? 0 : 1;
}
