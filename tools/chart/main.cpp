// vorda-chart: draws a chart of a recording (CSV or WAV) into a BMP or EMF
// file through vorda's exports, playing the tarn host itself.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "chart_run.h"
#include "csv_dialect.h"
#include "options.h"
#include "shown_path.h"
#include "vorda_log.h"

namespace {

// The command line as typed, in UTF-8. The 8-bit argv has had characters
// of no 8-bit code page replaced by look-alikes ("10⁸" by "108"), which a
// title must not show.
std::vector<std::string> Utf8Arguments() {
  std::vector<std::string> args;
  int count = 0;
  std::unique_ptr<LPWSTR, HLOCAL (*)(HLOCAL)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                   [](HLOCAL p) { return LocalFree(p); });
  if (!wide) return args;
  for (int i = 0; i < count; ++i) {
    const wchar_t* w = wide.get()[i];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string a(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, a.data(), bytes, nullptr, nullptr);
    a.resize(static_cast<size_t>(bytes - 1));
    args.push_back(std::move(a));
  }
  return args;
}

// The title in the chart's 8-bit text, from the command line as typed.
void SettleTitle(chart::Options* options) {
  std::vector<std::string> args = Utf8Arguments();
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  chart::Options typed;
  std::string error;
  if (argv.empty() || !chart::ParseOptions(static_cast<int>(argv.size()), argv.data(), &typed, &error) ||
      !typed.haveTitle)
    return;
  bool changed = false;
  options->title = chart::EightBitName(typed.title, &changed);
  if (changed)
    chart::Complain("the chart's text cannot show some characters of the title \"" + options->title +
                    "\"; they are drawn as \"?\"");
}

}  // namespace

int main(int argc, char** argv) {
  chart::Options options;
  std::string error;
  if (!chart::ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "vorda-chart: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(chart::HelpText(), stdout);
    return 0;
  }
  try {
    if (options.haveTitle) SettleTitle(&options);
    return chart::RunChart(options);
  } catch (const std::bad_alloc&) {
    // Unwinding has thrown the surface and its temporary file away.
    std::fprintf(stderr, "vorda-chart: out of memory reading %s\n", chart::ShownPath(options.input).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorda-chart: cannot chart %s: %s\n", chart::ShownPath(options.input).c_str(), e.what());
    return 1;
  }
}
