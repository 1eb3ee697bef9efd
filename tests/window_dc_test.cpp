// vorda on a real window's device context, as a host's chart window uses
// it: the plot clipped to its rectangle, text, crosshairs inverted and
// inverted back, and the chart drawn again when the window is uncovered.
// Pixels are read back from the window itself.
#include <memory>
#include <vector>

#include "host_test.h"

namespace vorda_test {
namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The plot rectangle, device units; model units are the same pixels.
constexpr RECT kPlot = {20, 10, 140, 100};

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// What the window's paint handler draws, through vorda on the paint DC.
struct Chart {
  HostObject host = 0;
  HPEN pen = nullptr;
  int paints = 0;
};
Chart* chart = nullptr;

// A diagonal across the whole window: only the part inside kPlot may show.
const double kDiagonal[] = {0, 0, kWidth, kHeight};

void DrawChart(HDC dc) {
  MSEnable(chart->host, dc);
  MSSetXForm(chart->host, 1, "LINEAR", "LINEAR", kPlot.left, kPlot.right, kPlot.top, kPlot.bottom,
             kPlot.left, kPlot.right, kPlot.top, kPlot.bottom);
  MSPolyLine(chart->host, &chart->pen, "LINE_STRIP", kDiagonal, 4);
  MSDisable(chart->host);
}

LRESULT CALLBACK ChartProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT && chart) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawChart(dc);
    EndPaint(hwnd, &ps);
    ++chart->paints;
    return 0;
  }
  return DefWindowProcA(hwnd, message, w, l);
}

// A visible top-level window whose client area is kWidth x kHeight at
// the screen's top-left corner.
HWND MakeWindow(const char* title, WNDPROC proc, int x = 0, int y = 0) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = title;
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, title, title, WS_POPUP | WS_VISIBLE, x, y, kWidth,
                              kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(hwnd);
  Pump();
  return hwnd;
}

// The window's pixels, copied from its device context into memory; with
// a null window, what the screen shows where the window lies.
class WindowPixels {
 public:
  explicit WindowPixels(HWND hwnd) : pixels_(size_t{kWidth} * kHeight) {
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels_.size(); ++i)
      pixels_[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(hwnd, dc);
  }
  COLORREF At(int x, int y) const { return pixels_[size_t{static_cast<unsigned>(y)} * kWidth + x]; }
  // Pixels of this colour inside and outside a rectangle.
  int Inside(const RECT& r, COLORREF c) const { return CountWhere(r, c, true); }
  int Outside(const RECT& r, COLORREF c) const { return CountWhere(r, c, false); }
  int Differences(const WindowPixels& other) const {
    int n = 0;
    for (size_t i = 0; i < pixels_.size(); ++i) n += pixels_[i] != other.pixels_[i];
    return n;
  }

 private:
  int CountWhere(const RECT& r, COLORREF c, bool inside) const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        n += in == inside && At(x, y) == c;
      }
    return n;
  }
  std::vector<COLORREF> pixels_;
};

class WindowDcTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    chart_.host = host_;
    ASSERT_EQ(MSNewPen(host_, &chart_.pen, "SOLID", 1, 0, 0, 0), 1);
    chart = &chart_;
    hwnd_ = MakeWindow("vorda window test", ChartProc);
    ASSERT_NE(hwnd_, nullptr);
  }
  void TearDown() override {
    chart = nullptr;
    DestroyWindow(hwnd_);
    DeleteObject(chart_.pen);
  }
  Chart chart_;
  HWND hwnd_ = nullptr;
};

