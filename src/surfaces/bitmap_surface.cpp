// MSCreateBitmapDC: a white off-screen bitmap in the screen's colour
// format, sized in inches or in pixels, for the host to draw on.
#include "gdi/conversions.h"
#include "guards.h"
#include "host/report.h"
#include "surfaces/bitmap_surface.h"
#include "vorda.h"

namespace vorda {

char bitmapMessage[512];

namespace {

HDC Failed(HostObject host, const char* format, DWORD code) {
  ReportFormatted(host, bitmapMessage, format, static_cast<int>(code));
  return nullptr;
}

}  // namespace
}  // namespace vorda

using namespace vorda;

extern "C" HDC __cdecl MSCreateBitmapDC(HostObject host, const double* widthInches,
                                        const double* heightInches, int* widthPixels,
                                        int* heightPixels) {
  OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return Failed(host, "CreateCompatibleDC failed error code %d\n", GetLastError());

  double wi = widthInches ? *widthInches : 0.0;
  double hi = heightInches ? *heightInches : 0.0;
  int width, height;
  if (wi != 0.0 && hi != 0.0) {
    width = TruncToInt32(GetDeviceCaps(dc.get(), LOGPIXELSX) * wi);
    height = TruncToInt32(GetDeviceCaps(dc.get(), LOGPIXELSY) * hi);
    if (widthPixels) *widthPixels = width;
    if (heightPixels) *heightPixels = height;
  } else if (widthPixels && heightPixels) {
    width = *widthPixels;
    height = *heightPixels;
  } else {
    // No size to make the bitmap with.
    return Failed(host, "CreateCompatibleBitmap failed error code %d\n", ERROR_INVALID_PARAMETER);
  }

  OwnedGdi<HBITMAP> bitmap;
  DWORD bitmapError = 0;
  {
    // Compatible with the screen, so the bitmap has the display's depth.
    ScreenDc screen;
    if (screen.get()) bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
    bitmapError = GetLastError();
  }
  if (!bitmap) return Failed(host, "CreateCompatibleBitmap failed error code %d\n", bitmapError);

  // Null is how a bitmap fails to select; the region error value is refused
  // too, so that a bitmap not selected is never handed out as selected.
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  if (!previous || previous == HGDI_ERROR)
    return Failed(host, "SelectObject failed error code %d\n", GetLastError());
  if (!BitBlt(dc.get(), 0, 0, width, height, nullptr, 0, 0, WHITENESS)) {
    DWORD code = GetLastError();
    // Delete the device context first: a selected bitmap cannot be deleted.
    dc.reset();
    return Failed(host, "BitBlt failed error code %d\n", code);
  }
  bitmap.release();
  return dc.release();
}
