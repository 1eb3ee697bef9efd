// The OpenGL back end in a window: a framed sine wave drawn as float line
// strips, clipped to the plot by a scissor box, and a text through a
// bitmap font. The window's pixels are read back and checked, and written
// to opengl_window.ppm to look at. Needs a display (under Wine: an X
// display, such as xvfb-run gives).
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "example.h"

using example::Check;

namespace {

const int kWidth = 320, kHeight = 240;

// A window with a device context of its own, as OpenGL wants, whose
// client area is kWidth x kHeight.
HWND OpenWindow() {
  WNDCLASSA wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "vorda_example";
  RegisterClassA(&wc);
  RECT r{0, 0, kWidth, kHeight};
  AdjustWindowRect(&r, WS_POPUP, FALSE);
  HWND window = CreateWindowExA(0, "vorda_example", "vorda OpenGL example", WS_POPUP | WS_VISIBLE, 0, 0,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  return window;
}

}  // namespace

int main() {
  HostObject script = example::NewScript();
  HWND window = OpenWindow();
  if (!Check(window != nullptr, "a window")) return 1;
  HDC dc = GetDC(window);

  // The window's pixels with y growing upward: left 0, right 320, top 240,
  // bottom 0. The first GLEnable on a device context clears it to white.
  Check(GLEnable(script, dc, 0, kWidth, kHeight, 0) == 1, "GLEnable");
  // The plot: x 0..10 on pixels 20..300, y -1..1 on pixels 20..220,
  // scissored to that box.
  Check(GLSetXForm(script, 1, 20, 300, 220, 20, 0.0, 10.0, 1.0, -1.0) == 1, "GLSetXForm");

  // Vertices are 32-bit floats, x and y interleaved; the count is in floats.
  std::vector<float> wave;
  for (int i = 0; i <= 200; ++i) {
    wave.push_back(i * 0.05f);
    wave.push_back(std::sin(i * 0.05f) * 1.2f);  // beyond the plot at the crests
  }
  Check(GLPolyLine(script, wave.data(), static_cast<unsigned>(wave.size()), 0, 2.0, 1.0, 0.0, 0.0) == 1,
        "GLPolyLine of the wave");
  const float frame[] = {0, 1, 10, 1, 10, -1, 0, -1, 0, 1};
  Check(GLPolyLine(script, frame, 10, 0, 1.0, 0.0, 0.0, 0.0) == 1, "GLPolyLine of the frame");

  // A font is 256 display lists, one per 8-bit code; GLText starts every
  // text at the model point (50, 50), so the transform places it.
  Check(GLSetXForm(script, 0, 0, kWidth, kHeight, 0, 0.0, 320.0, 240.0, 0.0) == 1, "GLSetXForm for text");
  int font = GLNewFont("Arial", 16, 0);
  if (font != 0)
    Check(GLText(font, "vorda", 0.0, 0.0, 1.0) == 1, "GLText");
  else
    std::printf("GLNewFont gave 0: this platform left a GL error behind the glyph bitmaps\n");
  Check(GLDisable() == 1, "GLDisable");

  glFinish();
  std::vector<unsigned char> rgb(kWidth * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // Rows come bottom first, as GL counts y.
  auto at = [&](int x, int y) {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
    return RGB(p[0], p[1], p[2]);
  };
  FILE* ppm = std::fopen("opengl_window.ppm", "wb");
  if (ppm) {
    std::fprintf(ppm, "P6\n%d %d\n255\n", kWidth, kHeight);
    for (int y = kHeight - 1; y >= 0; --y) std::fwrite(&rgb[static_cast<size_t>(y) * kWidth * 3], 1, kWidth * 3, ppm);
    std::fclose(ppm);
  }

  // x = 5 lies at pixel 20 + 28 * 5 = 160; 1.2 sin(5) = -1.15 is below the
  // plot, so the wave is cut at its bottom edge, pixel row 20.
  int red = 0, outside = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      bool isRed = at(x, y) == RGB(255, 0, 0);
      red += isRed;
      outside += isRed && (x < 20 || x > 300 || y < 20 || y > 220);
    }
  Check(red > 300, "the wave is drawn");
  Check(outside == 0, "nothing red outside the scissor box");
  Check(at(160, 120) == RGB(255, 255, 255), "white above the wave at x = 5");
  Check(at(100, 20) == RGB(0, 0, 0) || at(100, 21) == RGB(0, 0, 0), "the frame's bottom edge");

  ReleaseDC(window, dc);
  DestroyWindow(window);
  return example::Finish("opengl_window");
}
