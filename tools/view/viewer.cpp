#include "viewer.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "chart_output.h"
#include "host_recording.h"
#include "sample_access.h"
#include "shown_path.h"
#include "tarn.h"
#include "vorda_log.h"

namespace view {
namespace {

const char* kClassName = "vorda-view";
const char* kFace = "Arial";
constexpr int kMinWidth = 420, kMinHeight = 320;
// A press and release closer than this many pixels is a click, not a drag.
constexpr int kDragPixels = 3;
// One wheel notch shows this share of the span around the pointer.
constexpr double kWheelZoom = 0.8;
// Arrow keys move the view by this share of its span.
constexpr double kPanStep = 0.25;

// The x range of the whole recording, as the chart tool chooses it.
chart::Range WholeTime(const chart::Recording& r, chart::Options o) {
  o.haveXRange = false;
  o.haveYRange = false;
  chart::ChartPlan plan;
  std::string error;
  if (chart::PlanChart(r, o, &plan, &error)) return plan.x;
  return {0, 1};
}

// Whether a message that asks for another view (a key, a button, the
// wheel) waits in the queue.
bool InputWaiting(HWND hwnd) {
  MSG msg;
  const UINT kinds[][2] = {{WM_KEYDOWN, WM_KEYDOWN},
                           {WM_LBUTTONDOWN, WM_LBUTTONDOWN},
                           {WM_RBUTTONDOWN, WM_RBUTTONUP},
                           {WM_MOUSEWHEEL, WM_MOUSEWHEEL},
                           {WM_CLOSE, WM_CLOSE}};
  for (const auto& k : kinds)
    if (PeekMessageA(&msg, hwnd, k[0], k[1], PM_NOREMOVE)) return true;
  return false;
}

}  // namespace

Viewer::Viewer(const chart::Options& options, const chart::Recording& recording,
               std::vector<unsigned char> picture)
    : options_(options),
      recording_(recording),
      picture_(std::move(picture)),
      title_("vorda-view: " + chart::BaseName(chart::ShownPath(options.input))),
      state_(WholeTime(recording, options)) {
  std::fill(std::begin(slots_), std::end(slots_), VORDA_FREE_SLOT);
  if (options.logY) state_.ToggleLogY();
  // The ranges given on the command line are the first zoom.
  if (options.haveXRange || options.haveYRange)
    state_.ZoomTo(options.haveXRange ? options.xRange : state_.Current().x, options.haveYRange,
                  options.yRange);
  host_ = tarn::host().NewObject("vorda-view");
}

Viewer::~Viewer() {
  tarn::host().SetProgressHandler(nullptr);
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Viewer::Open() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);

  // The status line's height follows its font, measured on the screen.
  HDC screen = GetDC(nullptr);
  MSEnable(host_, screen);
  int w = 0, h = 0;
  bool measured = MSNewFont(host_, statusFont_.get(), kFace, 9, "HORIZONTAL", "NORMAL", 0, 0, 0) == 1 &&
                  MSGetTextExtents(host_, statusFont_.get(), "Ag", "HORIZONTAL", &w, &h) == 1;
  ReleaseDC(nullptr, screen);
  log_.Clean("making the status line's font");
  if (!measured) {
    chart::Complain("cannot make the status line's font");
    return false;
  }
  statusHeight_ = h + h / 2 + 4;

  int width = options_.widthPx, height = options_.heightPx;
  if (options_.sizeInInches) {
    HDC dc = GetDC(nullptr);
    width = static_cast<int>(options_.widthIn * GetDeviceCaps(dc, LOGPIXELSX));
    height = static_cast<int>(options_.heightIn * GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(nullptr, dc);
  }
  RECT r{0, 0, std::max(width, kMinWidth), std::max(height, kMinHeight) + statusHeight_};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  AdjustWindowRect(&r, style, FALSE);
  hwnd_ = CreateWindowExA(0, kClassName, title_.c_str(), style, 0, 0, r.right - r.left,
                          r.bottom - r.top, nullptr, nullptr, wc.hInstance, this);
  if (!hwnd_) {
    chart::Complain("cannot open a window: " + chart::SystemMessage(GetLastError()));
    return false;
  }
  UpdateWindow(hwnd_);
  return true;
}

int Viewer::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

LRESULT CALLBACK Viewer::Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(l);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Viewer*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* viewer = reinterpret_cast<Viewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!viewer) return DefWindowProcA(hwnd, message, w, l);
  return viewer->Handle(message, w, l);
}

