#include "gdi/strip_conditions.h"

#include "gdi/column_reduce.h"

namespace vorda {

namespace {

// Memory and window or screen DCs draw pixels here and now. A metafile DC
// records every point for playback elsewhere (and reports the capabilities
// of its reference device, so its technology alone cannot tell), and a
// printer's driver may draw lines its own way.
bool IsRasterSurface(HDC dc) {
  const DWORD type = GetObjectType(dc);
  if (type != OBJ_MEMDC && type != OBJ_DC) return false;
  return GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY;
}

bool IsThinWidth(LONG width) { return width >= 0 && width <= 1; }

// Dashes and dots follow the length drawn, and wide or geometric pens have
// caps and joins at every point: only a one-pixel solid line has pixels
// fixed by its end points alone.
bool IsThinSolidPen(HGDIOBJ pen) {
  switch (GetObjectType(pen)) {
    case OBJ_PEN: {
      LOGPEN logical{};
      if (GetObjectA(pen, sizeof logical, &logical) != static_cast<int>(sizeof logical))
        return false;
      return (logical.lopnStyle == PS_SOLID || logical.lopnStyle == PS_NULL) &&
             IsThinWidth(logical.lopnWidth.x);
    }
    case OBJ_EXTPEN: {
      // A solid pen has no style entries, so the structure's one entry is
      // room enough; a pen with more does not fit and is not reduced.
      EXTLOGPEN extended{};
      if (GetObjectA(pen, sizeof extended, &extended) <= 0) return false;
      const DWORD style = extended.elpPenStyle & PS_STYLE_MASK;
      return (extended.elpPenStyle & PS_TYPE_MASK) == PS_COSMETIC &&
             (style == PS_SOLID || style == PS_NULL) && extended.elpBrushStyle == BS_SOLID &&
             extended.elpWidth <= 1;
    }
    default:
      return false;
  }
}

// Logical units are pixels, up to a whole-pixel shift of the origin, which
// keeps points that share a column together.
bool IsPixelMapping(HDC dc) {
  if (GetMapMode(dc) != MM_TEXT) return false;
  XFORM world{};
  if (!GetWorldTransform(dc, &world)) return false;
  return world.eM11 == 1.0f && world.eM12 == 0.0f && world.eM21 == 0.0f && world.eM22 == 1.0f &&
         world.eDx == 0.0f && world.eDy == 0.0f;
}

// Inside a BeginPath ... EndPath bracket Polyline paints nothing: it adds
// its points to the host's path, which must get every one of them. GDI has
// no query for an open bracket, but EndPath succeeds only while one is
// open (with no path, or a closed one, it fails), and SaveDC keeps the
// path, open or closed, with the rest of the DC's state, so that RestoreDC
// puts back the bracket, its figures and the current position exactly.
// The thread's last error, which a failing EndPath sets, is kept too.
bool NoPathBracketOpen(HDC dc) {
  const DWORD lastError = GetLastError();
  const int level = SaveDC(dc);
  if (level == 0) return false;
  const bool open = EndPath(dc) != FALSE;
  const bool restored = RestoreDC(dc, level) != FALSE;
  SetLastError(lastError);
  return !open && restored;
}

}  // namespace

bool ColumnReductionIsExact(HDC dc, HGDIOBJ pen) {
  return IsRasterSurface(dc) && IsThinSolidPen(pen) && IsIdempotentMix(GetROP2(dc)) &&
         IsPixelMapping(dc) && NoPathBracketOpen(dc);
}

uint32_t ColumnReducer::operator()(POINT* run, uint32_t count) {
  if (answer_ == Answer::kNotAsked) {
    if (!HasCrowdedColumn(run, count)) return count;
    answer_ = ColumnReductionIsExact(dc_, pen_) ? Answer::kExact : Answer::kNotExact;
  }
  return answer_ == Answer::kExact ? ReduceColumns(run, count) : count;
}

}  // namespace vorda
