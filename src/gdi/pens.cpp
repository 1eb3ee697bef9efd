// MSNewPen: a styled, coloured pen for the host, who owns it from then on.
#include "gdi/conversions.h"
#include "gdi/keywords.h"
#include "host/report.h"
#include "vorda.h"

using namespace vorda;

namespace {

const KeywordEntry<int> kPenStyles[] = {
    {"SOLID", PS_SOLID}, {"DASH", PS_DASH}, {"DOT", PS_DOT},
    {"DASHDOT", PS_DASHDOT}, {"DASHDOTDOT", PS_DASHDOTDOT},
};

}  // namespace

// Its messages name MSPolyLine: hosts key on the exact text, so it is not
// corrected to MSNewPen.
extern "C" int __cdecl MSNewPen(HostObject host, HPEN* pen, const char* style, int width,
                                double red, double green, double blue) {
  int penStyle = 0;
  if (!FindKeyword(kPenStyles, style, &penStyle))
    return ReportError(host, kPolyLinePenStyleNotRecognized);
  HPEN made = CreatePen(penStyle, width, UnitRgb(red, green, blue));
  if (!pen) {
    // Nowhere to hand the pen to: do not leave it orphaned.
    if (made) DeleteObject(made);
    return ReportError(host, kPolyLineCreatePenFailed);
  }
  *pen = made;
  if (!made) return ReportError(host, kPolyLineCreatePenFailed);
  return 1;
}
