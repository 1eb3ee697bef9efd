#include "summary_window.h"

#include <chrono>
#include <memory>
#include <cstdint>
#include <string>

#include "chart_plan.h"
#include "shown_path.h"

namespace view {
namespace {

const char* kClassName = "vorda-view-summary";

struct Pass {
  std::string text;
  bool stopped = false;
};

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  Pass* pass = reinterpret_cast<Pass*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
      break;
    case WM_KEYDOWN:
      if (w == VK_ESCAPE && pass) pass->stopped = true;
      return 0;
    case WM_CLOSE:
      if (pass) pass->stopped = true;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      if (pass) DrawTextA(dc, pass->text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, w, l);
}

class Window {
 public:
  explicit Window(Pass* pass, const std::string& title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 140, nullptr,
                            nullptr, wc.hInstance, pass);
  }
  ~Window() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace

bool SummarizeInWindow(const chart::Options& options, chart::Recording* recording, HWND* shown, double delay) {
  const std::string name = chart::ShownPath(options.input);
  Pass pass;
  std::unique_ptr<Window> window;
  const auto start = std::chrono::steady_clock::now();
  auto last = start;
  int percent = -1;
  auto progress = [&](std::int64_t done, std::int64_t total) {
    const auto now = std::chrono::steady_clock::now();
    if (!window) {
      if (std::chrono::duration<double>(now - start).count() < delay) return true;
      window = std::make_unique<Window>(&pass, "vorda-view: " + chart::BaseName(name));
      if (shown) *shown = window->get();
    }
    const int p = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    // Enough to see it move without spending the pass on painting.
    if (p != percent && std::chrono::duration<double>(now - last).count() > 0.05) {
      percent = p;
      last = now;
      pass.text = "Summarizing " + chart::BaseName(name) + ": " + std::to_string(p) + "%   (Escape stops)";
      InvalidateRect(window->get(), nullptr, FALSE);
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return !pass.stopped;
  };
  chart::Timings timings;
  const bool made = chart::SummarizeRecording(options, recording, &timings, progress);
  window.reset();
  if (shown) *shown = nullptr;
  return made;
}

}  // namespace view