LRESULT Viewer::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PAINT: {
      // Every paint draws the whole window: a part drawn alone would cut
      // through the inverted bars of the crosshair and leave them stale.
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      Redraw();
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the redraw paints every pixel
    case WM_SIZE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(l);
      info->ptMinTrackSize = {kMinWidth, kMinHeight};
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&track) != 0;
      }
      MovePointer(GET_X_LPARAM(l), GET_Y_LPARAM(l));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      LeaveWindow();
      return 0;
    case WM_LBUTTONDOWN:
      dragging_ = true;
      dragFrom_ = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      if (!dragging_) return 0;
      dragging_ = false;
      ReleaseCapture();
      const POINT to{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (!haveFrame_ || std::abs(to.x - dragFrom_.x) < kDragPixels) return 0;
      const bool withY = (w & MK_SHIFT) != 0 && std::abs(to.y - dragFrom_.y) >= kDragPixels;
      // Dragged beyond the plot, the span stops at its edges.
      const chart::Rect& p = frame_.plot;
      auto px = [&p](LONG x) { return std::clamp<double>(x, p.left, p.right); };
      auto py = [&p](LONG y) { return std::clamp<double>(y, p.top, p.bottom); };
      if (state_.ZoomTo({ValueAt(frame_.x, px(dragFrom_.x)), ValueAt(frame_.x, px(to.x))}, withY,
                        {ValueAt(frame_.y, py(dragFrom_.y)), ValueAt(frame_.y, py(to.y))}))
        Changed();
      return 0;
    }
    case WM_RBUTTONUP:
      if (state_.Back()) Changed();
      return 0;
    case WM_MOUSEWHEEL: {
      POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(hwnd_, &at);
      if (!haveFrame_ || !InPlot(at.x, at.y)) return 0;
      const double notches = GET_WHEEL_DELTA_WPARAM(w) / static_cast<double>(WHEEL_DELTA);
      state_.Wheel(ValueAt(frame_.x, at.x), std::pow(kWheelZoom, notches));
      Changed();
      return 0;
    }
    case WM_KEYDOWN:
      Key(w);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, w, l);
  }
}

void Viewer::Key(WPARAM key) {
  switch (key) {
    case VK_ESCAPE:
      DestroyWindow(hwnd_);
      return;
    case VK_BACK:
      if (state_.Back()) Changed();
      return;
    case VK_HOME:
      state_.Home();
      Changed();
      return;
    case VK_LEFT:
    case VK_RIGHT:
      state_.Pan(key == VK_LEFT ? -kPanStep : kPanStep, 0, plan_.y);
      Changed();
      return;
    case VK_UP:
    case VK_DOWN:
      state_.Pan(0, key == VK_UP ? kPanStep : -kPanStep, plan_.y);
      Changed();
      return;
    case 'L': {
      state_.ToggleLogY();
      chart::ChartPlan plan;
      std::string error;
      if (!chart::PlanChart(recording_, ViewOptions(), &plan, &error)) {
        // No logarithmic view of values that are not above 0: stay linear.
        state_.ToggleLogY();
        HDC dc = GetDC(hwnd_);
        ShowStatus(dc, error);
        ReleaseDC(hwnd_, dc);
        return;
      }
      Changed();
      return;
    }
    case 'S': {
      const std::string path = NextSavePath();
      if (Save(path)) {
        std::printf("vorda-view: saved %s\n", chart::ShownPath(path).c_str());
        std::fflush(stdout);
      }
      return;
    }
    default:
      return;
  }
}

void Viewer::Changed() { InvalidateRect(hwnd_, nullptr, FALSE); }

chart::Options Viewer::ViewOptions() const {
  chart::Options o = options_;
  const View& v = state_.Current();
  o.haveXRange = true;
  o.xRange = v.x;
  o.haveYRange = v.yFixed;
  if (v.yFixed) o.yRange = v.y;
  o.logY = state_.LogY();
  // A y range panned or zoomed on a linear axis may reach 0 or below;
  // on a logarithmic one it fits the data instead.
  if (o.logY && o.haveYRange && !(o.yRange.lo > 0)) o.haveYRange = false;
  o.progress = false;
  return o;
}

