// MSCreateMetaFileDC and MSSaveMetaFile: a chart recorded as an enhanced
// metafile. Neither reports to the host; the results say what happened.
#include <windows.h>

#include "vorda.h"

extern "C" HDC __cdecl MSCreateMetaFileDC(HostObject, const char* fileName, double* width,
                                          double* height) {
  // Reference device: the display; the frame is computed from what is drawn.
  HDC dc = CreateEnhMetaFileA(nullptr, fileName, nullptr, nullptr);
  // The host lays out its plot in these pixels, so keep the fraction: 2.01
  // inches at 96 dpi is 192.96. When no recording device context could be
  // made the sizes are still multiplied, by what the null one reports.
  if (width) *width = GetDeviceCaps(dc, LOGPIXELSX) * *width;
  if (height) *height = GetDeviceCaps(dc, LOGPIXELSY) * *height;
  return dc;
}

extern "C" int __cdecl MSSaveMetaFile(HostObject, HDC dc) {
  // Closing completes the file; the handle to the finished metafile is only
  // needed to be given back, the file stays.
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  if (!metafile) return 0;
  return DeleteEnhMetaFile(metafile);
}
