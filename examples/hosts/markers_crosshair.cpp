// Markers and a crosshair: squares of one size and colour, circles and
// squares sized from a box with a colour each, and a crosshair cursor that
// is drawn by inverting pixels, remembered in the host's slot array and
// erased again. Saved, crosshair on, as markers_crosshair.bmp.
#include "example.h"

using example::Check;

int main() {
  HostObject script = example::NewScript();
  double noInches = 0.0;
  int width = 300, height = 200;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC")) return 1;
  Check(MSEnable(script, dc) == 1, "MSEnable");
  // x 0..10 on device 20..280, y 0..10 on device 180..20.
  Check(MSSetXForm(script, 1, "LINEAR", "LINEAR", 20, 280, 20, 180, 0.0, 10.0, 10.0, 0.0) == 1,
        "MSSetXForm");

  // Blue squares 7 pixels across, centred on each point (x, y interleaved).
  const double points[] = {1, 8, 3, 6, 5, 7, 7, 3, 9, 2};
  Check(MSPolyPoints(script, points, 10, 7, 0.0, 0.0, 1.0) == 1, "MSPolyPoints");

  // One record of nine doubles a marker: the box x1, x2, y1, y2, the size
  // factor, red, green, blue and the shape (1 circle, 2 square, else none).
  const double records[] = {
      1, 2, 1, 2, 1.0, 1, 0, 0, 1,        // a red circle: 16 + 3 pixels across
      7, 8, 8, 9, 0.5, 0, 0.6, 0, 2,      // a green square: 8 + 3 pixels across
      4, 5, 1, 2, 1.0, 0, 0, 0, 3,        // shape 3: nothing drawn
  };
  Check(MSPolyPointsEx(script, records, 27) == 1, "MSPolyPointsEx");

  // A crosshair at (5, 5): a horizontal segment, then a vertical one, each
  // from its top-left end on the device: the rectangles are taken as given.
  const double cross[] = {0, 5, 10, 5, 5, 10, 5, 0};
  int slots[8] = {-1, -1, -1, -1, -1, -1, -1, -1};  // two free slots
  Check(MSCrossHair(script, cross, 8, slots, 8) == 1, "MSCrossHair");
  Check(GetPixel(dc, 60, 100) == RGB(0, 0, 0), "white under the bar is inverted to black");
  Check(slots[0] == 20 && slots[1] == 100 && slots[2] == 280 && slots[3] == 101,
        "the horizontal bar is remembered in the first slot");
  // The same crosshair again finds both bars on and inverts nothing.
  Check(MSCrossHair(script, cross, 8, slots, 8) == 1, "MSCrossHair again");
  Check(GetPixel(dc, 60, 100) == RGB(0, 0, 0), "a second call does not erase");

  Check(MSEraseCrossHairs(script, slots, 8) == 1, "MSEraseCrossHairs");
  Check(GetPixel(dc, 60, 100) == RGB(255, 255, 255), "erased: the pixels are back");
  Check(slots[0] == -1 && slots[4] == -1, "both slots are free again");

  // On again for the picture. MSEraseCrossHairs lifted the clipping.
  Check(MSCrossHair(script, cross, 8, slots, 8) == 1, "MSCrossHair for the picture");
  Check(MSSaveBitmapFile(script, dc, "markers_crosshair.bmp") == 1, "MSSaveBitmapFile");

  example::Bmp bmp("markers_crosshair.bmp");
  if (Check(bmp.valid(), "a BMP")) {
    // (1, 8) lies at device (46, 52): corners 46 -+ 3 and 52 -+ 3, which
    // GDI fills without the right and bottom edge: 43..48 by 49..54.
    Check(bmp.NonWhiteBox(36, 45, 56, 60).left == 43 && bmp.NonWhiteBox(36, 45, 56, 60).right == 49,
          "a square 6 pixels wide");
    Check(bmp.At(46, 52) == RGB(0, 0, 255) && bmp.At(43, 49) == RGB(0, 0, 255), "a blue square");
    Check(bmp.At(59, 156) == RGB(255, 0, 0), "the red circle's middle");
    Check(bmp.At(215, 44) == RGB(0, 153, 0), "the green square's middle");
    Check(bmp.NonWhite(120, 150, 140, 170) == 0, "shape 3 drew nothing");
    Check(bmp.At(150, 30) == RGB(0, 0, 0) && bmp.At(250, 100) == RGB(0, 0, 0), "the crosshair");
  }
  return example::Finish("markers_crosshair");
}
