// MSNewFont, MSGetTextExtents and MSText: fonts for the host, strings
// measured in device units, and strings placed by their alignment.
#include "gdi/plot_state.h"
#include "gdi/text_layout.h"
#include "host/report.h"
#include "vorda.h"

using namespace vorda;

namespace {

bool Selected(HGDIOBJ previous) { return previous != nullptr && previous != HGDI_ERROR; }

// MSGetTextExtents' work. Returns true when it measured and selected back;
// otherwise it has reported and left the error call's result in *failure.
bool MeasureText(HostObject host, HFONT* font, const char* text, const char* orientation,
                 int* width, int* height, int* failure) {
  HDC dc = plotState.CurrentDc;
  HGDIOBJ previous = font ? SelectObject(dc, *font) : nullptr;
  if (!Selected(previous)) {
    *failure = ReportError(host, "In MSGetTextExtent. SelectObject failed.");
    return false;
  }
  SIZE size{};
  // Nothing to measure, or nowhere to put it: refused like a failed measurement.
  if (!text || !width || !height || !GetTextExtentPoint32A(dc, text, TextByteLength(text), &size)) {
    *failure = ReportError(host, "In MSGetTextExtent. GetTextExtentPoint32 failed.");
    return false;
  }
  *width = size.cx;
  *height = size.cy;
  FontOrientation o;
  if (!FindOrientation(orientation, &o)) {
    *failure = ReportError(host, "In MSGetTextExtent. Font orientation not recognized.");
    return false;
  }
  OrientExtents(o.extent, size.cx, size.cy, width, height);
  if (!Selected(SelectObject(dc, previous))) {
    *failure = ReportError(host, "In MSGetTextExtent. SelectObject failed.");
    return false;
  }
  return true;
}

// Paints the device context's clip area white, so that a label drawn while
// clipping is on starts from a clean plot. Returns true when done; otherwise
// it has reported and left the error call's result in *failure.
bool EraseClipArea(HostObject host, int* failure) {
  if (!plotState.TempRegion) {
    plotState.TempRegion = CreateRectRgn(0, 0, 0, 0);
    if (!plotState.TempRegion) {
      *failure = ReportError(host, "In MSText. CreateRectRgn failed.");
      return false;
    }
  }
  // 1: a clip region was copied; 0: none; -1: an error, which the fill then
  // meets and reports.
  if (GetClipRgn(plotState.CurrentDc, plotState.TempRegion) != 0 &&
      !FillRgn(plotState.CurrentDc, plotState.TempRegion, plotState.BackgroundBrush)) {
    // The region stays for the next operation that needs one.
    *failure = ReportError(host, "In MSText. FillRgn failed.");
    return false;
  }
  DeleteObject(plotState.TempRegion);
  plotState.TempRegion = nullptr;
  return true;
}

}  // namespace

extern "C" int __cdecl MSNewFont(HostObject host, HFONT* fontOut, const char* faceName,
                                 int pointSize, const char* orientation, const char* weight,
                                 int italic, int underline, int strikeOut) {
  FontOrientation o;
  if (!FindOrientation(orientation, &o))
    return ReportError(host, "Font orientation not recognized.");
  int32_t fontWeight = 0;
  if (!FindFontWeight(weight, &fontWeight)) return ReportError(host, "Font weight not recognized.");
  // Nowhere to hand the font to: make none rather than orphan it.
  if (!fontOut) return ReportError(host, "Unable to create font, CreateFont failed.");

  // The height follows the device context current now, not the one the
  // font is later drawn on.
  int height = FontHeight(MulDiv(pointSize, GetDeviceCaps(plotState.CurrentDc, LOGPIXELSY), 72));
  *fontOut =
      CreateFontA(height, 0, o.tenthsOfDegree, o.tenthsOfDegree, fontWeight,
                  static_cast<DWORD>(italic), static_cast<DWORD>(underline),
                  static_cast<DWORD>(strikeOut), ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName);
  if (!*fontOut) return ReportError(host, "Unable to create font, CreateFont failed.");
  return 1;
}

// The messages say MSGetTextExtent: that is what hosts have always been shown.
extern "C" int __cdecl MSGetTextExtents(HostObject host, HFONT* font, const char* text,
                                        const char* orientation, int* widthOut, int* heightOut) {
  int failure = 0;
  if (!MeasureText(host, font, text, orientation, widthOut, heightOut, &failure)) return failure;
  return 1;
}

extern "C" int __cdecl MSText(HostObject host, HFONT* font, const char* text, double x, double y,
                              const char* orientation, const char* horzAlign, const char* vertAlign,
                              double red, double green, double blue) {
  double logFloor = CurrentLogFloor();
  double ax = AxisValue(x, plotState.XIsLog != 0, logFloor);
  double ay = AxisValue(y, plotState.YIsLog != 0, logFloor);

  HDC dc = plotState.CurrentDc;
  HGDIOBJ previous = font ? SelectObject(dc, *font) : nullptr;
  if (!Selected(previous)) return ReportError(host, "In MSText. SelectObject failed.");
  if (SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP) == GDI_ERROR)
    return ReportError(host, "In MSText. SetTextAlign failed.");
  if (SetTextColor(dc, UnitRgb(red, green, blue)) == CLR_INVALID)
    return ReportError(host, "In MSText. SetTextColor failed.");

  const WorldTransform& t = plotState.Transform;
  double dx = t.XScale * ax + t.XOffset;
  double dy = t.YScale * ay + t.YOffset;

  int w = 0, h = 0, failure = 0;
  if (!MeasureText(host, font, text, orientation, &w, &h, &failure)) {
    // Only a zero from the host's error call stops the text; otherwise it
    // goes on unshifted rather than by a half-written measurement.
    if (failure == 0) return ReportError(host, "In MSText. MSGetTextExtent failed.");
    w = 0;
    h = 0;
  }

  dx = AlignHorizontally(dx, w, horzAlign);
  if (!AlignVertically(dy, h, vertAlign, orientation, &dy))
    return ReportError(host, "In MSText. Orientation and/or alignment not recognized.");

  if (!EraseClipArea(host, &failure)) return failure;
  if (!text || !TextOutA(dc, ClampToDevice(dx), ClampToDevice(dy), text, TextByteLength(text)))
    return ReportError(host, "In MSText. TextOut failed.");
  if (!Selected(SelectObject(dc, previous)))
    return ReportError(host, "In MSText. SelectObject failed.");
  return 1;
}
