// MSNewFont, MSGetTextExtents and MSText: fonts for the host, strings
// measured in device units, and strings placed by their alignment.
#include "gdi/plot_state.h"
#include "gdi/text_layout.h"
#include "guards.h"
#include "host/report.h"
#include "vorda.h"

using namespace vorda;

namespace {

// MSGetTextExtents' work, which MSText does too: the font selected, the
// string measured in its orientation, the previous font selected back.
Failure MeasureText(HFONT* font, const char* text, const char* orientation, int* width,
                    int* height) {
  HDC dc = plotState.CurrentDc;
  HGDIOBJ previous = font ? SelectObject(dc, *font) : nullptr;
  if (!Selected(previous)) return kGetTextExtentSelectObjectFailed;
  SIZE size{};
  // Nothing to measure, or nowhere to put it: refused like a failed measurement.
  if (!text || !width || !height || !GetTextExtentPoint32A(dc, text, TextByteLength(text), &size))
    return kGetTextExtentMeasureFailed;
  *width = size.cx;
  *height = size.cy;
  FontOrientation o;
  if (!FindOrientation(orientation, &o)) return kGetTextExtentOrientationNotRecognized;
  OrientExtents(o.extent, size.cx, size.cy, width, height);
  if (!Selected(SelectObject(dc, previous))) return kGetTextExtentSelectObjectFailed;
  return {};
}

// Paints the device context's clip area white, so that a label drawn while
// clipping is on starts from a clean plot.
Failure EraseClipArea() {
  if (!plotState.TempRegion) {
    plotState.TempRegion = CreateRectRgn(0, 0, 0, 0);
    if (!plotState.TempRegion) return kTextCreateRectRgnFailed;
  }
  // 1: a clip region was copied; 0: none; -1: an error. After an error the
  // region holds no clip area to fill, so the erase has failed as surely as
  // a failed fill: report it rather than draw on an unerased plot.
  int clipped = GetClipRgn(plotState.CurrentDc, plotState.TempRegion);
  if (clipped == -1 ||
      (clipped != 0 &&
       !FillRgn(plotState.CurrentDc, plotState.TempRegion, plotState.BackgroundBrush))) {
    // The region stays for the next operation that needs one.
    return kTextFillRgnFailed;
  }
  DeleteObject(plotState.TempRegion);
  plotState.TempRegion = nullptr;
  return {};
}

}  // namespace

extern "C" int __cdecl MSNewFont(HostObject host, HFONT* fontOut, const char* faceName,
                                 int pointSize, const char* orientation, const char* weight,
                                 int italic, int underline, int strikeOut) {
  FontOrientation o;
  if (!FindOrientation(orientation, &o)) return ReportError(host, kNewFontOrientationNotRecognized);
  int32_t fontWeight = 0;
  if (!FindFontWeight(weight, &fontWeight)) return ReportError(host, kNewFontWeightNotRecognized);
  // Nowhere to hand the font to: make none rather than orphan it.
  if (!fontOut) return ReportError(host, kNewFontCreateFontFailed);

  // The height follows the device context current now, not the one the
  // font is later drawn on.
  int height = FontHeight(MulDiv(pointSize, GetDeviceCaps(plotState.CurrentDc, LOGPIXELSY), 72));
  *fontOut =
      CreateFontA(height, 0, o.tenthsOfDegree, o.tenthsOfDegree, fontWeight,
                  static_cast<DWORD>(italic), static_cast<DWORD>(underline),
                  static_cast<DWORD>(strikeOut), ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName);
  if (!*fontOut) return ReportError(host, kNewFontCreateFontFailed);
  return 1;
}

// The messages say MSGetTextExtent, without the s: hosts key on the exact
// text, so it is not corrected.
extern "C" int __cdecl MSGetTextExtents(HostObject host, HFONT* font, const char* text,
                                        const char* orientation, int* widthOut, int* heightOut) {
  if (Failure f = MeasureText(font, text, orientation, widthOut, heightOut))
    return ReportError(host, f);
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
  if (!Selected(previous)) return ReportError(host, kTextSelectObjectFailed);
  if (SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP) == GDI_ERROR)
    return ReportError(host, kTextSetTextAlignFailed);
  if (SetTextColor(dc, UnitRgb(red, green, blue)) == CLR_INVALID)
    return ReportError(host, kTextSetTextColorFailed);

  const WorldTransform& t = plotState.Transform;
  double dx = t.XScale * ax + t.XOffset;
  double dy = t.YScale * ay + t.YOffset;

  int w = 0, h = 0;
  if (Failure f = MeasureText(font, text, orientation, &w, &h)) {
    // Only a zero from the host's error call stops the text; otherwise it
    // goes on unshifted rather than by a half-written measurement.
    if (ReportError(host, f) == 0) return ReportError(host, kTextMeasureFailed);
    w = 0;
    h = 0;
  }

  dx = AlignHorizontally(dx, w, horzAlign);
  if (!AlignVertically(dy, h, vertAlign, orientation, &dy))
    return ReportError(host, kTextAlignmentNotRecognized);

  if (Failure f = EraseClipArea()) return ReportError(host, f);
  if (!text || !TextOutA(dc, ClampToDevice(dx), ClampToDevice(dy), text, TextByteLength(text)))
    return ReportError(host, kTextTextOutFailed);
  if (!Selected(SelectObject(dc, previous))) return ReportError(host, kTextSelectObjectFailed);
  return 1;
}
