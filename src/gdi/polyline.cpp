// MSPolyLine: a connected line broken at missing samples ("LINE_STRIP"),
// or separate two-point segments ("LINES"), in model units.
#include "gdi/keywords.h"
#include "gdi/plot_state.h"
#include "gdi/strip.h"
#include "gdi/strip_conditions.h"
#include "guards.h"
#include "host/report.h"
#include "scratch.h"
#include "vorda.h"

using namespace vorda;

namespace {

Failure DrawStrip(HPEN pen, const double* points, unsigned dataSize) {
  Scratch<POINT> buffer = AllocateScratch<POINT>(StripBufferPoints(dataSize));
  if (!buffer) return kPolyLineCopyFailed;
  HDC dc = plotState.CurrentDc;
  // A dense trace gives GDI a few points a pixel column instead of all of
  // them, where that provably leaves every pixel as it would be.
  ColumnReducer reduce(dc, pen);
  bool drawn = CutStrip(points, dataSize, plotState.Transform, buffer.get(),
                        StripBufferPoints(dataSize), [dc, &reduce](POINT* run, uint32_t n) {
                          return Polyline(dc, run, static_cast<int>(reduce(run, n))) != 0;
                        });
  if (!drawn) return kPolyLinePolylineFailed;
  return {};
}

Failure DrawSegments(const double* points, unsigned dataSize) {
  const WorldTransform& t = plotState.Transform;
  HDC dc = plotState.CurrentDc;
  for (unsigned k = 0; k < dataSize; k += 4) {
    DevicePoint from = ToDevice(t, points[k], points[k + 1]);
    DevicePoint to = ToDevice(t, points[k + 2], points[k + 3]);
    if (!MoveToEx(dc, from.x, from.y, nullptr) || !LineTo(dc, to.x, to.y))
      return kPolyLineMoveToLineToFailed;
  }
  return {};
}

}  // namespace

extern "C" int __cdecl MSPolyLine(HostObject host, HPEN* pen, const char* type, const double* data,
                                  unsigned dataSize) {
  // On a logarithmic axis the caller's points are converted in a copy; the
  // caller's array is never written.
  const double* points = data;
  Scratch<double> copy;
  if (AnyLogAxis()) {
    copy = CopyToScratch(data, dataSize);
    if (!copy) return ReportError(host, kPolyLineCopyFailed);
    ApplyLogAxes(copy.get(), dataSize, plotState.XIsLog != 0, plotState.YIsLog != 0,
                 CurrentLogFloor());
    points = copy.get();
  }

  HGDIOBJ previous = pen ? SelectObject(plotState.CurrentDc, *pen) : nullptr;
  if (!Selected(previous)) return ReportError(host, kPolyLineSelectObjectFailed);

  // A missing array is refused like a size too small for the type.
  if (IsKeyword(type, "LINE_STRIP")) {
    if (dataSize < 4 || dataSize % 2 != 0 || !points) return ReportError(host, kPolyLineInvalidSize);
    if (Failure f = DrawStrip(*pen, points, dataSize)) return ReportError(host, f);
  } else if (IsKeyword(type, "LINES")) {
    if (dataSize < 4 || dataSize % 4 != 0 || !points) return ReportError(host, kPolyLineInvalidSize);
    if (Failure f = DrawSegments(points, dataSize)) return ReportError(host, f);
  } else {
    return ReportError(host, kPolyLineTypeNotRecognized);
  }

  if (!Selected(SelectObject(plotState.CurrentDc, previous)))
    return ReportError(host, kPolyLineSelectObjectFailed);
  return 1;
}
