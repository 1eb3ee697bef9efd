// MSPolyLine: a connected line broken at missing samples ("LINE_STRIP"),
// or separate two-point segments ("LINES"), in model units.
#include <cstring>

#include "gdi/keywords.h"
#include "gdi/plot_state.h"
#include "gdi/strip.h"
#include "gdi/strip_conditions.h"
#include "host/report.h"
#include "scratch.h"
#include "vorda.h"

using namespace vorda;

namespace {

// Each drawing helper returns true when it drew everything; otherwise it
// has reported and left the error call's result in *failure.
bool DrawStrip(HostObject host, HPEN pen, const double* points, unsigned dataSize, int* failure) {
  Scratch<POINT> buffer = AllocateScratch<POINT>(StripBufferPoints(dataSize));
  if (!buffer) {
    *failure = ReportError(host, "In MSPolyLine. malloc or memcpy failed.");
    return false;
  }
  HDC dc = plotState.CurrentDc;
  // A dense trace gives GDI a few points a pixel column instead of all of
  // them, where that provably leaves every pixel as it would be.
  ColumnReducer reduce(dc, pen);
  bool drawn = CutStrip(points, dataSize, plotState.Transform, buffer.get(),
                        StripBufferPoints(dataSize), [dc, &reduce](POINT* run, uint32_t n) {
                          return Polyline(dc, run, static_cast<int>(reduce(run, n))) != 0;
                        });
  if (!drawn) {
    buffer.reset();
    *failure = ReportError(host, "In MSPolyLine. Polyline failed.");
    return false;
  }
  return true;
}

bool DrawSegments(HostObject host, const double* points, unsigned dataSize, int* failure) {
  const WorldTransform& t = plotState.Transform;
  HDC dc = plotState.CurrentDc;
  for (unsigned k = 0; k < dataSize; k += 4) {
    DevicePoint from = ToDevice(t, points[k], points[k + 1]);
    DevicePoint to = ToDevice(t, points[k + 2], points[k + 3]);
    if (!MoveToEx(dc, from.x, from.y, nullptr) || !LineTo(dc, to.x, to.y)) {
      *failure = ReportError(host, "In MSPolyLine. MoveTo and LineTo failed.");
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int __cdecl MSPolyLine(HostObject host, HPEN* pen, const char* type, const double* data,
                                  unsigned dataSize) {
  // On a logarithmic axis the caller's points are converted in a copy; the
  // caller's array is never written.
  const double* points = data;
  Scratch<double> copy;
  if (plotState.XIsLog || plotState.YIsLog) {
    copy = AllocateScratch<double>(dataSize);
    if (!copy || (dataSize != 0 && !data))
      return ReportError(host, "In MSPolyLine. malloc or memcpy failed.");
    if (dataSize != 0) std::memcpy(copy.get(), data, sizeof(double) * dataSize);
    ApplyLogAxes(copy.get(), dataSize, plotState.XIsLog != 0, plotState.YIsLog != 0,
                 CurrentLogFloor());
    points = copy.get();
  }

  HGDIOBJ previous = pen ? SelectObject(plotState.CurrentDc, *pen) : nullptr;
  if (!previous || previous == HGDI_ERROR)
    return ReportError(host, "In MSPolyLine. SelectObject failed.");

  int failure = 0;
  if (IsKeyword(type, "LINE_STRIP")) {
    // A missing array is refused like a size that breaks the rule.
    if (dataSize < 4 || dataSize % 2 != 0 || !points)
      return ReportError(host, "In MSPolyLine. Invalid size.");
    if (!DrawStrip(host, *pen, points, dataSize, &failure)) return failure;
  } else if (IsKeyword(type, "LINES")) {
    if (dataSize < 4 || dataSize % 4 != 0 || !points)
      return ReportError(host, "In MSPolyLine. Invalid size.");
    if (!DrawSegments(host, points, dataSize, &failure)) return failure;
  } else {
    return ReportError(host, "In MSPolyLine. Type not recognized.");
  }

  HGDIOBJ restored = SelectObject(plotState.CurrentDc, previous);
  if (!restored || restored == HGDI_ERROR)
    return ReportError(host, "In MSPolyLine. SelectObject failed.");
  return 1;
}