int Viewer::ChartHeight() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  return std::max(1L, client.bottom - statusHeight_);
}

bool Viewer::InPlot(int x, int y) const {
  const chart::Rect& p = frame_.plot;
  return x >= p.left && x < p.right && y >= p.top && y < p.bottom;
}

int Viewer::Progress(double done, double total) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - drawStart_).count();
  if (seconds > slowSeconds_) {
    const int share = total > 0 ? static_cast<int>(std::clamp(done / total, 0.0, 1.0) * 100) : 0;
    SetWindowTextA(hwnd_, (title_ + " (drawing " + std::to_string(share) + "%)").c_str());
    showingProgress_ = true;
    if (InputWaiting(hwnd_)) {
      stopped_ = true;
      return 0;
    }
  }
  return 1;
}

bool Viewer::Redraw() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = ChartHeight();
  HDC dc = GetDC(hwnd_);
  log_.Restart();
  // The window starts white: a text drawn while clipping is on clears the
  // clip area first, here the whole window.
  MSEnable(host_, dc);
  MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, width, 0, client.bottom, 0, width, 0, client.bottom);
  MSText(host_, statusFont_.get(), " ", 0, 0, "HORIZONTAL", "LEFT", "CENTER", 1, 1, 1);
  MSDisable(host_);
  // The whole window was painted over: no bar of the crosshair is left.
  std::fill(std::begin(slots_), std::end(slots_), VORDA_FREE_SLOT);
  cursorShown_ = false;

  std::string error;
  const chart::Options o = ViewOptions();
  haveFrame_ = false;
  bool whole = false;
  if (!chart::PlanChart(recording_, o, &plan_, &error)) {
    ShowStatus(dc, error);
  } else {
    stopped_ = false;
    drawStart_ = std::chrono::steady_clock::now();
    tarn::host().SetProgressHandler(
        [this](const tarn::ProgressCall& call) { return Progress(call.done, call.total); });
    chart::Canvas canvas{dc, width, height, false, true};
    chart::ClearHostReadFailure();
    whole = chart::DrawChart(host_, canvas, recording_, o, plan_, picture_, log_, &frame_);
    tarn::host().SetProgressHandler(nullptr);
    // A recording changed or unreadable on disk is not what the window shows.
    std::string unread = chart::HostReadFailure();
    if (unread.empty() && recording_.source->Changed())
      unread = chart::ShownPath(options_.input) + " changed on disk since it was opened";
    if (showingProgress_) {
      SetWindowTextA(hwnd_, title_.c_str());
      showingProgress_ = false;
    }
    if (!unread.empty()) {
      chart::Complain(unread);
      whole = false;
    }
    haveFrame_ = whole;
    if (stopped_) {
      // Given up for what the person asked meanwhile, which asks for a
      // redraw of its own when it changes the view; one comes anyway.
      InvalidateRect(hwnd_, nullptr, FALSE);
    }
    ShowStatus(dc, whole      ? ""
                   : !unread.empty() ? unread + "; open it again"
                   : stopped_ ? "drawing..."
                              : "the chart could not be drawn (see the messages)");
  }
  ReleaseDC(hwnd_, dc);
  if (whole && pointerInside_) MovePointer(pointer_.x, pointer_.y);
  return whole;
}

void Viewer::HideCursor(HDC dc) {
  if (!cursorShown_) return;
  MSEnable(host_, dc);
  MSEraseCrossHairs(host_, slots_, static_cast<unsigned>(std::size(slots_)));
  cursorShown_ = false;
  log_.Clean("erasing the crosshair");
}

