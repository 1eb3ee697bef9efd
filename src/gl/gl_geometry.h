// The numbers the OpenGL back end hands to GL: viewport, projection bounds,
// world transform, scissor box, vertex count. Pure code: no platform header,
// so it can be built and exercised on its own.
#pragma once

#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

// Moves every model point onto the centre of its pixel, so that one-pixel
// lines rasterise onto the pixels a GDI chart would use.
constexpr double kPixelCentreOffset = 0.375;

// A font is this many consecutive display lists, one per 8-bit code.
constexpr int32_t kFontListCount = VORDA_FONT_LIST_COUNT;

struct GlBox {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

struct GlOrtho {
  double left;
  double right;
  double bottom;
  double top;
};

// Origin (0, 0); width and height as 32-bit differences of the window
// rectangle. A host that passes its signed coordinates through the unsigned
// arguments gets the difference it meant; a top below the bottom gives a
// negative height, which GL refuses with an error.
GlBox ViewportFor(uint32_t left, uint32_t right, uint32_t top, uint32_t bottom);

// The window rectangle as the bounds of the orthographic projection, each
// read as an unsigned value.
GlOrtho OrthoFor(uint32_t left, uint32_t right, uint32_t top, uint32_t bottom);

// device = Scale * model + Offset per axis, mapping ModelLeft to DeviceLeft
// and ModelBottom to DeviceBottom. The device differences are taken in 64
// bits: in 32 they could overflow.
WorldTransform GlTransformFor(int32_t deviceLeft, int32_t deviceRight, int32_t deviceTop,
                              int32_t deviceBottom, double modelLeft, double modelRight,
                              double modelTop, double modelBottom);

// The scissor box of the plot rectangle, both edges included. Sizes beyond
// the 32-bit range are clamped into it rather than wrapped.
GlBox ScissorFor(int32_t deviceLeft, int32_t deviceRight, int32_t deviceTop, int32_t deviceBottom);

// Vertices in an array of `count` floats (x, y pairs); an odd last float is
// not a vertex.
inline int32_t VertexCount(uint32_t count) { return static_cast<int32_t>(count / 2); }

// The GDI font height that asks for a character height of `height` (without
// the internal leading): its negation, which wraps at INT32_MIN instead of
// overflowing.
inline int32_t FontHeightFor(int32_t height) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(height));
}

}  // namespace vorda
