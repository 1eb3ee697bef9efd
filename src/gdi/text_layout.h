// The arithmetic of fonts and text placement: orientation and weight
// keywords, the extents of a measured string in its own direction, and the
// shift of the reference point for an alignment. Pure code.
#pragma once

#include <cstdint>

namespace vorda {

// How a measured string's box lies on the device: along x, or turned a
// quarter so that its length runs along y.
enum class ExtentClass { Horizontal, Vertical };

struct FontOrientation {
  // Escapement and orientation of the font, in tenths of a degree.
  int32_t tenthsOfDegree;
  ExtentClass extent;
};

// "HORIZONTAL", "+VERTICAL", "-VERTICAL", "UPSIDEDOWN"; false for anything
// else (null included).
bool FindOrientation(const char* keyword, FontOrientation* out);

// "LIGHT", "NORMAL", "HEAVY"; false for anything else.
bool FindFontWeight(const char* keyword, int32_t* out);

// The font height asked for: the negated em height in pixels, so that the
// font matcher picks a character height rather than a cell height. The
// negation wraps for the most negative int instead of overflowing.
inline int32_t FontHeight(int32_t emPixels) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(emPixels));
}

// The width and height of a string measured cx by cy, as seen on the
// device: exchanged when the text runs vertically.
inline void OrientExtents(ExtentClass extent, int32_t cx, int32_t cy, int32_t* width,
                          int32_t* height) {
  bool vertical = extent == ExtentClass::Vertical;
  *width = vertical ? cy : cx;
  *height = vertical ? cx : cy;
}

// The byte length of a string as GDI takes it (capped at the int range).
int32_t TextByteLength(const char* text);

// Device x of the reference point for a horizontal alignment: "CENTER"
// moves it back by half the width, "RIGHT" by the whole width; anything
// else leaves it at the anchor.
double AlignHorizontally(double x, int32_t width, const char* horzAlign);

// Device y of the reference point for a vertical alignment, or false when
// the alignment ("CENTER" or "BOTTOM") or the orientation is not known.
// For vertical text the height is the string's length, which a "+VERTICAL"
// font draws upward from its reference point, so the shift goes downward.
// The extent class alone picks the shift: "-VERTICAL" gets that of
// "+VERTICAL" and "UPSIDEDOWN" that of "HORIZONTAL" although they run the
// other way, and hosts place their labels by this result.
bool AlignVertically(double y, int32_t height, const char* vertAlign, const char* orientation,
                     double* out);

}  // namespace vorda
