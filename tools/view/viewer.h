// The viewer's window: the chart of the part of a recording in view,
// drawn through vorda's exports on the window's own device context, with
// a crosshair that follows the pointer and a status line that reads out
// the sample under it. A host program of our own, like the chart tool.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "chart_draw.h"
#include "gdi_object.h"
#include "options.h"
#include "readout.h"
#include "recording.h"
#include "view_state.h"
#include "vorda_data.h"

namespace view {

// Redraws that take longer than this show their progress in the title.
inline constexpr double kSlowRedrawSeconds = 0.2;

class Viewer {
 public:
  // The options as the chart tool takes them; `recording` outlives the viewer.
  Viewer(const chart::Options& options, const chart::Recording& recording,
         std::vector<unsigned char> picture);
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;
  ~Viewer();

  // Makes the window and shows it; false after saying why not.
  bool Open();
  // Handles the window's messages until it closes; the exit status.
  int Run();

  // What the window's messages do, callable directly by tests and the
  // benchmark. Redraw draws the whole window and tells whether the chart
  // came out whole; MovePointer answers the pointer at a client point.
  bool Redraw();
  void MovePointer(int x, int y);
  void LeaveWindow();

  HWND hwnd() const { return hwnd_; }
  const chart::ChartFrame& frame() const { return frame_; }
  const chart::ChartPlan& plan() const { return plan_; }
  ViewState& state() { return state_; }
  const std::string& status() const { return status_; }
  bool CursorShown() const { return cursorShown_; }
  // Cursor A: pinned at the sample nearest the client point (a click, or
  // the A key), cleared by Escape or C. While it is pinned the status line
  // reads both cursors and their difference.
  void PinAt(int x, int y);
  void ClearPin();
  bool Pinned() const { return pinned_; }
  // How long a redraw may take before it shows its progress and gives way
  // to waiting input (kSlowRedrawSeconds unless changed).
  void SetSlowRedrawSeconds(double seconds) { slowSeconds_ = seconds; }
  // Saves the view as the chart tool would draw it, to `path` (PNG, BMP or
  // EMF by its extension); false after saying why not.
  bool Save(const std::string& path);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void Key(WPARAM key);
  void Changed();

  chart::Options ViewOptions() const;
  int ChartHeight() const;
  bool InPlot(int x, int y) const;
  // The panel at a client point, -1 when none.
  int PanelAt(int x, int y) const;
  bool SnapAt(int x, int y, CursorSample* sample) const;
  double CursorX(const CursorSample& sample) const;
  void DrawPinned(HDC dc);
  void HideCursor(HDC dc);
  void ShowStatus(HDC dc, const std::string& text);
  // The text as it fits the status line's width: cut at a gap, with "...".
  std::string FitStatus(const std::string& text, int width);
  int Progress(double done, double total);
  std::string NextSavePath();

  chart::VordaLog log_;
  chart::Options options_;
  const chart::Recording& recording_;
  std::vector<unsigned char> picture_;
  std::string title_;
  ViewState state_;
  HostObject host_ = 0;
  HWND hwnd_ = nullptr;
  chart::Font statusFont_;
  int statusHeight_ = 0;

  chart::ChartPlan plan_;
  chart::ChartFrame frame_;
  bool haveFrame_ = false;  // the last redraw came out whole
  std::string status_;

  // The crosshair's two bars, remembered by vorda in the host's slots.
  int slots_[2 * VORDA_CROSSHAIR_SLOT_INTS];
  bool cursorShown_ = false;
  bool pointerInside_ = false;
  POINT pointer_{};
  bool tracking_ = false;

  bool dragging_ = false;
  POINT dragFrom_{};
  int dragPanel_ = 0;

  bool pinned_ = false;
  CursorSample pinnedSample_;

  // The panels as first planned, kept through every zoom: the names of
  // their channels.
  std::vector<std::vector<std::string>> groups_;

  // A redraw that takes long shows its progress and is given up when the
  // person asks for something else meanwhile.
  std::chrono::steady_clock::time_point drawStart_;
  double slowSeconds_ = kSlowRedrawSeconds;
  bool stopped_ = false;
  bool showingProgress_ = false;
  int saves_ = 0;
};

}  // namespace view
