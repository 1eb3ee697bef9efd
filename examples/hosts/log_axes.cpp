// A logarithmic y axis with ticks and labels at decades: a decay that has
// a gap (a not-a-number sample) and falls to zero, which a logarithm
// cannot show: the zeros go to the log floor, below the plot, and the
// trace drops off the bottom edge. Saved as log_axes.bmp.
#include <cmath>
#include <vector>

#include "example.h"

using example::Check;

int main() {
  HostObject script = example::NewScript();
  double noInches = 0.0;
  int width = 500, height = 400;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC")) return 1;
  Check(MSEnable(script, dc) == 1, "MSEnable");

  // A logarithmic axis needs positive ends: this one is refused, and the
  // host hears why. (The stand-in host's error call returns 0.)
  Check(MSSetXForm(script, 1, "LINEAR", "LOG10", 60, 460, 20, 340, 0.0, 10.0, 1000.0, 0.0) == 0,
        "a log axis down to 0 is refused");
  Check(tarn::host().Messages() ==
            std::vector<std::string>{"In MSSetXForm. ModelTop and ModelBottom must be positive for log scale."},
        "the refusal's message");
  tarn::host().ClearErrors();

  // y from 1 (bottom, device 340) to 1000 (top, device 20): three decades,
  // so the log floor is -3, three decades below the bottom.
  Check(MSSetXForm(script, 1, "LINEAR", "LOG10", 60, 460, 20, 340, 0.0, 10.0, 1000.0, 1.0) == 1,
        "MSSetXForm with a log y axis");

  HPEN black = nullptr, red = nullptr;
  Check(MSNewPen(script, &black, "SOLID", 1, 0.0, 0.0, 0.0) == 1, "MSNewPen black");
  Check(MSNewPen(script, &red, "SOLID", 2, 1.0, 0.0, 0.0) == 1, "MSNewPen red");

  // 1000 * 10^(-t/3) until t = 6, then 0; no sample between t = 4 and 4.5.
  // On a log axis only not-a-number breaks the line: VORDA_MISSING_SAMPLE
  // would be drawn at its logarithm, just under 11.
  std::vector<double> decay;
  for (int i = 0; i <= 1000; ++i) {
    double t = i * 0.01;
    double y = t < 6.0 ? 1000.0 * std::pow(10.0, -t / 3.0) : 0.0;
    if (t > 4.0 && t < 4.5) y = NAN;
    decay.push_back(t);
    decay.push_back(y);
  }
  Check(MSPolyLine(script, &red, "LINE_STRIP", decay.data(), static_cast<unsigned>(decay.size())) == 1,
        "MSPolyLine of the decay");

  // A tick at every decade, inside the plot, as separate segments.
  const double decades[] = {1, 10, 100, 1000};
  std::vector<double> ticks;
  for (double d : decades) ticks.insert(ticks.end(), {0.0, d, 0.25, d});
  Check(MSPolyLine(script, &black, "LINES", ticks.data(), static_cast<unsigned>(ticks.size())) == 1,
        "MSPolyLine of the ticks");

  // Labels go on with clipping off: with a clip region, MSText first paints
  // the whole clipped area white.
  Check(MSDisable(script) == 1, "MSDisable");
  const double frame[] = {0, 1000, 10, 1000, 10, 1, 0, 1, 0, 1000};
  Check(MSPolyLine(script, &black, "LINE_STRIP", frame, 10) == 1, "MSPolyLine of the frame");
  HFONT font = nullptr, upright = nullptr;
  Check(MSNewFont(script, &font, "Arial", 10, "HORIZONTAL", "NORMAL", 0, 0, 0) == 1, "MSNewFont");
  Check(MSNewFont(script, &upright, "Arial", 10, "+VERTICAL", "NORMAL", 0, 0, 0) == 1, "MSNewFont +VERTICAL");
  const char* labels[] = {"1", "10", "100", "1000"};
  for (int i = 0; i < 4; ++i)
    Check(MSText(script, &font, labels[i], -0.1, decades[i], "HORIZONTAL", "RIGHT", "CENTER", 0, 0, 0) == 1,
          "MSText of a decade label");
  Check(MSText(script, &font, "time (s)", 5.0, 0.7, "HORIZONTAL", "CENTER", "TOP", 0, 0, 0) == 0,
        "there is no TOP alignment: refused");
  tarn::host().ClearErrors();
  // "CENTER" below the axis: the box's middle sits on the anchor.
  Check(MSText(script, &font, "time (s)", 5.0, 0.6, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0) == 1,
        "MSText of the x title");
  Check(MSText(script, &upright, "level", -1.2, 31.6, "+VERTICAL", "CENTER", "CENTER", 0, 0, 0) == 1,
        "MSText of the y title");

  Check(MSSaveBitmapFile(script, dc, "log_axes.bmp") == 1, "MSSaveBitmapFile");
  DeleteObject(font);
  DeleteObject(upright);
  DeleteObject(red);
  DeleteObject(black);

  // Device x = 60 + 40 t; device y = 340 - 106.7 log10(y).
  example::Bmp bmp("log_axes.bmp");
  if (Check(bmp.valid(), "a BMP")) {
    Check(bmp.At(180, 126) == RGB(255, 0, 0), "100 at t = 3 lies at device y 126");
    Check(bmp.NonWhite(230, 120, 231, 220) == 0, "the gap at t = 4.25 stays open");
    Check(bmp.At(300, 320) == RGB(255, 0, 0), "at t = 6 the trace drops to the floor");
    Check(bmp.NonWhite(320, 240, 459, 339) == 0, "zeros are below the plot, not on it");
    Check(bmp.At(61, 233) == RGB(0, 0, 0), "the tick at 10");
    for (double d : decades) {
      int row = static_cast<int>(340 - 320.0 / 3 * std::log10(d));
      Check(bmp.NonWhite(20, row - 8, 57, row + 8) > 0, "a label left of each decade");
    }
    Check(bmp.NonWhite(200, 350, 320, 380) > 0, "the x title under the plot");
  }
  return example::Finish("log_axes");
}
