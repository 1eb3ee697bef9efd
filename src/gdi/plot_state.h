// The process-wide GDI drawing state: zero at load, never reset, used from
// the host's one calling thread only.
#pragma once

#include <windows.h>

#include "gdi/conversions.h"

namespace vorda {

struct PlotState {
  HDC CurrentDc;
  // Scratch region; null between calls except after certain failures.
  HRGN TempRegion;
  // White brush made by the first successful MSEnable and kept for good.
  HBRUSH BackgroundBrush;
  int XIsLog;
  int YIsLog;
  WorldTransform Transform;
  // The y-axis range in axis units, from the last successful MSSetXForm.
  double AxisTop;
  double AxisBottom;
};

extern PlotState plotState;

// Whether model values need converting before the transform applies.
inline bool AnyLogAxis() { return plotState.XIsLog || plotState.YIsLog; }

inline double CurrentLogFloor() { return LogFloor(plotState.AxisTop, plotState.AxisBottom); }

// The device point of a model point under the current axes and transform.
inline DevicePoint ModelToDevice(double x, double y) {
  double floor = CurrentLogFloor();
  return ToDevice(plotState.Transform, AxisValue(x, plotState.XIsLog != 0, floor),
                  AxisValue(y, plotState.YIsLog != 0, floor));
}

}  // namespace vorda
