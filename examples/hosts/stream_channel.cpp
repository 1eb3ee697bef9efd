// Streaming a long channel through a trace driver: 900,000 samples in two
// bursts, with ten seconds of missing samples, drawn by _CDrawYTTrace into
// a drawing object whose "Draw" routine hands each block to MSPolyLine
// unchanged. The host hears of the progress after each block, and can stop
// the work: a second run is stopped after three blocks. Saved as stream.bmp.
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "example.h"

using example::Check;

int main() {
  tarn::Host& host = tarn::host();
  HostObject script = example::NewScript();

  // A channel of records of two values (NumDims 3), a sample every
  // millisecond: burst 0 is scans 0..599999 from t = 0 s, burst 1 scans
  // 600000..899999 from t = 700 s. The host makes the samples when read.
  HostObject channel = host.NewChannel(3, 0.001, {{0.0, 0, 599999}, {700.0, 600000, 899999}});
  host.SetGenerator(channel, 0, 899999, [](int first, int count, double* records) {
    for (int k = 0; k < count; ++k) {
      int scan = first + k;
      double t = scan < 600000 ? scan * 0.001 : 700.0 + (scan - 600000) * 0.001;
      bool missing = t >= 300.0 && t < 310.0;
      records[2 * k] = missing ? VORDA_MISSING_SAMPLE : std::sin(t / 8.0) * (0.4 + t / 1000.0);
      records[2 * k + 1] = 20.0;  // the second value, not drawn here
    }
  });

  double noInches = 0.0;
  int width = 600, height = 300;
  HDC dc = MSCreateBitmapDC(script, &noInches, &noInches, &width, &height);
  if (!Check(dc != nullptr, "MSCreateBitmapDC")) return 1;
  Check(MSEnable(script, dc) == 1, "MSEnable");
  Check(MSSetXForm(script, 1, "LINEAR", "LINEAR", 30, 570, 20, 280, 0.0, 1000.0, 1.5, -1.5) == 1,
        "MSSetXForm");
  HPEN pen = nullptr;
  Check(MSNewPen(script, &pen, "SOLID", 1, 0.0, 0.0, 0.8) == 1, "MSNewPen");

  // The drawing object: each block arrives as "Data" (the doubles' bytes)
  // and "DataSize" (the count of doubles), in the layout MSPolyLine takes.
  std::vector<int> blockSizes;
  HostObject drawing = host.NewObject("trace");
  host.SetRoutine(drawing, "Draw", [&](tarn::Handle self) {
    const tarn::Bytes* bytes = std::get_if<tarn::Bytes>(host.Find(self, "Data"));
    const int* size = std::get_if<int>(host.Find(self, "DataSize"));
    if (!bytes || !size) return 0;
    std::vector<double> block(bytes->size() / sizeof(double));
    std::memcpy(block.data(), bytes->data(), block.size() * sizeof(double));
    blockSizes.push_back(*size);
    return MSPolyLine(script, &pen, "LINE_STRIP", block.data(), static_cast<unsigned>(*size));
  });
  std::vector<std::pair<double, double>> progress;
  host.SetProgressHandler([&](const tarn::ProgressCall& call) {
    progress.emplace_back(call.done, call.total);
    return 1;  // go on
  });

  Check(_CDrawYTTrace(script, drawing, channel, 1) == 1, "_CDrawYTTrace draws every burst");

  // Blocks of at most 100,000 samples, each after the first of a burst
  // starting with the last sample of the one before: 7 blocks for the
  // 600,000 samples of burst 0, 4 for the 300,000 of burst 1.
  long long samples = 0;
  for (int doubles : blockSizes) samples += doubles / 2;
  Check(blockSizes.size() == 11 && blockSizes.front() == 200000, "11 blocks, the first of 100,000 samples");
  Check(samples == 900000 + 6 + 3, "every sample drawn, the shared ones twice");
  // Progress counts the samples done in the burst; the driver's last call
  // (0, 100) hands the progress object back.
  Check(progress.size() == 12 && progress[6] == std::make_pair(600000.0, 600000.0) &&
            progress[10] == std::make_pair(300000.0, 300000.0) && progress[11] == std::make_pair(0.0, 100.0),
        "progress per block, then (0, 100)");

  // Stopping: the progress handler answers 0 after the third block. The
  // driver returns 0 and reports nothing; the three blocks stay drawn.
  blockSizes.clear();
  int calls = 0;
  host.SetProgressHandler([&](const tarn::ProgressCall&) { return ++calls < 3 ? 1 : 0; });
  Check(_CDrawYTTrace(script, drawing, channel, 1) == 0, "a stopped driver returns 0");
  Check(blockSizes.size() == 3, "no block after the stop");

  Check(MSDisable(script) == 1, "MSDisable");
  Check(MSSaveBitmapFile(script, dc, "stream.bmp") == 1, "MSSaveBitmapFile");
  DeleteObject(pen);

  // Device x = 30 + 0.54 t.
  example::Bmp bmp("stream.bmp");
  if (Check(bmp.valid(), "a BMP")) {
    Check(bmp.NonWhite(100, 20, 101, 280) > 3, "a column of burst 0 is drawn");
    Check(bmp.NonWhite(30 + 540 * 302 / 1000, 20, 30 + 540 * 308 / 1000, 280) == 0,
          "the missing samples leave a gap");
    Check(bmp.NonWhite(30 + 540 * 602 / 1000, 20, 30 + 540 * 698 / 1000, 280) == 0,
          "nothing between the bursts");
    Check(bmp.NonWhite(500, 20, 501, 280) > 3, "a column of burst 1 is drawn");
  }
  return example::Finish("stream_channel");
}
