// A first chart: a framed sine wave on linear axes, drawn into an
// off-screen bitmap and saved as first_chart.bmp.
#include <cmath>
#include <vector>

#include "example.h"

using example::Check;

int main() {
  HostObject script = example::NewScript();

  // A white bitmap of 400 x 300 pixels. Inch sizes of 0 mean: take the pixels.
  double noInches = 0.0;
  int width = 400, height = 300;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC gives a surface")) return 1;

  // Draw on it; the plot area 40..380 x 20..260 pixels shows x 0..10 and
  // y -1 (bottom) .. 1 (top), and drawing is clipped to it.
  Check(MSEnable(script, dc) == 1, "MSEnable");
  Check(MSSetXForm(script, 1, "LINEAR", "LINEAR", 40, 380, 20, 260, 0.0, 10.0, 1.0, -1.0) == 1,
        "MSSetXForm");

  // The host owns the pens vorda makes for it, and deletes them.
  HPEN black = nullptr, red = nullptr;
  Check(MSNewPen(script, &black, "SOLID", 1, 0.0, 0.0, 0.0) == 1, "MSNewPen black");
  Check(MSNewPen(script, &red, "SOLID", 2, 1.0, 0.0, 0.0) == 1, "MSNewPen red");

  // The trace: x at even, y at odd indexes; the size counts doubles.
  std::vector<double> trace;
  for (int i = 0; i <= 200; ++i) {
    trace.push_back(i * 0.05);
    trace.push_back(std::sin(i * 0.05));
  }
  Check(MSPolyLine(script, &red, "LINE_STRIP", trace.data(), static_cast<unsigned>(trace.size())) == 1,
        "MSPolyLine of the trace");

  // The zero line as separate segments: "LINES" takes two points a segment.
  const double zeroLine[] = {0, 0, 10, 0};
  Check(MSPolyLine(script, &black, "LINES", zeroLine, 4) == 1, "MSPolyLine of the zero line");

  // The frame is drawn unclipped, on the plot area's edges.
  Check(MSDisable(script) == 1, "MSDisable");
  const double frame[] = {0, 1, 10, 1, 10, -1, 0, -1, 0, 1};
  Check(MSPolyLine(script, &black, "LINE_STRIP", frame, 10) == 1, "MSPolyLine of the frame");

  // Saving writes the file and destroys the surface: dc is gone afterwards.
  Check(MSSaveBitmapFile(script, dc, "first_chart.bmp") == 1, "MSSaveBitmapFile");
  DeleteObject(red);
  DeleteObject(black);

  // What the file holds: x 5 lies at device x 40 + 34 * 5 = 210, and
  // sin(5) = -0.959 at device y 140 + 120 * 0.959 = 255.
  example::Bmp bmp("first_chart.bmp");
  if (Check(bmp.valid() && bmp.width() == 400 && bmp.height() == 300, "a 400 x 300 BMP")) {
    Check(bmp.At(210, 255) == RGB(255, 0, 0), "the trace is red at x = 5");
    Check(bmp.At(210, 100) == RGB(255, 255, 255), "the plot is white above it");
    Check(bmp.At(100, 140) == RGB(0, 0, 0), "the zero line at device y 140");
    Check(bmp.At(40, 200) == RGB(0, 0, 0) && bmp.At(380, 200) == RGB(0, 0, 0), "the frame's sides");
    Check(bmp.NonWhite(0, 0, 39, 300) == 0, "nothing left of the frame");
  }
  return example::Finish("first_chart");
}
