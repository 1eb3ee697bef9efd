// MSCreateBitmapDC: a white off-screen bitmap in the screen's colour
// format, sized in inches or in pixels, for the host to draw on.
#include "surfaces/bitmap_surface.h"

#include "gdi/conversions.h"
#include "guards.h"
#include "vorda.h"

namespace vorda {

MessageBuffer bitmapMessage;

}  // namespace vorda

using namespace vorda;

namespace {

HDC Failed(HostObject host, const Failure& failure) {
  ReportError(host, failure);
  return nullptr;
}

}  // namespace

extern "C" HDC __cdecl MSCreateBitmapDC(HostObject host, const double* widthInches,
                                        const double* heightInches, int* widthPixels,
                                        int* heightPixels) {
  OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return Failed(host, WithErrorCode(kCreateCompatibleDcFailed, GetLastError()));

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
    return Failed(host, WithErrorCode(kCreateCompatibleBitmapFailed, ERROR_INVALID_PARAMETER));
  }

  OwnedGdi<HBITMAP> bitmap;
  DWORD bitmapError = 0;
  {
    // Compatible with the screen, so the bitmap has the display's depth.
    ScreenDc screen;
    if (screen.get()) bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
    bitmapError = GetLastError();
  }
  if (!bitmap) return Failed(host, WithErrorCode(kCreateCompatibleBitmapFailed, bitmapError));

  if (!Selected(SelectObject(dc.get(), bitmap.get())))
    return Failed(host, WithErrorCode(kSelectBitmapFailed, GetLastError()));
  if (!BitBlt(dc.get(), 0, 0, width, height, nullptr, 0, 0, WHITENESS)) {
    DWORD code = GetLastError();
    // Delete the device context first: a selected bitmap cannot be deleted.
    dc.reset();
    return Failed(host, WithErrorCode(kBitBltFailed, code));
  }
  bitmap.release();
  return dc.release();
}
