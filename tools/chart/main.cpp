// vorda-chart: draws a chart of a recording (CSV or WAV) into a BMP or EMF
// file through vorda's exports, playing the tarn host itself.
#include <cstdio>
#include <new>
#include <string>

#include "chart_run.h"
#include "options.h"
#include "shown_path.h"

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
