// Test surfaces and files: a white DIB section of a chosen depth selected
// into a memory device context, read back pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorda_test {

class DibSurface {
 public:
  DibSurface(int width, int height, int bitsPerPixel = 32);
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  ~DibSurface();

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The colour at (x, y) as a COLORREF (red in the low byte); top-left origin.
  COLORREF Pixel(int x, int y) const;
  // How many pixels have exactly this colour.
  int Count(COLORREF colour) const;
  // How many pixels differ from white.
  int NonWhite() const { return width_ * height_ - Count(RGB(255, 255, 255)); }
  void Fill(COLORREF colour);

 private:
  int width_, height_, bits_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* pixels_ = nullptr;
};

// The bytes of a 24-bit bottom-up BMP file whose pixel (x, y), counted from
// the top-left, has the colour pixel(x, y).
std::string Bmp24(int width, int height, const std::function<COLORREF(int, int)>& pixel);

std::vector<uint8_t> ReadBytes(const std::string& path);
// A text file written in text mode, its line ends as "\n".
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
// The version of Wine this runs under, or null on Windows.
const char* WineVersion();

// A path for a scratch file in the running test's own directory, which is
// removed with everything in it when the test ends.
std::string TempPath(const std::string& name);

}  // namespace vorda_test
