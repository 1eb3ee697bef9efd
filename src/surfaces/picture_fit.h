// Where a picture goes in the plot: the device area of the model unit
// square, and the fit of a picture into it with its aspect ratio kept and
// centred. Pure code: no platform header.
#pragma once

#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

// A device rectangle by its top-left corner and its extent. The extent is
// negative when the transform mirrors an axis.
struct DeviceArea {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// The area that the transform maps the model unit square onto, corners
// clamped to the device range. No logarithmic mapping is applied: the
// square is (0, 0)..(1, 1) in axis units, with model y 1 at the top.
DeviceArea UnitSquareArea(const WorldTransform& t);

// Fits a picture of pictureWidth x pictureHeight pixels into the area: a
// picture wider than the area fills its width and is centred vertically,
// any other fills its height and is centred horizontally; an odd margin
// leaves the extra pixel after the picture. Returns false, with *placed
// untouched, when there is nothing to draw: a picture or an area of zero
// width or height, or a placement that does not fit 32 bits.
bool FitPicture(int32_t pictureWidth, int32_t pictureHeight, const DeviceArea& area,
                DeviceArea* placed);

}  // namespace vorda
