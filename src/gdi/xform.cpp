// MSEnable, MSDisable and MSSetXForm: the current device context, the world
// transform and the clip rectangle.
#include <cmath>

#include "gdi/keywords.h"
#include "gdi/plot_state.h"
#include "host/report.h"
#include "vorda.h"

namespace vorda {

PlotState plotState;

namespace {

// One axis: its axis values at both ends, or false when a logarithmic axis
// has a non-positive end.
bool AxisEnds(const char* type, double a, double b, int* isLog, double* outA, double* outB) {
  if (IsKeyword(type, "LOG10")) {
    *isLog = 1;
    if (a <= 0.0 || b <= 0.0) return false;
    *outA = std::log10(a);
    *outB = std::log10(b);
  } else {
    *isLog = 0;
    *outA = a;
    *outB = b;
  }
  return true;
}

}  // namespace
}  // namespace vorda

using namespace vorda;

extern "C" int __cdecl MSEnable(HostObject host, HDC dc) {
  plotState.CurrentDc = dc;
  if (plotState.BackgroundBrush) return 1;
  plotState.BackgroundBrush = CreateSolidBrush(RGB(255, 255, 255));
  if (!plotState.BackgroundBrush) return ReportError(host, kEnableCreateSolidBrushFailed);
  return 1;
}

extern "C" int __cdecl MSDisable(HostObject) {
  SelectClipRgn(plotState.CurrentDc, nullptr);
  return 1;
}

extern "C" int __cdecl MSSetXForm(HostObject host, int clip, const char* xAxisType,
                                  const char* yAxisType, int deviceLeft, int deviceRight,
                                  int deviceTop, int deviceBottom, double modelLeft,
                                  double modelRight, double modelTop, double modelBottom) {
  double xa, xb, ya, yb;
  if (!AxisEnds(xAxisType, modelLeft, modelRight, &plotState.XIsLog, &xa, &xb))
    return ReportError(host, kSetXFormLogXNotPositive);
  if (!AxisEnds(yAxisType, modelTop, modelBottom, &plotState.YIsLog, &ya, &yb))
    return ReportError(host, kSetXFormLogYNotPositive);

  // The device differences are taken in 64 bits: in 32 they could overflow.
  WorldTransform& t = plotState.Transform;
  t.XScale = static_cast<double>(static_cast<int64_t>(deviceLeft) - deviceRight) / (xa - xb);
  t.YScale = static_cast<double>(static_cast<int64_t>(deviceTop) - deviceBottom) / (ya - yb);
  t.XOffset = deviceLeft - t.XScale * xa;
  t.YOffset = deviceTop - t.YScale * ya;

  if (clip) {
    if (!plotState.TempRegion) {
      plotState.TempRegion = CreateRectRgn(deviceLeft, deviceTop, deviceRight, deviceBottom);
      if (!plotState.TempRegion) return ReportError(host, kSetXFormCreateRectRgnFailed);
    } else if (!SetRectRgn(plotState.TempRegion, deviceLeft, deviceTop, deviceRight, deviceBottom)) {
      return ReportError(host, kSetXFormSetRectRgnFailed);
    }
    if (SelectClipRgn(plotState.CurrentDc, plotState.TempRegion) == ERROR)
      return ReportError(host, kSetXFormSelectClipRgnFailed);
  } else if (SelectClipRgn(plotState.CurrentDc, nullptr) == ERROR) {
    return ReportError(host, kSetXFormSelectClipRgnFailed);
  }

  if (plotState.TempRegion) {
    DeleteObject(plotState.TempRegion);
    plotState.TempRegion = nullptr;
  }
  plotState.AxisTop = ya;
  plotState.AxisBottom = yb;
  return 1;
}
