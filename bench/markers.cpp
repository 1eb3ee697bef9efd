// Point markers on a 1920x1080 surface: 100,000 MSPolyPoints squares and
// 100,000 MSPolyPointsEx records, each beside raw GDI drawing the same
// markers (points converted by the benchmark itself) in the same run.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "timer.h"
#include "vorda.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kMarkers = 100000;
constexpr int kRounds = 6;
constexpr HostObject kHost = 1;  // the stand-in host's root object

// Model x and y run 0..1000 over the whole surface.
constexpr double kXScale = kWidth / 1000.0;
constexpr double kYScale = -kHeight / 1000.0;
constexpr double kYOffset = kHeight;

struct Lcg {
  uint32_t state = 12345;
  double Next() {  // 0..1
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / double(1 << 24);
  }
};

// GDI may batch the drawing: the time counts until it is done.
double Seconds(const std::function<void()>& run) {
  return bench::Time([&] {
    run();
    GdiFlush();
  });
}

// Best of kRounds for vorda and for each raw reference.
void Compare(const char* what, const std::function<void()>& vorda,
             const std::vector<std::pair<const char*, std::function<void()>>>& references) {
  double best = 1e30;
  std::vector<double> bestRef(references.size(), 1e30);
  for (int round = 0; round < kRounds; ++round) {
    // Who goes first alternates, so that neither gains from the other's warm-up.
    if (round % 2 == 0) best = std::min(best, Seconds(vorda));
    for (size_t i = 0; i < references.size(); ++i)
      bestRef[i] = std::min(bestRef[i], Seconds(references[i].second));
    if (round % 2 == 1) best = std::min(best, Seconds(vorda));
  }
  std::printf("%s\n", what);
  std::printf("  %-48s %8.1f ms  %10.0f markers/s\n", "vorda", best * 1e3, kMarkers / best);
  for (size_t i = 0; i < references.size(); ++i)
    std::printf("  %-48s %8.1f ms  %10.0f markers/s  vorda/raw time %.2f\n", references[i].first,
                bestRef[i] * 1e3, kMarkers / bestRef[i], best / bestRef[i]);
}

// One marker the way MSPolyPointsEx draws it: its own pen and brush.
void RawRecordMarker(HDC dc, COLORREF colour, bool circle, const RECT& r) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  if (circle)
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
  else
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace

int main() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

  if (MSEnable(kHost, dc) != 1 ||
      MSSetXForm(kHost, 1, "LINEAR", "LINEAR", 0, kWidth, 0, kHeight, 0, 1000, 1000, 0) != 1) {
    std::printf("set-up failed\n");
    return 1;
  }

  Lcg random;
  std::vector<double> points(2 * kMarkers);
  for (double& v : points) v = random.Next() * 1000.0;
  std::vector<double> records(9 * kMarkers);
  for (int i = 0; i < kMarkers; ++i) {
    double* r = &records[9 * size_t(i)];
    double x = random.Next() * 990.0, y = 1.0 + random.Next() * 989.0, side = 2 + random.Next() * 6;
    r[0] = x;
    r[1] = x + side;
    r[2] = y;
    r[3] = y + side;
    r[4] = 1.0;
    r[5] = random.Next();
    r[6] = random.Next();
    r[7] = random.Next();
    r[8] = (i % 2) ? 2.0 : 1.0;
  }
  const int markerSize = 7, half = markerSize / 2;
  int failures = 0;

  std::printf("%d markers on a %dx%d 32-bit DIB section, best of %d rounds\n\n", kMarkers, kWidth,
              kHeight, kRounds);

  Compare("MSPolyPoints: squares of one size and colour",
          [&] {
            failures += MSPolyPoints(kHost, points.data(), 2 * kMarkers, markerSize, 1, 0, 0) != 1;
          },
          {{"raw GDI: one pen and brush, Rectangle each", [&] {
              HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
              HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
              HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
              for (int i = 0; i < kMarkers; ++i) {
                int x = int(kXScale * points[2 * size_t(i)]);
                int y = int(kYScale * points[2 * size_t(i) + 1] + kYOffset);
                Rectangle(dc, x - half, y + half, x + half, y - half);
              }
              SelectObject(dc, oldPen);
              SelectObject(dc, oldBrush);
              DeleteObject(pen);
              DeleteObject(brush);
            }}});

  // The raw references compute the same boxes as vorda does.
  // On the logarithmic axis y runs 1..1000 over the surface: 3 decades.
  bool logY = false;
  auto box = [&](int i) {
    const double* r = &records[9 * size_t(i)];
    double xa = kXScale * r[0], xb = kXScale * r[1];
    double ys = logY ? -kHeight / 3.0 : kYScale;
    double y1 = logY ? std::log10(r[2]) : r[2], y2 = logY ? std::log10(r[3]) : r[3];
    double ya = ys * y1 + kYOffset, yb = ys * y2 + kYOffset;
    double cx = (xa + xb) * 0.5, cy = (ya + yb) * 0.5;
    double m = (ya - yb) < (xb - xa) ? (ya - yb) : (xb - xa);
    double h = m * r[4] * 0.5 + 1.5;
    return RECT{int(cx - h), int(cy - h), int(cx + h), int(cy + h)};
  };
  auto colour = [&](int i) {
    const double* r = &records[9 * size_t(i)];
    return RGB(int(r[5] * 255), int(r[6] * 255), int(r[7] * 255));
  };

  Compare("MSPolyPointsEx: circles and squares, a colour each",
          [&] { failures += MSPolyPointsEx(kHost, records.data(), 9 * kMarkers) != 1; },
          {{"raw GDI: a pen and brush per marker",
            [&] {
              for (int i = 0; i < kMarkers; ++i) RawRecordMarker(dc, colour(i), i % 2 == 0, box(i));
            }},
           {"raw GDI: DC pen and brush, colour set per marker", [&] {
              HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
              HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
              for (int i = 0; i < kMarkers; ++i) {
                SetDCPenColor(dc, colour(i));
                SetDCBrushColor(dc, colour(i));
                RECT r = box(i);
                if (i % 2 == 0)
                  Ellipse(dc, r.left, r.top, r.right, r.bottom);
                else
                  Rectangle(dc, r.left, r.top, r.right, r.bottom);
              }
              SelectObject(dc, oldPen);
              SelectObject(dc, oldBrush);
            }}});

  // The same calls on a logarithmic y axis, which adds the scratch copy.
  MSSetXForm(kHost, 1, "LINEAR", "LOG10", 0, kWidth, 0, kHeight, 0, 1000, 1000, 1);
  logY = true;
  Compare("MSPolyPointsEx on a logarithmic y axis (scratch copy)",
          [&] { failures += MSPolyPointsEx(kHost, records.data(), 9 * kMarkers) != 1; },
          {{"raw GDI: a pen and brush per marker", [&] {
              for (int i = 0; i < kMarkers; ++i) RawRecordMarker(dc, colour(i), i % 2 == 0, box(i));
            }}});

  MSDisable(kHost);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  if (failures) std::printf("\n%d vorda calls failed\n", failures);
  return failures ? 1 : 0;
}
