// MSEnable, MSDisable and MSSetXForm: the current device context, the world
// transform and the clip rectangle.
#include "gdi/keywords.h"
#include "gdi/plot_state.h"
#include "host/report.h"
#include "vorda.h"

namespace vorda {

PlotState plotState;

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
  // An axis type already switched stays switched when a range is refused.
  AxisMapping x, y;
  plotState.XIsLog = IsKeyword(xAxisType, "LOG10");
  if (!MapAxis(deviceLeft, deviceRight, modelLeft, modelRight, plotState.XIsLog != 0, &x))
    return ReportError(host, kSetXFormLogXNotPositive);
  plotState.YIsLog = IsKeyword(yAxisType, "LOG10");
  if (!MapAxis(deviceTop, deviceBottom, modelTop, modelBottom, plotState.YIsLog != 0, &y))
    return ReportError(host, kSetXFormLogYNotPositive);
  plotState.Transform = TransformOf(x, y);

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
  plotState.AxisTop = y.End0;
  plotState.AxisBottom = y.End1;
  return 1;
}