void Viewer::MovePointer(int x, int y) {
  pointer_ = {x, y};
  pointerInside_ = true;
  if (!haveFrame_) return;
  HDC dc = GetDC(hwnd_);
  HideCursor(dc);
  CursorSample sample;
  const chart::Rect& p = frame_.plot;
  const bool xy = plan_.xChannel >= 0;
  const double px = ValueAt(frame_.x, x), py = ValueAt(frame_.y, y);
  bool found = InPlot(x, y) &&
               (xy ? SnapToPoint(recording_, plan_.xChannel, plan_.series[0], frame_.x, frame_.y,
                                 plan_.x, plan_.y, x, y, &sample)
                   : SnapToTime(recording_, px, plan_.x, &sample));
  if (!found) {
    ShowStatus(dc, "");
    ReleaseDC(hwnd_, dc);
    return;
  }
  double value = chart::SampleValue(recording_, plan_.series[0], sample.index);
  double at = xy ? chart::SampleValue(recording_, plan_.xChannel, sample.index) : sample.time;
  // Both bars must lie inside the plot, where they are drawn clipped,
  // since they are inverted back unclipped: a missing value, or one off
  // the shown range, puts the horizontal bar through the pointer.
  const double vx = std::trunc(frame_.x(at));
  if (!(vx >= p.left && vx < p.right)) {
    ShowStatus(dc, "");
    ReleaseDC(hwnd_, dc);
    return;
  }
  const double vy = std::trunc(frame_.y(value));
  if (value == chart::kMissingSample || std::isnan(value) || !(vy >= p.top && vy < p.bottom))
    value = py;
  MSEnable(host_, dc);
  MSSetXForm(host_, 1, "LINEAR", plan_.logY ? "LOG10" : "LINEAR", p.left, p.right, p.top, p.bottom,
             plan_.x.lo, plan_.x.hi, plan_.y.hi, plan_.y.lo);
  const double bars[VORDA_CROSSHAIR_DOUBLES] = {plan_.x.lo, value, plan_.x.hi, value,
                                                at,         plan_.y.hi, at, plan_.y.lo};
  cursorShown_ = MSCrossHair(host_, bars, VORDA_CROSSHAIR_DOUBLES, slots_,
                             static_cast<unsigned>(std::size(slots_))) == 1;
  MSDisable(host_);
  log_.Clean("drawing the crosshair");
  ShowStatus(dc, Readout(recording_, plan_, sample));
  ReleaseDC(hwnd_, dc);
}

void Viewer::LeaveWindow() {
  pointerInside_ = false;
  HDC dc = GetDC(hwnd_);
  HideCursor(dc);
  ShowStatus(dc, "");
  ReleaseDC(hwnd_, dc);
}

void Viewer::ShowStatus(HDC dc, const std::string& text) {
  status_ = text;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int top = ChartHeight(), bottom = client.bottom, width = client.right;
  const std::string shown = text.empty()
                                ? "drag: zoom (Shift: x and y)   wheel: zoom   Backspace: back   "
                                  "Home: all   arrows: pan   L: log y   S: save   Esc: quit"
                                : text;
  // Clipped to the status line, a text first clears it white.
  MSEnable(host_, dc);
  MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, width, top, bottom, 0, width, top, bottom);
  const double grey = text.empty() ? 0.45 : 0.1;
  MSText(host_, statusFont_.get(), shown.c_str(), 6, (top + bottom) / 2, "HORIZONTAL", "LEFT", "CENTER",
         grey, grey, grey);
  MSDisable(host_);
  log_.Clean("writing the status line");
}

std::string Viewer::NextSavePath() {
  if (!options_.output.empty()) return options_.output;
  std::string base = chart::BaseName(options_.input);
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.resize(dot);
  for (;;) {
    std::string path = base + "-view" + (saves_ ? "-" + std::to_string(saves_ + 1) : "") + ".png";
    ++saves_;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return path;
  }
}

bool Viewer::Save(const std::string& path) {
  chart::Options o = ViewOptions();
  o.output = path;
  if (!chart::OutputKind(path, &o.png, &o.emf)) {
    chart::Complain("cannot save " + chart::ShownPath(path) + ": give a name ending in .png, .bmp or .emf");
    return false;
  }
  RECT client{};
  GetClientRect(hwnd_, &client);
  o.sizeInInches = false;
  o.widthPx = client.right;
  o.heightPx = ChartHeight();
  chart::ChartPlan plan;
  std::string error;
  if (!chart::PlanChart(recording_, o, &plan, &error)) {
    chart::Complain(error);
    return false;
  }
  log_.Restart();
  bool saved = false;
  {
    chart::OutputSurface output(host_, o, log_);
    saved = output.Open() &&
            chart::DrawChart(host_, output.canvas(), recording_, o, plan, picture_, log_) &&
            output.Save();
  }
  HDC dc = GetDC(hwnd_);
  ShowStatus(dc, saved ? "saved " + chart::ShownPath(path) : "could not save " + chart::ShownPath(path));
  ReleaseDC(hwnd_, dc);
  return saved;
}

}  // namespace view
