// A real, visible top-level window for the OpenGL back end (one of the same
// size may have served an earlier test), and what the rendering
// context current on the calling thread shows: frame-buffer pixels read
// back with glReadPixels (origin at the bottom left, as GL counts).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import_hook.h"

namespace vorda_test {

class GlWindow {
 public:
  GlWindow(int width, int height);
  GlWindow(const GlWindow&) = delete;
  GlWindow& operator=(const GlWindow&) = delete;
  ~GlWindow();

  HWND hwnd() const { return hwnd_; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
};

// The colour buffer of the current context, RGB, rows from the bottom up.
class GlPixels {
 public:
  // Reads the rectangle (0, 0, width, height) of the current drawable.
  GlPixels(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  // The colour at (x, y), y counted up from the bottom, as a COLORREF.
  COLORREF At(int x, int y) const;
  bool IsWhite(int x, int y) const { return At(x, y) == RGB(255, 255, 255); }
  int NonWhite() const;
  // The smallest box holding every pixel that is not white; all -1 when
  // there is none.
  struct Box {
    int left = -1, bottom = -1, right = -1, top = -1;
  };
  Box NonWhiteBox() const;
  // Writes a binary PPM (top row first) to look at, when VORDA_SAVE_PPM is
  // set: tests leave no files behind otherwise.
  void SavePpm(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<uint8_t> rgb_;
};

// Wine's wglUseFontBitmapsA leaves GL_OUT_OF_MEMORY pending after building
// the empty bitmap of a blank character (space, no-break space) although it
// succeeds; Windows does not. While the hook lives, under Wine, the error a
// successful call left is taken back, so that the font exports can be
// tested as they behave on Windows. The first error taken back is told.
std::unique_ptr<AnyHook> WineFontQuirk();

// Takes every error GL holds pending, so that the next call starts clean.
void DrainGlErrors();

}  // namespace vorda_test
