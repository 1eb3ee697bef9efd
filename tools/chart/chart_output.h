// The output file: a surface of vorda's (a bitmap, saved as BMP or PNG, or
// a metafile) that is saved under a temporary name beside the output and
// renamed over it only when complete, so that a failure leaves no file and never a half-written
// one, and an earlier chart of the same name survives a failed run.
#pragma once

#include <windows.h>

#include <string>

#include "chart_draw.h"
#include "options.h"
#include "vorda.h"
#include "vorda_log.h"

namespace chart {

class OutputSurface {
 public:
  OutputSurface(HostObject host, const Options& options, VordaLog& log);
  OutputSurface(const OutputSurface&) = delete;
  OutputSurface& operator=(const OutputSurface&) = delete;
  // A surface never saved is thrown away with its temporary file.
  ~OutputSurface();

  // Checks that the output's directory takes a file, then makes the surface.
  bool Open();
  const Canvas& canvas() const { return canvas_; }
  // Saves the surface and renames the file into place.
  bool Save();

 private:
  void Discard();

  HostObject host_;
  const Options& options_;
  VordaLog& log_;
  std::string temp_;
  Canvas canvas_;
  bool saved_ = false;
};

// The system's text for an error code, without its line end.
std::string SystemMessage(DWORD code);

}  // namespace chart
