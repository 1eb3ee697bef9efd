// Text in the four orientations, each centred on the middle of its own
// quarter of a 400 x 400 bitmap, and the measurements that place it.
// "-VERTICAL" and "UPSIDEDOWN" are shifted by an alignment exactly as
// "+VERTICAL" and "HORIZONTAL" are, although they run the other way, so
// their anchor is moved by the text's own size to centre them.
// Saved as text_orientations.bmp.
#include <cstdlib>

#include "example.h"

using example::Check;

int main() {
  HostObject script = example::NewScript();
  double noInches = 0.0;
  int size = 400;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &size, &size);
  if (!Check(dc != nullptr, "MSCreateBitmapDC")) return 1;
  Check(MSEnable(script, dc) == 1, "MSEnable");
  // Model units are device pixels here, and nothing is clipped.
  Check(MSSetXForm(script, 0, "LINEAR", "LINEAR", 0, 400, 0, 400, 0.0, 400.0, 0.0, 400.0) == 1,
        "MSSetXForm");

  const char* orientations[] = {"HORIZONTAL", "+VERTICAL", "-VERTICAL", "UPSIDEDOWN"};
  const int centreX[] = {100, 300, 100, 300};
  const int centreY[] = {100, 100, 300, 300};
  const char* text = "vorda 2.0";
  int measured[4][2] = {};
  for (int i = 0; i < 4; ++i) {
    // The rotation belongs to the font; MSText's orientation keyword only
    // tells how the measured box lies. Fonts are the host's to delete.
    HFONT font = nullptr;
    Check(MSNewFont(script, &font, "Arial", 16, orientations[i], "HEAVY", 0, 0, 0) == 1, "MSNewFont");
    int& w = measured[i][0];
    int& h = measured[i][1];
    Check(MSGetTextExtents(script, &font, text, orientations[i], &w, &h) == 1, "MSGetTextExtents");

    // w and h are as the text lies on the device: for the vertical
    // orientations w is the line's height and h the string's length.
    double x = centreX[i], y = centreY[i];
    if (i == 2) x += w, y -= h;  // "-VERTICAL"
    if (i == 3) x += w, y += h;  // "UPSIDEDOWN"
    Check(MSText(script, &font, text, x, y, orientations[i], "CENTER", "CENTER", 0.0, 0.0, 0.6) == 1,
          "MSText");
    DeleteObject(font);
  }
  Check(measured[1][0] == measured[0][1] && measured[1][1] == measured[0][0],
        "a vertical text's width and height are the horizontal one's, exchanged");
  Check(MSSaveBitmapFile(script, dc, "text_orientations.bmp") == 1, "MSSaveBitmapFile");

  example::Bmp bmp("text_orientations.bmp");
  if (Check(bmp.valid(), "a BMP")) {
    for (int i = 0; i < 4; ++i) {
      int left = centreX[i] - 100, top = centreY[i] - 100;
      RECT ink = bmp.NonWhiteBox(left, top, left + 200, top + 200);
      // The ink lies within the measured box, which is centred on the
      // quarter's middle (glyphs leave a few pixels of their cell empty).
      bool inside = ink.right > ink.left && ink.left >= centreX[i] - measured[i][0] / 2 - 1 &&
                    ink.right <= centreX[i] + measured[i][0] / 2 + 1 &&
                    ink.top >= centreY[i] - measured[i][1] / 2 - 1 &&
                    ink.bottom <= centreY[i] + measured[i][1] / 2 + 1;
      bool long_way = (i == 1 || i == 2) ? ink.bottom - ink.top > 2 * (ink.right - ink.left)
                                         : ink.right - ink.left > 2 * (ink.bottom - ink.top);
      std::printf("%-10s measured %3d x %3d, ink at x %3ld..%3ld, y %3ld..%3ld\n", orientations[i],
                  measured[i][0], measured[i][1], ink.left, ink.right, ink.top, ink.bottom);
      Check(inside, "the text is centred on its quarter's middle");
      Check(long_way, "the text runs the way of its orientation");
    }
  }
  return example::Finish("text_orientations");
}
