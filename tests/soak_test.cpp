// The long run: a chart of a long recording drawn through the trace
// drivers into an off-screen bitmap and saved, a thousand times in one
// process (VORDA_SOAK_ITERATIONS to change), showing that neither the GDI
// objects and device contexts vorda makes nor the heap blocks of the
// process grow from one chart to the next.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "file_readers.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

// Busy blocks in every heap of the process.
long HeapBlocks() {
  HANDLE heaps[64];
  DWORD n = GetProcessHeaps(64, heaps);
  long busy = 0;
  for (DWORD i = 0; i < n && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++busy;
    HeapUnlock(heaps[i]);
  }
  return busy;
}

class SoakTest : public HostTest {};

TEST_F(SoakTest, AThousandChartsLeaveNothingBehind) {
  const char* env = std::getenv("VORDA_SOAK_ITERATIONS");
  const int iterations = env ? std::atoi(env) : 1000;
  // The recording: 150000 scans in two bursts of a three-dimension channel
  // (a sine and a ramp), and the "Draw" routine that charts each block.
  std::vector<tarn::Burst> bursts = {{0.0, 0, 119999}, {130.0, 130000, 159999}};
  tarn::Handle channel = ScanChannel(3, 0.001, bursts);
  tarn::Handle draw = tarn::host().NewObject("drawing");
  HPEN pen = nullptr;
  tarn::host().SetRoutine(draw, "Draw", [&](tarn::Handle self) {
    std::vector<double> data = DoublesOf(self, "Data");
    return MSPolyLine(host_, &pen, "LINE_STRIP", data.data(),
                      static_cast<unsigned>(LongOf(self, "DataSize")));
  });
  const std::string path = TempPath("soak.bmp");
  const double markers[] = {10, 100, 60, 2000, 120, 40000, 150, 150000};

  // The process-wide background brush, before anything is counted.
  DibSurface first(4, 4);
  MSEnable(host_, first.dc());

  // VORDA_SOAK_PARTS leaves parts of the chart out, to find what grows.
  const char* partsEnv = std::getenv("VORDA_SOAK_PARTS");
  const std::string parts = partsEnv ? partsEnv : "ptxmf";
  auto part = [&parts](char c) { return parts.find(c) != std::string::npos; };

  Ledger ledger;
  size_t hostObjects = 0;
  long heapAtStart = 0, heapAtEnd = 0, heapMax = 0;
  int maxAlive = 0, failures = 0;
  const int settle = iterations < 100 ? iterations / 2 : 50;
  for (int i = 0; i < iterations; ++i) {
    int w = 320, h = 200;
    HDC dc = MSCreateBitmapDC(host_, nullptr, nullptr, &w, &h);
    bool ok = dc != nullptr;
    ok = ok && MSEnable(host_, dc) == 1;
    ok = ok && MSSetXForm(host_, 1, "", "LOG10", 10, 310, 10, 190, 0, 160, 200000, 1) == 1;
    ok = ok && (!part('p') || MSNewPen(host_, &pen, i % 2 ? "DASH" : "SOLID", 1, 0, 0, 1) == 1);
    ok = ok && (!part('t') || _CDrawYTTrace(host_, draw, channel, 1) == 1);
    ok = ok && (!part('x') || _CDrawXYTrace(host_, draw, channel, channel, 1, 2) == 1);
    ok = ok && (!part('m') || MSPolyPoints(host_, markers, 8, 5, 1, 0, 0) == 1);
    ok = ok && MSDisable(host_) == 1;
    if (part('f')) {
      ok = ok && MSSaveBitmapFile(host_, dc, path.c_str()) == 1;
    } else if (dc) {
      HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
      ledger.Remove(dc), ledger.Remove(bitmap);
      DeleteDC(dc), DeleteObject(bitmap);
    }
    // The pen is the host's: it gives it back, and the ledger with it.
    if (pen) {
      ledger.Remove(pen);
      DeleteObject(pen);
      pen = nullptr;
    }
    if (!ok) ++failures;
    // The stand-in host keeps every progress call and deleted progress
    // object for tests to look at; a long-running host would not.
    probe().ClearHistory();
    maxAlive = std::max(maxAlive, ledger.Alive());
    long heap = HeapBlocks();
    if (i == settle) {
      heapAtStart = heap;
      hostObjects = tarn::host().ObjectCount();
    }
    if (i > settle) {
      heapMax = std::max(heapMax, heap);
      EXPECT_EQ(tarn::host().ObjectCount(), hostObjects) << "iteration " << i;
    }
    heapAtEnd = heap;
  }
  std::printf("soak: %d iterations; vorda's GDI objects, DCs and blocks alive after any chart: "
              "at most %d; heap blocks after chart %d: %ld, at most %ld later, %ld at the end; "
              "host objects %zu throughout\n",
              iterations, maxAlive, settle, heapAtStart, heapMax, heapAtEnd, hostObjects);
  EXPECT_EQ(failures, 0);
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_EQ(maxAlive, 0);
  // Heaps may hold a few blocks more at one moment than another (caches of
  // the platform), but a leak of one block a chart would show as hundreds.
  EXPECT_LE(heapMax - heapAtStart, 32) << "heap blocks grow with every chart";
  EXPECT_LE(heapAtEnd - heapAtStart, 32);
  if (!part('f')) return;
  BmpFile file;
  ASSERT_TRUE(file.Load(path));
  EXPECT_EQ(file.file.bfSize, file.bytes.size());
  // VORDA_SOAK_KEEP keeps a copy of the last chart to look at, in the
  // working directory: the test's own directory goes with the test.
  if (std::getenv("VORDA_SOAK_KEEP") && CopyFileA(path.c_str(), "soak-last.bmp", FALSE))
    std::printf("soak: last chart in soak-last.bmp\n");
}

}  // namespace
}  // namespace vorda_test