TEST_F(WindowDcTest, PaintsTheChartClippedToThePlotAndAgainWhenUncovered) {
  ASSERT_GE(chart_.paints, 1);
  WindowPixels shown(hwnd_);
  // The diagonal runs through the plot (about 90 of its pixels there), and
  // nothing of it shows outside.
  EXPECT_GE(shown.Inside(kPlot, kBlack), 80);
  EXPECT_EQ(shown.Outside(kPlot, kBlack), 0);
  EXPECT_EQ(shown.At(80, 60), kBlack);
  EXPECT_THAT(Messages(), ::testing::IsEmpty());

  // Another window covers it and goes again: the screen shows the chart
  // as before (Windows sends the window a paint, Wine shows its backing
  // store), and a paint of the whole window, as an expose asks for, draws
  // it again through vorda, pixel for pixel.
  HWND cover = MakeWindow("vorda window cover", DefWindowProcA);
  {
    HDC dc = GetDC(cover);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    ReleaseDC(cover, dc);
  }
  EXPECT_EQ(WindowPixels(nullptr).Inside(kPlot, kBlack), 0) << "the cover does not hide the chart";
  DestroyWindow(cover);
  Pump();
  // The display server updates the screen on its own time: allow it a second.
  auto sameAsShown = [&shown] {
    for (int tries = 0; tries < 20; ++tries, Sleep(50)) {
      Pump();
      if (WindowPixels(nullptr).Differences(shown) == 0) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << WindowPixels(nullptr).Differences(shown) << " pixels differ";
  };
  EXPECT_TRUE(sameAsShown());
  int paintsBefore = chart_.paints;
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
  EXPECT_EQ(chart_.paints, paintsBefore + 1);
  EXPECT_TRUE(sameAsShown());
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

TEST_F(WindowDcTest, TextAndCrosshairsOnTheWindowAndTheCursorInvertedBack) {
  HDC dc = GetDC(hwnd_);
  ASSERT_EQ(MSEnable(host_, dc), 1);
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", kPlot.left, kPlot.right, kPlot.top,
                       kPlot.bottom, kPlot.left, kPlot.right, kPlot.top, kPlot.bottom),
            1);
  HFONT font = nullptr;
  ASSERT_EQ(MSNewFont(host_, &font, "Liberation Sans", 10, "HORIZONTAL", "NORMAL", 0, 0, 0), 1);
  ASSERT_EQ(MSText(host_, &font, "Wg", 30, 40, "HORIZONTAL", "LEFT", "BOTTOM", 0, 0, 1), 1)
      << ::testing::PrintToString(Messages());
  WindowPixels withText(hwnd_);
  // The text is blue, inside the plot; the clip area was erased white
  // first, so the diagonal is gone from the plot and nothing outside it
  // changed.
  EXPECT_GT(withText.Inside({30, 20, 60, 41}, RGB(0, 0, 255)), 5);
  EXPECT_EQ(withText.Inside(kPlot, kBlack), 0);
  EXPECT_EQ(withText.Outside(kPlot, RGB(0, 0, 255)), 0);

  // A crosshair at (100, 70): a horizontal and a vertical bar of inverted
  // pixels, remembered in the slots; erasing inverts them back.
  std::vector<int> slots(8, -1);
  const double cross[] = {kPlot.left, 70, kPlot.right, 70, 100, kPlot.top, 100, kPlot.bottom};
  ASSERT_EQ(MSCrossHair(host_, cross, 8, slots.data(), 8), 1);
  WindowPixels crossed(hwnd_);
  EXPECT_EQ(crossed.At(60, 70), kBlack);
  EXPECT_EQ(crossed.At(100, 40), kBlack);
  EXPECT_EQ(crossed.At(100, 70), kWhite) << "the crossing pixel is inverted twice";
  EXPECT_EQ(crossed.Inside({kPlot.left, 70, kPlot.right, 71}, kBlack), kPlot.right - kPlot.left - 1);
  EXPECT_EQ(crossed.Outside(kPlot, kBlack), 0);
  EXPECT_THAT(slots, ::testing::ElementsAre(20, 70, 140, 71, 100, 10, 101, 100));

  ASSERT_EQ(MSEraseCrossHairs(host_, slots.data(), 8), 1);
  EXPECT_EQ(WindowPixels(hwnd_).Differences(withText), 0);
  EXPECT_THAT(slots, ::testing::Each(-1));
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
  ReleaseDC(hwnd_, dc);
  DeleteObject(font);
}

}  // namespace
}  // namespace vorda_test
