// An enhanced metafile and pictures: a chart recorded as chart.emf (4 x 3
// inches), a small bitmap saved as logo.bmp, and both drawn into a third
// surface, picture.bmp: the logo at its natural size in the top-left
// corner (MSLoadPictureFile), the metafile fitted into the plot area with
// its aspect ratio kept (MSLoadPicture, from bytes in memory).
#include <cmath>
#include <vector>

#include "example.h"

using example::Check;

namespace {

void DrawLogo(HostObject script) {
  double noInches = 0.0;
  int width = 40, height = 30;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC for the logo")) return;
  Check(MSEnable(script, dc) == 1, "MSEnable the logo");
  Check(MSSetXForm(script, 0, "LINEAR", "LINEAR", 0, 40, 0, 30, 0.0, 40.0, 0.0, 30.0) == 1, "MSSetXForm");
  // An orange bar as wide as the logo is high: one segment, a pen 32 wide.
  HPEN orange = nullptr;
  Check(MSNewPen(script, &orange, "SOLID", 32, 1.0, 0.5, 0.0) == 1, "MSNewPen");
  const double bar[] = {0, 15, 40, 15};
  Check(MSPolyLine(script, &orange, "LINES", bar, 4) == 1, "MSPolyLine of the bar");
  Check(MSSaveBitmapFile(script, dc, "logo.bmp") == 1, "MSSaveBitmapFile logo.bmp");
  DeleteObject(orange);
}

void RecordChart(HostObject script) {
  // In inches going in, in pixels of the recording device coming out.
  double width = 4.0, height = 3.0;
  HDC emf = MSCreateMetaFileDC(script, "chart.emf", &width, &height);
  if (!Check(emf != nullptr, "MSCreateMetaFileDC")) return;
  Check(width > 4.0 && height > 3.0 && std::fabs(width / height - 4.0 / 3.0) < 1e-9, "sizes in pixels");
  int w = static_cast<int>(width), h = static_cast<int>(height);

  Check(MSEnable(script, emf) == 1, "MSEnable the metafile");
  HPEN black = nullptr, red = nullptr;
  Check(MSNewPen(script, &black, "SOLID", 1, 0, 0, 0) == 1, "MSNewPen");
  Check(MSNewPen(script, &red, "SOLID", 3, 1, 0, 0) == 1, "MSNewPen");
  // A frame around the whole page: a metafile's picture frame is what was
  // drawn, so this makes the picture the page's size.
  Check(MSSetXForm(script, 0, "LINEAR", "LINEAR", 0, w - 1, 0, h - 1, 0.0, 1.0, 1.0, 0.0) == 1, "MSSetXForm");
  const double page[] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 1};
  Check(MSPolyLine(script, &black, "LINE_STRIP", page, 10) == 1, "MSPolyLine of the page frame");
  // A damped wave, with every point recorded: a metafile is never reduced.
  Check(MSSetXForm(script, 1, "LINEAR", "LINEAR", w / 10, w - w / 10, h / 10, h - h / 10, 0.0, 10.0,
                   1.0, -1.0) == 1, "MSSetXForm of the plot");
  std::vector<double> wave;
  for (int i = 0; i <= 500; ++i) {
    double t = i * 0.02;
    wave.push_back(t);
    wave.push_back(std::exp(-t / 4) * std::sin(3 * t));
  }
  Check(MSPolyLine(script, &red, "LINE_STRIP", wave.data(), static_cast<unsigned>(wave.size())) == 1,
        "MSPolyLine of the wave");
  Check(MSDisable(script) == 1, "MSDisable");
  // Nonzero when the file is complete; it reports nothing to the host.
  Check(MSSaveMetaFile(script, emf) != 0, "MSSaveMetaFile");
  DeleteObject(red);
  DeleteObject(black);
}

}  // namespace

int main() {
  HostObject script = example::NewScript();
  DrawLogo(script);
  RecordChart(script);

  // An enhanced metafile begins with its header record: type 1, the
  // signature " EMF" at byte 40 and the file's size at byte 48.
  std::string emf = example::ReadFile("chart.emf");
  Check(emf.size() > 88 && example::Le32(emf, 0) == 1 && example::Le32(emf, 40) == 0x464D4520 &&
            example::Le32(emf, 48) == emf.size(),
        "chart.emf is a complete enhanced metafile");

  double noInches = 0.0;
  int width = 400, height = 300;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC")) return 1;
  Check(MSEnable(script, dc) == 1, "MSEnable");
  Check(MSLoadPictureFile(script, "logo.bmp") == 1, "MSLoadPictureFile");
  // MSLoadPicture fits into where the transform puts the model unit square:
  // here the device rectangle 50..390 x 40..290.
  Check(MSSetXForm(script, 0, "LINEAR", "LINEAR", 50, 390, 40, 290, 0.0, 1.0, 1.0, 0.0) == 1, "MSSetXForm");
  Check(MSLoadPicture(script, emf.data(), static_cast<unsigned>(emf.size())) == 1, "MSLoadPicture");
  Check(MSSaveBitmapFile(script, dc, "picture.bmp") == 1, "MSSaveBitmapFile picture.bmp");

  example::Bmp bmp("picture.bmp");
  if (Check(bmp.valid(), "a BMP")) {
    Check(bmp.At(1, 1) == RGB(255, 127, 0) && bmp.At(38, 28) == RGB(255, 127, 0), "the logo, 40 x 30");
    Check(bmp.At(45, 35) == RGB(255, 255, 255), "nothing beyond the logo");
    // A 4:3 page in a 340 x 250 area fills its height: 333 x 250 at x 53.
    RECT page = bmp.NonWhiteBox(45, 35, 400, 300);
    std::printf("the metafile's page lies at x %ld..%ld, y %ld..%ld\n", page.left, page.right, page.top,
                page.bottom);
    Check(std::abs(page.left - 53) <= 1 && std::abs(page.right - 386) <= 1 && page.top == 40 &&
              std::abs(page.bottom - 290) <= 1,
          "the metafile fitted, aspect kept, centred");
    Check(bmp.NonWhite(60, 50, 380, 280) > 200, "the wave inside it");
  }
  return example::Finish("emf_picture");
}
