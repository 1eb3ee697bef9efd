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
  chart::ChartPlan first;
  std::string error;
  if (chart::PlanChart(recording, options, &first, &error)) {
    for (size_t i = 0; i < first.panels.size(); ++i) {
      groups_.emplace_back();
      for (int k : first.panels[i].series)
        groups_.back().push_back(recording.channels[static_cast<size_t>(first.series[static_cast<size_t>(k)])].name);
      if (first.panels[i].logY) state_.ToggleLogY(i);
    }
  }
  // The ranges given on the command line are the first zoom.
  if (options.haveXRange || options.haveYRange) {
    state_.ZoomTo(options.haveXRange ? options.xRange : state_.Current().x, options.haveYRange,
                  options.yRange);
    for (size_t i = 1; options.haveYRange && i < groups_.size(); ++i) state_.FixY(i, options.yRange);
  }
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
      dragPanel_ = std::max(0, PanelAt(dragFrom_.x, dragFrom_.y));
      SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      if (!dragging_) return 0;
      dragging_ = false;
      ReleaseCapture();
      const POINT to{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (!haveFrame_) return 0;
      if (std::abs(to.x - dragFrom_.x) < kDragPixels) {
        // A click pins cursor A; a second one moves it.
        if (std::abs(to.y - dragFrom_.y) < kDragPixels) PinAt(to.x, to.y);
        return 0;
      }
      const bool withY = (w & MK_SHIFT) != 0 && std::abs(to.y - dragFrom_.y) >= kDragPixels &&
                         static_cast<size_t>(dragPanel_) < frame_.panels.size();
      // Dragged beyond the plot, the span stops at its edges; a span of
      // values at the edges of the panel where the drag began.
      const chart::Rect& p = frame_.plot;
      const chart::PanelFrame& panel = frame_.panels[withY ? static_cast<size_t>(dragPanel_) : 0];
      auto px = [&p](LONG x) { return std::clamp<double>(x, p.left, p.right); };
      auto py = [&panel](LONG y) { return std::clamp<double>(y, panel.plot.top, panel.plot.bottom); };
      if (state_.ZoomTo({ValueAt(frame_.x, px(dragFrom_.x)), ValueAt(frame_.x, px(to.x))}, withY,
                        {ValueAt(panel.y, py(dragFrom_.y)), ValueAt(panel.y, py(to.y))},
                        static_cast<size_t>(dragPanel_)))
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
      if (pinned_) {
        ClearPin();
        return;
      }
      DestroyWindow(hwnd_);
      return;
    case 'A':
      if (pointerInside_) PinAt(pointer_.x, pointer_.y);
      return;
    case 'C':
      ClearPin();
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
    case VK_DOWN: {
      // The panel under the pointer, else the first.
      const int at = pointerInside_ ? PanelAt(pointer_.x, pointer_.y) : -1;
      const size_t panel = at >= 0 && static_cast<size_t>(at) < plan_.panels.size() ? static_cast<size_t>(at) : 0;
      if (panel >= plan_.panels.size()) return;
      state_.Pan(0, key == VK_UP ? kPanStep : -kPanStep, plan_.panels[panel].y, panel);
      Changed();
      return;
    }
    case 'L': {
      const int at = pointerInside_ ? PanelAt(pointer_.x, pointer_.y) : -1;
      const size_t panel = at >= 0 ? static_cast<size_t>(at) : 0;
      state_.ToggleLogY(panel);
      chart::ChartPlan plan;
      std::string error;
      if (!chart::PlanChart(recording_, ViewOptions(), &plan, &error)) {
        // No logarithmic view of values that are not above 0: stay linear.
        state_.ToggleLogY(panel);
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
  o.progress = false;
  if (groups_.empty()) {  // the first plan was refused: so will this one be
    o.haveYRange = v.yFixed;
    if (v.yFixed) o.yRange = v.y;
    o.logY = state_.LogY();
    return o;
  }
  // Each panel as the view has it, named by its first channel.
  o.panels = chart::PanelMode::kGroups;
  o.panelGroups = groups_;
  o.haveYRange = false;
  o.logY = false;
  o.logYChannels.clear();
  for (size_t i = 0; i < groups_.size(); ++i) {
    const std::string& name = groups_[i][0];
    const PanelY y = v.Panel(i);
    if (state_.LogY(i)) o.logYChannels.push_back(name);
    // A y range panned or zoomed on a linear axis may reach 0 or below;
    // on a logarithmic one it fits the data instead.
    if (y.fixed && !(state_.LogY(i) && !(y.y.lo > 0))) o.channelYRanges.push_back({name, y.y});
  }
  return o;
}

int Viewer::ChartHeight() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  return std::max(1L, client.bottom - statusHeight_);
}

bool Viewer::InPlot(int x, int y) const { return PanelAt(x, y) >= 0; }

int Viewer::PanelAt(int x, int y) const {
  for (size_t i = 0; i < frame_.panels.size(); ++i) {
    const chart::Rect& p = frame_.panels[i].plot;
    if (x >= p.left && x < p.right && y >= p.top && y < p.bottom) return static_cast<int>(i);
  }
  return -1;
}

bool Viewer::SnapAt(int x, int y, CursorSample* sample) const {
  const int panel = PanelAt(x, y);
  if (panel < 0 || plan_.series.empty()) return false;
  if (plan_.xChannel >= 0)
    return SnapToPoint(recording_, plan_.xChannel, plan_.series[0], frame_.x, frame_.panels[0].y, plan_.x,
                       plan_.y, x, y, sample);
  return SnapToTime(recording_, ValueAt(frame_.x, x), plan_.x, sample);
}

double Viewer::CursorX(const CursorSample& sample) const {
  return plan_.xChannel >= 0
             ? chart::SampleValue(recording_, plan_.xChannel, sample.index)
             : sample.time;
}

void Viewer::PinAt(int x, int y) {
  if (!haveFrame_) return;
  CursorSample sample;
  if (!SnapAt(x, y, &sample)) return;
  pinned_ = true;
  pinnedSample_ = sample;
  Changed();
}

void Viewer::ClearPin() {
  if (!pinned_) return;
  pinned_ = false;
  Changed();
}

// Cursor A: a dashed line through every panel, labelled, drawn with the
// chart (not inverted), so that the crosshair can pass over it.
void Viewer::DrawPinned(HDC dc) {
  if (!pinned_ || !haveFrame_) return;
  const chart::Rect& p = frame_.plot;
  const double x = std::trunc(frame_.x(CursorX(pinnedSample_)));
  if (!(x > p.left && x < p.right - 1)) return;
  chart::Pen pen;
  MSEnable(host_, dc);
  MSSetXForm(host_, 1, "LINEAR", "LINEAR", p.left, p.right, p.top, p.bottom, p.left, p.right, p.top, p.bottom);
  if (MSNewPen(host_, pen.get(), "DASH", 1, 0.8, 0.1, 0.1) == 1) {
    const double line[] = {x, p.top + 1.0, x, p.bottom - 1.0};
    MSPolyLine(host_, pen.get(), "LINES", line, 4);
    // Unclipped: a text drawn while clipping is on whitens the clip area.
    MSSetXForm(host_, 0, "LINEAR", "LINEAR", p.left, p.right, p.top, p.bottom, p.left, p.right, p.top, p.bottom);
    MSText(host_, statusFont_.get(), "A", x + 3, p.top + 9, "HORIZONTAL", "LEFT", "CENTER", 0.8, 0.1, 0.1);
  }
  MSDisable(host_);
  log_.Clean("drawing cursor A");
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
    DrawPinned(dc);
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
  // While dragging, the span that the release will show.
  std::string dragged;
  if (dragging_ && std::abs(x - dragFrom_.x) >= kDragPixels) {
    const chart::Rect& p = frame_.plot;
    const double a = ValueAt(frame_.x, std::clamp<double>(dragFrom_.x, p.left, p.right));
    const double b = ValueAt(frame_.x, std::clamp<double>(x, p.left, p.right));
    char text[160];
    std::snprintf(text, sizeof text, "zoom to %.6g .. %.6g (a span of %.6g)", std::min(a, b), std::max(a, b),
                  std::fabs(b - a));
    dragged = text;
  }
  CursorSample sample;
  const int panel = PanelAt(x, y);
  if (!SnapAt(x, y, &sample)) {
    ShowStatus(dc, dragged);
    ReleaseDC(hwnd_, dc);
    return;
  }
  const chart::Rect& p = frame_.plot;
  const chart::Rect& pp = frame_.panels[static_cast<size_t>(panel)].plot;
  const chart::PanelPlan& panelPlan = plan_.panels[static_cast<size_t>(panel)];
  const int channel = plan_.series[static_cast<size_t>(panelPlan.series[0])];
  double value = chart::SampleValue(recording_, channel, sample.index);
  // The bars lie strictly inside the frame, where the clipping leaves all
  // of them: they are inverted back unclipped, and a pixel the clipping
  // kept out would be inverted then, and stay. The vertical bar runs
  // through every panel; the horizontal one through the panel under the
  // pointer, at its first channel's value (at the pointer when that is
  // missing or out of view).
  const double vx = std::trunc(frame_.x(CursorX(sample)));
  if (!(vx > p.left && vx < p.right - 1)) {
    ShowStatus(dc, dragged);
    ReleaseDC(hwnd_, dc);
    return;
  }
  double vy = std::trunc(frame_.panels[static_cast<size_t>(panel)].y(value));
  if (value == chart::kMissingSample || std::isnan(value) || !(vy > pp.top && vy < pp.bottom - 1)) vy = y;
  vy = std::clamp<double>(vy, pp.top + 1, pp.bottom - 2);
  MSEnable(host_, dc);
  MSSetXForm(host_, 1, "LINEAR", "LINEAR", p.left, p.right, p.top, p.bottom, p.left, p.right, p.top, p.bottom);
  const double bars[VORDA_CROSSHAIR_DOUBLES] = {pp.left + 1.0, vy, pp.right - 2.0, vy,
                                                vx,            p.top + 1.0, vx, p.bottom - 2.0};
  cursorShown_ = MSCrossHair(host_, bars, VORDA_CROSSHAIR_DOUBLES, slots_,
                             static_cast<unsigned>(std::size(slots_))) == 1;
  MSDisable(host_);
  log_.Clean("drawing the crosshair");
  ShowStatus(dc, !dragged.empty() ? dragged
                 : pinned_        ? TwoCursorReadout(recording_, plan_, pinnedSample_, sample)
                                  : Readout(recording_, plan_, sample));
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
  MSEnable(host_, dc);
  std::string shown;
  if (text.empty()) {
    // The keys, in as many words as the width has room for.
    for (const char* help :
         {"drag: zoom (Shift: values of a panel)   wheel: zoom   click: cursor A   Backspace: back   "
          "Home: all   arrows: pan   L: log y   S: save   Esc: quit",
          "drag, wheel: zoom   click: cursor A   Backspace: back   Home: all   L: log y   S: save   Esc: quit",
          "drag: zoom   click: cursor A   Esc: quit"}) {
      shown = FitStatus(help, width);
      if (shown == help) break;
    }
  } else {
    shown = FitStatus(text, width);
  }
  // Clipped to the status line, a text first clears it white.
  MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, width, top, bottom, 0, width, top, bottom);
  const double grey = text.empty() ? 0.45 : 0.1;
  MSText(host_, statusFont_.get(), shown.c_str(), 6, (top + bottom) / 2, "HORIZONTAL", "LEFT", "CENTER",
         grey, grey, grey);
  MSDisable(host_);
  log_.Clean("writing the status line");
}

std::string Viewer::FitStatus(const std::string& text, int width) {
  auto fits = [&](const std::string& t) {
    int w = 0, h = 0;
    return MSGetTextExtents(host_, statusFont_.get(), t.c_str(), "HORIZONTAL", &w, &h) == 1 && w <= width - 12;
  };
  if (fits(text)) return text;
  // Whole items (they are three spaces apart) as long as they fit.
  std::string cut = text;
  for (size_t gap = cut.rfind("   "); gap != std::string::npos && gap > 0; gap = cut.rfind("   ")) {
    cut.resize(gap);
    if (fits(cut + "   ...")) return cut + "   ...";
  }
  while (cut.size() > 1 && !fits(cut + "...")) cut.pop_back();
  return cut + "...";
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
