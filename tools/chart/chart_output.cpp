#include "chart_output.h"

#include <cmath>
#include <cstdio>

#include "gdi_object.h"
#include "png_writer.h"
#include "shown_path.h"

namespace chart {

std::string SystemMessage(DWORD code) {
  char buffer[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : text;
}

OutputSurface::OutputSurface(HostObject host, const Options& options, VordaLog& log)
    : host_(host), options_(options), log_(log) {
  // Beside the output, so that the rename stays within one directory.
  temp_ = options.output + "." + std::to_string(GetCurrentProcessId()) + ".part";
}

OutputSurface::~OutputSurface() {
  if (!saved_) Discard();
}

bool OutputSurface::Open() {
  HANDLE probe = CreateFileA(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    Complain("cannot write " + ShownPath(options_.output) + ": " + SystemMessage(GetLastError()));
    return false;
  }
  CloseHandle(probe);
  canvas_.emf = options_.emf;
  if (options_.emf) {
    double w = options_.widthIn, h = options_.heightIn;
    if (!options_.sizeInInches) {
      HDC screen = GetDC(nullptr);
      w = options_.widthPx / static_cast<double>(GetDeviceCaps(screen, LOGPIXELSX));
      h = options_.heightPx / static_cast<double>(GetDeviceCaps(screen, LOGPIXELSY));
      ReleaseDC(nullptr, screen);
    }
    canvas_.dc = MSCreateMetaFileDC(host_, temp_.c_str(), &w, &h);
    if (!canvas_.dc) {
      Complain("cannot record the metafile " + ShownPath(options_.output) + " (MSCreateMetaFileDC failed)");
      return false;
    }
    canvas_.width = static_cast<int>(std::lround(w));
    canvas_.height = static_cast<int>(std::lround(h));
  } else {
    double w = options_.widthIn, h = options_.heightIn;
    int pw = options_.widthPx, ph = options_.heightPx;
    if (!options_.sizeInInches) w = h = 0;  // the pixel sizes are then used as given
    canvas_.dc = MSCreateBitmapDC(host_, &w, &h, &pw, &ph);
    if (!log_.Clean("making the bitmap") || !canvas_.dc) return false;
    canvas_.width = pw;
    canvas_.height = ph;
  }
  // Dashes and text leave what lies under their gaps alone (a picture,
  // the grid) instead of painting it with the background colour.
  SetBkMode(canvas_.dc, TRANSPARENT);
  return true;
}

bool OutputSurface::Save() {
  HDC dc = canvas_.dc;
  canvas_.dc = nullptr;  // both savers end the surface, successful or not
  if (options_.emf) {
    if (MSSaveMetaFile(host_, dc) == 0) {
      Complain("cannot finish the metafile " + ShownPath(options_.output) + " (MSSaveMetaFile failed)");
      return false;
    }
  } else if (options_.png) {
    std::string why;
    if (!SavePngAndEndSurface(dc, temp_, &why)) {
      Complain("cannot write " + ShownPath(options_.output) + ": " + why);
      return false;
    }
  } else {
    int result = MSSaveBitmapFile(host_, dc, temp_.c_str());
    bool clean = log_.Clean("saving " + ShownPath(options_.output));
    if (result != 1 || !clean) {
      // After a failure that the host answered with 0 the surface is still there.
      if (result != 1 && GetObjectType(dc) == OBJ_MEMDC) DeleteBitmapSurface(dc);
      return false;
    }
  }
  if (!MoveFileExA(temp_.c_str(), options_.output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    Complain("cannot write " + ShownPath(options_.output) + ": " + SystemMessage(GetLastError()));
    return false;
  }
  saved_ = true;
  return true;
}

void OutputSurface::Discard() {
  if (canvas_.dc) {
    if (canvas_.emf) {
      MSSaveMetaFile(host_, canvas_.dc);
    } else {
      DeleteBitmapSurface(canvas_.dc);
    }
    canvas_.dc = nullptr;
  }
  DeleteFileA(temp_.c_str());
}

}  // namespace chart
