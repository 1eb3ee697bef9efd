#include "gl_window.h"

#include "chain_hook.h"
#include "surface.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace vorda_test {

namespace {

const char* WindowClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;  // OpenGL wants a device context of its own per window
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vorda_gl_test";
    RegisterClassA(&wc);
    return "vorda_gl_test";
  }();
  return name;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

// Windows are kept for the whole run and handed out again by size: without
// a window manager, Wine waits two seconds for every visible window it
// destroys.
struct SpareWindow {
  int width, height;
  HWND hwnd;
  HDC dc;
};
std::vector<SpareWindow>& Spare() {
  static std::vector<SpareWindow> spare;
  return spare;
}

GlWindow::GlWindow(int width, int height) : width_(width), height_(height) {
  for (auto it = Spare().begin(); it != Spare().end(); ++it) {
    if (it->width != width || it->height != height) continue;
    hwnd_ = it->hwnd;
    dc_ = it->dc;
    Spare().erase(it);
    return;
  }
  // The client area is the size asked for.
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, WS_POPUP, FALSE);
  hwnd_ = CreateWindowExA(0, WindowClass(), "vorda gl test", WS_POPUP | WS_VISIBLE, 0, 0,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) throw std::runtime_error("cannot make a window");
  PumpMessages();
  // The class gives each window a device context of its own, for good.
  dc_ = GetDC(hwnd_);
  if (!dc_) throw std::runtime_error("cannot get the window's device context");
}

GlWindow::~GlWindow() { Spare().push_back({width_, height_, hwnd_, dc_}); }

GlPixels::GlPixels(int width, int height)
    : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3) {
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb_.data());
}

COLORREF GlPixels::At(int x, int y) const {
  const uint8_t* p = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
  return RGB(p[0], p[1], p[2]);
}

int GlPixels::NonWhite() const {
  int n = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) n += !IsWhite(x, y);
  return n;
}

GlPixels::Box GlPixels::NonWhiteBox() const {
  Box b;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (IsWhite(x, y)) continue;
      if (b.left < 0) {
        b = {x, y, x, y};
        continue;
      }
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.bottom = std::min(b.bottom, y);
      b.top = std::max(b.top, y);
    }
  }
  return b;
}

std::unique_ptr<AnyHook> WineFontQuirk() {
  return Chain<decltype(wglUseFontBitmapsA)>(
      "opengl32.dll", "wglUseFontBitmapsA", [](auto original, auto... args) {
        static bool told = false;
        BOOL ok = original(args...);
        if (ok && WineVersion() && glGetError() == GL_OUT_OF_MEMORY && !told) {
          told = true;
          std::printf("[ platform ] Wine %s: cleared a spurious GL_OUT_OF_MEMORY after "
                      "wglUseFontBitmapsA\n",
                      WineVersion());
        }
        return ok;
      });
}

void DrainGlErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

void GlPixels::SavePpm(const std::string& path) const {
  FILE* f = std::getenv("VORDA_SAVE_PPM") ? std::fopen(path.c_str(), "wb") : nullptr;
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", width_, height_);
  for (int y = height_ - 1; y >= 0; --y)
    std::fwrite(&rgb_[static_cast<size_t>(y) * width_ * 3], 1, static_cast<size_t>(width_) * 3, f);
  std::fclose(f);
}

}  // namespace vorda_test
